// Where the game's screen sits in the window: one to one in full screen, scaled to fit and
// letterboxed in a window, with window points and drawable pixels apart on HiDPI displays.
#pragma once

#include <cstdint>

#include "platform/raster/gdi.h"

namespace platform::sdl {

struct ViewRect {
    int32_t x = 0, y = 0, w = 0, h = 0;
};

struct ViewGeometry {
    int32_t windowW = 0, windowH = 0;  // window size in points (mouse coordinates)
    int32_t pixelW = 0, pixelH = 0;    // drawable size in pixels
    int32_t screenW = 0, screenH = 0;  // the game's screen, fixed at start-up
};

// The largest rectangle of the screen's shape centred in the drawable, in drawable pixels.
ViewRect Letterbox(const ViewGeometry& g);
// A window point as a screen pixel, clamped to the screen.
POINT WindowToScreen(const ViewGeometry& g, int32_t x, int32_t y);
// The window point over the centre of a screen pixel (where to warp the pointer).
POINT ScreenToWindow(const ViewGeometry& g, POINT at);
// Relative pointer motion in window points as screen pixels, fractions carried in *carry.
POINT MotionToScreen(const ViewGeometry& g, double dx, double dy, double carry[2]);

}  // namespace platform::sdl
