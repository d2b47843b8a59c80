#include "playfield/Backdrop.h"

#include "graphics/modGraphic.h"
#include "playfield/DirectPicture.h"

namespace {
// The playfield's four pieces around the well and the well's seventeen.
constexpr size_t kUsualBoxes = 32;
}  // namespace

Backdrop::Backdrop() {
    mBoxes.reserve(kUsualBoxes);
}

void Backdrop::Add(int32_t x1, int32_t y1, int32_t x2, int32_t y2, COLORREF color) {
    mBoxes.push_back(Box{x1, y1, x2, y2, color});
}

void Backdrop::Paint(HDC dc) {
    for (const Box& b : mBoxes)
        FillRectangle(dc, b.x1, b.y1, b.x2, b.y2, b.color);
    Forget();
}

void Backdrop::PaintRows(DirectPicture& pic) const {
    for (const Box& b : mBoxes)
        pic.Fill(b.x1, b.y1, b.x2, b.y2, b.color);
}

COLORREF Backdrop::PixelAt(HDC dc, int32_t x, int32_t y) {
    Bitmap* bmp = dc != nullptr ? dc->bitmap : nullptr;
    if (Pending() && (bmp == nullptr || bmp->monochrome || dc->rop2 != R2_COPYPEN)) Paint(dc);
    if (Pending() && x >= 0 && y >= 0 && x < bmp->width && y < bmp->height) {
        const DirectPicture pic(bmp);
        for (auto b = mBoxes.rbegin(); b != mBoxes.rend(); ++b) {
            const DirectPicture::Box in = pic.FillBox(b->x1, b->y1, b->x2, b->y2);
            if (in.x1 <= x && x < in.x2 && in.y1 <= y && y < in.y2) return b->color & 0xFFFFFFu;
        }
    }
    // Painted, off the picture, or under no box: the picture already holds the answer.
    return GetPixel(dc, x, y);
}
