// Copying the game's frame (COLORREF pixels: red in the low byte) into a frame buffer whose
// pixels keep red in the low byte or in the third.
#pragma once

#include <cstdint>

namespace platform::sdl {

enum class PixelOrder { RedLow, RedHigh };  // XBGR8888 / XRGB8888 in SDL's names

// Copies rows of width pixels; pitches are in pixels. The top byte of a written pixel is 0.
void CopyPixels(const uint32_t* src, int32_t srcPitch, uint32_t* dst, int32_t dstPitch,
                int32_t width, int32_t height, PixelOrder order);

}  // namespace platform::sdl
