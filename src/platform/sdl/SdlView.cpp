#include "platform/sdl/SdlView.h"

#include <algorithm>
#include <cmath>

#include "platform/frame/FrameScaler.h"

namespace platform::sdl {

namespace {
int64_t FloorDiv(int64_t a, int64_t b) {
    const int64_t q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

// Pixels per point; 1 while the window has no size yet.
double Ratio(int32_t pixels, int32_t points) {
    return points > 0 && pixels > 0 ? static_cast<double>(pixels) / points : 1.0;
}
}  // namespace

ViewRect Letterbox(const ViewGeometry& g) {
    const FitRect r = FitInto(g.screenW, g.screenH, g.pixelW, g.pixelH);
    return {r.x, r.y, r.w, r.h};
}

POINT WindowToScreen(const ViewGeometry& g, int32_t x, int32_t y) {
    const ViewRect r = Letterbox(g);
    const int64_t sw = std::max(1, g.screenW), sh = std::max(1, g.screenH);
    const int64_t px = g.windowW > 0 ? FloorDiv(int64_t{x} * g.pixelW, g.windowW) : x;
    const int64_t py = g.windowH > 0 ? FloorDiv(int64_t{y} * g.pixelH, g.windowH) : y;
    const int64_t sx = FloorDiv((px - r.x) * sw, r.w);
    const int64_t sy = FloorDiv((py - r.y) * sh, r.h);
    return {static_cast<int32_t>(std::clamp<int64_t>(sx, 0, sw - 1)),
            static_cast<int32_t>(std::clamp<int64_t>(sy, 0, sh - 1))};
}

POINT ScreenToWindow(const ViewGeometry& g, POINT at) {
    const ViewRect r = Letterbox(g);
    const int64_t sw = std::max(1, g.screenW), sh = std::max(1, g.screenH);
    const int64_t sx = std::clamp<int64_t>(at.x, 0, sw - 1);
    const int64_t sy = std::clamp<int64_t>(at.y, 0, sh - 1);
    const int64_t px = r.x + (2 * sx + 1) * r.w / (2 * sw);
    const int64_t py = r.y + (2 * sy + 1) * r.h / (2 * sh);
    const int64_t wx = g.pixelW > 0 ? px * g.windowW / g.pixelW : px;
    const int64_t wy = g.pixelH > 0 ? py * g.windowH / g.pixelH : py;
    return {static_cast<int32_t>(wx), static_cast<int32_t>(wy)};
}

POINT MotionToScreen(const ViewGeometry& g, double dx, double dy, double carry[2]) {
    const ViewRect r = Letterbox(g);
    const double fx = Ratio(g.pixelW, g.windowW) * std::max(1, g.screenW) / r.w;
    const double fy = Ratio(g.pixelH, g.windowH) * std::max(1, g.screenH) / r.h;
    const double x = dx * fx + carry[0], y = dy * fy + carry[1];
    const double ix = std::trunc(x), iy = std::trunc(y);
    carry[0] = x - ix;
    carry[1] = y - iy;
    return {static_cast<int32_t>(ix), static_cast<int32_t>(iy)};
}

}  // namespace platform::sdl
