// One playing pass of the game form for every mode and the densest option sets: input,
// steering, the fill, the well, the boxes, the man's moves, the wall sub-steps with pushes,
// all drawing and the border; everything but showing the frame and the wait. Heap allocations
// inside the timed passes are counted with a replaced global operator new.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>

#include "AllocationCounter.h"
#include "graphics/modGraphic.h"
#include "input/clsJoystick.h"
#include "input/clsKeyboard.h"
#include "main/GameSettings.h"
#include "main/Random.h"
#include "main/frmMain.h"
#include "main/modMain.h"
#include "platform/Numbers.h"
#include "platform/files/ProgramFolder.h"
#include "platform/headless/Headless.h"
#include "platform/window/Application.h"
#include "playfield/clsBoxes.h"
#include "playfield/clsMan.h"
#include "playfield/clsWalls.h"
#include "playfield/clsWell.h"
#include "title/modModes.h"

namespace {

struct Config {
    GameMode mode;
    int32_t level;
    bool solid;
    bool anarchy;
    int32_t width;
    int32_t height;
};

// Sets a game up as the title screen and the game form's set-up do.
void SetUpGame(const Config& c, clsKeyboard& keyboard, clsJoystick& joystick) {
    platform::Headless& headless = platform::UseHeadless();
    headless.SetScreenSize(c.width, c.height);
    platform::Application::Get().Reset();
    ResetMainForm();
    ResetSharedState();
    gScreenWidth = c.width;
    gScreenHeight = c.height;
    quadrix::SharedRandom().Seed(1234);
    OptionFlags flags;
    flags.ouch = c.level == 2;
    flags.solid = c.solid;
    flags.anarchy = c.anarchy;
    ApplyOptionFlags(flags);
    ApplyMode(c.mode, c.level);
    keyboard.Initialize();
    gKeyboard = &keyboard;
    joystick.Initialize(0);  // none attached: every button reads as up
    gJoystick = &joystick;
    platform::SetProgramFolder(
        std::filesystem::path(__FILE__).parent_path().parent_path().string());

    frmMain& form = MainForm();
    form.Load();
    form.tmrMain.SetEnabled(false);  // the passes are run here, one by one
    const int32_t w = form.picMain.ScaleWidth();
    const int32_t h = form.picMain.ScaleHeight();
    // A few boxes of different ages, as after some deaths.
    for (int32_t i = 0; i < 10; ++i) {
        form.mBoxes->Add(Int(Rnd() * w), Int(Rnd() * h), RandomColor());
        for (int32_t k = 0; k < i * 20; ++k)
            form.mBoxes->Move();
    }
    form.mState = 0;
    form.mStateCounter = 100;
}

// One pass of the game form (input, steering, the state's work, the border); a death or a win
// restarts the man so that every pass is a playing pass.
void Pass() {
    frmMain& form = MainForm();
    form.PassWork();
    if (form.mState != 0) {
        form.mState = 0;
        form.mMan->Initialize();
    }
}

void BM_PlayingPass(benchmark::State& state, Config c) {
    clsKeyboard keyboard;
    clsJoystick joystick;
    SetUpGame(c, keyboard, joystick);
    auto& headless = static_cast<platform::Headless&>(platform::CurrentBackend());
    // Steer up and right, towards the goal, turning now and then.
    int32_t tick = 0;
    for (int i = 0; i < 20; ++i)
        Pass();  // warm-up
    const uint64_t before = gAllocations.load();
    for (auto _ : state) {
        ++tick;
        headless.SetKey('D', (tick / 7) % 3 != 0);
        headless.SetKey('W', (tick / 5) % 2 == 0);
        headless.SetKey('S', (tick / 11) % 4 == 0);
        Pass();
        benchmark::ClobberMemory();
    }
    const uint64_t allocations = gAllocations.load() - before;
    state.counters["allocs_per_pass"] =
        benchmark::Counter(static_cast<double>(allocations) / static_cast<double>(tick));
    state.counters["walls"] = MainForm().mWalls->LiveCount();
    platform::Application::Get().Reset();
    gKeyboard = nullptr;
    gJoystick = nullptr;
}

void Register() {
    struct Named {
        const char* name;
        GameMode mode;
        int32_t level;
        bool solid;
        bool anarchy;
    };
    const Named games[] = {
        {"FIN", GameMode::Final, 1, false, false},
        {"FIN_Solid", GameMode::Final, 1, true, false},
        {"FIN_Anarchy", GameMode::Final, 1, false, true},
        {"FIN_Solid_Anarchy", GameMode::Final, 1, true, true},
        {"JunkFood2", GameMode::Fun, 2, false, false},
    };
    auto add = [](const std::string& name, Config c) {
        benchmark::RegisterBenchmark(name.c_str(), BM_PlayingPass, c)
            ->Unit(benchmark::kMillisecond)
            ->Repetitions(5)
            ->ReportAggregatesOnly(true);
    };
    // Every mode at both levels on the larger screen.
    for (int m = 0; m < kGameModeCount; ++m) {
        const auto mode = static_cast<GameMode>(m);
        for (int32_t level : {1, 2}) {
            add("Mode/" + std::string(ModeControlName(mode)) + "/" + std::to_string(level) +
                    "/1920x1080",
                Config{mode, level, false, false, 1920, 1080});
        }
    }
    const int32_t screens[][2] = {{1920, 1080}, {1280, 1024}};
    for (const auto& s : screens) {
        for (const Named& g : games) {
            const std::string name = std::string("PlayingPass/") + g.name + "/" +
                                     std::to_string(s[0]) + "x" + std::to_string(s[1]);
            add(name, Config{g.mode, g.level, g.solid, g.anarchy, s[0], s[1]});
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    Register();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
