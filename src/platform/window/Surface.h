// Helpers for the persistent images of forms and picture boxes. The image is resized in place
// so that its Bitmap and every context drawing into it stay valid.
#pragma once

#include <cstdint>

#include "platform/raster/gdi.h"

namespace platform {

// A 32-bit colour image (at least 1x1 so it always has a pixel to select) filled with a colour.
Bitmap* NewSurface(int32_t width, int32_t height, COLORREF fill);
// Keeps the top-left content; new area takes the fill colour. Zero sizes keep one pixel.
void ResizeSurface(Bitmap& image, int32_t width, int32_t height, COLORREF fill);
// Copies src into dest with its top-left corner at (x, y), clipped to dest.
void CopySurface(const Bitmap& src, Bitmap& dest, int32_t x, int32_t y);
// Copies src into dest at (0, 0), clipped to dest, except the pixels inside hole (which
// something opaque will cover anyway).
void CopySurfaceAround(const Bitmap& src, Bitmap& dest, const RECT& hole);

}  // namespace platform
