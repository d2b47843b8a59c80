#include "platform/clock/SystemClock.h"

#include <ctime>

namespace platform {

uint32_t SystemNowMs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    const uint64_t ms = static_cast<uint64_t>(ts.tv_sec) * 1000u + ts.tv_nsec / 1000000;
    return static_cast<uint32_t>(ms);
}

uint64_t ThreadCpuNs() {
    timespec ts{};
    if (clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts) != 0) clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<uint64_t>(ts.tv_sec) * 1000000000u + static_cast<uint64_t>(ts.tv_nsec);
}

void SystemSleepMs(uint32_t ms) {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    const uint64_t tickMs = static_cast<uint64_t>(ts.tv_sec) * 1000u + ts.tv_nsec / 1000000;
    const int64_t until = static_cast<int64_t>(tickMs + ms) * 1000000;
    // Relative sleeps to the absolute end: emscripten's C library ignores TIMER_ABSTIME.
    for (;;) {
        clock_gettime(CLOCK_MONOTONIC, &ts);
        const int64_t left = until - (static_cast<int64_t>(ts.tv_sec) * 1000000000 + ts.tv_nsec);
        if (left <= 0) return;
        const timespec span{static_cast<time_t>(left / 1000000000),
                            static_cast<long>(left % 1000000000)};
        nanosleep(&span, nullptr);
    }
}

}  // namespace platform
