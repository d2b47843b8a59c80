// Whole games through quadrix-sim play: every mode to its end, the same run twice alike.
#include <gtest/gtest.h>

#include "SimRun.h"
#include "TempDir.h"

// "Q" wins from anywhere; the game then ends by itself 402 passes later.
static const fs::path& WinScript() {
    static const fs::path path = [] {
        const fs::path p = fs::temp_directory_path() / ("qx-win-" + std::to_string(getpid()));
        std::ofstream(p) << "# Q pressed during the game's pass 30, seen at 31\nat pass 31 key "
                            "down Q\nat pass 32 key up Q\n";
        return p;
    }();
    return path;
}

class PlayEveryMode : public testing::TestWithParam<const char*> {};

TEST_P(PlayEveryMode, BothLevelsAndOptionSetsPlayToTheirEnd) {
    for (const char* level : {"", " --ouch"}) {
        for (const char* options : {" --anarchy --solid", " --pieces --speed"}) {
            const std::string args = std::string("play --screen 640x480 --seed 3 --mode ") +
                                     GetParam() + level + options + " --input " +
                                     WinScript().string();
            SCOPED_TRACE(args);
            const SimResult r = Sim(args);
            ASSERT_EQ(r.status, 0) << r.err;
            EXPECT_EQ(Value(r.out, "winPass"), "31");
            EXPECT_EQ(Value(r.out, "passes"), "433");  // 31 + 402
            EXPECT_EQ(Value(r.out, "ended"), "true");
        }
    }
}

INSTANTIATE_TEST_SUITE_P(quadrixSim, PlayEveryMode, testing::ValuesIn(kModes));

TEST(quadrixSim, PlayTracesRepeatAndBadInputIsRefused) {
    const TempDir temp;
    const fs::path dir = temp.path();
    const std::string base =
        "play --screen 800x600 --seed 11 --mode cmdDont --passes 120 --mouse 37 ";
    std::string traces[2];
    for (int i = 0; i < 2; ++i) {
        const fs::path trace = dir / ("t" + std::to_string(i));
        const SimResult r =
            Sim(base + "--trace " + trace.string() + " --frames " + (dir / "frames").string() +
                " --every 60 --record " + (dir / "r.qxr").string());
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(Value(r.out, "passes"), "120");
        EXPECT_EQ(Value(r.out, "ended"), "false");  // cut short, not over
        traces[i] = Slurp(trace);
    }
    EXPECT_NE(Slurp(dir / "r.qxr").find("\nmouse 37\n"), std::string::npos);
    EXPECT_EQ(std::count(traces[0].begin(), traces[0].end(), '\n'), 120);
    EXPECT_NE(traces[0].find(R"({"pass":120,"mState":)"), std::string::npos);
    EXPECT_EQ(traces[0], traces[1]);
    EXPECT_TRUE(fs::exists(dir / "frames" / "frame-000120.bmp"));

    std::ofstream(dir / "bad") << "at pass 3 key sideways Q\n";
    // Bad arguments of every command: status 2 and a message, nothing on stdout.
    const std::string settings = "settings --mode cmdCasual --screen ";
    for (const std::string& args :
         {base + "--input " + (dir / "missing").string(),
          base + "--input " + (dir / "bad").string(), std::string("play --mode cmdDont"),
          base + "--passes 0", base + "--mouse 200", std::string("soak --passes 0"),
          std::string("soak --bad 1"), std::string(), std::string("settings --screen 1280x1024"),
          std::string("settings --mode cmdCasual"),
          std::string("settings --mode cmdNothing --screen 1280x1024"), settings + "1280",
          settings + "-5x1024", settings + "99999x1024", settings + "1280x1024 --fast",
          settings + "1280x1024 --seed 12abc", std::string("settings --mode")}) {
        const SimResult r = Sim(args);
        EXPECT_EQ(r.status, 2) << args;
        EXPECT_TRUE(r.out.empty() && !r.err.empty()) << args;
    }
    // A screen no picture can be made for: a message and status 1, not a crash.
    const SimResult huge = Sim("play --mode cmdDont --screen 65535x65535 --passes 1");
    EXPECT_EQ(huge.status, 1);
    EXPECT_EQ(huge.err, "quadrix: Out of memory: a picture of 65535x65535 pixels is too large.\n");
}

// A fatal error during a recorded game keeps the game so far, as the game itself does: here
// a copy of the program whose pictures lack the one the walls load.
TEST(quadrixSim, RecordingKeptOnFatalError) {
    const TempDir temp;
    const fs::path folder = temp.path(), sim = folder / "quadrix-sim";
    const char* env = std::getenv("QUADRIX_SIM");
    fs::copy_file(env ? fs::path(env) : BuiltProgram("quadrix-sim"), sim);
    fs::permissions(sim, fs::perms::owner_all);
    fs::create_directory(folder / "images");
    const SimResult r = RunProgramAt(
        sim, "play --mode cmdDont --screen 640x480 --passes 10 --record " + temp.File("r.qxr"));
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("Dollar.bmp"), std::string::npos) << r.err;
    EXPECT_NE(Slurp(temp.File("r.qxr")).find("\nend passes 1 hash "), std::string::npos);
}

// -h is --help in both programs; the game's lists the modes with their captions, and --mode
// takes a caption in any case.
TEST(quadrixSim, HelpAndModesByCaption) {
    const fs::path sim = BuiltProgram("quadrix-sim"), game = BuiltProgram("quadrix");
    for (const auto& [program, command] : {std::pair{sim, ""}, {sim, "play "}, {game, ""}}) {
        if (!fs::exists(program)) continue;  // a build without SDL has no game
        const SimResult h = RunProgramAt(program, std::string(command) + "-h");
        EXPECT_EQ(h.status, 0) << program << " " << command;
        EXPECT_EQ(h.out, RunProgramAt(program, std::string(command) + "--help").out);
        EXPECT_TRUE(program != game || h.out.find("cmdFinal        FIN\n") != std::string::npos);
    }
    const std::string screen = " --screen 1280x1024";
    for (const auto& [name, caption] : {std::pair{"cmdFinal", "fin"},
                                        {"cmdFun", "'Junk Food'"},
                                        {"cmdSpeedy", "'fast & faded'"},
                                        {"cmdWork", "CMDWORK"}}) {
        const SimResult r = Sim(std::string("settings --mode ") + caption + screen);
        ASSERT_EQ(r.status, 0) << caption << r.err;
        EXPECT_EQ(r.out, Sim(std::string("settings --mode ") + name + screen).out) << caption;
    }
    EXPECT_EQ(Sim("settings --mode Mini" + screen).status, 2);  // no caption to go by
}
