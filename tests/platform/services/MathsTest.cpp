#include "platform/Maths.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

void ExpectBits(double got, double want, double x, const char* what) {
    if (std::isnan(want)) {
        EXPECT_TRUE(std::isnan(got)) << what << " " << std::hexfloat << x;
    } else {
        EXPECT_EQ(std::bit_cast<uint64_t>(got), std::bit_cast<uint64_t>(want))
            << what << " " << std::hexfloat << x << ": " << got << " want " << want;
    }
}

// Correctly rounded values (600-bit arithmetic): the steering's own pi/2, ratios of whole offsets
// that glibc rounds the other way, the closest double to a multiple of pi/2 below 2^19, both
// kinds of reduction.
struct Case {
    double x, atan, sin, cos;
};
constexpr Case kCases[] = {
    {0.0, 0.0, 0.0, 1.0},
    {-0.0, -0.0, -0.0, 1.0},
    {0x0.0000000000001p-1022, 0x0.0000000000001p-1022, 0x0.0000000000001p-1022, 1.0},
    {0x1p-30, 0x1p-30, 0x1p-30, 1.0},
    {0x1p-21, 0x1.ffffffffffd55p-22, 0x1.ffffffffffeabp-22, 0x1.ffffffffffc00p-1},
    {0x1.0000000000001p+0, 0x1.921fb54442d19p-1, 0x1.aed548f090cefp-1, 0x1.14a280fb5068ap-1},
    {0x1.921fb54442d18p-1, 0x1.54e04c05d06a0p-1, 0x1.6a09e667f3bccp-1, 0x1.6a09e667f3bcdp-1},
    {0x1.921fb54442d18p+0, 0x1.00fe987ed02ffp+0, 1.0, 0x1.1a62633145c07p-54},
    {0x1.921fb54442d11p+0, 0x1.00fe987ed02fdp+0, 1.0, 0x1.d1a62633145c0p-50},
    {-0x1.8p+2, -0x1.67d8863bc99bdp+0, 0x1.1e1f18ab0a2c0p-2, 0x1.eb9b7097822f5p-1},
    {0x1.a0ea0ea0ea0eap+1, 0x1.45ddafc02f13bp+0, -0x1.d83db98b34dccp-4, -0x1.fc95f2447b71dp-1},
    {0x1.824b3a0619019p-1, 0x1.4aeffeb16ed6ap-1, 0x1.5eac8650b8e85p-1, 0x1.750eaf91ca283p-1},
    {0x1.4f056c1264a1bp+0, 0x1.d62d14658b03fp-1, 0x1.ee82f3cdff5c5p-1, 0x1.0958ffb337da3p-2},
    {0x1.39c6fd67805a7p+18, 0x1.921f810d1feb6p+0, -1.0, -0x1.988efe18ff83fp-55},
    {0x1p+28, 0x1.921fb53442d18p+0, -0x1.f8eef8d66d4eap-1, -0x1.5315d441272dep-3},
    {0x1.6p+85, 0x1.921fb54442d18p+0, -0x1.fa6b1e001bac0p-1, 0x1.2d9448e8bdbe2p-3},
    {0x1p+60, 0x1.921fb54442d18p+0, -0x1.a94adab06665cp-1, -0x1.1d146047d6947p-1},
    {0x1.0f0cf064dd592p+73, 0x1.921fb54442d18p+0, -0x1.b453ab76bf397p-1, 0x1.0be2cef01c8f4p-1},
    {0x1.6ac5b262ca1ffp+849, 0x1.921fb54442d18p+0, 1.0, -0x1.14ae72e6ba22fp-61},
    {-0x1.fffffffffffffp+1023, -0x1.921fb54442d18p+0, -0x1.452fc98b34e97p-8, -0x1.fffe62ecfab75p-1},
    {kInf, 0x1.921fb54442d18p+0, kNaN, kNaN},
    {-kInf, -0x1.921fb54442d18p+0, kNaN, kNaN},
    {kNaN, kNaN, kNaN, kNaN},
};

TEST(Maths, CorrectlyRounded) {
    for (const Case& c : kCases) {
        ExpectBits(platform::Atan(c.x), c.atan, c.x, "atan");
        ExpectBits(platform::Sin(c.x), c.sin, c.x, "sin");
        ExpectBits(platform::Cos(c.x), c.cos, c.x, "cos");
    }
}

// The C library's answer, or its neighbour when the exact value (to long double) lies within
// 1/16 ulp of the midpoint and not on the C library's side: a near tie glibc rounds wrongly.
template <typename Ours, typename Libc>
bool SameOrNearTie(Ours ours, Libc libc, double x, int& ties) {
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

}  // namespace
