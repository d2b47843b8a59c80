#include "main/modMain.h"

#include <gtest/gtest.h>

#include "main/GameSettings.h"
#include "platform/headless/Headless.h"
#include "platform/input/Cursor.h"

constexpr double kPi = 3.14159265358979;  // the old constant, not the library's

TEST(modMain, AnglesAndDirections) {
    EXPECT_EQ(GetAngle(0, 0), kPi / 2);
    EXPECT_EQ(GetAngle(0, 5), 6.28318530717958 - kPi / 2);
    EXPECT_EQ(GetAngle(-3, 0), kPi);
    EXPECT_EQ(GetAngle(4, 0), 0);
    EXPECT_NEAR(GetAngle(1, -1), kPi / 4, 1e-12);
    EXPECT_NEAR(GetAngle(1, 1), 7 * kPi / 4, 1e-12);
    EXPECT_NEAR(GetAngle(-1, -1), 3 * kPi / 4, 1e-12);

    double ux, uy;
    GetDirection(5, 2, 5, 10, ux, uy);  // straight up
    EXPECT_NEAR(ux, 0, 1e-12);
    EXPECT_EQ(uy, -1);
    GetDirection(5, 10, 5, 10, ux, uy);  // the same point
    EXPECT_NEAR(ux, 0, 1e-12);
    EXPECT_EQ(uy, 1);
    GetDirection(-4, 3, 0, 0, ux, uy);
    EXPECT_NEAR(ux, -0.8, 1e-12);
    EXPECT_NEAR(uy, 0.6, 1e-12);
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
    CursorHide();  // already hidden: one step only
    EXPECT_EQ(host.CursorCount(), -2);
}

TEST(GameSettings, OverflowIsRefusedNotWrapped) {
    gLineWidth = 5, gCellWidthLines = 6, gColumns = 42, gWellMarginColumns = 3;
    gLineHeight = gCellHeightLines = gWellMarginRows = 2;
    gRows = 7;
    ASSERT_TRUE(CompleteSettings());
    EXPECT_EQ(std::tuple(gWellLeft, gWellTop, gWellRight, gWellBottom),
              std::tuple(3 * 30, 2 * 4, 39 * 30, 5 * 4));
    gLineWidth = 1 << 20;
    gColumns = 1 << 12;
    EXPECT_FALSE(CompleteSettings());
    EXPECT_EQ(gWellRight, 39 * 30);    // left as it was
    gLineWidth = gCellWidthLines = 1;  // the grid fits, its closing line does not
    gColumns = INT32_MAX;
    EXPECT_FALSE(CompleteSettings());
}
