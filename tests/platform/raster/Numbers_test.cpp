#include "platform/Numbers.h"
#include "platform/NumberText.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstring>
#include <random>
#include <string>
#include <tuple>

TEST(Numbers, RoundingsSaturateOutsideTheRange) {
    // x, Int(x), Nearest(x).
    const std::tuple<double, int32_t, int32_t> cases[] = {
        {2.5, 2, 2},
        {-2.5, -3, -2},
        {2147483647.4, INT32_MAX, INT32_MAX},
        {2147483648.0, INT32_MAX, INT32_MAX},
        {-2147483648.6, INT32_MIN, INT32_MIN},
        {1e300, INT32_MAX, INT32_MAX},
        {-INFINITY, INT32_MIN, INT32_MIN},
        {NAN, 0, 0},
    };
    for (const auto& [x, floor, nearest] : cases) {
        EXPECT_EQ(Int(x), floor) << x;
        EXPECT_EQ(Nearest(x), nearest) << x;
    }
}

// The web build's library has no floating-point std::to_chars: ours must write what it writes.
TEST(Numbers, ShortestTextIsToCharsText) {
    auto same = [](auto v) {
        char buf[400];
        const auto end = std::to_chars(buf, buf + sizeof buf, v);
        EXPECT_EQ(ShortestText(v), std::string(buf, end.ptr)) << std::hexfloat << v;
    };
    for (const double v :
         {0.0, -0.0, 0.1, 1e5, 1e22, 1.5e-7, 1e-5, 123456789012345680000.0, 16.666666666666668,
          0x1p-30, 0x1p60, 5e-324, DBL_MAX, -double(INFINITY), double(NAN)})
        same(v);
    for (const float v : {0.0f, 0.1f, 37.5f, 1e10f, 0x1p-30f, FLT_MIN, FLT_MAX})
        same(v);
    // And a spread of every exponent, from a fixed seed.
    std::mt19937_64 bits(7);
    for (int i = 0; i < 20000; ++i) {
        const uint64_t b = bits();
        double d;
        std::memcpy(&d, &b, sizeof d);
        float f;
        const uint32_t b32 = static_cast<uint32_t>(b);
        std::memcpy(&f, &b32, sizeof f);
        if (std::isfinite(d)) same(d);
        if (std::isfinite(f)) same(f);
    }
}
