#include "playfield/modColor.h"

#include <gtest/gtest.h>

namespace {

TEST(modColor, ColorToRGBSplitsTheBytes) {
    double r, g, b;
    ColorToRGB(RGB(12, 200, 255), r, g, b);
    EXPECT_EQ(r, 12);
    EXPECT_EQ(g, 200);
    EXPECT_EQ(b, 255);
    ColorToRGB(0xFFFFFFFFu, r, g, b);  // the top byte is ignored
    EXPECT_EQ(r, 255);
    EXPECT_EQ(g, 255);
    EXPECT_EQ(b, 255);
}

TEST(modColor, RGBToHSLClampsAndHandlesGrey) {
    double h1, l1, s1, h2, l2, s2;
    RGBToHSL(300, -4, 128, h1, l1, s1);
    RGBToHSL(255, 0, 128, h2, l2, s2);
    EXPECT_EQ(h1, h2);
    EXPECT_EQ(l1, l2);
    EXPECT_EQ(s1, s2);
    EXPECT_NEAR(h1, 360 - 128.0 / 255 * 60, 1e-9);  // magenta side of red
    EXPECT_DOUBLE_EQ(l1, 0.5);
    EXPECT_DOUBLE_EQ(s1, 1.0);

    double h, l, s;
    RGBToHSL(100, 100, 100, h, l, s);
    EXPECT_EQ(h, 0);
    EXPECT_EQ(s, 0);
    EXPECT_DOUBLE_EQ(l, 100.0 / 255);
    RGBToHSL(255, 255, 255, h, l, s);
    EXPECT_EQ(l, 1);
    EXPECT_EQ(s, 0);
    // Lightness above one half uses the other saturation formula.
    RGBToHSL(255, 255, 128, h, l, s);
    EXPECT_DOUBLE_EQ(h, 60);
    EXPECT_NEAR(s, (1 - 128.0 / 255) / (2 - 1 - 128.0 / 255), 1e-12);
    RGBToHSL(0, 0, 255, h, l, s);
    EXPECT_DOUBLE_EQ(h, 240);
    RGBToHSL(0, 255, 0, h, l, s);
    EXPECT_DOUBLE_EQ(h, 120);
}

TEST(modColor, HSLRoundTripAndHueWrap) {
    double r, g, b;
    HSLToRGB(123, 0.4, 0, r, g, b);
    EXPECT_DOUBLE_EQ(r, 0.4 * 255);
    EXPECT_DOUBLE_EQ(g, 0.4 * 255);
    EXPECT_DOUBLE_EQ(b, 0.4 * 255);

    EXPECT_EQ(HueToRGB(0.1, 0.9, 360), 0.1);
    EXPECT_EQ(HueToRGB(0.1, 0.9, 0), 0.1);
    EXPECT_EQ(HueToRGB(0.1, 0.9, 480), 0.9);  // wrapped once to 120
    EXPECT_EQ(HueToRGB(0.1, 0.9, -300), 0.9);
    EXPECT_NEAR(HueToRGB(0.1, 0.9, 30), 0.5, 1e-12);
    EXPECT_NEAR(HueToRGB(0.1, 0.9, 210), 0.5, 1e-12);

    for (COLORREF c : {RGB(64, 96, 192), RGB(255, 0, 128), RGB(1, 2, 3), RGB(250, 250, 5)}) {
        double cr, cg, cb, h, l, s;
        ColorToRGB(c, cr, cg, cb);
        RGBToHSL(cr, cg, cb, h, l, s);
        HSLToRGB(h, l, s, r, g, b);
        EXPECT_NEAR(r, cr, 1e-9) << c;
        EXPECT_NEAR(g, cg, 1e-9) << c;
        EXPECT_NEAR(b, cb, 1e-9) << c;
    }
}

}  // namespace
