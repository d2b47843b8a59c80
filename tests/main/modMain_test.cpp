#include "main/modMain.h"

#include <gtest/gtest.h>

#include "main/GameSettings.h"
#include "platform/headless/Headless.h"
#include "platform/input/Cursor.h"

namespace {

constexpr double kPi = 3.14159265358979;

TEST(modMain, GetAngleQuadrantsAndAxes) {
    EXPECT_DOUBLE_EQ(GetAngle(0, 0), kPi / 2);
    EXPECT_DOUBLE_EQ(GetAngle(0, -5), kPi / 2);
    EXPECT_DOUBLE_EQ(GetAngle(0, 5), 2 * 3.14159265358979 - kPi / 2);
    EXPECT_DOUBLE_EQ(GetAngle(-3, 0), kPi);
    EXPECT_DOUBLE_EQ(GetAngle(4, 0), 0);
    EXPECT_NEAR(GetAngle(1, -1), kPi / 4, 1e-12);
    EXPECT_NEAR(GetAngle(1, 1), 6.28318530717958 - kPi / 4, 1e-12);
    EXPECT_NEAR(GetAngle(-1, -1), 3 * kPi / 4, 1e-12);
    EXPECT_NEAR(GetAngle(-1, 1), 6.28318530717958 - (kPi - kPi / 4), 1e-12);
    // The old constant, not the library's pi: straight left is exactly this literal.
    EXPECT_EQ(GetAngle(-1, 0), 3.14159265358979);
    for (double x : {-7.0, -0.5, 0.0, 0.5, 7.0}) {
        for (double y : {-7.0, -0.5, 0.0, 0.5, 7.0}) {
            const double a = GetAngle(x, y);
            EXPECT_GE(a, 0);
            EXPECT_LT(a, 6.28318530717958);
        }
    }
}

TEST(modMain, GetDirectionUnitVectors) {
    double ux = 9, uy = 9;
    GetDirection(5, 2, 5, 10, ux, uy);  // straight up
    EXPECT_NEAR(ux, 0, 1e-12);
    EXPECT_DOUBLE_EQ(uy, -1);
    GetDirection(5, 10, 5, 10, ux, uy);  // the same point
    EXPECT_NEAR(ux, 0, 1e-12);
    EXPECT_DOUBLE_EQ(uy, 1);
    GetDirection(30, -30, 0, 0, ux, uy);  // up and right
    EXPECT_NEAR(ux, 0.7071067811865476, 1e-12);
    EXPECT_NEAR(uy, -0.7071067811865476, 1e-12);
    GetDirection(-4, 3, 0, 0, ux, uy);
    EXPECT_NEAR(ux, -0.8, 1e-12);
    EXPECT_NEAR(uy, 0.6, 1e-12);
    GetDirection(-10, 0, 0, 0, ux, uy);  // straight left: y equal counts as not below
    EXPECT_DOUBLE_EQ(ux, -1);
    EXPECT_DOUBLE_EQ(uy, 0);
}

TEST(modMain, CursorForcingIgnoresEarlierCounts) {
    platform::Headless& host = platform::UseHeadless();
    CursorHide();
    CursorHide();
    CursorShow();
    EXPECT_EQ(host.CursorCount(), 1);
    for (int i = 0; i < 5; ++i)
        ShowCursor(1);
    CursorHide();
    EXPECT_EQ(host.CursorCount(), -1);
    for (int i = 0; i < 5; ++i)
        ShowCursor(0);
    CursorHide();  // already hidden: one more step down only
    EXPECT_EQ(host.CursorCount(), -7);
    CursorShow();
    EXPECT_EQ(host.CursorCount(), 1);
}

TEST(GameSettings, DerivedFieldsAndRefusedOverflow) {
    gLineWidth = 5;
    gLineHeight = 4;
    gCellWidthLines = 6;
    gCellHeightLines = 7;
    gColumns = 42;
    gRows = 32;
    gWellMarginColumns = 3;
    gWellMarginRows = 2;
    ASSERT_TRUE(CompleteSettings());
    EXPECT_EQ(gCellWidth, 30);
    EXPECT_EQ(gCellHeight, 28);
    EXPECT_EQ(gWellLeft, 90);
    EXPECT_EQ(gWellTop, 56);
    EXPECT_EQ(gWellRight, 39 * 30);
    EXPECT_EQ(gWellBottom, 30 * 28);

    gLineWidth = 1 << 20;
    gColumns = 1 << 12;
    EXPECT_FALSE(CompleteSettings());
    EXPECT_EQ(gCellWidth, 30);  // untouched
    EXPECT_EQ(gWellRight, 39 * 30);
}

}  // namespace
