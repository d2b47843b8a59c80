// Replays the picture fuzz corpus through the fuzz target's own entry.
#include <gtest/gtest.h>

#include "../../fuzz/picture_entry.h"
#include "CorpusFiles.h"

TEST(PictureCorpus, EveryFileLoadsOrIsRefused) {
    const std::string temp = ::testing::TempDir() + "qx_picture_corpus_replay.pic";
    const auto files = corpus::Files("picture");
    int loaded = 0;
    for (const auto& [path, bytes] : files) {
        SCOPED_TRACE(path.string());
        const auto outcome = picturefuzz::LoadBytes(reinterpret_cast<const uint8_t*>(bytes.data()),
                                                    bytes.size(), temp);
        // Files named "refused_..." are bad on purpose; every other one is a valid picture.
        const bool bad = path.filename().string().rfind("refused_", 0) == 0;
        EXPECT_EQ(outcome.loaded, bad ? 0 : 2);
        EXPECT_EQ(outcome.refused, bad ? 2 : 0);
        loaded += outcome.loaded;
    }
    EXPECT_GE(files.size(), 5u);
    EXPECT_GT(loaded, 0);
}
