#include "platform/Signals.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <initializer_list>

namespace platform {

namespace {

volatile std::sig_atomic_t gQuit = 0;
int gPipe[2] = {-1, -1};
pid_t gOwner = 0;

void Note() {
    gQuit = 1;
    // Wakes a thread waiting on the descriptor; a full pipe is awake already.
    if (gPipe[1] >= 0) {
        const char byte = 1;
        [[maybe_unused]] const ssize_t n = ::write(gPipe[1], &byte, 1);
    }
}

extern "C" void OnQuitSignal(int sig) {
    // A copy made by fork (the process of a message box) has nothing to save: it just ends.
    if (::getpid() != gOwner) ::_exit(128 + sig);
    const int saved = errno;  // the interrupted code may be about to read it
    Note();
    errno = saved;
}

}  // namespace

void CatchQuitSignals() {
    if (gOwner != 0) return;
    gOwner = ::getpid();
    if (::pipe(gPipe) != 0) {
        gPipe[0] = gPipe[1] = -1;
    } else {
        for (const int fd : gPipe) {
            ::fcntl(fd, F_SETFD, FD_CLOEXEC);
            ::fcntl(fd, F_SETFL, O_NONBLOCK);
        }
    }
    struct sigaction action {};
    action.sa_handler = OnQuitSignal;
    sigemptyset(&action.sa_mask);
    // Interrupted system calls go on: the request is acted on at the next event pump.
    action.sa_flags = SA_RESTART;
    for (const int sig : {SIGTERM, SIGINT, SIGHUP})
        sigaction(sig, &action, nullptr);
}

void RequestQuit() {
    Note();
}

bool QuitRequested() {
    return gQuit != 0;
}

int QuitDescriptor() {
    return gPipe[0];
}

void ForgetQuitRequest() {
    gQuit = 0;
    char drain[64];
    if (gPipe[0] >= 0) {
        while (::read(gPipe[0], drain, sizeof drain) > 0) {
        }
    }
}

void TakeNoSignals() {
    sigset_t all;
    sigfillset(&all);
    pthread_sigmask(SIG_BLOCK, &all, nullptr);
}

}  // namespace platform
