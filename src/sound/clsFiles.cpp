#include "sound/clsFiles.h"

#include <algorithm>
#include <filesystem>
#include <set>
#include <utility>

#include "platform/Error.h"
#include "platform/Numbers.h"
#include "platform/Random.h"
#include "platform/files/Folder.h"

namespace {

std::string WithSeparator(const std::string& folder) {
    if (!folder.empty() && folder.back() == '/') return folder;
    return folder + "/";
}

}  // namespace

void clsFiles::Initialize(const std::string& pPath) {
    const std::string top = WithSeparator(pPath);
    std::vector<platform::FolderEntry> entries;
    std::string error;
    // A folder we cannot read is an error, not an empty list; nothing changes before it.
    if (!platform::ListFolder(top, entries, &error)) {
        throw platform::Error(platform::kObjectError1, error);
    }
    mPath = pPath;

    std::vector<std::string> queue{top};
    // Links may lead back up the tree; each real folder is listed once.
    std::set<std::filesystem::path> visited;
    for (size_t i = 0; i < queue.size(); ++i) {
        const std::string folder = queue[i];
        std::error_code ec;
        const auto real = std::filesystem::canonical(folder, ec);
        if (!ec && !visited.insert(real).second) continue;
        // An unreadable subfolder is left out, as a listing of its parent would show it empty.
        if (i > 0 && !platform::ListFolder(folder, entries, nullptr)) continue;
        for (const auto& entry : entries) {
            if (entry.isFolder) {
                queue.push_back(folder + entry.name + "/");
            } else {
                mFiles.push_back(folder + entry.name);
            }
        }
    }
    mCount = static_cast<int32_t>(mFiles.size());
}

size_t clsFiles::ListedCount() const {
    if (mCount <= 0) return 0;
    return std::min(static_cast<size_t>(mCount), mFiles.size());
}

const std::string& clsFiles::Entry(int32_t pIndex) const {
    if (pIndex < 1 || pIndex > mCount || static_cast<size_t>(pIndex) > mFiles.size()) {
        throw platform::Error(platform::kObjectError1, "Index '" + std::to_string(pIndex) +
                                                           "' is either below 1 or larger than " +
                                                           std::to_string(mCount));
    }
    return mFiles[static_cast<size_t>(pIndex) - 1];
}

std::string clsFiles::FileNamePath(int32_t pIndex) const {
    return Entry(pIndex);
}

std::string clsFiles::Filename(int32_t pIndex) const {
    const std::string& path = Entry(pIndex);
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string clsFiles::FileNamePathRandom() const {
    const size_t count = ListedCount();
    if (count == 0) throw platform::Error(platform::kObjectError1, "The file list is empty.");
    return mFiles[static_cast<size_t>(Int(Rnd() * static_cast<double>(count)))];
}

void clsFiles::BubbleSort() {
    const size_t count = ListedCount();
    bool swapped = true;
    for (size_t end = count; swapped && end > 1; --end) {
        swapped = false;
        for (size_t i = 0; i + 1 < end; ++i) {
            // Plain character codes: upper case sorts before lower case.
            if (mFiles[i + 1] < mFiles[i]) {
                std::swap(mFiles[i], mFiles[i + 1]);
                swapped = true;
            }
        }
    }
}
