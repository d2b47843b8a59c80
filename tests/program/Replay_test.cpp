// The replay reader: the fuzz corpus through the fuzz target's entry, and what a refused file
// says.
#include <gtest/gtest.h>

#include "../../fuzz/replay_entry.h"
#include "CorpusFiles.h"

// Every seed is read, and each accepted one played at the smallest screen, as the fuzz target
// does: refused only when named so.
TEST(ReplayCorpus, AcceptedAndPlayedOrRefusedAsNamed) {
    const auto files = corpus::Files("replay");
    const std::string program =
        std::filesystem::path(QUADRIX_TEST_DATA).parent_path().parent_path().string();
    for (const auto& [path, bytes] : files) {
        SCOPED_TRACE(path.string());
        const long events = replayfuzz::ParseBytes(reinterpret_cast<const uint8_t*>(bytes.data()),
                                                   bytes.size(), program);
        const bool refused = path.filename().string().rfind("refused_", 0) == 0;
        EXPECT_EQ(events < 0, refused);
    }
    EXPECT_GE(files.size(), 20u);
}

// A playback ended from outside says so, whatever the game did meanwhile.
TEST(ReplayPlayback, StoppedByThePlayerSaysWhere) {
    const std::filesystem::path data(QUADRIX_TEST_DATA);
    ReplayFile replay;
    std::string error;
    ASSERT_TRUE(ReadReplayFile((data / "replays/casual_keys_mouse.qxr").string(), replay, error))
        << error;
    for (const char* real : {"at pass 50 key down Escape", "at pass 50 close user"}) {
        SCOPED_TRACE(real);
        platform::HeadlessScript script;
        ASSERT_TRUE(platform::HeadlessScript::Parse(real, script, &error));
        const PlaybackVerdict verdict =
            replayfuzz::Play(replay, data.parent_path().parent_path().string(), 1000, script);
        EXPECT_FALSE(verdict.same);
        EXPECT_EQ(verdict.text,
                  "stopped at pass 49 of 302");  // the real devices count pumps from the start
    }
}

// One row a rule of the reader: what the recorder never writes is refused, with the line.
TEST(ReplayReader, RefusalsNameFileLineAndReason) {
    const std::string head = "quadrix-replay 2\nprogram 1.1\nmode cmdCasual\nscreen 640x480\n";
    const std::string good = head + "seed 1\nmouse 100\nat pass 3 key down W\n";
    const std::string end = "end passes 5 hash 00000000000000aa\n";
    const std::string check =
        "check pass 256 hash 0000000000000001 state 0 counter 2 x 3 y 4 hit 1 walls 5 sum 6 "
        "boxes 7";
    struct Row {
        std::string text, message;
    };
    auto screen = [&](const std::string& size) {
        return Row{
            "quadrix-replay 2\nprogram 1.1\nmode cmdCasual\nscreen " + size + "\n",
            "r.qxr:4: screen " + size + " is not one the game records (640x480 to 7680x4320)"};
    };
    // The eighth line, after a good head, refused for why; the message quotes it.
    auto eighth = [&](const std::string& line, const std::string& why) {
        return Row{good + line + "\n", "r.qxr:8: " + why + ": " + line};
    };
    const Row rows[] = {
        {"", "r.qxr:0: not a quadrix replay (empty)"},
        {"BM\x01\x02", "r.qxr:1: not a quadrix replay (no 'quadrix-replay' line)"},
        {"quadrix-replay 3\nprogram 1.2\n",
         "r.qxr:1: replay format 3, this program reads formats 1 and 2"},
        {"quadrix-replay 2\nprogram 1.2\n",
         "r.qxr:2: recorded by quadrix 1.2, this is quadrix 1.1: its games may play differently"},
        {"quadrix-replay 2\nprogram 1.1\nmode cmdNone\n", "r.qxr:3: unknown mode 'cmdNone'"},
        {"quadrix-replay 2\nprogram 1.1\nmode cmdCasual fast\n", "r.qxr:3: unknown option 'fast'"},
        {"quadrix-replay 2\nprogram 1.1\nmode cmdCasual solid ouch\n",
         "r.qxr:3: options come once each, in the order ouch anarchy solid pieces speed: mode "
         "cmdCasual solid ouch"},
        screen("65535x65535"),
        screen("1x1"),
        screen("2x65535"),
        {screen("640x99999999999").text,
         "r.qxr:4: bad screen line (want screen WxH): screen 640x99999999999"},
        {head + "mouse 100\n", "r.qxr:5: expected the 'seed' line, found: mouse 100"},
        {head + "seed -1\n", "r.qxr:5: bad seed line: seed -1"},
        {head + "seed 1\nmouse 200\n", "r.qxr:6: bad mouse line (want 0 to 199): mouse 200"},
        {good + "mode cmdFinal\n", "r.qxr:8: a second 'mode' line"},
        {good + "mouse 3\n", "r.qxr:8: a second 'mouse' line"},
        eighth("at pass 3 key down Nope", "not an event"),
        eighth("at pass 3 cursor 2147483648 0", "not an event"),
        eighth("at ms 5 key down Q", "timed events are not recorded"),
        eighth("at pass 4 click cmdCasual", "clicks are not recorded"),
        eighth("at pass 4 answer yes", "message box answers are not recorded"),
        eighth("at pass 4 mouse down left",
               "mouse button lines are not recorded (buttons are keys)"),
        eighth("at pass 4 close frmMain code", "a recorded close names no form"),
        eighth("at pass 4 close code", "a close from code is not recorded"),
        eighth("at pass 4 joystick 16 unplug", "joystick numbers go from 0 to 15"),
        eighth("at pass 0 key up W", "bad pass number (want at pass 1 to 10000001)"),
        eighth("at pass 2 key up W", "pass 2 comes after pass 3"),
        eighth("key up W", "the game's load comes before its passes"),
        {good + "at pass 7 key up W\n" + end,
         "r.qxr:9: the game ends at pass 5, before the events at pass 7 (line 8)"},
        {good + "end passes 0 hash 00000000000000aa\n",
         "r.qxr:8: end passes 0: a recorded game has 1 to 10000000 passes"},
        eighth("end passes 18446744073709551616 hash 00000000000000aa",
               "bad end line (want end passes N hash HEX)"),
        eighth("end passes 5 hash 12", "bad end line (want end passes N hash HEX)"),
        {good + end + "at pass 9 key up W\n",
         "r.qxr:9: text after the end line: at pass 9 key up W"},
        {good, "r.qxr:7: cut short: no end line"},
        {head, "r.qxr:4: cut short: no 'seed' line"},
        {good + "end passes 300 hash 00000000000000aa\n",
         "r.qxr:8: 300 passes need 1 check lines, found 0"},
        {good + check + "\n" + end,
         "r.qxr:9: the game ends at pass 5, before its check at pass 256"},
        eighth("check pass 512" + check.substr(14),
               "a check line every 256 passes, the next at pass 256"),
        eighth(check + " ",
               "bad check line (want check pass N hash 0000000000000000 state 0 counter 0 x 0 y 0 "
               "hit 0 walls 0 sum 0 boxes 0)"),
        {"quadrix-replay 1" + good.substr(16) + check + "\n",
         "r.qxr:8: check lines came with replay format 2: " + check},
        {good + std::string("at pass 4 key up W\0\n", 20), "r.qxr:8: a NUL byte: not a text file"},
        {good + "#" + std::string(200, 'x') + "\n", "r.qxr:8: a line longer than 200 characters"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text);
        ReplayFile replay;
        std::string error;
        EXPECT_FALSE(ParseReplay(row.text, "r.qxr", replay, error));
        EXPECT_EQ(error, row.message);
    }
    ReplayFile replay;
    std::string error;
    ASSERT_TRUE(ParseReplay(
        good + "at pass 300 key up W\n" + check + "\n" + "end passes 300 hash 00000000000000aa\n",
        "r.qxr", replay, error))
        << error;
    EXPECT_EQ(replay.script.events.size(), 2u);
    EXPECT_EQ(replay.hash, 0xaau);
    ASSERT_EQ(replay.checks.size(), 1u);
    EXPECT_EQ(replay.checks[0].walls, 5);
    EXPECT_TRUE(replay.checks[0].hit);
}
