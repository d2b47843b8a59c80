#include "platform/files/ReadFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>

namespace platform {

FileRead ReadWholeFile(const std::string& path, size_t maxBytes) {
    FileRead r;
    const std::string tooLarge = "is larger than " + std::to_string(maxBytes >> 20) + " MB";
    // Non-blocking, so a named pipe put in the file's place cannot hang the reader.
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        if (errno == ENOENT) r.status = FileRead::Missing;
        r.problem = "cannot be read: " + std::string(std::strerror(errno));
        return r;
    }
    struct stat st {};
    if (fstat(fd, &st) != 0) {
        r.problem = "cannot be read: " + std::string(std::strerror(errno));
    } else if (!S_ISREG(st.st_mode)) {
        r.problem = "is not a regular file";
    } else if (static_cast<uintmax_t>(st.st_size) > maxBytes) {
        r.problem = tooLarge;
    } else {
        r.text.reserve(static_cast<size_t>(st.st_size));
        char buffer[65536];
        for (;;) {
            const ssize_t n = read(fd, buffer, sizeof buffer);
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) r.problem = "cannot be read: " + std::string(std::strerror(errno));
            if (n <= 0) break;
            r.text.append(buffer, static_cast<size_t>(n));
            // It may grow while we read: what is read stays bounded all the same.
            if (r.text.size() > maxBytes) {
                r.problem = tooLarge;
                break;
            }
        }
    }
    close(fd);
    if (r.problem.empty()) {
        r.status = FileRead::Read;
    } else {
        r.text.clear();
        r.text.shrink_to_fit();
    }
    return r;
}

}  // namespace platform
