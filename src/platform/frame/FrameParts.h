// A frame as the window system hands it to a back end: the form's image and, over it, the
// opaque picture box that covers most of it (the playfield), each converted straight into the
// image the display reads. Composing them first would copy every pixel once more per frame.
#pragma once

#include <cstdint>

#include "platform/raster/gdi.h"

namespace platform {

struct FrameParts {
    const Bitmap* base = nullptr;     // the whole frame but the picture; its size is the frame's
    const Bitmap* picture = nullptr;  // drawn over base with its top left at (left, top)
    int32_t left = 0, top = 0;
    // The window system's word that base holds what it held in the frame handed over before
    // this one: a back end that still holds that frame, laid out the same, may skip base.
    bool baseAsLast = false;

    int32_t Width() const { return base ? base->width : 0; }
    int32_t Height() const { return base ? base->height : 0; }
    bool Empty() const {
        return !base || base->monochrome || base->width <= 0 || base->height <= 0;
    }

    // Calls piece(x, pixels, count) for the runs of frame row y, left to right: base, picture
    // (clipped to the frame), base; without base's with withBase false.
    template <typename Piece>
    void ForEachRun(int32_t y, Piece&& piece, bool withBase = true) const {
        const int32_t w = Width();
        const uint32_t* row = base->row(y);
        int32_t x0 = 0, x1 = 0;
        if (picture && !picture->monochrome && y >= top && y < top + picture->height) {
            x0 = left < 0 ? 0 : left;
            x1 = left + picture->width < w ? left + picture->width : w;
        }
        if (x0 >= x1) {
            if (withBase) piece(0, row, w);
            return;
        }
        if (x0 > 0 && withBase) piece(0, row, x0);
        piece(x0, picture->row(y - top) + (x0 - left), x1 - x0);
        if (x1 < w && withBase) piece(x1, row + x1, w - x1);
    }
};

// Whether two frames have the same parts at the same places and sizes.
bool SameLayout(const FrameParts& a, const FrameParts& b);

// Where the frame's pixels go: COLORREF order kept exactly, or a display's 32-bit pixels with
// red in the low byte or in the third (XBGR8888 / XRGB8888 in SDL's names), top byte 0, or a
// canvas's RGBA bytes (red low, alpha 255 on top).
enum class PixelOrder { AsIs, RedLow, RedHigh, Rgba };

// Whether frames are converted and scaled with the wider vectors (AVX2) where the processor has
// them, as they are unless told otherwise: the pixels are the same either way, and tests check
// the narrower path too. Returns the setting before.
bool UseWideVectors(bool use);
// Whether the wider vectors are in use now.
bool WideVectors();

// Copies rows of width pixels, converting; pitches are in pixels.
void CopyPixels(const uint32_t* src, int32_t srcPitch, uint32_t* dst, int32_t dstPitch,
                int32_t width, int32_t height, PixelOrder order);

// The frame one to one into dst (pitch in pixels), which holds Width() x Height() pixels.
void ConvertFrame(const FrameParts& parts, uint32_t* dst, int32_t dstPitch, PixelOrder order);

// The frame one to one into dst, which holds an earlier frame converted the same way (or
// anything else): only the pixels that differ are written, the rest is read and compared, so
// a frame that changes a little costs a read of each pixel and hardly any writes. With
// baseAsLast, base is left as dst has it (the caller knows dst holds the frame before, laid out
// the same). Returns a box around the runs of base and picture that changed (a playfield in the
// middle of the screen is all a server need copy); empty when nothing did.
struct ChangedBox {
    int32_t left = 0, top = 0, right = 0, bottom = 0;
    bool Empty() const { return left >= right || top >= bottom; }
};
ChangedBox UpdateFrame(const FrameParts& parts, uint32_t* dst, int32_t dstPitch, PixelOrder order);

// The frame as one bitmap (tests, the headless back end's hashes).
void ComposeFrame(const FrameParts& parts, Bitmap& into);

}  // namespace platform
