#include "platform/files/Folder.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace platform {

bool ListFolder(const std::string& path, std::vector<FolderEntry>& out, std::string* error) {
    out.clear();
    DIR* dir = opendir(path.c_str());
    if (!dir) {
        if (error) *error = "Can't read folder '" + path + "': " + std::strerror(errno);
        return false;
    }
    int fd = dirfd(dir);
    for (;;) {
        errno = 0;
        dirent* entry = readdir(dir);
        if (!entry) break;
        // Hidden entries, "." and ".." all start with a dot.
        if (entry->d_name[0] == '.') continue;
        FolderEntry item;
        item.name = entry->d_name;
        struct stat st {};
        // Follows symbolic links: a link to a folder is a folder; a dangling link is a file.
        if (fstatat(fd, entry->d_name, &st, 0) == 0) item.isFolder = S_ISDIR(st.st_mode);
        out.push_back(std::move(item));
    }
    int readError = errno;
    closedir(dir);
    if (readError != 0) {
        out.clear();
        if (error) *error = "Can't read folder '" + path + "': " + std::strerror(readError);
        return false;
    }
    // Directory order depends on the file system; sorting makes every run list alike.
    std::sort(out.begin(), out.end(),
              [](const FolderEntry& a, const FolderEntry& b) { return a.name < b.name; });
    return true;
}

}  // namespace platform
