// What lies under the walls in a pass: the playfield's fill and the well, plain boxes copied in
// the order they are drawn. They are kept until the walls are drawn, so that the walls can paint
// them band by band with their own while each band stays in the processor's cache; until then the
// man's collision asks them what a point will read.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/raster/gdi.h"

class DirectPicture;

class Backdrop {
  public:
    Backdrop();

    // FillRectangle's arguments, after the boxes kept so far.
    void Add(int32_t x1, int32_t y1, int32_t x2, int32_t y2, COLORREF color);
    bool Pending() const { return !mBoxes.empty(); }
    // Paints the kept boxes with the drawing calls and forgets them.
    void Paint(HDC dc);
    // Writes the kept boxes straight into the rows pic draws (where they have the calls'
    // pixels); Forget() once every row is written.
    void PaintRows(DirectPicture& pic) const;
    void Forget() { mBoxes.clear(); }
    // What GetPixel(dc, x, y) reads once the kept boxes are painted. Where it cannot answer from
    // the boxes alone (a picture that mixes or is monochrome), it paints them first.
    COLORREF PixelAt(HDC dc, int32_t x, int32_t y);

  private:
    struct Box {
        int32_t x1, y1, x2, y2;
        COLORREF color;
    };
    std::vector<Box> mBoxes;
};
