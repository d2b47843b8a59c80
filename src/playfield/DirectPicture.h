// Direct writes to a playfield picture for the usual case, with the same pixels as the drawing
// calls they stand for.
#pragma once

#include <algorithm>
#include <cstdint>
#include <utility>

#include "main/modMain.h"
#include "platform/raster/gdi.h"

// A thousand walls a pass make the per-call cost of the drawing calls dominate, so the usual
// case (copying mode, a colour picture, square lines of 1 to 3 pixels whose pen corners are
// square) writes the picture directly, reproducing those calls' pixels exactly.
class DirectPicture {
  public:
    // Null where the usual case does not hold.
    static Bitmap* For(HDC hdc) {
        Bitmap* bmp = hdc->bitmap;
        const bool usual = bmp != nullptr && !bmp->monochrome && hdc->rop2 == R2_COPYPEN &&
                           gLineWidth == gLineHeight && gLineWidth >= 1 && gLineWidth <= 3;
        return usual ? bmp : nullptr;
    }

    // Only used when bmp is not null.
    explicit DirectPicture(Bitmap* bmp) : bmp_(bmp), bottom_(bmp ? bmp->height : 0) {}

    // Draws only rows [top, bottom) from now on.
    void Rows(int32_t top, int32_t bottom) {
        top_ = top;
        bottom_ = bottom;
    }

    // FillRectangle(x1, y1, x2, y2, ink) mixed as pen OR NOT picture.
    void MergeFill(int32_t x1, int32_t y1, int32_t x2, int32_t y2, COLORREF ink) {
        const Box b = FillBox(x1, y1, x2, y2);
        if (b.y1 >= b.y2) return;
        MergePenNotBox(bmp_->row(b.y1) + b.x1, bmp_->width, b.x2 - b.x1, b.y2 - b.y1,
                       ink & 0xFFFFFFu, 0xFFFFFFu);
    }

    // FillRectangle(x1, y1, x2, y2, ink), copied.
    void Fill(int32_t x1, int32_t y1, int32_t x2, int32_t y2, COLORREF ink) {
        const Box b = FillBox(x1, y1, x2, y2);
        for (int32_t y = b.y1; y < b.y2; ++y)
            std::fill(bmp_->row(y) + b.x1, bmp_->row(y) + b.x2, ink & 0xFFFFFFu);
    }

    // FrameRectangle(x1, y1, x2, y2, ink, w), copied: the pen's outer box less its inner one.
    void Frame(int32_t x1, int32_t y1, int32_t x2, int32_t y2, COLORREF ink, int32_t w) {
        Span ox, oy, ix, iy;
        const int32_t dx = Axis(x1, x2, w, ox, ix);
        const int32_t dy = Axis(y1, y2, w, oy, iy);
        // No box, or a single pixel with a one-pixel pen: nothing, as for the calls.
        if (dx == 0 || dy == 0 || (w <= 1 && dx == 1 && dy == 1)) return;
        const Box outer = Clip(ox, oy);
        const bool inner = ix.from < ix.to && iy.from < iy.to;
        const uint32_t pen = ink & 0xFFFFFFu;
        const int32_t leftTo = std::min(std::max(ix.from, outer.x1), outer.x2);
        const int32_t rightFrom = std::max(std::min(ix.to, outer.x2), outer.x1);
        // Rows through the hole get the two side bands, at most w (3) pixels each: stored
        // directly, as a general fill's set-up costs more than they do.
        const int32_t holeFrom = inner ? std::clamp(iy.from, outer.y1, outer.y2) : outer.y2;
        const int32_t holeTo = inner ? std::clamp(iy.to, holeFrom, outer.y2) : outer.y2;
        for (int32_t y = outer.y1; y < holeFrom; ++y)
            std::fill(bmp_->row(y) + outer.x1, bmp_->row(y) + outer.x2, pen);
        const int32_t leftN = leftTo - outer.x1;
        const int32_t rightN = outer.x2 - rightFrom;
        for (int32_t y = holeFrom; y < holeTo; ++y) {
            uint32_t* row = bmp_->row(y);
            Band(row + outer.x1, leftN, pen);
            Band(row + rightFrom, rightN, pen);
        }
        for (int32_t y = holeTo; y < outer.y2; ++y)
            std::fill(bmp_->row(y) + outer.x1, bmp_->row(y) + outer.x2, pen);
    }

    struct Box {
        int32_t x1, y1, x2, y2;
    };

    // The pixels FillRectangle(x1, y1, x2, y2, ...) covers within the rows drawn: a null-pen
    // rectangle one larger than asked, so [a, b), or inside out [b + 1, a - 1).
    Box FillBox(int32_t x1, int32_t y1, int32_t x2, int32_t y2) const {
        auto span = [](int32_t a, int32_t b) { return b >= a ? Span{a, b} : Span{b + 1, a - 1}; };
        return Clip(span(x1, x2), span(y1, y2));
    }

  private:
    struct Span {
        int32_t from = 0, to = 0;
    };

    Box Clip(Span x, Span y) const {
        Box b{std::max(x.from, 0), std::max(y.from, top_), std::min(x.to, bmp_->width),
              std::min(y.to, bottom_)};
        if (b.x1 >= b.x2 || b.y1 >= b.y2) b = Box{0, 0, 0, 0};
        return b;
    }

    // n (0 to 3) pixels.
    static void Band(uint32_t* p, int32_t n, uint32_t pen) {
        if (n > 0) p[0] = pen;
        if (n > 1) p[1] = pen;
        if (n > 2) p[2] = pen;
    }

    // One axis of a frame's rectangle (moved in by half the pen so the band lies inside):
    // the pen's outer and inner spans; returns the rectangle's size along the axis.
    static int32_t Axis(int32_t a1, int32_t a2, int32_t w, Span& outer, Span& inner) {
        const int32_t h = w / 2;
        int32_t l = a1 + h;
        int32_t r = a2 + h - w + 1;
        if (l > r) std::swap(l, r);
        outer = Span{l - h, r - 1 - h + w};
        inner = Span{l - h + w, r - 1 - h};
        return r - l;
    }

    Bitmap* bmp_;
    int32_t top_ = 0, bottom_;
};
