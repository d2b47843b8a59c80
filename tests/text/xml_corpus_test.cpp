// Replays the XML fuzz corpus through the fuzz target's own entry.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "../../fuzz/xml_entry.h"

TEST(XmlCorpus, EveryFileParses) {
    const auto corpus = std::filesystem::path(QUADRIX_TEST_DATA).parent_path().parent_path() /
                        "fuzz" / "corpus" / "xml";
    const std::string temp = ::testing::TempDir() + "qx_xml_corpus_replay.txt";
    size_t files = 0, events = 0;
    for (const auto& entry : std::filesystem::directory_iterator(corpus)) {
        SCOPED_TRACE(entry.path().string());
        std::ifstream in(entry.path(), std::ios::binary);
        const std::string bytes{std::istreambuf_iterator<char>(in), {}};
        events +=
            xmlfuzz::ParseBytes(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), temp);
        ++files;
    }
    EXPECT_GE(files, 5u);
    EXPECT_GT(events, 0u);
}
