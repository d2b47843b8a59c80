#include "platform/sdl/SdlPixels.h"

#include <cstring>

namespace platform::sdl {

namespace {
// Four pixels at a time; GCC and Clang turn this into vector instructions on any target.
using Quad = uint32_t __attribute__((vector_size(16)));

inline uint32_t SwapRedBlue(uint32_t p) {
    return (p & 0xFF00u) | ((p & 0xFFu) << 16) | ((p >> 16) & 0xFFu);
}

void SwapRow(const uint32_t* src, uint32_t* dst, int32_t width) {
    int32_t x = 0;
    for (; x + 4 <= width; x += 4) {
        Quad p;
        std::memcpy(&p, src + x, sizeof p);
        const Quad q = (p & 0xFF00u) | ((p & 0xFFu) << 16) | ((p >> 16) & 0xFFu);
        std::memcpy(dst + x, &q, sizeof q);
    }
    for (; x < width; ++x)
        dst[x] = SwapRedBlue(src[x]);
}

void KeepRow(const uint32_t* src, uint32_t* dst, int32_t width) {
    int32_t x = 0;
    for (; x + 4 <= width; x += 4) {
        Quad p;
        std::memcpy(&p, src + x, sizeof p);
        const Quad q = p & 0xFFFFFFu;
        std::memcpy(dst + x, &q, sizeof q);
    }
    for (; x < width; ++x)
        dst[x] = src[x] & 0xFFFFFFu;
}
}  // namespace

void CopyPixels(const uint32_t* src, int32_t srcPitch, uint32_t* dst, int32_t dstPitch,
                int32_t width, int32_t height, PixelOrder order) {
    if (width <= 0 || height <= 0) return;
    for (int32_t y = 0; y < height; ++y) {
        const uint32_t* s = src + static_cast<int64_t>(y) * srcPitch;
        uint32_t* d = dst + static_cast<int64_t>(y) * dstPitch;
        if (order == PixelOrder::RedHigh)
            SwapRow(s, d, width);
        else
            KeepRow(s, d, width);
    }
}

}  // namespace platform::sdl
