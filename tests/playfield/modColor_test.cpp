#include "playfield/modColor.h"

#include <gtest/gtest.h>

TEST(modColor, ConversionsAndEdges) {
    double r, g, b, h, l, s;
    ColorToRGB(0xFF00C80Cu, r, g, b);  // the top byte is ignored
    EXPECT_TRUE(r == 12 && g == 200 && b == 0);

    RGBToHSL(300, -4, 128, h, l, s);  // clamped to (255, 0, 128)
    EXPECT_NEAR(h, 360 - 128.0 / 255 * 60, 1e-9);
    EXPECT_TRUE(l == 0.5 && s == 1.0);
    RGBToHSL(255, 255, 255, h, l, s);
    EXPECT_TRUE(h == 0 && l == 1 && s == 0);
    RGBToHSL(255, 255, 128, h, l, s);  // light: the other saturation formula
    EXPECT_EQ(h, 60);
    EXPECT_NEAR(s, 1, 1e-12);
    RGBToHSL(51, 255, 153, h, l, s);  // green highest: 60 x (2 + 1 - 0.5)
    EXPECT_NEAR(h, 150, 1e-9);
    RGBToHSL(153, 51, 255, h, l, s);  // blue highest: 60 x (4 + 1 - 0.5)
    EXPECT_NEAR(h, 270, 1e-9);

    HSLToRGB(123, 0.4, 0, r, g, b);  // grey
    EXPECT_TRUE(r == 0.4 * 255 && g == r && b == r);
    EXPECT_EQ(HueToRGB(0.1, 0.9, 360), 0.1);  // same as 0
    EXPECT_EQ(HueToRGB(0.1, 0.9, 480), 0.9);  // wrapped once to 120
    EXPECT_NEAR(HueToRGB(0.1, 0.9, 210), 0.5, 1e-12);
}
