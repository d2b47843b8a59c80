#include "platform/window/Surface.h"

#include <algorithm>
#include <vector>

namespace platform {

namespace {
int32_t AtLeastOne(int32_t v) {
    return v < 1 ? 1 : v;
}
}  // namespace

Bitmap* NewSurface(int32_t width, int32_t height, COLORREF fill) {
    // Too large raises; the size is at least 1x1, so there is no null to hand back.
    Bitmap* image = CreateBitmap(AtLeastOne(width), AtLeastOne(height), 1, 32, nullptr);
    std::fill(image->pixels.begin(), image->pixels.end(), fill);
    return image;
}

void ResizeSurface(Bitmap& image, int32_t width, int32_t height, COLORREF fill) {
    width = AtLeastOne(width);
    height = AtLeastOne(height);
    if (width == image.width && height == image.height) return;
    CheckBitmapSize(width, height);  // before the allocation, and the image stays as it was
    std::vector<uint32_t> pixels(static_cast<size_t>(width) * static_cast<size_t>(height), fill);
    const int32_t keepW = std::min(width, image.width), keepH = std::min(height, image.height);
    for (int32_t y = 0; y < keepH; ++y)
        std::copy_n(image.row(y), keepW, pixels.data() + static_cast<size_t>(y) * width);
    image.pixels.swap(pixels);
    image.width = width;
    image.height = height;
}

void CopySurface(const Bitmap& src, Bitmap& dest, int32_t x, int32_t y) {
    const int32_t x0 = std::max(0, x), y0 = std::max(0, y);
    const int32_t x1 = std::min(dest.width, x + src.width);
    const int32_t y1 = std::min(dest.height, y + src.height);
    if (x0 >= x1 || y0 >= y1) return;
    for (int32_t dy = y0; dy < y1; ++dy)
        std::copy_n(src.row(dy - y) + (x0 - x), x1 - x0, dest.row(dy) + x0);
}

void CopySurfaceAround(const Bitmap& src, Bitmap& dest, const RECT& hole) {
    const int32_t w = std::min(dest.width, src.width), h = std::min(dest.height, src.height);
    const int32_t hx0 = std::clamp(hole.left, 0, w), hx1 = std::clamp(hole.right, hx0, w);
    const int32_t hy0 = std::clamp(hole.top, 0, h), hy1 = std::clamp(hole.bottom, hy0, h);
    for (int32_t y = 0; y < h; ++y) {
        const uint32_t* from = src.row(y);
        uint32_t* to = dest.row(y);
        if (y < hy0 || y >= hy1 || hx0 == hx1) {
            std::copy_n(from, w, to);
        } else {
            std::copy_n(from, hx0, to);
            std::copy_n(from + hx1, w - hx1, to + hx1);
        }
    }
}

}  // namespace platform
