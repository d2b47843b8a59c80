#include <gtest/gtest.h>

#include <climits>
#include <cmath>

#include "Canvas.h"

constexpr COLORREF kPen = RGB(200, 10, 10);
constexpr COLORREF kBrush = RGB(10, 200, 10);
constexpr COLORREF kBack = RGB(1, 2, 3);

static bool In(int32_t v, int32_t lo, int32_t hi) {
    return v >= lo && v < hi;
}

TEST(Rectangle, CoverageOfNullAndWidePens) {
    // Pen of width w (none for 0), h = w / 2: band between [l-h, r-1-h+w) and [l-h+w, r-1-h),
    // so with no pen the brush stops one short of right and bottom; each outer corner's w x w
    // square keeps only the pixels whose centres lie in its inscribed circle. Swapped corners
    // give the same picture; with no pen, equal corners and a one-pixel box give none.
    for (int32_t w = 0; w <= 12; ++w) {
        Canvas c(40, 40, kBack), d(40, 40, kBack);
        for (Canvas* p : {&c, &d})
            p->Use(w ? CreatePen(PS_SOLID, w, kPen) : GetStockObject(NULL_PEN),
                   CreateSolidBrush(kBrush));
        Rectangle(c.dc, 10, 12, 25, 30);
        Rectangle(d.dc, 25, 30, 10, 12);
        if (!w) {
            Rectangle(d.dc, 35, 35, 35, 35);
            Rectangle(d.dc, 35, 35, 36, 36);
        }
        EXPECT_EQ(d.bmp->pixels, c.bmp->pixels) << "pen width " << w;
        const int32_t h = w / 2;
        const int wrong = c.Count([&](int32_t x, int32_t y, COLORREF v) {
            const bool outer = In(x, 10 - h, 25 - 1 - h + w) && In(y, 12 - h, 30 - 1 - h + w);
            const bool inner = In(x, 10 - h + w, 25 - 1 - h) && In(y, 12 - h + w, 30 - 1 - h);
            // Distances outwards from the centre of the nearest corner's square.
            const double r = w / 2.0, ox = x < 17 ? 10 - h + r - (x + 0.5) : x + 0.5 - (24 - h + r),
                         oy = y < 21 ? 12 - h + r - (y + 0.5) : y + 0.5 - (29 - h + r);
            const bool corner = ox > 0 && oy > 0 && std::hypot(ox, oy) > r;
            return v != (inner ? kBrush : outer && !corner ? kPen : kBack);
        });
        EXPECT_EQ(wrong, 0) << "pen width " << w;
    }
    // A box too small for its outline is all pen but its four round corners; a hollow brush
    // leaves the inside.
    Canvas c(20, 20, kBack);
    c.Use(CreatePen(PS_SOLID, 5, kPen), GetStockObject(HOLLOW_BRUSH));
    Rectangle(c.dc, 5, 5, 9, 9);
    EXPECT_EQ(c.CountColour(kPen), 8 * 8 - 4);
    Rectangle(c.dc, 2, 2, 18, 18);
    EXPECT_TRUE(c.At(13, 13) == kBack && c.At(15, 15) == kPen);
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
        [](HDC dc) { Line(dc, 2, 5, 20, 17); },
    };
    for (const auto& draw : shapes) {
        Canvas copy(30, 30, kBack), mixed(30, 30, kBack);
        copy.Use(CreatePen(PS_SOLID, 3, k), CreateSolidBrush(k));
        mixed.Use(CreatePen(PS_SOLID, 3, k), CreateSolidBrush(k));
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
    const COLORREF pen = 0x0F33CC, dst = 0x55A50F;
    for (int mode = R2_BLACK; mode <= R2_WHITE; ++mode) {
        Canvas c(4, 4, dst);
        c.Use(GetStockObject(NULL_PEN), CreateSolidBrush(pen));
        EXPECT_EQ(SetROP2(c.dc, mode), R2_COPYPEN);
        Rectangle(c.dc, 0, 0, 3, 3);
        EXPECT_EQ(c.At(0, 0), ByTable(mode - 1, 0, pen, dst, 24)) << "mode " << mode;
        EXPECT_EQ(c.At(2, 2), dst);
        // One-bit targets mix bits: a white pen is 1.
        for (uint32_t d = 0; d < 2; ++d) {
            Canvas m(2, 2, d, true);
            m.Use(CreatePen(PS_SOLID, 1, RGB(255, 255, 255)), GetStockObject(NULL_BRUSH));
            SetROP2(m.dc, mode);
            Line(m.dc, 0, 0, 1, 0);
            EXPECT_EQ(m.bmp->pixels[0], ByTable(mode - 1, 0, 1, d, 1)) << "mono mode " << mode;
        }
    }
    EXPECT_EQ(SetROP2(nullptr, R2_NOT), 0);
}

TEST(Rop2, RunsOfEveryLengthMixEachPixelOnceAndStopAtTheirEnd) {
    // Long runs go eight pixels at a time: every length up to past two steps, over a background
    // that differs pixel by pixel, must match the per-pixel mix and leave the rest alone.
    const COLORREF pen = 0x0F33CC;
    for (int mode : {R2_COPYPEN, R2_MERGEPENNOT}) {
        for (int32_t n = 1; n <= 19; ++n) {
            std::vector<uint32_t> back(24);
            for (size_t i = 0; i < back.size(); ++i)
                back[i] = static_cast<uint32_t>(i * 0x10305u) & 0xFFFFFFu;
            Canvas c(24, 1, back);
            c.Use(GetStockObject(NULL_PEN), CreateSolidBrush(pen));
            SetROP2(c.dc, mode);
            Rectangle(c.dc, 2, 0, 2 + n + 1, 2);
            for (int32_t x = 0; x < 24; ++x) {
                const uint32_t d = back[static_cast<size_t>(x)];
                const bool in = x >= 2 && x < 2 + n;
                EXPECT_EQ(c.At(x, 0), in ? ByTable(mode - 1, 0, pen, d, 24) : d)
                    << "mode " << mode << " length " << n << " x " << x;
            }
        }
    }
}

TEST(Ellipse, SymmetricInsideItsBoxAndOutlined) {
    const std::tuple<int32_t, int32_t, int32_t> cases[] = {
        {9, 7, 0}, {10, 10, 1}, {17, 8, 3}, {5, 20, 2}};
    for (const auto& [w, h, pen] : cases) {
        Canvas c(40, 40, kBack);
        c.Use(pen ? CreatePen(PS_SOLID, pen, kPen) : GetStockObject(NULL_PEN),
              CreateSolidBrush(kBrush));
        Ellipse(c.dc, 10, 10, 10 + w, 10 + h);
        // Outer box as for a rectangle with this pen.
        const int32_t x1 = 10 - pen / 2, x2 = x1 + w - 1 + pen, y1 = x1, y2 = y1 + h - 1 + pen;
        // Nothing outside it, and mirror images across both middle lines.
        const int wrong = c.Count([&](int32_t x, int32_t y, COLORREF v) {
            const bool on = v != kBack;
            if (!(In(x, x1, x2) && In(y, y1, y2))) return on;
            return on != (c.At(x1 + x2 - 1 - x, y) != kBack) ||
                   on != (c.At(x, y1 + y2 - 1 - y) != kBack);
        });
        EXPECT_EQ(wrong, 0);
        EXPECT_GT(c.CountColour(kBrush), 0);
        // The widest row and column reach the box's edges; corners are cut.
        const COLORREF edge = c.At(x1, (y1 + y2) / 2), centre = c.At((x1 + x2) / 2, (y1 + y2) / 2);
        EXPECT_TRUE(edge != kBack && c.At((x1 + x2) / 2, y1) != kBack && c.At(x1, y1) == kBack);
        EXPECT_TRUE(!pen || (edge == kPen && centre == kBrush));
    }
    // Without a pen, a row takes the pixels whose centres lie inside: box [2, 10) x [2, 8).
    Canvas c(12, 10, kBack);
    c.Use(GetStockObject(NULL_PEN), CreateSolidBrush(kBrush));
    Ellipse(c.dc, 2, 2, 11, 9);
    const int32_t from[] = {4, 3, 2, 2, 3, 4};
    EXPECT_EQ(c.Count([&](int32_t x, int32_t y, COLORREF v) {
        return (v == kBrush) != (In(y, 2, 8) && In(x, from[y - 2], 12 - from[y - 2]));
    }),
              0);
}

TEST(Pixels, ReadOutsideIsInvalidAndMonoMapsToBlackOrWhite) {
    Canvas c(5, 4, kBack);
    const std::pair<int32_t, int32_t> outside[] = {
        {-1, 0}, {0, -1}, {5, 0}, {0, 4}, {INT32_MIN, INT32_MAX}};
    for (const auto& [x, y] : outside)
        EXPECT_EQ(GetPixel(c.dc, x, y), CLR_INVALID);
    EXPECT_EQ(GetPixel(nullptr, 0, 0), CLR_INVALID);
    EXPECT_EQ(SetPixelV(c.dc, 5, 0, kPen), 0);
    EXPECT_EQ(SetPixelV(c.dc, 4, 3, kPen), 1);
    EXPECT_EQ(c.OnlyIn(kPen, 4, 3, 5, 4), 0);
    // Pixels ignore the mix mode, as before.
    SetROP2(c.dc, R2_NOT);
    SetPixelV(c.dc, 0, 0, kPen);
    EXPECT_EQ(c.At(0, 0), kPen);
    // Bright by luminance is white, so pure blue is black and pure green white.
    Canvas m(3, 1, 0, true);
    const COLORREF in[] = {RGB(200, 200, 200), RGB(0, 0, 250), RGB(0, 255, 0)};
    for (int32_t x = 0; x < 3; ++x)
        SetPixelV(m.dc, x, 0, in[x]);
    EXPECT_EQ(m.bmp->pixels, (std::vector<uint32_t>{1, 0, 1}));
    EXPECT_TRUE(m.At(0, 0) == RGB(255, 255, 255) && m.At(1, 0) == RGB(0, 0, 0));
}

TEST(FloodFill, BorderStopsAtBorderColourAndSurfaceFillsOnlyThatColour) {
    // Both canvases hold a one-pixel ring 5..14 in the wall colour; c a foreign pixel inside.
    constexpr COLORREF kWall = RGB(0, 0, 255);
    Canvas c(20, 20, kBack), s(20, 20, kBack);
    for (Canvas* p : {&c, &s}) {
        p->Use(CreatePen(PS_SOLID, 1, kWall), GetStockObject(HOLLOW_BRUSH));
        Rectangle(p->dc, 5, 5, 15, 15);
    }
    SetPixelV(c.dc, 8, 8, kPen);
    c.Use(GetStockObject(NULL_PEN), CreateSolidBrush(kBrush));
    EXPECT_EQ(ExtFloodFill(c.dc, 5, 5, kWall, FLOODFILLBORDER), 0);  // starts on the border
    EXPECT_EQ(ExtFloodFill(c.dc, 10, 10, kWall, FLOODFILLBORDER), 1);
    EXPECT_EQ(c.OnlyIn(kBrush, 6, 6, 14, 14), 0);
    EXPECT_EQ(c.CountColour(kWall), 36);

    // Surface: only the outside's background, not the inside nor the ring.
    s.Use(GetStockObject(NULL_PEN), CreateSolidBrush(kBrush));
    EXPECT_EQ(ExtFloodFill(s.dc, 0, 0, kWall, FLOODFILLSURFACE), 0);
    EXPECT_EQ(ExtFloodFill(s.dc, 0, 0, kBack, FLOODFILLSURFACE), 1);
    EXPECT_EQ(s.CountColour(kBrush), 400 - 100);
    EXPECT_EQ(s.CountColour(kBack), 64);
    EXPECT_EQ(ExtFloodFill(s.dc, -1, 0, kBack, FLOODFILLSURFACE), 0);

    // A mix that leaves pixels fillable still reaches each pixel once and ends.
    Canvas x(50, 50, kBack);
    constexpr COLORREF k = RGB(3, 0, 0);
    x.Use(GetStockObject(NULL_PEN), CreateSolidBrush(k));
    SetROP2(x.dc, R2_XORPEN);
    EXPECT_EQ(ExtFloodFill(x.dc, 25, 25, kWall, FLOODFILLBORDER), 1);
    EXPECT_EQ(x.CountColour(kBack ^ k), 2500);

    // Rows 0 and 4 join the start's run only above and below its last pixel.
    std::vector<uint32_t> maze;
    for (const char p : std::string("......"
                                    "####.#"
                                    ".....#"
                                    "####.#"
                                    "......"))
        maze.push_back(p == '#' ? kWall : kBack);
    Canvas m(6, 5, maze);
    m.Use(GetStockObject(NULL_PEN), CreateSolidBrush(kBrush));
    EXPECT_EQ(ExtFloodFill(m.dc, 0, 2, kWall, FLOODFILLBORDER), 1);
    EXPECT_EQ(m.CountColour(kBrush), 6 + 1 + 5 + 1 + 6);
}

TEST(Lines, EndPointExcludedAndPositionTracked) {
    Canvas c(12, 12, kBack);
    c.Use(CreatePen(PS_SOLID, 1, kPen), GetStockObject(NULL_BRUSH));
    POINT prev{};
    MoveToEx(c.dc, 1, 1, nullptr);
    MoveToEx(c.dc, 2, 3, &prev);
    EXPECT_TRUE(prev.x == 1 && prev.y == 1);
    LineTo(c.dc, 7, 3);
    EXPECT_EQ(c.OnlyIn(kPen, 2, 3, 7, 4), 0);
    LineTo(c.dc, 7, 8);                        // continues from (7, 3)
    EXPECT_EQ(c.OnlyIn(kPen, 7, 3, 8, 8), 5);  // the first line's five pixels lie outside
    LineTo(c.dc, 2, 3);                        // diagonal back: one pixel per step, end excluded
    EXPECT_EQ(c.CountColour(kPen), 5 + 5 + 5);
    EXPECT_EQ(c.At(3, 4), kPen);
    // Far outside and crossing lines neither crash nor paint outside.
    Line(c.dc, -1000000, 5, -10, 5);
    EXPECT_EQ(c.CountColour(kPen), 15);
    Line(c.dc, -100, 10, 100, 10);
    EXPECT_EQ(c.CountColour(kPen), 27);
    // Lines billions of pixels long are cut before they are walked.
    Canvas big(8, 8, kBack);
    big.Use(CreatePen(PS_SOLID, 1, kPen), GetStockObject(NULL_BRUSH));
    Line(big.dc, -2000000000, 3, 2000000000, 3);
    Line(big.dc, -2000000000, -2000000000, 2000000000, 2000000000);
    EXPECT_EQ(big.Count([](int32_t x, int32_t y, COLORREF v) {
        return (v == kPen) != (y == 3 || x == y);
    }),
              0);
}

TEST(Polygon, AlternateFillAndOutline) {
    Canvas c(12, 12, kBack);
    c.Use(GetStockObject(NULL_PEN), CreateSolidBrush(kBrush));
    const POINT square[] = {{2, 2}, {8, 2}, {8, 8}, {2, 8}};
    EXPECT_EQ(Polygon(c.dc, square, 4), 1);
    EXPECT_EQ(c.OnlyIn(kBrush, 2, 2, 8, 8), 0);
    EXPECT_EQ(Polygon(c.dc, square, 1), 0);
    EXPECT_EQ(Polygon(c.dc, square, 2), 1);  // a segment: nothing to fill, and no failure
    // A five-pointed star drawn in one stroke leaves its centre empty under alternate fill.
    Canvas s(40, 40, kBack);
    s.Use(CreatePen(PS_SOLID, 1, kPen), CreateSolidBrush(kBrush));
    const POINT star[] = {{20, 2}, {31, 36}, {2, 14}, {38, 14}, {9, 36}};
    Polygon(s.dc, star, 5);
    EXPECT_TRUE(s.At(20, 21) == kBack && s.At(20, 8) == kBrush);
    for (const POINT& p : star)
        EXPECT_EQ(s.At(p.x, p.y), kPen);
}

TEST(Shapes, ClippedPicturesMatchTheWhole) {
    // Each shape drawn partly off a small bitmap gives the window of the same shape drawn whole
    // on a large one 40 pixels further in: clipping changes no pixel, at any edge, from any
    // distance.
    const POINT star[] = {{-9, 3}, {25, 14}, {2, -6}, {8, 30}};
    const std::function<void(HDC, int32_t)> shapes[] = {
        [](HDC dc, int32_t o) { Rectangle(dc, o - 7, o + 3, o + 9, o + 26); },
        [](HDC dc, int32_t o) { Rectangle(dc, o + 8, o + 6, o + 30, o + 30); },
        [](HDC dc, int32_t) { Rectangle(dc, INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX); },
        [](HDC dc, int32_t o) { Ellipse(dc, o - 9, o - 4, o + 12, o + 15); },
        [](HDC dc, int32_t o) { Line(dc, o - 30, o + 17, o + 25, o - 8); },
        [](HDC dc, int32_t o) { Line(dc, o + 3, o - 30, o + 9, o + 40); },
        [&star](HDC dc, int32_t o) {
            POINT moved[4];
            for (int i = 0; i < 4; ++i)
                moved[i] = POINT{star[i].x + o, star[i].y + o};
            Polygon(dc, moved, 4);
        },
    };
    for (const int32_t pen : {1, 4, 5}) {
        for (const auto& draw : shapes) {
            Canvas whole(100, 100, kBack), part(20, 20, kBack);
            for (Canvas* c : {&whole, &part})
                c->Use(CreatePen(PS_SOLID, pen, kPen), CreateSolidBrush(kBrush));
            draw(whole.dc, 40);
            draw(part.dc, 0);
            EXPECT_EQ(part.Count([&](int32_t x, int32_t y, COLORREF v) {
                return v != whole.At(x + 40, y + 40);
            }),
                      0)
                << "pen " << pen;
            EXPECT_LT(part.CountColour(kBack), 400) << "pen " << pen;
        }
    }
}
