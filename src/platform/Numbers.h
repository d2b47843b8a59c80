// Conversions from fractions to whole numbers, as the game's rules name them, and the wrap of a
// whole number onto a period.
#pragma once

#include <cmath>
#include <cstdint>

// A whole double beyond the 32-bit range saturates at its end; not-a-number gives 0. (The old
// runtime stopped with an overflow error; a frame must not.)
inline int32_t SaturateInt32(double whole) {
    if (std::isnan(whole)) return 0;
    if (whole <= INT32_MIN) return INT32_MIN;
    if (whole >= INT32_MAX) return INT32_MAX;
    return static_cast<int32_t>(whole);
}
// Largest whole number not above x.
inline int32_t Int(double x) {
    return SaturateInt32(std::floor(x));
}
// Nearest whole number, halves to the even one (the old runtime's CLng / CInt).
inline int32_t Nearest(double x) {
    return SaturateInt32(std::nearbyint(x));
}
inline int32_t CLng(double x) {
    return Nearest(x);
}
// Wraps v into 0 <= v < period (period > 0), whole cycles at a time in either direction.
inline int64_t Wrap(int64_t v, int64_t period) {
    const int64_t r = v % period;
    return r < 0 ? r + period : r;
}
