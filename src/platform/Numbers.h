// Conversions from fractions to whole numbers, as the game's rules name them.
#pragma once

#include <cmath>
#include <cstdint>

// Largest whole number not above x.
inline int32_t Int(double x) {
    return static_cast<int32_t>(std::floor(x));
}
// Nearest whole number, halves to the even one (the old runtime's CLng / CInt).
inline int32_t Nearest(double x) {
    return static_cast<int32_t>(std::nearbyint(x));
}
inline int32_t CLng(double x) {
    return Nearest(x);
}
