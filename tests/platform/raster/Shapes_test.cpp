#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <tuple>
#include <utility>

#include "Canvas.h"

namespace {

constexpr COLORREF kPen = RGB(200, 10, 10);
constexpr COLORREF kBrush = RGB(10, 200, 10);
constexpr COLORREF kBack = RGB(1, 2, 3);

bool In(int32_t v, int32_t lo, int32_t hi) {
    return v >= lo && v < hi;
}

}  // namespace

TEST(Rectangle, CoverageOfNullAndWidePens) {
    {
        // Null pen: the brush stops one short of right and bottom.
        Canvas c(12, 12, kBack);
        Tools t(c.dc, GetStockObject(NULL_PEN), CreateSolidBrush(kBrush));
        Rectangle(c.dc, 2, 3, 7, 9);
        EXPECT_EQ(c.Count([](int32_t x, int32_t y, COLORREF v) {
            return (v == kBrush) != (In(x, 2, 6) && In(y, 3, 8));
        }),
                  0);
        // Swapped corners give the same picture; equal corners none.
        Canvas d(12, 12, kBack);
        Tools u(d.dc, GetStockObject(NULL_PEN), CreateSolidBrush(kBrush));
        Rectangle(d.dc, 7, 9, 2, 3);
        EXPECT_EQ(d.bmp->pixels, c.bmp->pixels);
        Rectangle(d.dc, 10, 10, 10, 10);
        Rectangle(d.dc, 10, 10, 11, 11);
        EXPECT_EQ(d.bmp->pixels, c.bmp->pixels);
    }
    // Pen of width w, h = w / 2: band between [l-h, r-1-h+w) and [l-h+w, r-1-h).
    for (int32_t w = 1; w <= 6; ++w) {
        Canvas c(40, 40, kBack);
        Tools t(c.dc, CreatePen(PS_SOLID, w, kPen), CreateSolidBrush(kBrush));
        Rectangle(c.dc, 10, 12, 25, 30);
        const int32_t h = w / 2;
        const int wrong = c.Count([&](int32_t x, int32_t y, COLORREF v) {
            const bool outer = In(x, 10 - h, 25 - 1 - h + w) && In(y, 12 - h, 30 - 1 - h + w);
            const bool inner = In(x, 10 - h + w, 25 - 1 - h) && In(y, 12 - h + w, 30 - 1 - h);
            const COLORREF want = inner ? kBrush : outer ? kPen : kBack;
            return v != want;
        });
        EXPECT_EQ(wrong, 0) << "pen width " << w;
    }
    {
        // A box too small for its outline is all pen; a hollow brush leaves the inside.
        Canvas c(20, 20, kBack);
        Tools t(c.dc, CreatePen(PS_SOLID, 5, kPen), GetStockObject(HOLLOW_BRUSH));
        Rectangle(c.dc, 5, 5, 9, 9);
        EXPECT_EQ(c.CountColour(kPen), 8 * 8);
        Rectangle(c.dc, 2, 2, 18, 18);
        EXPECT_EQ(c.At(13, 13), kBack);
        EXPECT_EQ(c.At(15, 15), kPen);
    }
}

TEST(Rectangle, ClipsAtEveryEdgeAndSurvivesExtremeCoordinates) {
    Canvas c(10, 8, kBack);
    Tools t(c.dc, GetStockObject(NULL_PEN), CreateSolidBrush(kBrush));
    Rectangle(c.dc, -5, -5, 3, 3);
    Rectangle(c.dc, 8, 6, 20, 20);
    EXPECT_EQ(c.Count([](int32_t x, int32_t y, COLORREF v) {
        const bool want = (x < 2 && y < 2) || (x >= 8 && y >= 6);
        return (v == kBrush) != want;
    }),
              0);
    Rectangle(c.dc, INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX);
    EXPECT_EQ(c.CountColour(kBrush), 80);
    Rectangle(c.dc, 100, 100, 200, 200);
    Rectangle(c.dc, -200, -200, -100, -100);
    EXPECT_EQ(c.CountColour(kBrush), 80);
}

TEST(Shapes, MixModeAppliesOncePerPixel) {
    // XOR twice would restore the background, so the XOR picture must change exactly the
    // pixels the copy picture covers.
    constexpr COLORREF k = RGB(0x5A, 0xA5, 0x3C);
    const POINT tri[] = {{3, 3}, {25, 6}, {8, 26}};
    const std::function<void(HDC)> shapes[] = {
        [](HDC dc) { Rectangle(dc, 5, 5, 20, 20); },
        [](HDC dc) { Ellipse(dc, 4, 6, 25, 19); },
        [&tri](HDC dc) { Polygon(dc, tri, 3); },
        [](HDC dc) {
            MoveToEx(dc, 2, 5, nullptr);
            LineTo(dc, 20, 17);
        },
    };
    for (const auto& draw : shapes) {
        Canvas copy(30, 30, kBack), mixed(30, 30, kBack);
        Tools a(copy.dc, CreatePen(PS_SOLID, 3, k), CreateSolidBrush(k));
        Tools b(mixed.dc, CreatePen(PS_SOLID, 3, k), CreateSolidBrush(k));
        SetROP2(mixed.dc, R2_XORPEN);
        draw(copy.dc);
        draw(mixed.dc);
        const int covered = copy.CountColour(k);
        EXPECT_GT(covered, 20);
        EXPECT_EQ(mixed.CountColour(kBack ^ k), covered);
        EXPECT_EQ(mixed.CountColour(kBack), 900 - covered);
    }
}

TEST(Rop2, EveryModeMatchesItsTruthTable) {
    // Mode n's table is n - 1, indexed by pen bit * 2 + destination bit.
    auto expected = [](int mode, uint32_t p, uint32_t d, int bits) {
        uint32_t r = 0;
        for (int b = 0; b < bits; ++b) {
            const uint32_t idx = ((p >> b) & 1) * 2 + ((d >> b) & 1);
            r |= (((mode - 1) >> idx) & 1u) << b;
        }
        return r;
    };
    const COLORREF pen = 0x0F33CC, dst = 0x55A50F;
    for (int mode = R2_BLACK; mode <= R2_WHITE; ++mode) {
        Canvas c(4, 4, dst);
        Tools t(c.dc, GetStockObject(NULL_PEN), CreateSolidBrush(pen));
        EXPECT_EQ(SetROP2(c.dc, mode), R2_COPYPEN);
        Rectangle(c.dc, 0, 0, 3, 3);
        EXPECT_EQ(c.At(0, 0), expected(mode, pen, dst, 24)) << "mode " << mode;
        EXPECT_EQ(c.At(2, 2), dst);
        // One-bit targets mix bits: a white pen is 1.
        for (uint32_t d = 0; d < 2; ++d) {
            Canvas m(2, 2, d, true);
            Tools mt(m.dc, CreatePen(PS_SOLID, 1, RGB(255, 255, 255)), GetStockObject(NULL_BRUSH));
            SetROP2(m.dc, mode);
            MoveToEx(m.dc, 0, 0, nullptr);
            LineTo(m.dc, 1, 0);
            EXPECT_EQ(m.bmp->pixels[0], expected(mode, 1, d, 1)) << "mono mode " << mode;
        }
    }
    EXPECT_EQ(SetROP2(nullptr, R2_NOT), 0);
}

TEST(Ellipse, SymmetricInsideItsBoxAndOutlined) {
    const std::tuple<int32_t, int32_t, int32_t> cases[] = {
        {9, 7, 0}, {10, 10, 1}, {17, 8, 3}, {5, 20, 2}};
    for (const auto& [w, h, pen] : cases) {
        Canvas c(40, 40, kBack);
        Tools t(c.dc, pen ? CreatePen(PS_SOLID, pen, kPen) : GetStockObject(NULL_PEN),
                CreateSolidBrush(kBrush));
        const int32_t l = 10, top = 10, half = pen / 2;
        Ellipse(c.dc, l, top, l + w, top + h);
        // Outer box as for a rectangle with this pen.
        const int32_t x1 = l - half, x2 = l + w - 1 - half + pen, y1 = top - half,
                      y2 = top + h - 1 - half + pen;
        int outside = 0, asymmetric = 0;
        for (int32_t y = 0; y < 40; ++y) {
            for (int32_t x = 0; x < 40; ++x) {
                const bool on = c.At(x, y) != kBack;
                if (!(In(x, x1, x2) && In(y, y1, y2))) {
                    outside += on ? 1 : 0;
                    continue;
                }
                if (on != (c.At(x1 + x2 - 1 - x, y) != kBack)) ++asymmetric;
                if (on != (c.At(x, y1 + y2 - 1 - y) != kBack)) ++asymmetric;
            }
        }
        EXPECT_EQ(outside, 0);
        EXPECT_EQ(asymmetric, 0);
        EXPECT_GT(c.CountColour(kBrush), 0);
        // The widest row and column reach the box's edges.
        EXPECT_NE(c.At(x1, (y1 + y2) / 2), kBack);
        EXPECT_NE(c.At((x1 + x2) / 2, y1), kBack);
        if (pen) {
            EXPECT_EQ(c.At(x1, (y1 + y2) / 2), kPen);
            EXPECT_EQ(c.At((x1 + x2) / 2, (y1 + y2) / 2), kBrush);
        }
        EXPECT_EQ(c.At(x1, y1), kBack);  // corners are cut
    }
}

TEST(Pixels, ReadOutsideIsInvalidAndMonoMapsToBlackOrWhite) {
    Canvas c(5, 4, kBack);
    const std::pair<int32_t, int32_t> outside[] = {
        {-1, 0}, {0, -1}, {5, 0}, {0, 4}, {INT32_MIN, INT32_MAX}};
    for (const auto& [x, y] : outside)
        EXPECT_EQ(GetPixel(c.dc, x, y), CLR_INVALID);
    EXPECT_EQ(SetPixelV(c.dc, 5, 0, kPen), 0);
    EXPECT_EQ(SetPixelV(c.dc, 4, 3, kPen), 1);
    EXPECT_EQ(c.At(4, 3), kPen);
    EXPECT_EQ(c.CountColour(kBack), 19);
    // Pixels ignore the mix mode, as before.
    SetROP2(c.dc, R2_NOT);
    SetPixelV(c.dc, 0, 0, kPen);
    EXPECT_EQ(c.At(0, 0), kPen);
    EXPECT_EQ(GetPixel(nullptr, 0, 0), CLR_INVALID);

    Canvas m(3, 1, 0, true);
    SetPixelV(m.dc, 0, 0, RGB(200, 200, 200));
    SetPixelV(m.dc, 1, 0, RGB(0, 0, 250));  // dark by luminance
    SetPixelV(m.dc, 2, 0, RGB(0, 255, 0));  // bright by luminance
    EXPECT_EQ(m.At(0, 0), RGB(255, 255, 255));
    EXPECT_EQ(m.At(1, 0), RGB(0, 0, 0));
    EXPECT_EQ(m.At(2, 0), RGB(255, 255, 255));
    EXPECT_EQ(m.bmp->pixels[0], 1u);
}

TEST(FloodFill, BorderStopsAtBorderColourAndSurfaceFillsOnlyThatColour) {
    constexpr COLORREF kWall = RGB(0, 0, 255);
    Canvas c(20, 20, kBack);
    {
        Tools t(c.dc, CreatePen(PS_SOLID, 1, kWall), GetStockObject(HOLLOW_BRUSH));
        Rectangle(c.dc, 5, 5, 15, 15);  // ring 5..14
    }
    SetPixelV(c.dc, 8, 8, kPen);  // a foreign pixel inside
    Tools t(c.dc, GetStockObject(NULL_PEN), CreateSolidBrush(kBrush));
    EXPECT_EQ(ExtFloodFill(c.dc, 5, 5, kWall, FLOODFILLBORDER), 0);  // starts on the border
    EXPECT_EQ(ExtFloodFill(c.dc, 10, 10, kWall, FLOODFILLBORDER), 1);
    EXPECT_EQ(c.Count([](int32_t x, int32_t y, COLORREF v) {
        return (v == kBrush) != (In(x, 6, 14) && In(y, 6, 14));
    }),
              0);
    EXPECT_EQ(c.CountColour(kWall), 36);

    // Surface: only the outside's background, not the pixel inside nor the ring.
    Canvas s(20, 20, kBack);
    {
        Tools r(s.dc, CreatePen(PS_SOLID, 1, kWall), GetStockObject(HOLLOW_BRUSH));
        Rectangle(s.dc, 5, 5, 15, 15);
    }
    Tools u(s.dc, GetStockObject(NULL_PEN), CreateSolidBrush(kBrush));
    EXPECT_EQ(ExtFloodFill(s.dc, 0, 0, kWall, FLOODFILLSURFACE), 0);
    EXPECT_EQ(ExtFloodFill(s.dc, 0, 0, kBack, FLOODFILLSURFACE), 1);
    EXPECT_EQ(s.CountColour(kBrush), 400 - 100);
    EXPECT_EQ(s.CountColour(kBack), 64);
    EXPECT_EQ(ExtFloodFill(s.dc, -1, 0, kBack, FLOODFILLSURFACE), 0);

    // A mix that leaves pixels fillable still reaches each pixel once and ends.
    Canvas x(50, 50, kBack);
    constexpr COLORREF k = RGB(3, 0, 0);
    Tools xt(x.dc, GetStockObject(NULL_PEN), CreateSolidBrush(k));
    SetROP2(x.dc, R2_XORPEN);
    EXPECT_EQ(ExtFloodFill(x.dc, 25, 25, kWall, FLOODFILLBORDER), 1);
    EXPECT_EQ(x.CountColour(kBack ^ k), 2500);
}

TEST(Lines, EndPointExcludedAndPositionTracked) {
    Canvas c(12, 12, kBack);
    Tools t(c.dc, CreatePen(PS_SOLID, 1, kPen), GetStockObject(NULL_BRUSH));
    POINT prev{};
    MoveToEx(c.dc, 1, 1, nullptr);
    MoveToEx(c.dc, 2, 3, &prev);
    EXPECT_EQ(prev.x, 1);
    EXPECT_EQ(prev.y, 1);
    LineTo(c.dc, 7, 3);
    EXPECT_EQ(c.Count([](int32_t x, int32_t y, COLORREF v) {
        return (v == kPen) != (y == 3 && In(x, 2, 7));
    }),
              0);
    LineTo(c.dc, 7, 8);  // continues from (7, 3)
    EXPECT_EQ(c.At(7, 3), kPen);
    EXPECT_EQ(c.At(7, 7), kPen);
    EXPECT_EQ(c.At(7, 8), kBack);
    EXPECT_EQ(c.CountColour(kPen), 5 + 5);
    LineTo(c.dc, 2, 3);  // diagonal back: one pixel per step, end excluded
    EXPECT_EQ(c.CountColour(kPen), 5 + 5 + 5);
    EXPECT_EQ(c.At(3, 4), kPen);
    // Far outside and crossing lines neither crash nor paint outside.
    MoveToEx(c.dc, -1000000, 5, nullptr);
    LineTo(c.dc, -10, 5);
    EXPECT_EQ(c.CountColour(kPen), 15);
    MoveToEx(c.dc, -100, 10, nullptr);
    LineTo(c.dc, 100, 10);
    EXPECT_EQ(c.CountColour(kPen), 27);
    // Lines billions of pixels long are cut before they are walked.
    Canvas big(8, 8, kBack);
    Tools bt(big.dc, CreatePen(PS_SOLID, 1, kPen), GetStockObject(NULL_BRUSH));
    MoveToEx(big.dc, -2000000000, 3, nullptr);
    LineTo(big.dc, 2000000000, 3);
    MoveToEx(big.dc, -2000000000, -2000000000, nullptr);
    LineTo(big.dc, 2000000000, 2000000000);
    EXPECT_EQ(big.Count([](int32_t x, int32_t y, COLORREF v) {
        return (v == kPen) != (y == 3 || x == y);
    }),
              0);
}

TEST(Polygon, AlternateFillAndOutline) {
    Canvas c(12, 12, kBack);
    {
        Tools t(c.dc, GetStockObject(NULL_PEN), CreateSolidBrush(kBrush));
        const POINT square[] = {{2, 2}, {8, 2}, {8, 8}, {2, 8}};
        EXPECT_EQ(Polygon(c.dc, square, 4), 1);
        EXPECT_EQ(c.Count([](int32_t x, int32_t y, COLORREF v) {
            return (v == kBrush) != (In(x, 2, 8) && In(y, 2, 8));
        }),
                  0);
        EXPECT_EQ(Polygon(c.dc, square, 1), 0);
    }
    // A five-pointed star drawn in one stroke leaves its centre empty under alternate fill.
    Canvas s(40, 40, kBack);
    Tools t(s.dc, CreatePen(PS_SOLID, 1, kPen), CreateSolidBrush(kBrush));
    const POINT star[] = {{20, 2}, {31, 36}, {2, 14}, {38, 14}, {9, 36}};
    Polygon(s.dc, star, 5);
    EXPECT_EQ(s.At(20, 21), kBack);
    EXPECT_EQ(s.At(20, 8), kBrush);
    for (const POINT& p : star)
        EXPECT_EQ(s.At(p.x, p.y), kPen);
}
