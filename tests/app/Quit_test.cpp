// A signal ends the program as the title's "Yes" does: each row runs the whole program on the
// headless back end, recorded, in a child process, raises the signal at a pump or while a
// message box is up, and looks at the exit status, the settings and the replay left.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "TempDir.h"
#include "main/GameSettings.h"
#include "main/frmMain.h"
#include "main/modMain.h"
#include "platform/Signals.h"
#include "platform/files/ProgramFolder.h"
#include "platform/headless/ReplayBackend.h"
#include "platform/window/Application.h"
#include "program/Program.h"
#include "program/Replay.h"

struct QuitCase {
    const char* name;
    std::optional<GameMode> mode;  // as --mode gives it; none: the title
    const char* script;
    int signal;
    uint64_t pump;  // 0: when the first message box comes up
    bool game;      // a game was under way: its replay is kept
};
void PrintTo(const QuitCase& row, std::ostream* out) {
    *out << row.name;
}

constexpr char kAsk[] = "at pass 5 key down Escape\nat pass 6 key up Escape\n";
const QuitCase kCases[] = {
    {"SIGTERM during a game", {}, "at pass 5 click cmdCasual\n", SIGTERM, 80, true},
    {"SIGTERM during a --mode game", GameMode::Casual, "", SIGTERM, 40, true},
    {"SIGINT on the title", {}, "", SIGINT, 20, false},
    // Dismissed, the box answers No, and the program ends all the same.
    {"SIGHUP with the title's question up", {}, kAsk, SIGHUP, 0, false},
};

class SignalAt : public platform::BackendDecorator {
  public:
    SignalAt(std::unique_ptr<platform::Backend> inner, const QuitCase& row)
        : BackendDecorator(std::move(inner)), row_(row) {}
    void PumpEvents(platform::EventSink& sink) override {
        if (++pumps_ == row_.pump) std::raise(row_.signal);
        inner_->PumpEvents(sink);
    }
    platform::MessageBoxAnswer ShowMessageBox(const std::string& title, const std::string& text,
                                              platform::MessageBoxButtons buttons) override {
        if (row_.pump == 0) std::raise(row_.signal);
        return inner_->ShowMessageBox(title, text, buttons);
    }

  private:
    const QuitCase& row_;
    uint64_t pumps_ = 0;
};

class Quit : public ::testing::TestWithParam<QuitCase> {};

TEST_P(Quit, EndsAsTheTitlesYesDoes) {
    const QuitCase& row = GetParam();
    TempDir dir;
    const std::string ini = "config/quadrix/Quadrix_1_1.ini";
    std::filesystem::create_directories(dir.File("config/quadrix"));
    dir.Write(ini, "[Main]\r\nMouse=37\r\n");
    std::fflush(nullptr);
    const pid_t pid = fork();
    if (pid == 0) {
        ::alarm(120);  // a run that hangs fails its row instead of hanging the suite
        ::setenv("XDG_CONFIG_HOME", dir.File("config").c_str(), 1);
        ::setenv("XDG_DATA_HOME", dir.File("data").c_str(), 1);
        platform::CatchQuitSignals();
        platform::SetProgramFolder(
            std::filesystem::path(QUADRIX_TEST_DATA).parent_path().parent_path().string());
        ResetProgramState();
        auto headless = std::make_unique<platform::Headless>();
        headless->SetScreenSize(640, 480);
        headless->SetPassLimit(5000);
        platform::HeadlessScript script;
        if (!platform::HeadlessScript::Parse(row.script, script, nullptr)) _exit(92);
        headless->Load(script);
        platform::InstallBackend(std::make_unique<platform::ReplayRecorder>(
            std::make_unique<SignalAt>(std::move(headless), row)));
        SetReplayTargets("", true);
        RunProgram(GameChoice{row.mode, {}});
        _exit(0);
    }
    int raw = 0;
    ::waitpid(pid, &raw, 0);
    EXPECT_EQ(WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw), 0);
    EXPECT_EQ(dir.Read(ini), "[Main]\nMouse=37\n");  // saved again, as a save writes it
    ReplayFile replay;
    std::string error;
    EXPECT_EQ(ReadReplayFile(dir.File("data/quadrix/last.qxr"), replay, error), row.game) << error;
    EXPECT_TRUE(!row.game || replay.passes > 0);
}

INSTANTIATE_TEST_SUITE_P(Signals, Quit, ::testing::ValuesIn(kCases));

// A playback stops with the program, and says so.
TEST(Quit, StopsAPlayback) {
    platform::ReplayPlayer player(std::make_unique<platform::Headless>(), {}, {640, 480});
    struct : platform::EventSink {
        void MouseButton(int, bool, POINT) override {}
        void ClickControl(const std::string&) override {}
        void CloseRequest(const std::string&, platform::UnloadMode) override {}
    } sink;
    platform::RequestQuit();
    player.PumpEvents(sink);
    platform::ForgetQuitRequest();
    EXPECT_TRUE(player.Stopped());
}
