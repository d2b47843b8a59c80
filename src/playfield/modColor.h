// Conversions between packed colours (red in the low byte) and hue, lightness, saturation.
// Pure functions; results go out through the reference arguments.
#pragma once

#include "platform/raster/gdi.h"

// Channels 0..255.
void ColorToRGB(COLORREF color, double& red, double& green, double& blue);
// Channels are clamped to 0..255 first. Hue in degrees [0, 360), lightness and saturation 0..1.
void RGBToHSL(double red, double green, double blue, double& hue, double& lightness,
              double& saturation);
// Channels 0..255, not rounded: callers round each with Nearest.
void HSLToRGB(double hue, double lightness, double saturation, double& red, double& green,
              double& blue);
// One channel 0..1 for a hue in degrees (wrapped once into range).
double HueToRGB(double m1, double m2, double hue);
