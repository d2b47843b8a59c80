// Millisecond clock (32 bits, wraps), timer resolution and sleeping.
#pragma once

#include <cstdint>

uint32_t timeGetTime();
uint32_t timeBeginPeriod(uint32_t ms);
void Sleep(uint32_t ms);

namespace platform {
// a - b on the 32-bit millisecond clock, right across its wraps.
constexpr int32_t ClockDiff(uint32_t a, uint32_t b) {
    return static_cast<int32_t>(a - b);
}
}  // namespace platform
