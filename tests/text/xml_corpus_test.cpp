// Replays the XML fuzz corpus through the fuzz target's own entry.
#include <gtest/gtest.h>

#include "../../fuzz/xml_entry.h"
#include "CorpusFiles.h"

TEST(XmlCorpus, EveryFileParses) {
    const std::string temp = ::testing::TempDir() + "qx_xml_corpus_replay.txt";
    const auto files = corpus::Files("xml");
    size_t events = 0;
    for (const auto& [path, bytes] : files) {
        SCOPED_TRACE(path.string());
        events +=
            xmlfuzz::ParseBytes(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), temp);
    }
    EXPECT_GE(files.size(), 5u);
    EXPECT_GT(events, 0u);
}
