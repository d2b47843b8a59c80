// Replays through quadrix-sim replay: the kept recordings play back pass for pass, a fresh
// recording plays back to the same trace, and an altered one fails --check.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <vector>

#include "SimRun.h"
#include "TempDir.h"

namespace {

const fs::path kReplays = fs::path(QUADRIX_TEST_DATA) / "replays";

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

// The first difference between two traces, state before picture: "" when alike.
std::string FirstDifference(const std::string& played, const std::string& recorded) {
    const std::vector<std::string> a = Lines(played), b = Lines(recorded);
    for (size_t i = 0; i < std::min(a.size(), b.size()); ++i) {
        for (const char* key :
             {"mState", "mStateCounter", "mX", "mY", "Hit", "walls", "wallSum", "boxes", "hash"}) {
            if (Value(a[i], key) != Value(b[i], key))
                return "pass " + std::to_string(i + 1) + ": " + key + " is " + Value(a[i], key) +
                       ", recorded " + Value(b[i], key);
        }
    }
    if (a.size() != b.size())
        return "played " + std::to_string(a.size()) + " passes, recorded " +
               std::to_string(b.size());
    return "";
}

class KeptReplay : public testing::TestWithParam<std::string> {};

TEST_P(KeptReplay, PlaysBackPassForPass) {
    const fs::path replay = kReplays / (GetParam() + ".qxr");
    const TempDir temp;
    const std::string trace = temp.File("trace");
    const SimResult r = Sim("replay --check " + replay.string() + " --trace " + trace);
    EXPECT_EQ(FirstDifference(Slurp(trace), Slurp(kReplays / (GetParam() + ".trace"))), "");
    EXPECT_EQ(r.status, 0) << r.err;
}

std::vector<std::string> KeptNames() {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(kReplays))
        if (entry.path().extension() == ".qxr") names.push_back(entry.path().stem().string());
    std::sort(names.begin(), names.end());
    return names;
}

INSTANTIATE_TEST_SUITE_P(quadrixSim, KeptReplay, testing::ValuesIn(KeptNames()),
                         [](const auto& info) { return info.param; });

TEST(quadrixSim, RecordingPlaysBackAndAlteredInputFailsCheck) {
    const TempDir temp;
    const std::string script = temp.File("script"), replay = temp.File("qxr"),
                      altered = temp.File("altered.qxr"), recordedTrace = temp.File("recorded"),
                      playedTrace = temp.File("played");
    std::ofstream(script) << "at pass 20 key down D\nat pass 40 key up D\nat pass 41 cursor 90 "
                             "30\nat pass 70 key down S\nat pass 90 key up S\n";
    const SimResult rec =
        Sim("play --mode cmdWork --screen 640x480 --seed 21 --passes 150 --input " + script +
            " --record " + replay + " --trace " + recordedTrace);
    ASSERT_EQ(rec.status, 0) << rec.err;
    const SimResult play = Sim("replay " + replay + " --check --trace " + playedTrace);
    EXPECT_EQ(play.status, 0) << play.err;
    EXPECT_EQ(FirstDifference(Slurp(playedTrace), Slurp(recordedTrace)), "");
    EXPECT_EQ(Lines(Slurp(playedTrace)).size(), 150u);

    // The man turns down ten passes late: same length, another playfield.
    std::string text = Slurp(replay);
    const size_t at = text.find("at pass 70 key down S");
    ASSERT_NE(at, std::string::npos) << text;
    text.replace(at, 10, "at pass 80");
    std::ofstream(altered) << text;
    const SimResult bad = Sim("replay --check " + altered);
    EXPECT_EQ(bad.status, 1);
    EXPECT_NE(bad.err.find("final playfield hash"), std::string::npos) << bad.err;

    // Damaged and other-version files are refused with the reason, not played.
    std::ofstream(altered) << "quadrix-replay 7\n";
    const SimResult future = Sim("replay --check " + altered);
    EXPECT_EQ(future.status, 2);
    EXPECT_NE(future.err.find(altered + ":1: replay format 7, this program reads format 1"),
              std::string::npos)
        << future.err;
}

}  // namespace
