#include "platform/Maths.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <fstream>

static void ExpectBits(double got, double want, double x, const char* what) {
    if (std::isnan(want)) {
        EXPECT_TRUE(std::isnan(got)) << what << " " << std::hexfloat << x;
    } else {
        EXPECT_EQ(std::bit_cast<uint64_t>(got), std::bit_cast<uint64_t>(want))
            << what << " " << std::hexfloat << x << ": " << got << " want " << want;
    }
}

// Correctly rounded values (600-bit arithmetic), one line a case in tests/data/maths_cases.txt:
// x, atan, sin, cos. The steering's own pi/2, ratios of whole offsets that glibc rounds the
// other way, the closest double to a multiple of pi/2 below 2^19, both kinds of reduction.
TEST(Maths, CorrectlyRounded) {
    std::ifstream in(QUADRIX_TEST_DATA "/maths_cases.txt");
    int cases = 0;
    for (std::string line; std::getline(in, line); ++cases) {
        char* at = line.data();
        double x = std::strtod(at, &at), atan = std::strtod(at, &at), sin = std::strtod(at, &at);
        ExpectBits(platform::Atan(x), atan, x, "atan");
        ExpectBits(platform::Sin(x), sin, x, "sin");
        ExpectBits(platform::Cos(x), std::strtod(at, nullptr), x, "cos");
    }
    EXPECT_GE(cases, 23);  // the file was read whole
}

// The C library's answer, or its neighbour when the exact value (to long double) lies within
// 1/16 ulp of the midpoint and not on the C library's side: a near tie glibc rounds wrongly.
template <typename Ours, typename Libc>
static bool SameOrNearTie(Ours ours, Libc libc, double x, int& ties) {
    const double a = ours(x), b = libc(x);
    if (std::bit_cast<uint64_t>(a) == std::bit_cast<uint64_t>(b)) return true;
    const long double exact = libc(static_cast<long double>(x));
    const long double mid = (static_cast<long double>(a) + b) / 2, away = (exact - mid) / (a - b);
    ++ties;
    return std::nextafter(b, a) == a && away > -1.0L / 1024 && away < 1.0L / 16;
}

// Every whole cursor offset up to 500 x 250 pixels through atan, then sine and cosine of the
// steering's angle; and every rotation of text in tenths of a degree.
TEST(Maths, AgreesWithGlibcOverTheGameRange) {
#ifndef __GLIBC__
    GTEST_SKIP() << "the reference is glibc";
#endif
    auto atan = [](auto x) { return std::atan(x); };
    auto sin = [](auto x) { return std::sin(x); };
    auto cos = [](auto x) { return std::cos(x); };
    int ties = 0, count = 0;
    auto check = [&](double x, bool withAtan) {
        count += 2 + withAtan;
        if (withAtan) {
            EXPECT_TRUE(SameOrNearTie(platform::Atan, atan, x, ties)) << x;
            x = std::fabs(platform::Atan(x));
        }
        EXPECT_TRUE(SameOrNearTie(platform::Sin, sin, x, ties)) << x;
        EXPECT_TRUE(SameOrNearTie(platform::Cos, cos, x, ties)) << x;
    };
    for (int dx = 1; dx <= 500; ++dx) {
        for (int dy = -250; dy <= 250; ++dy)
            check(double(dy) / dx, true);
    }
    for (int tenths = 0; tenths < 3600; ++tenths)
        check(tenths * M_PI / 1800.0, false);
    EXPECT_LT(ties, count / 200);
}
