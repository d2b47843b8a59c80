// Replays the XML fuzz corpus through the fuzz target's own entry.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "../../fuzz/xml_entry.h"

TEST(XmlCorpus, EveryFileParses) {
    namespace fs = std::filesystem;
    const fs::path corpus =
        fs::path(QUADRIX_TEST_DATA).parent_path().parent_path() / "fuzz" / "corpus" / "xml";
    const std::string temp = ::testing::TempDir() + "qx_xml_corpus_replay.txt";
    size_t files = 0;
    size_t events = 0;
    for (const auto& entry : fs::directory_iterator(corpus)) {
        if (!entry.is_regular_file()) continue;
        std::ifstream in(entry.path(), std::ios::binary);
        const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                         std::istreambuf_iterator<char>());
        SCOPED_TRACE(entry.path().string());
        events += xmlfuzz::ParseBytes(bytes.data(), bytes.size(), temp);
        ++files;
    }
    EXPECT_GE(files, 5u);
    EXPECT_GT(events, 0u);
}
