// Simple drawing of the stock controls onto a composed frame: a filled box, a frame and a
// caption. Clipped to the target bitmap.
#pragma once

#include <cstdint>
#include <string>

#include "platform/raster/gdi.h"

namespace platform {

void PaintBox(HDC target, int32_t left, int32_t top, int32_t width, int32_t height, COLORREF fill);
void PaintFrame(HDC target, int32_t left, int32_t top, int32_t width, int32_t height,
                COLORREF color);
// Caption centred in the rectangle; '&' marks as the old controls read them ("&&" is one '&').
void PaintCaption(HDC target, const RECT& box, const std::string& caption, const LOGFONTA& font,
                  COLORREF color, bool centred);

// The text a caption shows: "&&" becomes "&", a single '&' (the access-key mark) goes.
std::string DisplayCaption(const std::string& caption);

}  // namespace platform
