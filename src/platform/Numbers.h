// Conversions from fractions to whole numbers, as the game's rules name them.
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
