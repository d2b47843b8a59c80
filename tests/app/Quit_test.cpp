// A signal ends the program as the title's "Yes" does, whatever is on screen: each row runs the
// whole program on the headless back end in a child process, raises the signal at a pump or
// while a message box is up, and looks at the exit status, the settings and the replay left.
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
#include "main/Replay.h"
#include "main/frmMain.h"
#include "main/modMain.h"
#include "platform/Signals.h"
#include "platform/files/ProgramFolder.h"
#include "platform/fonts/Fonts.h"
#include "platform/headless/ReplayBackend.h"
#include "platform/window/Application.h"

namespace {

// Raises the signal at one pump, or when a message box comes up.
class SignalAt : public platform::BackendDecorator {
  public:
    SignalAt(std::unique_ptr<platform::Backend> inner, int signal, uint64_t pump)
        : BackendDecorator(std::move(inner)), signal_(signal), pump_(pump) {}
    void PumpEvents(platform::EventSink& sink) override {
        if (++pumps_ == pump_) std::raise(signal_);
        inner_->PumpEvents(sink);
    }
    platform::MessageBoxAnswer ShowMessageBox(const std::string& title, const std::string& text,
                                              platform::MessageBoxButtons buttons) override {
        if (pump_ == 0) std::raise(signal_);
        return inner_->ShowMessageBox(title, text, buttons);
    }

  private:
    int signal_;
    uint64_t pump_, pumps_ = 0;
};

struct QuitCase {
    const char* name;
    std::optional<GameMode> mode;  // as --mode gives it; none: the title
    const char* script;
    int signal;
    uint64_t pump;  // 0: while the first message box is up
    bool game;      // a game was under way: its replay is kept
};

const QuitCase kCases[] = {
    {"SIGTERM during a game", {}, "at pass 5 click cmdCasual\n", SIGTERM, 80, true},
    {"SIGTERM during a --mode game", GameMode::Casual, "", SIGTERM, 40, true},
    {"SIGINT on the title", {}, "", SIGINT, 20, false},
    // The box is dismissed, which answers No, and the program ends all the same.
    {"SIGHUP with the title's question up",
     {},
     "at pass 5 key down Escape\nat pass 6 key up Escape\n",
     SIGHUP,
     0,
     false},
};

void PrintTo(const QuitCase& row, std::ostream* out) {
    *out << row.name;
}

class Quit : public ::testing::TestWithParam<QuitCase> {
  protected:
    int Run(const QuitCase& row) {
        std::fflush(nullptr);
        const pid_t pid = fork();
        if (pid == 0) {
            ::alarm(120);  // a run that hangs fails its row instead of hanging the suite
            ::setenv("XDG_CONFIG_HOME", dir_.File("config").c_str(), 1);
            ::setenv("XDG_DATA_HOME", dir_.File("data").c_str(), 1);
            platform::CatchQuitSignals();
            platform::SetProgramFolder(
                std::filesystem::path(QUADRIX_TEST_DATA).parent_path().parent_path().string());
            platform::PinFonts(true);
            platform::Application::Get().Reset();
            ResetMainForm();
            ResetSharedState();
            auto headless = std::make_unique<platform::Headless>();
            headless->SetScreenSize(640, 480);
            headless->SetPassLimit(5000);
            platform::HeadlessScript script;
            if (!platform::HeadlessScript::Parse(row.script, script, nullptr)) _exit(92);
            headless->Load(script);
            platform::InstallBackend(std::make_unique<platform::ReplayRecorder>(
                std::make_unique<SignalAt>(std::move(headless), row.signal, row.pump)));
            SetReplayTargets("", true);
            RunProgram(GameChoice{row.mode, {}});
            _exit(0);
        }
        int raw = 0;
        ::waitpid(pid, &raw, 0);
        return WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
    }

    TempDir dir_;
};

TEST_P(Quit, EndsAsTheTitlesYesDoes) {
    const QuitCase& row = GetParam();
    const std::string ini = "config/quadrix/Quadrix_1_1.ini";
    std::filesystem::create_directories(dir_.File("config/quadrix"));
    dir_.Write(ini, "[Main]\r\nMouse=37\r\n");
    EXPECT_EQ(Run(row), 0);
    EXPECT_EQ(dir_.Read(ini), "[Main]\nMouse=37\n");  // saved again, as a save writes it
    ReplayFile replay;
    std::string error;
    const bool kept = ReadReplayFile(dir_.File("data/quadrix/last.qxr"), replay, error);
    EXPECT_EQ(kept, row.game) << error;
    EXPECT_TRUE(!kept || replay.passes > 0);
}

INSTANTIATE_TEST_SUITE_P(Signals, Quit, ::testing::ValuesIn(kCases), [](const auto& info) {
    std::string name;
    for (const char* c = info.param.name; *c; ++c)
        name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
    return name;
});

// A playback ends with the program and says it was stopped.
TEST(QuitRequest, StopsAPlayback) {
    struct Sink : platform::EventSink {
        void MouseButton(int, bool, POINT) override {}
        void ClickControl(const std::string&) override {}
        void CloseRequest(const std::string&, platform::UnloadMode) override {}
        void QuitRequest() override { ++quits; }
        int quits = 0;
    } sink;
    platform::ReplayPlayer player(std::make_unique<platform::Headless>(), {}, {640, 480});
    player.PumpEvents(sink);
    EXPECT_FALSE(player.Stopped());
    platform::RequestQuit();
    player.PumpEvents(sink);
    platform::ForgetQuitRequest();
    EXPECT_TRUE(player.Stopped());
    EXPECT_GE(sink.quits, 1);
}

}  // namespace
