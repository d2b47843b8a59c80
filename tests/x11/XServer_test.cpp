// The SDL back end and the game program against a real X server: an Xvfb of the test's own,
// on a display number the server picks itself, started before and stopped after each test
// program. Skips, saying why, only where no X server can be started.
#include <gtest/gtest.h>

#include <SDL.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>

#include <array>
#include <cstdio>
#include <cstring>

#include "TempDir.h"
#include "main/modMain.h"
#include "platform/files/ProgramFolder.h"
#include "platform/frame/FrameScaler.h"
#include "platform/headless/Headless.h"
#include "platform/sdl/SdlBackend.h"
#include "platform/window/Application.h"
#include "platform/window/Form.h"
#include "program/Program.h"
#include "support/RecordingSink.h"
#include "title/frmTitle.h"
#include "x11/XRead.h"

constexpr int kRootW = 1920, kRootH = 1080;

// Waits up to ms for fd to have something to read.
static bool Readable(int fd, int ms) {
    pollfd p{fd, POLLIN, 0};
    int got = 0;
    do
        got = poll(&p, 1, ms);
    while (got < 0 && errno == EINTR);
    return got > 0;
}

class XServer : public ::testing::Environment {
  public:
    void SetUp() override {
        int fd[2];
        if (pipe(fd) != 0) return Fail("no pipe");
        pid_ = fork();
        if (pid_ == 0) {
            prctl(PR_SET_PDEATHSIG, SIGTERM);  // never outlives the tests, however they end
            dup2(fd[1], 3);
            const std::string screen =
                std::to_string(kRootW) + "x" + std::to_string(kRootH) + "x24";
            execlp("Xvfb", "Xvfb", "-displayfd", "3", "-screen", "0", screen.c_str(), "-nolisten",
                   "tcp", "-noreset", static_cast<char*>(nullptr));
            _exit(127);
        }
        close(fd[1]);
        // The server writes its display number once it takes connections.
        char number[16] = {};
        const bool up = Readable(fd[0], 20'000) && read(fd[0], number, sizeof number - 1) > 0;
        close(fd[0]);
        if (!up) return Fail("Xvfb did not start (is it installed?)");
        setenv("DISPLAY", (":" + std::string(number, std::strcspn(number, "\n"))).c_str(), 1);
        unsetenv("WAYLAND_DISPLAY");
        setenv("SDL_VIDEODRIVER", "x11", 1);
    }
    void TearDown() override {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
        }
    }
    static const std::string& Reason() { return reason_; }

  private:
    void Fail(const std::string& why) {
        reason_ = "no X server: " + why;
        TearDown();
        pid_ = -1;
    }
    pid_t pid_ = -1;
    static inline std::string reason_;
};
const auto* const gServer = ::testing::AddGlobalTestEnvironment(new XServer);

static std::string Shell(const std::string& command) {
    std::string out;
    if (FILE* p = popen(command.c_str(), "r")) {
        char buffer[256];
        while (std::fgets(buffer, sizeof buffer, p))
            out += buffer;
        pclose(p);
    }
    return out;
}

// A window's x, y, width and height, or the pointer's x and y: the numbers of xdotool's --shell
// output from its X line on (0 where there are none, as for a window gone meanwhile).
template <size_t N>
static std::array<int, N> Xdotool(const std::string& command) {
    std::array<int, N> got{};
    std::istringstream in(Shell("xdotool " + command + " 2>/dev/null | grep -A" +
                                std::to_string(N - 1) + " ^X= | cut -d= -f2"));
    for (int& v : got)
        in >> v;
    return got;
}

class XServerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!XServer::Reason().empty()) GTEST_SKIP() << XServer::Reason();
    }
    void Open(const platform::SdlOptions& options = {}) {
        sdl = std::make_unique<platform::SdlBackend>(options);
        sdl->Screen();  // as the game does at start-up
        Pump();
    }
    void Pump() { sdl->PumpEvents(sink); }
    unsigned long XWindow() { return xread::WindowOf(sdl->Window()); }
    // Presents until the server shows what want says (it runs beside us), or gives up.
    bool ShownAfterPresents(const platform::FrameParts& parts,
                            const std::function<std::vector<uint32_t>(std::array<int, 4>&)>& want) {
        for (int attempt = 0; attempt < 50; ++attempt) {
            sdl->Present(parts);
            Pump();
            std::array<int, 4> at =
                Xdotool<4>("getwindowgeometry --shell " + std::to_string(XWindow()));
            const std::vector<uint32_t> expected = want(at);
            if (!expected.empty() && xread::Grab(at[0], at[1], at[2], at[3]) == expected)
                return true;
            SDL_WaitEventTimeout(nullptr, 20);
        }
        return false;
    }

    std::unique_ptr<platform::SdlBackend> sdl;
    RecordingSink sink;  // unread
};

TEST_F(XServerTest, FramesReadBackFullScreenAndScaledInAWindow) {
    Open();
    ASSERT_EQ(std::pair(sdl->Screen().width, sdl->Screen().height), std::pair(kRootW, kRootH));
    Bitmap base(kRootW, kRootH, false), picture(700, 500, false);
    for (size_t i = 0; i < base.pixels.size(); ++i)
        base.pixels[i] = static_cast<COLORREF>((i * 2654435761u) & 0xFFFFFF);
    for (int y = 0; y < picture.height; ++y)
        for (int x = 0; x < picture.width; ++x)
            picture.row(y)[x] = (x / 3 + y / 2) % 2 ? RGB(255, 255, 255) : RGB(0, 0, 0);
    const platform::FrameParts parts{&base, &picture, 600, 300};
    Bitmap frame(1, 1, false);
    platform::ComposeFrame(parts, frame);
    const auto fullScreen = [&](std::array<int, 4>& at) {
        return at == std::array{0, 0, kRootW, kRootH} ? frame.pixels : std::vector<uint32_t>{};
    };
    EXPECT_TRUE(ShownAfterPresents(parts, fullScreen)) << "full screen";
    // A few pixels change: only the box around them is sent, and the screen shows the whole
    // new frame.
    std::fill_n(picture.row(100), picture.width, RGB(255, 0, 0));
    base.row(kRootH - 2)[5] = RGB(0, 0, 255);
    platform::ComposeFrame(parts, frame);
    EXPECT_TRUE(ShownAfterPresents(parts, fullScreen)) << "rows changed";
    // Base said to be as before: the picture's change shows; moved, the base under its old
    // place shows again though nobody said base changed.
    platform::FrameParts same = parts;
    same.baseAsLast = true;
    std::fill_n(picture.row(200), picture.width, RGB(0, 255, 0));
    platform::ComposeFrame(same, frame);
    EXPECT_TRUE(ShownAfterPresents(same, fullScreen)) << "base as before";
    same.left = 100;
    platform::ComposeFrame(same, frame);
    EXPECT_TRUE(ShownAfterPresents(same, fullScreen)) << "picture moved";

    // Windowed: a window of a common size, whole on the screen, the frame scaled into it.
    sdl->SetFullscreen(false);
    Pump();
    std::array<int, 4> last{};
    EXPECT_TRUE(
        ShownAfterPresents(parts,
                           [&](std::array<int, 4>& at) {
                               last = at;
                               if (at[2] != 1600 || at[3] != 900) return std::vector<uint32_t>{};
                               std::vector<uint32_t> scaled(static_cast<size_t>(at[2]) * at[3]);
                               platform::FrameScaler().Draw(parts, scaled.data(), at[2], at[2],
                                                            at[3], platform::PixelOrder::AsIs);
                               return scaled;
                           }))
        << "window at " << last[0] << "," << last[1] << " " << last[2] << "x" << last[3];
    EXPECT_TRUE(last[0] >= 0 && last[1] >= 0 && last[0] + last[2] <= kRootW &&
                last[1] + last[3] <= kRootH);
    // And full screen again, which no window manager here makes it.
    sdl->SetFullscreen(true);
    Pump();
    platform::ComposeFrame(parts, frame);
    EXPECT_TRUE(ShownAfterPresents(parts, fullScreen)) << "full screen again";
}

TEST_F(XServerTest, CursorWarpAndRelativeMode) {
    platform::SdlOptions options;
    options.virtualCursor = true;
    Open(options);
    sdl->SetCursorPos({321, 123});
    EXPECT_EQ(Xdotool<2>("getmouselocation --shell"), (std::array{321, 123}));
    EXPECT_EQ(sdl->CursorPos().x, 321);

    // Hidden, the cursor is ours and follows the pointer's motion, wherever the pointer is.
    sdl->ShowCursor(false);
    EXPECT_TRUE(SDL_GetRelativeMouseMode());
    const POINT from = sdl->CursorPos();
    Shell("xdotool mousemove_relative -- 40 -30");
    POINT to = from;
    for (int i = 0; i < 50 && (to.x != from.x + 40 || to.y != from.y - 30); ++i) {
        SDL_WaitEventTimeout(nullptr, 20);
        Pump();
        to = sdl->CursorPos();
    }
    EXPECT_EQ(std::pair(to.x - from.x, to.y - from.y), std::pair(40, -30));
    sdl->ShowCursor(true);
    EXPECT_FALSE(SDL_GetRelativeMouseMode());
}

TEST_F(XServerTest, MessageBoxFoundAndAnswered) {
    Open();
    using platform::MessageBoxAnswer, platform::MessageBoxButtons;
    for (const auto& [key, answer] :
         {std::pair{"Return", MessageBoxAnswer::Yes}, std::pair{"Escape", MessageBoxAnswer::No}}) {
        // Found by its title, as a player's eye would, and answered from the keyboard. The
        // answerer is a process of its own: SDL forks the box, and a thread of ours inside
        // Xlib then would leave the box's copy of Xlib locked for ever.
        const pid_t answering = fork();
        if (answering == 0) _exit(xread::AnswerWindow("Quadrix question", key, 20'000) ? 0 : 1);
        EXPECT_EQ(sdl->ShowMessageBox("Quadrix question", "Sure?", MessageBoxButtons::YesNo),
                  answer)
            << key;
        int status = -1;
        waitpid(answering, &status, 0);
        EXPECT_EQ(status, 0) << key;
    }
}

// The game program started in a window plays at the window's size: its title reads as the
// same title laid out headless at that size (the buttons, pixel for pixel).
TEST_F(XServerTest, WindowedTitleReadsAsFullScreen) {
    TempDir home;
    int out[2];
    ASSERT_EQ(pipe(out), 0);
    const pid_t game = fork();
    if (game == 0) {
        dup2(out[1], 2);
        setenv("HOME", home.path().c_str(), 1);
        setenv("XDG_CONFIG_HOME", home.path().c_str(), 1);
        setenv("QUADRIX_FIRST_FRAME_STAMP", "1", 1);
        execl(QUADRIX_GAME, QUADRIX_GAME, "--windowed", static_cast<char*>(nullptr));
        _exit(127);
    }
    close(out[1]);
    char said[512] = {};
    const bool shown = Readable(out[0], 20'000) && read(out[0], said, sizeof said - 1) > 0;
    std::istringstream windows(Shell("xdotool search --pid " + std::to_string(game)));
    const std::vector<uint32_t> screen = xread::Grab(0, 0, kRootW, kRootH);
    std::array<int, 4> at{};
    for (unsigned long id = 0; windows >> id;)
        if (const auto p = Xdotool<4>("getwindowgeometry --shell " + std::to_string(id));
            p[2] > at[2])
            at = p;
    kill(game, SIGKILL);
    waitpid(game, nullptr, 0);
    close(out[0]);
    ASSERT_TRUE(shown && std::string(said).find("first frame") != std::string::npos) << said;
    // 1600x900: the largest common size that fits a 1920x1080 desktop with room to spare.
    ASSERT_EQ((std::array{at[2], at[3]}), (std::array{1600, 900}));
    ASSERT_TRUE(at[0] >= 0 && at[1] >= 0 && at[0] + 1600 <= kRootW && at[1] + 900 <= kRootH);

    TempDir config;
    setenv("XDG_CONFIG_HOME", config.path().c_str(), 1);
    platform::SetProgramFolder(
        std::filesystem::path(QUADRIX_TEST_DATA).parent_path().parent_path());
    platform::Headless& headless = platform::UseHeadless();
    headless.SetScreenSize(1600, 900);
    Main();
    platform::DoEvents();
    const Bitmap& frame = *headless.LastFrame();
    int compared = 0;
    for (const platform::Control* c : TitleForm().Controls()) {
        if (!c->Visible) continue;
        ++compared;
        for (int y = c->Top(); y < c->Top() + c->Height(); ++y)
            for (int x = c->Left(); x < c->Left() + c->Width(); ++x)
                ASSERT_EQ(screen[static_cast<size_t>(at[1] + y) * kRootW + at[0] + x],
                          frame.row(y)[x])
                    << c->Name() << " at " << x << "," << y;
    }
    EXPECT_GE(compared, 12);
    platform::Application::Get().Reset();
    platform::SetProgramFolder("");
}
