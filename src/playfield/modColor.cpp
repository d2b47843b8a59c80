#include "playfield/modColor.h"

#include <algorithm>
#include <cmath>

void ColorToRGB(COLORREF color, double& red, double& green, double& blue) {
    red = color & 255;
    green = (color & 65280) / 256;
    blue = (color & 16711680) / 65536;
}

void RGBToHSL(double red, double green, double blue, double& hue, double& lightness,
              double& saturation) {
    hue = 0;
    lightness = 0;
    saturation = 0;
    const double r = std::clamp(red, 0.0, 255.0) / 255;
    const double g = std::clamp(green, 0.0, 255.0) / 255;
    const double b = std::clamp(blue, 0.0, 255.0) / 255;
    const double max = std::max({r, g, b});
    const double min = std::min({r, g, b});
    lightness = (max + min) / 2;
    const double delta = max - min;
    if (std::fabs(delta) < 0.00001) return;
    saturation = (lightness <= 0.5) ? delta / (max + min) : delta / (2 - max - min);
    const double rc = (max - r) / delta;
    const double gc = (max - g) / delta;
    const double bc = (max - b) / delta;
    if (r == max) {
        hue = bc - gc;
    } else if (g == max) {
        hue = 2 + rc - bc;
    } else {
        hue = 4 + gc - rc;
    }
    hue *= 60;
    if (hue < 0) hue += 360;
}

void HSLToRGB(double hue, double lightness, double saturation, double& red, double& green,
              double& blue) {
    const double m2 = (lightness <= 0.5) ? lightness * (1 + saturation)
                                         : lightness + saturation - lightness * saturation;
    const double m1 = 2 * lightness - m2;
    if (saturation == 0) {
        red = green = blue = lightness;
    } else {
        red = HueToRGB(m1, m2, hue + 120);
        green = HueToRGB(m1, m2, hue);
        blue = HueToRGB(m1, m2, hue - 120);
    }
    red *= 255;
    green *= 255;
    blue *= 255;
}

double HueToRGB(double m1, double m2, double hue) {
    if (hue > 360) {
        hue -= 360;
    } else if (hue < 0) {
        hue += 360;
    }
    if (hue < 60) return m1 + (m2 - m1) * hue / 60;
    if (hue < 180) return m2;
    if (hue < 240) return m1 + (m2 - m1) * (240 - hue) / 60;
    return m1;
}
