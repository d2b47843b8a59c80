// The old interface's rules where a plain raster would differ, each pinned by measured examples.
#include <gtest/gtest.h>

#include <climits>

#include "Canvas.h"

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kInk = RGB(200, 10, 10);
constexpr COLORREF kFill = RGB(10, 200, 10);

static HGDIOBJ PenOf(int32_t w) {
    return w ? CreatePen(PS_SOLID, w, kInk) : GetStockObject(NULL_PEN);
}

TEST(Rule1WidePens, LinesEndInRoundCapsOfTheDiscWidth) {
    // The w = 7 disc has rows 3, 5, 7, 7, 7, 5, 3: the cap past (200, 10) reaches 1, 2, 3, 3, 3,
    // 2, 1 pixels on rows 7 to 13, and the start cap leaves (97, 7) alone.
    Canvas c(240, 30, kWhite);
    c.Use(PenOf(7), GetStockObject(NULL_BRUSH));
    Line(c.dc, 100, 10, 200, 10);
    const int32_t reach[] = {1, 2, 3, 3, 3, 2, 1};
    for (int32_t y = 7; y <= 13; ++y) {
        EXPECT_EQ(c.At(200 + reach[y - 7], y), kInk) << y;
        EXPECT_EQ(c.At(201 + reach[y - 7], y), kWhite) << y;
        EXPECT_EQ(c.At(100 - reach[y - 7] - 1, y), kWhite) << y;
    }
    EXPECT_EQ(c.At(97, 7), kWhite);
    EXPECT_EQ(c.CountColour(kInk), 7 * 101 + 2 * (1 + 2 + 3 + 3 + 3 + 2 + 1));
}

TEST(Rule2And3EmptyBoxes, DrawNothingButWidePenDiscs) {
    // left, top, right, bottom, pen width (0: width-0 pen), pixels painted.
    const std::tuple<int32_t, int32_t, int32_t, int32_t, int32_t, int> cases[] = {
        {28, 28, 28, 28, 5, 0}, {28, 28, 28, 28, 2, 0}, {28, 28, 28, 40, 5, 0},
        {28, 28, 40, 28, 1, 0}, {28, 28, 29, 29, 1, 0}, {29, 29, 28, 28, 1, 0},
        {28, 28, 29, 29, 0, 0}, {28, 28, 29, 29, 2, 4}, {28, 28, 29, 29, 5, 21},
    };
    for (const auto& [l, t, r, b, w, painted] : cases) {
        Canvas c(60, 60, kWhite);
        c.Use(CreatePen(PS_SOLID, w, kInk), CreateSolidBrush(kFill));
        Rectangle(c.dc, l, t, r, b);
        EXPECT_EQ(c.CountColour(kWhite), 3600 - painted) << l << "," << t << " w " << w;
    }
}

TEST(Rule4ThinLineTies, TakeTheSmallerCoordinateInEveryOctant) {
    // from, to, the pixel painted where the exact minor coordinate is a half, its neighbour.
    const std::tuple<POINT, POINT, POINT, POINT> cases[] = {
        {{100, 100}, {200, 150}, {101, 100}, {101, 101}},
        {{200, 150}, {100, 100}, {199, 149}, {199, 150}},
        {{100, 100}, {150, 0}, {149, 1}, {150, 1}},
        {{150, 0}, {100, 100}, {100, 99}, {101, 99}},
    };
    for (const auto& [a, b, on, off] : cases) {
        Canvas c(210, 160, kWhite), p(210, 160, kWhite);
        c.Use(PenOf(1), GetStockObject(NULL_BRUSH));
        p.Use(PenOf(1), GetStockObject(NULL_BRUSH));
        Line(c.dc, a.x, a.y, b.x, b.y);
        const POINT outline[] = {a, b, {a.x, b.y}};
        Polygon(p.dc, outline, 3);
        for (const Canvas* k : {&c, &p}) {
            EXPECT_EQ(k->At(on.x, on.y), kInk) << on.x << "," << on.y;
            EXPECT_EQ(k->At(off.x, off.y), kWhite) << off.x << "," << off.y;
        }
    }
}

TEST(Rule5NegativePenWidths, CountAsTheirSize) {
    const std::pair<int32_t, int32_t> cases[] = {
        {-123, 123}, {-1, 1}, {0, 1}, {INT32_MIN, INT32_MAX}, {INT32_MAX, INT32_MAX}};
    for (const auto& [asked, got] : cases) {
        HPEN pen = CreatePen(PS_SOLID, asked, kInk);
        EXPECT_EQ(pen->width, got) << asked;
        DeleteObject(pen);
    }
}

TEST(Rule6StretchBlt, ShrinkingCombinesWithAnd) {
    // Source pixel k has bit k cleared, so the result names the pixels combined.
    const std::vector<uint32_t> row = {0xFFFFFE, 0xFFFFFD, 0xFFFFFB, 0xFFFFF7};
    // source width, destination width, result.
    const std::tuple<int32_t, int32_t, std::vector<uint32_t>> cases[] = {
        {4, 2, {0xFFFFFC, 0xFFFFF3}},
        {4, 1, {0xFFFFF8}},
        {2, 1, {0xFFFFFE}},
        {3, 2, {0xFFFFFE, 0xFFFFF9}},  // column 0, then columns 1 and 2
    };
    for (const auto& [sw, dw, want] : cases) {
        Canvas src(4, 1, row), across(dw, 1), down(1, dw), column(1, 4, row);
        StretchBlt(across.dc, 0, 0, dw, 1, src.dc, 0, 0, sw, 1, SRCCOPY);
        StretchBlt(down.dc, 0, 0, 1, dw, column.dc, 0, 0, 1, sw, SRCCOPY);
        EXPECT_EQ(across.bmp->pixels, want) << sw << " into " << dw;
        EXPECT_EQ(down.bmp->pixels, want) << sw << " into " << dw << " rows";
    }
}

TEST(Rule6StretchBlt, OneNegativeSideMirrorsAboutItsOriginPixel) {
    Canvas src(2, 2, {10, 11, 20, 21});
    // destination x, width, source x, width, destination row.
    const std::tuple<int32_t, int32_t, int32_t, int32_t, std::vector<uint32_t>> cases[] = {
        {0, 2, 1, -2, {11, 10, 5}},   // source covers 1 and 0
        {1, -2, 0, 2, {11, 10, 5}},   // destination covers 1 and 0
        {0, -2, 0, 2, {10, 5, 5}},    // destination covers 0 and -1, off the edge
        {2, -2, 2, -2, {10, 11, 5}},  // both negative: a plain copy of [0, 2)
        {0, 3, 1, -2, {11, 10, 10}},  // mirrored while stretching
    };
    for (const auto& [x, w, sx, sw, want] : cases) {
        Canvas dst(3, 1, 5);
        StretchBlt(dst.dc, x, 0, w, 1, src.dc, sx, 0, sw, 1, SRCCOPY);
        EXPECT_EQ(dst.bmp->pixels, want) << x << " " << w << " " << sx << " " << sw;
    }
    Canvas both(2, 2);
    StretchBlt(both.dc, 0, 0, 2, 2, src.dc, 1, 1, -2, -2, SRCCOPY);
    EXPECT_EQ(both.bmp->pixels, (std::vector<uint32_t>{21, 20, 11, 10}));
}

TEST(Rule7PolygonFill, LeftAndTopEdgesInsideRightAndBottomOutside) {
    Canvas c(60, 60, kWhite);
    c.Use(PenOf(0), CreateSolidBrush(kFill));
    const POINT tri[] = {{20, 20}, {50, 25}, {30, 55}};
    Polygon(c.dc, tri, 3);
    // Row 20 is the top vertex alone; row 21 crosses the edges at 20.29 and 26.
    for (int32_t x = 18; x <= 28; ++x) {
        EXPECT_EQ(c.At(x, 20), kWhite) << x;
        EXPECT_EQ(c.At(x, 21), x >= 21 && x <= 25 ? kFill : kWhite) << x;
    }
}

TEST(Rule7Ellipse, ThinOutlineOfThreeByThreeIsAPlusAndOneByOneIsNothing) {
    Canvas c(8, 8, kWhite);
    c.Use(PenOf(1), CreateSolidBrush(kFill));
    Ellipse(c.dc, 2, 2, 5, 5);
    Ellipse(c.dc, 6, 6, 7, 7);
    Ellipse(c.dc, 6, 0, 7, 4);  // one pixel wide: a line down the column
    const int wrong = c.Count([](int32_t x, int32_t y, COLORREF v) {
        const bool arm = (x == 3) != (y == 3) && x >= 2 && x <= 4 && y >= 2 && y <= 4;
        const bool line = x == 6 && y < 4;
        return v != (x == 3 && y == 3 ? kFill : arm || line ? kInk : kWhite);
    });
    EXPECT_EQ(wrong, 0);
}
