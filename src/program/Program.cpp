#include "program/Program.h"

#include <chrono>
#include <csignal>
#include <exception>
#include <memory>

#include "input/clsJoystick.h"
#include "input/clsKeyboard.h"
#include "main/GameSettings.h"
#include "main/frmMain.h"
#include "main/modMain.h"
#include "platform/Fatal.h"
#include "platform/Random.h"
#include "platform/Screen.h"
#include "platform/clock/Clock.h"
#include "platform/window/Application.h"
#include "program/Replay.h"
#include "sound/clsVoices.h"
#include "title/frmTitle.h"
#include "title/modModeArgs.h"
#include "title/modMouseSetting.h"

void StartProgram() {
    quadrix::SharedRandom().Seed(
        static_cast<uint64_t>(std::chrono::system_clock::now().time_since_epoch().count()));
    // Linux sleeps and clocks are fine-grained already; the call stays for the old contract.
    timeBeginPeriod(1);
    // Under a file size limit a write past it would kill the program; failing is enough, and
    // the settings store reports it.
    std::signal(SIGXFSZ, SIG_IGN);
    const platform::ScreenSize screen = platform::GetScreenSize();
    gScreenWidth = screen.width;
    gScreenHeight = screen.height;
    // Never released while the program runs; made afresh should a tool start it again, as a
    // joystick found missing once stays inert for good.
    static std::unique_ptr<clsVoices> voices;
    static std::unique_ptr<clsKeyboard> keyboard;
    static std::unique_ptr<clsJoystick> joystick;
    voices = std::make_unique<clsVoices>();
    keyboard = std::make_unique<clsKeyboard>();
    joystick = std::make_unique<clsJoystick>();
    gVoices = voices.get();
    gVoices->Initialize();
    gKeyboard = keyboard.get();
    gKeyboard->Initialize();
    gJoystick = joystick.get();
    gJoystick->Initialize(0);  // without a joystick it stays inert
    InstallSessionHooks();
}

void Main(std::optional<uint64_t> titleSeed) {
    StartProgram();
    if (titleSeed) quadrix::SharedRandom().Seed(*titleSeed);
    LoadMouseSetting();
    TitleForm().Show();
}

void RunProgram(const GameChoice& choice, std::optional<uint64_t> titleSeed) {
    try {
        if (choice.mode) {
            StartProgram();
            LoadMouseSetting();
            ChooseGame(choice);
            ApplyChoice(choice);
            MainForm().Load();
        } else {
            Main(titleSeed);
        }
        platform::Application::Get().RunMessageLoop();
    } catch (const std::exception& e) {
        platform::Fatal(e);
    }
}

void InstallRecording(std::unique_ptr<platform::Backend> backend, const std::string& recordPath) {
    platform::InstallBackend(std::make_unique<platform::ReplayRecorder>(std::move(backend)));
    SetReplayTargets(recordPath, true);
}

PlaybackVerdict PlayBackOn(std::unique_ptr<platform::Backend> backend, const ReplayFile& replay) {
    auto player = std::make_unique<platform::ReplayPlayer>(
        std::move(backend), replay.script, platform::ScreenSize{replay.width, replay.height});
    platform::ReplayPlayer& played = *player;
    platform::InstallBackend(std::move(player));
    return PlayBack(replay, played);
}

void ResetProgramState() {
    platform::Application::Get().Reset();
    ResetMainForm();
    ResetSharedState();
    gKeyboard = nullptr;
    gJoystick = nullptr;
}
