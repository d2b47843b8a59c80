// Raster internals shared by the shape, line and blit code (not for use outside raster/).
#pragma once

#include <cstdint>

#include "platform/raster/gdi.h"

namespace raster {

// Binary mix mode of pen P and destination D, bitwise.
inline uint32_t Mix(int rop2, uint32_t p, uint32_t d) {
    switch (rop2) {
        case R2_BLACK:
            return 0;
        case R2_NOTMERGEPEN:
            return ~(p | d);
        case R2_MASKNOTPEN:
            return ~p & d;
        case R2_NOTCOPYPEN:
            return ~p;
        case R2_MASKPENNOT:
            return p & ~d;
        case R2_NOT:
            return ~d;
        case R2_XORPEN:
            return p ^ d;
        case R2_NOTMASKPEN:
            return ~(p & d);
        case R2_MASKPEN:
            return p & d;
        case R2_NOTXORPEN:
            return ~(p ^ d);
        case R2_NOP:
            return d;
        case R2_MERGENOTPEN:
            return ~p | d;
        case R2_COPYPEN:
            return p;
        case R2_MERGEPENNOT:
            return p | ~d;
        case R2_MERGEPEN:
            return p | d;
        case R2_WHITE:
            return ~0u;
        default:
            return d;
    }
}

// Applies the mix mode to n pixels; mask keeps colours to 24 bits and mono pixels to one.
void MixRun(uint32_t* p, int32_t n, uint32_t pen, int rop2, uint32_t mask);

// A colour as stored in a bitmap of that format.
uint32_t InkFor(const Bitmap& bmp, COLORREF c);

// A context's drawing state resolved once per call.
class Painter {
  public:
    Bitmap* bmp = nullptr;
    int rop2 = R2_COPYPEN;
    uint32_t mask = 0xFFFFFFu;
    bool hasPen = false;
    int32_t penWidth = 0;  // 0 for a null pen
    uint32_t pen = 0;
    bool hasBrush = false;
    uint32_t brush = 0;
    // Mixes ink into [x1, x2) of row y, clipped to the bitmap.
    void Run(int32_t y, int64_t x1, int64_t x2, uint32_t ink) const;
};
bool MakePainter(HDC dc, Painter* out);

// Largest s with s * s <= v, for 0 <= v < 2^62.
int64_t SqrtFloor(int64_t v);

// A wide pen's round tip: its w x w stamp (offset like the band, floor(w / 2) up and left)
// without the pixels whose centres lie outside the inscribed circle. This is how many pixels
// row i (0 <= i < w) of the tip leaves out at each end.
int64_t TipInset(int64_t w, int64_t i);

}  // namespace raster
