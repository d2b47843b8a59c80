#include "platform/NumberText.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// printf and strtod round correctly in every C library we build with, so searching for the
// fewest digits that read back gives the same text everywhere.
template <typename T, typename Read>
std::string Shortest(T v, int maxDigits, Read read) {
    if (std::isnan(v)) return std::signbit(v) ? "-nan" : "nan";
    if (std::isinf(v)) return v < 0 ? "-inf" : "inf";
    if (v == 0) return std::signbit(v) ? "-0" : "0";
    char exp[48];
    int digits = 1;
    for (; digits < maxDigits; ++digits) {
        std::snprintf(exp, sizeof exp, "%.*e", digits - 1, static_cast<double>(v));
        if (read(exp) == v) break;
    }
    std::snprintf(exp, sizeof exp, "%.*e", digits - 1, static_cast<double>(v));
    const int power = std::atoi(std::strchr(exp, 'e') + 1);
    const int decimals = digits - 1 - power > 0 ? digits - 1 - power : 0;
    char plain[400];
    std::snprintf(plain, sizeof plain, "%.*f", decimals, static_cast<double>(v));
    // A tie goes to the plain form.
    return std::strlen(plain) <= std::strlen(exp) ? plain : exp;
}

}  // namespace

std::string ShortestText(double v) {
    return Shortest(v, 17, [](const char* s) { return std::strtod(s, nullptr); });
}

std::string ShortestText(float v) {
    return Shortest(v, 9, [](const char* s) { return std::strtof(s, nullptr); });
}
