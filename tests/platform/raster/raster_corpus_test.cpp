// Replays the raster fuzz corpus through the fuzz target's own entry.
#include <gtest/gtest.h>

#include "../../../fuzz/raster_entry.h"
#include "CorpusFiles.h"

TEST(RasterCorpus, EveryFileRuns) {
    const auto files = corpus::Files("raster");
    int calls = 0;
    for (const auto& [path, bytes] : files) {
        SCOPED_TRACE(path.string());
        calls += rasterfuzz::Run(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    }
    EXPECT_GE(files.size(), 4u);
    EXPECT_GT(calls, 0);
}
