#include "platform/sdl/SdlSignals.h"

#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <system_error>

#include "platform/Signals.h"

namespace platform::sdl {

namespace {
// How often a box's process is looked for once the request came: SDL may not have made it yet.
constexpr int kLookAgainMs = 20;

// The processes whose parent is this one.
std::vector<pid_t> ChildProcesses() {
    std::vector<pid_t> children;
    const pid_t self = ::getpid();
    DIR* proc = ::opendir("/proc");
    if (!proc) return children;
    while (const dirent* entry = ::readdir(proc)) {
        char* end = nullptr;
        const long pid = std::strtol(entry->d_name, &end, 10);
        if (pid <= 0 || *end != '\0') continue;
        char path[64];
        std::snprintf(path, sizeof path, "/proc/%ld/stat", pid);
        const int fd = ::open(path, O_RDONLY | O_CLOEXEC);
        if (fd < 0) continue;
        char stat[512];
        const ssize_t n = ::read(fd, stat, sizeof stat - 1);
        ::close(fd);
        if (n <= 0) continue;
        stat[n] = '\0';
        // "pid (name) state ppid ...": the name may hold anything, so read after its last ')'.
        const char* name = std::strrchr(stat, ')');
        char state = 0;
        long parent = 0;
        if (name && std::sscanf(name + 1, " %c %ld", &state, &parent) == 2 && parent == self)
            children.push_back(static_cast<pid_t>(pid));
    }
    ::closedir(proc);
    return children;
}

}  // namespace

BoxDismisser::BoxDismisser() : before_(ChildProcesses()) {
    // Without a watch the box just waits for its answer.
    if (::pipe2(stop_, O_CLOEXEC) != 0) return;
    try {
        thread_ = std::thread([this] { Watch(); });
    } catch (const std::system_error&) {
    }
}

BoxDismisser::~BoxDismisser() {
    if (thread_.joinable()) {
        const char byte = 1;
        [[maybe_unused]] const ssize_t n = ::write(stop_[1], &byte, 1);
        thread_.join();
    }
    for (const int fd : stop_) {
        if (fd >= 0) ::close(fd);
    }
}

void BoxDismisser::Watch() {
    TakeNoSignals();
    pollfd fds[2] = {{stop_[0], POLLIN, 0}, {QuitDescriptor(), POLLIN, 0}};
    for (;;) {
        const bool quit = QuitRequested();
        fds[0].revents = fds[1].revents = 0;
        if (::poll(fds, quit ? 1 : 2, quit ? kLookAgainMs : -1) < 0 && errno != EINTR) return;
        if (fds[0].revents != 0) return;
        if (!QuitRequested()) continue;
        for (const pid_t child : ChildProcesses()) {
            if (std::find(before_.begin(), before_.end(), child) != before_.end()) continue;
            // A copy of this program or zenity: neither has anything to save.
            ::kill(child, SIGKILL);
            dismissed_ = true;
        }
    }
}

}  // namespace platform::sdl
