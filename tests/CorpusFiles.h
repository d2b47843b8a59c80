// The seed files of one fuzz corpus folder, for the corpus replay tests.
#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

namespace corpus {

// Every regular file of fuzz/corpus/<name>, with its bytes.
inline std::vector<std::pair<std::filesystem::path, std::string>> Files(const std::string& name) {
    namespace fs = std::filesystem;
    const fs::path folder =
        fs::path(QUADRIX_TEST_DATA).parent_path().parent_path() / "fuzz" / "corpus" / name;
    std::vector<std::pair<fs::path, std::string>> files;
    for (const auto& entry : fs::directory_iterator(folder)) {
        if (!entry.is_regular_file()) continue;
        std::ifstream in(entry.path(), std::ios::binary);
        files.emplace_back(entry.path(), std::string(std::istreambuf_iterator<char>(in), {}));
    }
    return files;
}

}  // namespace corpus
