// Replays through quadrix-sim replay: the kept recordings play back pass for pass, a fresh
// recording plays back to the same trace, and an altered one fails --check.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>

#include "SimRun.h"
#include "TempDir.h"

const fs::path kReplays = fs::path(QUADRIX_TEST_DATA) / "replays";
constexpr size_t kBig = (16u << 20) + 1;

static std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

// The first difference between two traces, state before picture: "" when alike.
static std::string FirstDifference(const std::string& played, const std::string& recorded) {
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

static std::vector<std::string> KeptNames() {
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
                             "30\nat pass 70 key down S\nat pass 90 key up S\nat pass 700 key "
                             "down D\n";
    const SimResult rec =
        Sim("play --mode cmdWork --screen 640x480 --seed 21 --passes 768 --input " + script +
            " --record " + replay + " --trace " + recordedTrace);
    ASSERT_EQ(rec.status, 0) << rec.err;
    const SimResult play = Sim("replay " + replay + " --check --trace " + playedTrace);
    EXPECT_EQ(play.status, 0) << play.err;
    EXPECT_EQ(FirstDifference(Slurp(playedTrace), Slurp(recordedTrace)), "");
    EXPECT_EQ(Lines(Slurp(playedTrace)).size(), 768u);
    EXPECT_EQ(Value(play.out, "checks"), "3");

    // The man turns ten passes late at pass 700: the check after it names the pass (the last,
    // where the recording was cut).
    std::string text = Slurp(replay);
    const size_t at = text.find("at pass 700 key down D");
    ASSERT_NE(at, std::string::npos) << text;
    text.replace(at, 11, "at pass 710");
    std::ofstream(altered) << text;
    const SimResult bad = Sim("replay --check " + altered);
    EXPECT_EQ(bad.status, 1);
    EXPECT_EQ(Value(bad.out, "firstDifference"), "768");
    EXPECT_NE(bad.err.find(": DIFFERENT from the recording: ended at pass 768 of 768, final hash "),
              std::string::npos)
        << bad.err;
    EXPECT_NE(bad.err.find("; first differs at pass 768: state hash "), std::string::npos)
        << bad.err;

    // Format 1, without check lines, still plays.
    std::string old = Slurp(kReplays / "casual_keys_mouse.qxr");
    old.replace(0, 16, "quadrix-replay 1");
    old.erase(old.find("check pass"), old.find("\nend") - old.find("check pass") + 1);
    std::ofstream(altered, std::ios::trunc) << old;
    EXPECT_EQ(Sim("replay --check " + altered).status, 0) << old;
}

// Files from strangers, through both programs: refused with the file and the reason before
// anything is shown, or played to their end, which says how it went.
TEST(quadrixSim, HostileFilesAreRefusedOrPlayedToTheirEnd) {
    const TempDir temp;
    const std::string file = temp.File("hostile.qxr");
    const std::string head = "quadrix-replay 2\nprogram 1.1\nmode cmdCasual\n";
    const std::string small = head + "screen 640x480\nseed 3\nmouse 100\n";
    const fs::path game = BuiltProgram("quadrix");
    const struct {
        std::string path, text;
        int status;
        std::string err;
    } rows[] = {
        // What the reader refuses, with its line (the reader's own test has every rule).
        {file, small + "at pass 3 close frmMain code\n", 2,
         file + ":7: a recorded close names no form"},
        {file, small + std::string(kBig, '#'), 2, file + ": the file is larger than 16 MB"},
        {"/dev/zero", "", 2, "/dev/zero: the file is not a regular file"},
        {temp.File("fifo"), "", 2, temp.File("fifo") + ": the file is not a regular file"},
        {temp.path(), "", 2, temp.path() + ": the file is not a regular file"},
        // A game that went another way, and one that ends before its recorded end.
        {file, small + "at pass 2 key down D\nend passes 40 hash 0000000000000000\n", 1,
         file + ": DIFFERENT from the recording: ended at pass 40 of 40, final hash "},
        {file,
         small + "at pass 5 key down Escape\nat pass 6 key up Escape\nend passes 200 hash "
                 "0000000000000000\n",
         1, file + ": DIFFERENT from the recording: ended at pass 6 of 200, final hash "},
    };
    ASSERT_EQ(mkfifo(temp.File("fifo").c_str(), 0600), 0);
    for (const auto& row : rows) {
        SCOPED_TRACE(row.err);
        if (!row.text.empty()) std::ofstream(row.path, std::ios::trunc) << row.text;
        const SimResult sim = Sim("replay --check " + row.path);
        EXPECT_EQ(sim.status, row.status);
        EXPECT_NE(sim.err.find("quadrix-sim replay: " + row.err), std::string::npos) << sim.err;
        if (!fs::exists(game)) continue;
        // On SDL's dummy drivers, in real time (the played rows are short), out of the way of
        // the player's own settings and replays.
        const SimResult onScreen = RunProgramAt(
            "SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy XDG_CONFIG_HOME=" + temp.path() +
                " XDG_DATA_HOME=" + temp.path() + " " + game.string(),
            "--replay " + row.path);
        EXPECT_EQ(onScreen.status, row.status);
        EXPECT_NE((onScreen.err + onScreen.out).find("quadrix: " + row.err), std::string::npos)
            << onScreen.err;
    }
}
