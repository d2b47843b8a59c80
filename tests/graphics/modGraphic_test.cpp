#include "graphics/modGraphic.h"

#include <gtest/gtest.h>

namespace {

constexpr COLORREF kBack = RGB(1, 2, 3);
constexpr COLORREF kInk = RGB(250, 20, 90);

// A colour bitmap of known content in its own context.
struct Board {
    Board(int32_t w, int32_t h) : bmp(w, h, false) {
        for (auto& p : bmp.pixels)
            p = kBack;
        dc = CreateBitmapDC(&bmp);
    }
    ~Board() { DeleteDC(dc); }
    int Count(COLORREF c) const {
        int n = 0;
        for (const uint32_t p : bmp.pixels)
            n += p == c ? 1 : 0;
        return n;
    }
    Bitmap bmp;
    HDC dc;
};

bool In(int32_t v, int32_t lo, int32_t hi) {
    return v >= lo && v < hi;
}

}  // namespace

TEST(FillRectangle, CoversHalfOpenArea) {
    Board b(12, 12);
    FillRectangle(b.dc, 0, 0, 5, 5, kInk);
    EXPECT_EQ(b.Count(kInk), 25);
    for (int32_t y = 0; y < 5; ++y)
        for (int32_t x = 0; x < 5; ++x)
            EXPECT_EQ(GetPixel(b.dc, x, y), kInk);
    FillRectangle(b.dc, 7, 7, 7, 7, RGB(0, 0, 0));
    FillRectangle(b.dc, 7, 3, 7, 9, RGB(0, 0, 0));
    EXPECT_EQ(b.Count(RGB(0, 0, 0)), 0);
    FillRectangle(b.dc, 10, 10, 20, 20, kInk);  // clipped by the bitmap
    EXPECT_EQ(b.Count(kInk), 29);
}

TEST(FrameRectangle, BandLiesInsideAndLeavesTheInterior) {
    for (int32_t w = 1; w <= 6; ++w) {
        Board b(40, 40);
        FrameRectangle(b.dc, 5, 7, 30, 33, kInk, w);
        int wrong = 0;
        for (int32_t y = 0; y < 40; ++y) {
            for (int32_t x = 0; x < 40; ++x) {
                const bool outer = In(x, 5, 30) && In(y, 7, 33);
                const bool inner = In(x, 5 + w, 30 - w) && In(y, 7 + w, 33 - w);
                const COLORREF want = outer && !inner ? kInk : kBack;
                wrong += GetPixel(b.dc, x, y) == want ? 0 : 1;
            }
        }
        EXPECT_EQ(wrong, 0) << "width " << w;
    }
}

TEST(RectangleHelpers, LeaveTheContextAsFound) {
    Board b(20, 20);
    HPEN pen = CreatePen(PS_SOLID, 3, RGB(0, 0, 0));
    HBRUSH brush = CreateSolidBrush(RGB(0, 0, 0));
    SelectObject(b.dc, pen);
    SelectObject(b.dc, brush);
    FillRectangle(b.dc, 1, 1, 4, 4, kInk);
    FrameRectangle(b.dc, 5, 5, 15, 15, kInk, 2);
    EXPECT_EQ(GetCurrentObject(b.dc, GdiKind::Pen), pen);
    EXPECT_EQ(GetCurrentObject(b.dc, GdiKind::Brush), brush);
    EXPECT_EQ(pen->selections, 1);
    EXPECT_EQ(brush->selections, 1);
    EXPECT_EQ(GetPixel(b.dc, 10, 10), kBack);  // a frame never fills, whatever brush is there
    SelectObject(b.dc, GetStockObject(BLACK_PEN));
    SelectObject(b.dc, GetStockObject(WHITE_BRUSH));
    DeleteObject(pen);
    DeleteObject(brush);
}

TEST(RectangleHelpers, MergePenNotOverWhiteAndBlack) {
    // Overlapping walls mix: over white the colour stays, over black it turns white.
    Board b(10, 4);
    FillRectangle(b.dc, 0, 0, 10, 2, RGB(255, 255, 255));
    FillRectangle(b.dc, 0, 2, 10, 4, RGB(0, 0, 0));
    const int old = SetROP2(b.dc, R2_MERGEPENNOT);
    FillRectangle(b.dc, 2, 0, 8, 4, kInk);
    FrameRectangle(b.dc, 0, 0, 2, 4, kInk, 1);
    SetROP2(b.dc, old);
    EXPECT_EQ(GetPixel(b.dc, 5, 1), kInk);
    EXPECT_EQ(GetPixel(b.dc, 5, 3), RGB(255, 255, 255));
    EXPECT_EQ(GetPixel(b.dc, 0, 0), kInk);
    EXPECT_EQ(GetPixel(b.dc, 1, 3), RGB(255, 255, 255));
    EXPECT_EQ(GetPixel(b.dc, 8, 1), RGB(255, 255, 255));
}
