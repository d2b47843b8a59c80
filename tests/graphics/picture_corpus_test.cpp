// Replays the picture fuzz corpus through the fuzz target's own entry.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "../../fuzz/picture_entry.h"

TEST(PictureCorpus, EveryFileLoadsOrIsRefused) {
    namespace fs = std::filesystem;
    const fs::path corpus =
        fs::path(QUADRIX_TEST_DATA).parent_path().parent_path() / "fuzz" / "corpus" / "picture";
    const std::string temp = ::testing::TempDir() + "qx_picture_corpus_replay.pic";
    size_t files = 0;
    int loaded = 0;
    for (const auto& entry : fs::directory_iterator(corpus)) {
        if (!entry.is_regular_file()) continue;
        std::ifstream in(entry.path(), std::ios::binary);
        const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                         std::istreambuf_iterator<char>());
        SCOPED_TRACE(entry.path().string());
        const picturefuzz::Outcome outcome =
            picturefuzz::LoadBytes(bytes.data(), bytes.size(), temp);
        // Files named "refused_..." are bad on purpose; every other one is a valid picture.
        const bool bad = entry.path().filename().string().rfind("refused_", 0) == 0;
        EXPECT_EQ(outcome.loaded, bad ? 0 : 2);
        EXPECT_EQ(outcome.refused, bad ? 2 : 0);
        loaded += outcome.loaded;
        ++files;
    }
    EXPECT_GE(files, 5u);
    EXPECT_GT(loaded, 0);
}
