#include "platform/files/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace platform {
namespace {

BeforeRenameHook gBeforeRename = nullptr;

bool MakeFolder(const std::string& path) {
    if (mkdir(path.c_str(), 0700) == 0 || errno == EEXIST) return true;
    if (errno != ENOENT) return false;
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos || slash == 0) return false;
    if (!MakeFolder(path.substr(0, slash))) return false;
    return mkdir(path.c_str(), 0700) == 0 || errno == EEXIST;
}

bool WriteAll(int fd, const std::string& text) {
    size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n == 0) errno = EIO;  // else the reason would be whatever failed last
        if (n <= 0) return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

// Made with open(), not mkstemp(), so that the file takes the umask as any other the user
// makes; the name is unique to this process and call, and O_EXCL never reuses a stray one.
int CreateBeside(const std::string& path, mode_t mode, std::string& temp) {
    static std::atomic<unsigned> count{0};
    for (int attempt = 0; attempt < 100; ++attempt) {
        temp = path + ".tmp" + std::to_string(getpid()) + "-" + std::to_string(count++);
        const int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

}  // namespace

void SetBeforeRenameHook(BeforeRenameHook hook) {
    gBeforeRename = hook;
}

bool WriteFileAtomically(const std::string& path, const std::string& text, std::string& why,
                         mode_t mode) {
    auto fail = [&why](const char* step) {
        why = std::string(step) + ": " + std::strerror(errno);
        return false;
    };
    const size_t slash = path.find_last_of('/');
    const std::string folder = slash == std::string::npos ? "."
                               : slash == 0               ? "/"
                                                          : path.substr(0, slash);
    if (!MakeFolder(folder)) return fail("cannot make the folder");
    std::string temp;
    const int fd = CreateBeside(path, mode, temp);
    if (fd < 0) return fail("cannot create a file there");
    bool ok = WriteAll(fd, text);
    if (!ok) fail("cannot write");
    if (ok && fsync(fd) != 0) ok = fail("cannot flush to disk");
    if (close(fd) != 0 && ok) ok = fail("cannot write");
    if (ok && gBeforeRename && !gBeforeRename(temp)) {
        why = "interrupted before the new file was put in place";
        ok = false;
    }
    if (ok && std::rename(temp.c_str(), path.c_str()) != 0)
        ok = fail("cannot replace the old file");
    if (!ok) {
        unlink(temp.c_str());
        return false;
    }
    // The rename is only lasting once the folder's entry is on disk too.
    const int dir = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        fsync(dir);
        close(dir);
    }
    return true;
}

}  // namespace platform
