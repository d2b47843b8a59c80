// The replay reader: the fuzz corpus through the fuzz target's entry, and what a refused file
// says.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "../../fuzz/replay_entry.h"
#include "CorpusFiles.h"

TEST(ReplayCorpus, AcceptedOrRefusedAsNamed) {
    const auto files = corpus::Files("replay");
    for (const auto& [path, bytes] : files) {
        SCOPED_TRACE(path.string());
        const long events =
            replayfuzz::ParseBytes(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
        const bool refused = path.filename().string().rfind("refused_", 0) == 0;
        EXPECT_EQ(events < 0, refused);
    }
    EXPECT_GE(files.size(), 5u);
}

TEST(ReplayReader, RefusalsNameFileLineAndReason) {
    const std::string head = "quadrix-replay 1\nprogram 1.1\nmode cmdCasual\nscreen 640x480\n";
    const std::string good = head + "seed 1\nmouse 100\nat pass 3 key down W\n";
    const std::string end = "end passes 5 hash 00000000000000aa\n";
    const struct {
        std::string text, message;
    } rows[] = {
        {"", "r.qxr:0: not a quadrix replay (empty)"},
        {"BM\x01\x02", "r.qxr:1: not a quadrix replay (no 'quadrix-replay' line)"},
        {"quadrix-replay 2\nprogram 1.2\n",
         "r.qxr:1: replay format 2, this program reads format 1"},
        {"quadrix-replay 1\nprogram 1.2\n",
         "r.qxr:2: recorded by quadrix 1.2, this is quadrix 1.1: its games may play differently"},
        {"quadrix-replay 1\nprogram 1.1\nmode cmdNone\n", "r.qxr:3: unknown mode 'cmdNone'"},
        {"quadrix-replay 1\nprogram 1.1\nmode cmdCasual fast\n", "r.qxr:3: unknown option 'fast'"},
        {head + "mouse 100\n", "r.qxr:5: expected the 'seed' line, found: mouse 100"},
        {head + "seed -1\n", "r.qxr:5: bad seed line: seed -1"},
        {head + "seed 1\nmouse 100\nat pass 3 key down Nope\n" + end,
         "r.qxr:7: not an event: at pass 3 key down Nope"},
        {good, "r.qxr:7: cut short: no end line"},
        {head, "r.qxr:4: cut short: no 'seed' line"},
        {good + "end passes 5 hash 12\n",
         "r.qxr:8: bad end line (want end passes N hash HEX): "
         "end passes 5 hash 12"},
        {good + end + "at pass 9 key up W\n",
         "r.qxr:9: text after the end line: at pass 9 key up W"},
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
    ASSERT_TRUE(ParseReplay(good + end, "r.qxr", replay, error)) << error;
    EXPECT_EQ(replay.script.events.size(), 1u);
    EXPECT_EQ(replay.hash, 0xaau);
}

TEST(ReplayReader, KeptAtomicallyOrNotAtAll) {
    namespace fs = std::filesystem;
    const fs::path dir = fs::path(::testing::TempDir()) / "qx_replay_keep";
    fs::remove_all(dir);
    std::string error;
    ASSERT_TRUE(WriteFileAtomically((dir / "sub" / "last.qxr").string(), "new\n", error)) << error;
    ASSERT_TRUE(WriteFileAtomically((dir / "sub" / "last.qxr").string(), "newer\n", error));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir / "sub"), fs::directory_iterator{}), 1);
    std::ifstream in(dir / "sub" / "last.qxr");
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "newer\n");
    // A folder that is a file: refused with the path, nothing left behind.
    EXPECT_FALSE(WriteFileAtomically((dir / "sub" / "last.qxr" / "x.qxr").string(), "x", error));
    EXPECT_NE(error.find("last.qxr"), std::string::npos) << error;
    fs::remove_all(dir);
}
