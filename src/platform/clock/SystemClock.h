// The machine's own monotonic clock, for back ends that run in real time.
#pragma once

#include <cstdint>

namespace platform {

// Milliseconds since an arbitrary start, 32 bits, wrapping like the old multimedia clock.
uint32_t SystemNowMs();
// Sleeps until the millisecond clock has moved on by ms, waking on its tick as the old timer did
// at 1 ms resolution: a frame's wait then needs no spinning to start on its millisecond.
// Interrupted sleeps are resumed.
void SystemSleepMs(uint32_t ms);
// CPU time of the calling thread in nanoseconds; where the system keeps no such clock (node),
// the monotonic clock stands in, which counts the same while the thread runs alone.
uint64_t ThreadCpuNs();

}  // namespace platform
