#include "graphics/modGraphic.h"

#include <cmath>
#include <cstring>

#include "SpriteTestSupport.h"
#include "platform/window/Form.h"

using namespace spritetest;

constexpr COLORREF kBack = RGB(1, 2, 3), kInk = RGB(250, 20, 90);

static bool In(int32_t v, int32_t lo, int32_t hi) {
    return v >= lo && v < hi;
}

TEST(FillRectangle, CoversHalfOpenArea) {
    Target b(12, 12, kBack);
    FillRectangle(b.dc(), 0, 0, 5, 5, kInk);
    ExpectPixels(b.dc(), [](int x, int y) { return In(x, 0, 5) && In(y, 0, 5) ? kInk : kBack; });
    FillRectangle(b.dc(), 7, 7, 7, 7, RGB(0, 0, 0));
    FillRectangle(b.dc(), 7, 3, 7, 9, RGB(0, 0, 0));
    FillRectangle(b.dc(), 10, 10, 20, 20, kInk);  // clipped by the bitmap
    EXPECT_EQ(b.count(RGB(0, 0, 0)), 0);
    EXPECT_EQ(b.count(kInk), 29);
}

TEST(FrameRectangle, BandLiesInsideAndLeavesTheInterior) {
    // The pen is round: each outer corner's w x w square keeps only the pixels whose centres lie
    // in its inscribed circle (none lost up to width 3, the corner pixel alone at 4 and 5).
    for (int32_t w = 1; w <= 6; ++w) {
        SCOPED_TRACE(w);
        Target b(40, 40, kBack);
        FrameRectangle(b.dc(), 5, 7, 30, 33, kInk, w);
        const double r = w / 2.0;
        ExpectPixels(b.dc(), [&](int x, int y) {
            const bool outer = In(x, 5, 30) && In(y, 7, 33);
            const bool inner = In(x, 5 + w, 30 - w) && In(y, 7 + w, 33 - w);
            const double ox = x < 17 ? 5 + r - (x + 0.5) : x + 0.5 - (30 - r);
            const double oy = y < 20 ? 7 + r - (y + 0.5) : y + 0.5 - (33 - r);
            const bool corner = ox > 0 && oy > 0 && std::hypot(ox, oy) > r;
            return outer && !inner && !corner ? kInk : kBack;
        });
    }
}

TEST(RectangleHelpers, LeaveTheContextAsFound) {
    Target b(20, 20, kBack);
    HPEN pen = CreatePen(PS_SOLID, 3, RGB(0, 0, 0));
    HBRUSH brush = CreateSolidBrush(RGB(0, 0, 0));
    SelectObject(b.dc(), pen);
    SelectObject(b.dc(), brush);
    FillRectangle(b.dc(), 1, 1, 4, 4, kInk);
    FrameRectangle(b.dc(), 5, 5, 15, 15, kInk, 2);
    EXPECT_TRUE(GetCurrentObject(b.dc(), GdiKind::Pen) == pen && pen->selections == 1);
    EXPECT_TRUE(GetCurrentObject(b.dc(), GdiKind::Brush) == brush && brush->selections == 1);
    EXPECT_EQ(b.at(10, 10), kBack);  // a frame never fills, whatever brush is there
    DeleteObject(pen);               // both go with the context
    DeleteObject(brush);
}

TEST(ReadFormFont, CopiesTheSelectedFontAndLeavesItSelected) {
    platform::Form form("frmFontProbe");
    const LOGFONTA wanted{.lfHeight = -21,
                          .lfEscapement = 450,
                          .lfWeight = FW_BOLD,
                          .lfItalic = 1,
                          .lfFaceName = "Small Fonts"};
    HFONT font = CreateFontIndirectA(&wanted);
    SelectObject(form.hDC(), font);
    LOGFONTA read{};
    ReadFormFont(form, read);
    EXPECT_EQ(std::memcmp(&read, &wanted, sizeof(LOGFONTA)), 0);
    EXPECT_EQ(GetCurrentObject(form.hDC(), GdiKind::Font), font);
    DeleteObject(font);  // goes with the form's context
}
