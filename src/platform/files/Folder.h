// Folder listing: the entries of one folder, hidden entries (names starting with '.') left out.
#pragma once

#include <string>
#include <vector>

namespace platform {

struct FolderEntry {
    std::string name;  // entry name without the folder
    bool isFolder = false;
};

// False with *error set (naming the path) when the folder cannot be read.
bool ListFolder(const std::string& path, std::vector<FolderEntry>& out, std::string* error);

}  // namespace platform
