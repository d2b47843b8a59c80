#include "platform/Numbers.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>

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
