// Files a player may have damaged, and quit signals: each row runs the whole program, from its
// start-up to its end on the headless back end, recorded, in a child process with a program
// folder and a config folder of its own, and looks at the exit status, what it said on stderr,
// the settings file and the replay left.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <cctype>
#include <csignal>

#include "TempDir.h"
#include "platform/Signals.h"
#include "platform/files/ProgramFolder.h"
#include "platform/headless/ReplayBackend.h"
#include "program/Program.h"
#include "program/Replay.h"
#include "support/RecordingSink.h"
#include "title/modModeArgs.h"

namespace fs = std::filesystem;

static std::string Read(const fs::path& path) {
    // A named pipe left in place would block the read.
    if (!fs::is_regular_file(path)) return "(not a regular file)";
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

static void Write(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

static std::string Replaced(std::string text, const std::string& from, const std::string& to) {
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

// Written as a person would on another system: a save by the program writes it as "\n" lines.
const std::string kStored = "[Main]\r\nMouse=37\r\n";
const std::string kSavedAfterStored = "[Main]\nMouse=37\n";
const std::string kSavedDefault = "[Main]\nMouse=100\n";

struct Dirs {
    fs::path program, images, config, ini, replay;
};

// Binary bytes that no text file has, the same every run.
static std::string Garbage(size_t n) {
    std::string bytes(n, '\0');
    for (size_t i = 0; i < n; ++i)
        bytes[i] = static_cast<char>((i * 167 + 13) & 255);
    return bytes;
}

static void HalfOf(const fs::path& file) {
    Write(file, Read(file).substr(0, static_cast<size_t>(fs::file_size(file) / 2)));
}

enum class Limit { None, ReadOnlyConfig, FullDisk };

struct BadFileCase {
    const char* name;
    void (*damage)(const Dirs&);
    Limit limit;
    const char* script;  // headless input from the start: quit at the title, or start a game
    int status;
    std::string err;  // exactly what the program says, {ini} and {images} standing for the paths
    std::string settingsAfter;  // {stored} for the file as it was before the run
    bool kept = false;          // the game played is kept as last.qxr, and reads back
    int signal = 0;             // raised at this pump, or (0) as the first message box comes up
    uint64_t pump = 0;
    std::optional<GameMode> mode = {};  // as --mode gives it; none: the title
};

void PrintTo(const BadFileCase& row, std::ostream* out) {
    *out << row.name;
}

constexpr char kQuit[] = "answer yes\nat pass 5 key down Escape\nat pass 6 key up Escape\n";
constexpr char kPlay[] = "at pass 5 click cmdCasual\n";
constexpr char kPlayAndQuit[] =
    "at pass 5 click cmdCasual\nat pass 30 key down Escape\nat pass 31 key up Escape\n"
    "answer yes\nat pass 60 key down Escape\nat pass 61 key up Escape\n";

static std::string Defaults(const std::string& why) {
    return "quadrix: The settings file '{ini}' " + why + ": the default settings are used.\n";
}
const std::string kNoFolder =
    "quadrix: Can't save the settings to '{ini}': cannot create a file there: Permission "
    "denied.\n";

const BadFileCase kCases[] = {
    // A game chosen on the title is recorded with its choice and kept.
    {"good files", [](const Dirs&) {}, Limit::None, kPlayAndQuit, 0, "", kSavedAfterStored, true},
    // Pictures the program cannot go on without: a message naming the file, status 1, and
    // the settings as they were.
    {"no images folder", [](const Dirs& d) { fs::remove_all(d.images); }, Limit::None, kQuit, 1,
     "quadrix: Can't find file '{images}/Title.gif'.\n", "{stored}"},
    {"Title.gif cut short", [](const Dirs& d) { HalfOf(d.images / "Title.gif"); }, Limit::None,
     kQuit, 1, "quadrix: Can't load picture '{images}/Title.gif': the picture is cut short.\n",
     "{stored}"},
    {"Title.gif no picture", [](const Dirs& d) { Write(d.images / "Title.gif", "Not a picture."); },
     Limit::None, kQuit, 1,
     "quadrix: Can't load picture '{images}/Title.gif': not a BMP or GIF picture.\n", "{stored}"},
    {"Dollar.bmp missing", [](const Dirs& d) { fs::remove(d.images / "Dollar.bmp"); }, Limit::None,
     kPlay, 1, "quadrix: Can't find file '{images}/Dollar.bmp'.\n", "{stored}", true},
    {"Dollar.bmp cut short", [](const Dirs& d) { HalfOf(d.images / "Dollar.bmp"); }, Limit::None,
     kPlay, 1, "quadrix: Can't load picture '{images}/Dollar.bmp': the picture is cut short.\n",
     "{stored}", true},
    {"Dollar.bmp size garbled",
     [](const Dirs& d) {
         const fs::path file = d.images / "Dollar.bmp";
         Write(file, Read(file).replace(18, 8, std::string(8, '\xFF')));
     },
     Limit::None, kPlay, 1,
     "quadrix: Can't load picture '{images}/Dollar.bmp': the picture's size is zero, negative "
     "or too large.\n",
     "{stored}", true},
    // A settings file that cannot be used: the defaults, said once, and a good file at the end.
    {"settings binary garbage", [](const Dirs& d) { Write(d.ini, Garbage(4096)); }, Limit::None,
     kQuit, 0, Defaults("is not a settings file"), kSavedDefault},
    {"settings empty", [](const Dirs& d) { Write(d.ini, ""); }, Limit::None, kQuit, 0,
     Defaults("is empty"), kSavedDefault},
    {"settings 100 MB",
     [](const Dirs& d) {
         Write(d.ini, kStored);
         fs::resize_file(d.ini, 100u << 20);  // sparse: costs no disk
     },
     Limit::None, kQuit, 0, Defaults("is larger than 1 MB"), kSavedDefault},
    {"settings 10 MB line",
     [](const Dirs& d) { Write(d.ini, "[Main]\nMouse=" + std::string(10u << 20, '7') + "\n"); },
     Limit::None, kQuit, 0, Defaults("is larger than 1 MB"), kSavedDefault},
    {"settings a named pipe",
     [](const Dirs& d) {
         fs::remove(d.ini);
         ASSERT_EQ(mkfifo(d.ini.c_str(), 0600), 0);
     },
     Limit::None, kQuit, 0, Defaults("is not a regular file"), kSavedDefault},
    // A save that fails is said and the old file stays whole; the program still ends well.
    {"config folder read-only", [](const Dirs&) {}, Limit::ReadOnlyConfig, kQuit, 0, kNoFolder,
     "{stored}"},
    {"folders read-only and a game played", [](const Dirs&) {}, Limit::ReadOnlyConfig, kPlayAndQuit,
     0,
     "quadrix: the replay was not kept: cannot write '{data}/last.qxr': cannot create a file "
     "there: Permission denied\n" +
         kNoFolder,
     "{stored}"},
    {"garbage in a read-only folder", [](const Dirs& d) { Write(d.ini, Garbage(100)); },
     Limit::ReadOnlyConfig, kQuit, 0, Defaults("is not a settings file") + kNoFolder, Garbage(100)},
    {"disk full", [](const Dirs&) {}, Limit::FullDisk, kQuit, 0,
     "quadrix: Can't save the settings to '{ini}': cannot write: File too large.\n", "{stored}"},
    // A signal ends the program as the title's "Yes" does; a box it dismisses answers No.
    {"SIGTERM during a game", [](const Dirs&) {}, Limit::None, kPlay, 0, "", kSavedAfterStored,
     true, SIGTERM, 80},
    {"SIGTERM during a mode game", [](const Dirs&) {}, Limit::None, "", 0, "", kSavedAfterStored,
     true, SIGTERM, 40, GameMode::Casual},
    {"SIGINT on the title", [](const Dirs&) {}, Limit::None, "", 0, "", kSavedAfterStored, false,
     SIGINT, 20},
    {"SIGHUP with the title's question up", [](const Dirs&) {}, Limit::None,
     "at pass 5 key down Escape\nat pass 6 key up Escape\n", 0, "", kSavedAfterStored, false,
     SIGHUP},
};

class SignalAt : public platform::BackendDecorator {
  public:
    SignalAt(std::unique_ptr<platform::Backend> inner, const BadFileCase& row)
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
    const BadFileCase& row_;
    uint64_t pumps_ = 0;
};

class BadFiles : public ::testing::TestWithParam<BadFileCase> {
  protected:
    void SetUp() override {
        // Open to all, so a run without root's rights can reach the files.
        fs::permissions(root_.path(),
                        fs::perms::owner_all | fs::perms::group_exec | fs::perms::others_exec);
        dirs_.program = root_.File("bin");
        dirs_.images = dirs_.program / "images";
        dirs_.config = root_.File("config");
        dirs_.ini = dirs_.config / "quadrix" / "Quadrix_1_1.ini";
        dirs_.replay = root_.File("data/quadrix/last.qxr");
        fs::create_directories(dirs_.ini.parent_path());
        fs::create_directories(dirs_.replay.parent_path());
        fs::create_directories(dirs_.program);
        // tests/data lies two levels below the repository root, beside images/.
        fs::copy(fs::path(QUADRIX_TEST_DATA).parent_path().parent_path() / "images", dirs_.images);
        Write(dirs_.ini, kStored);
    }

    void TearDown() override {
        std::error_code ignored;
        for (const fs::path& file : {dirs_.ini, dirs_.replay})
            fs::permissions(file.parent_path(), fs::perms::owner_all, ignored);
    }

    // The program's run in a child process: its exit status and its stderr (through a pipe: a
    // file would fall under the full-disk limit).
    std::pair<int, std::string> Run(const BadFileCase& row) {
        int fds[2];
        if (pipe(fds) != 0) return {-1, "no pipe"};
        std::fflush(nullptr);
        const pid_t pid = fork();
        if (pid == 0) {
            ::dup2(fds[1], STDERR_FILENO);
            ::dup2(::open("/dev/null", O_WRONLY), STDOUT_FILENO);
            RunChild(row);
        }
        ::close(fds[1]);
        std::string err;
        char buffer[4096];
        for (ssize_t n; (n = ::read(fds[0], buffer, sizeof buffer)) != 0;) {
            if (n > 0)
                err.append(buffer, static_cast<size_t>(n));
            else if (errno != EINTR)
                break;
        }
        ::close(fds[0]);
        int raw = 0;
        ::waitpid(pid, &raw, 0);
        return {WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw), err};
    }

    [[noreturn]] void RunChild(const BadFileCase& row) {
        ::alarm(120);  // a run that hangs ends, and fails its row, instead of the suite hanging
        if (row.limit == Limit::ReadOnlyConfig) {
            for (const fs::path& file : {dirs_.ini, dirs_.replay})
                fs::permissions(file.parent_path(),
                                fs::perms::owner_read | fs::perms::owner_exec |
                                    fs::perms::group_read | fs::perms::group_exec |
                                    fs::perms::others_read | fs::perms::others_exec);
            // Root writes into any folder: run as nobody, as a player would.
            if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(90);
        }
        if (row.limit == Limit::FullDisk) {
            // No file may grow past 4 bytes; a write beyond fails as on a full disk (and
            // would raise SIGXFSZ, which the program's start-up sets aside).
            ::signal(SIGXFSZ, SIG_DFL);
            const rlimit limit{4, 4};
            if (setrlimit(RLIMIT_FSIZE, &limit) != 0) _exit(91);
        }
        ::setenv("XDG_CONFIG_HOME", dirs_.config.c_str(), 1);
        ::setenv("XDG_DATA_HOME", root_.File("data").c_str(), 1);
        platform::CatchQuitSignals();
        platform::SetProgramFolder(dirs_.program.string());
        ResetProgramState();
        auto headless = std::make_unique<platform::Headless>();
        headless->SetScreenSize(640, 480);
        headless->SetPassLimit(5000);
        platform::HeadlessScript script;
        if (!platform::HeadlessScript::Parse(row.script, script, nullptr)) _exit(92);
        headless->Load(script);
        std::unique_ptr<platform::Backend> backend = std::move(headless);
        if (row.signal) backend = std::make_unique<SignalAt>(std::move(backend), row);
        // As the game runs: every game recorded and kept as last.qxr.
        platform::InstallBackend(std::make_unique<platform::ReplayRecorder>(std::move(backend)));
        SetReplayTargets("", true);
        RunProgram(GameChoice{row.mode, {}});
        _exit(0);
    }

    TempDir root_;
    Dirs dirs_;
};

TEST_P(BadFiles, StatusMessageAndSettingsLeft) {
    const BadFileCase& row = GetParam();
    const std::string stored = Read(dirs_.ini);
    row.damage(dirs_);
    const auto [status, err] = Run(row);
    EXPECT_EQ(status, row.status);
    EXPECT_EQ(err, Replaced(Replaced(Replaced(row.err, "{ini}", dirs_.ini.string()), "{images}",
                                     dirs_.images.string()),
                            "{data}", dirs_.replay.parent_path().string()));
    const std::string after = Read(dirs_.ini);
    const std::string expected = Replaced(row.settingsAfter, "{stored}", stored);
    EXPECT_TRUE(after == expected)
        << "settings left: " << after.size() << " bytes, " << after.substr(0, 40);
    // No temporary file is left beside it.
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dirs_.ini.parent_path()))
        names.push_back(entry.path().filename().string());
    EXPECT_EQ(names, std::vector<std::string>{"Quadrix_1_1.ini"});
    // A fatal error keeps the game under way, whole: it reads back.
    ReplayFile replay;
    std::string error;
    EXPECT_EQ(ReadReplayFile(dirs_.replay.string(), replay, error), row.kept) << error;
    EXPECT_TRUE(!row.kept || (replay.choice.mode == GameMode::Casual && replay.passes >= 1));
    EXPECT_EQ(std::distance(fs::directory_iterator(dirs_.replay.parent_path()), {}), row.kept);
}

INSTANTIATE_TEST_SUITE_P(Cases, BadFiles, ::testing::ValuesIn(kCases), [](const auto& info) {
    std::string name;
    for (const char* c = info.param.name; *c; ++c)
        name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
    return name;
});

// A playback stops with the program, and says so.
TEST(Quit, StopsAPlayback) {
    platform::ReplayPlayer player(std::make_unique<platform::Headless>(), {}, {640, 480});
    RecordingSink sink;
    platform::RequestQuit();
    player.PumpEvents(sink);
    platform::ForgetQuitRequest();
    EXPECT_TRUE(player.Stopped());
}
