// Whole games through quadrix-sim play: every mode to its end, the same run twice alike.
#include <gtest/gtest.h>

#include "SimRun.h"
#include "TempDir.h"

namespace {

// "Q" wins from anywhere; the game then ends by itself 402 passes later.
const fs::path& WinScript() {
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
            EXPECT_EQ(Value(r.out, "finalState"), "4");
        }
    }
}

INSTANTIATE_TEST_SUITE_P(quadrixSim, PlayEveryMode, testing::ValuesIn(kModes));

TEST(quadrixSim, PlayTracesRepeatAndBadInputIsRefused) {
    const TempDir temp;
    const fs::path dir = temp.path();
    const std::string base = "play --screen 800x600 --seed 11 --mode cmdDont --passes 120 ";
    std::string traces[2];
    for (int i = 0; i < 2; ++i) {
        const fs::path trace = dir / ("t" + std::to_string(i));
        const SimResult r = Sim(base + "--trace " + trace.string() + " --frames " +
                                (dir / "frames").string() + " --every 60");
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(Value(r.out, "passes"), "120");
        traces[i] = Slurp(trace);
    }
    EXPECT_EQ(std::count(traces[0].begin(), traces[0].end(), '\n'), 120);
    EXPECT_NE(traces[0].find(R"({"pass":120,"mState":)"), std::string::npos);
    EXPECT_EQ(traces[0], traces[1]);
    EXPECT_TRUE(fs::exists(dir / "frames" / "frame-000120.bmp"));

    std::ofstream(dir / "bad") << "at pass 3 key sideways Q\n";
    for (const std::string& args :
         {base + "--input " + (dir / "missing").string(),
          base + "--input " + (dir / "bad").string(), std::string("play --mode cmdDont"),
          base + "--passes 0", std::string("soak --passes 0"), std::string("soak --bad 1")}) {
        const SimResult r = Sim(args);
        EXPECT_EQ(r.status, 2) << args;
        EXPECT_TRUE(r.out.empty() && !r.err.empty()) << args;
    }
    // A screen no picture can be made for: a message and status 1, not a crash.
    const SimResult huge = Sim("play --mode cmdDont --screen 65535x65535 --passes 1");
    EXPECT_EQ(huge.status, 1);
    EXPECT_EQ(huge.err, "quadrix: Out of memory: a picture of 65535x65535 pixels is too large.\n");
}

}  // namespace
