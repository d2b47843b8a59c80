#include <gtest/gtest.h>

#include <algorithm>

#include "platform/fonts/Fonts.h"

constexpr COLORREF kPaper = RGB(10, 20, 30), kInk = RGB(255, 0, 0), kBack = RGB(0, 0, 255);
constexpr int64_t kPixels = 200 * 80;

// Where a colour lies: its bounding box (right and bottom exclusive) and its pixel count.
struct Box {
    int32_t left = INT32_MAX, top = INT32_MAX, right = INT32_MIN, bottom = INT32_MIN;
    int64_t count = 0;
};

class DrawTextTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dc_ = CreateBitmapDC(&bitmap_);
        UseFont(0);
        SetTextColor(dc_, kInk);
        SetBkColor(dc_, kBack);
        SetBkMode(dc_, TRANSPARENT);
        Clear();
    }
    void TearDown() override {
        DeleteDC(dc_);
        DeleteObject(font_);
    }
    void UseFont(int32_t escapement, int32_t width = 0) {
        LOGFONTA lf = platform::MakeLogFont("MS Sans Serif", 12, false, false);
        lf.lfEscapement = lf.lfOrientation = escapement;
        lf.lfWidth = width;
        HFONT font = CreateFontIndirectA(&lf);
        SelectObject(dc_, font);
        if (font_) DeleteObject(font_);
        font_ = font;
        extent_ = platform::MeasureText(lf, "Hello");
    }
    void Clear() { std::fill(bitmap_.pixels.begin(), bitmap_.pixels.end(), kPaper); }
    // On fresh paper.
    int Draw(RECT r, unsigned format, const char* text = "Hello", int count = -1) {
        Clear();
        return DrawTextA(dc_, text, count, &r, format);
    }
    Box Find(COLORREF color) const {
        Box b;
        for (int32_t y = 0; y < bitmap_.height; ++y) {
            for (int32_t x = 0; x < bitmap_.width; ++x) {
                if (bitmap_.row(y)[x] != color) continue;
                b.left = std::min(b.left, x), b.right = std::max(b.right, x + 1);
                b.top = std::min(b.top, y), b.bottom = std::max(b.bottom, y + 1);
                ++b.count;
            }
        }
        return b;
    }
    static ::testing::AssertionResult Within(const Box& b, const RECT& r) {
        if (b.left >= r.left && b.top >= r.top && b.right <= r.right && b.bottom <= r.bottom)
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure()
               << "ink from " << b.left << "," << b.top << " to " << b.right << "," << b.bottom;
    }
    Bitmap bitmap_{200, 80, false};
    HDC dc_ = nullptr;
    HFONT font_ = nullptr;
    platform::TextExtent extent_;
};

TEST_F(DrawTextTest, TransparentTextUsesOnlyTheTextColourInsideTheRectangle) {
    EXPECT_EQ(Draw({20, 10, 180, 60}, DT_LEFT), extent_.height);
    Box ink = Find(kInk);
    EXPECT_GT(ink.count, 20);
    EXPECT_EQ(Find(kPaper).count + ink.count, kPixels);  // solid glyphs: no blended edges
    EXPECT_TRUE(Within(ink, {20, 10, 20 + extent_.width, 10 + extent_.height}));
    EXPECT_LT(ink.left, 24);

    // Right and bottom alignment of a single line.
    EXPECT_EQ(Draw({20, 10, 180, 60}, DT_RIGHT | DT_BOTTOM | DT_SINGLELINE), 50);
    ink = Find(kInk);
    EXPECT_TRUE(Within(ink, {20, 10, 180, 60}));
    EXPECT_GT(ink.right, 175);
    EXPECT_GT(ink.top, 60 - extent_.height);

    // Clipped to the rectangle unless told otherwise.
    Draw({20, 10, 35, 18}, 0);
    EXPECT_GT(Find(kInk).count, 0);
    EXPECT_TRUE(Within(Find(kInk), {20, 10, 35, 18}));
    Draw({20, 10, 35, 18}, DT_NOCLIP);
    EXPECT_GT(Find(kInk).right, 35);
}

TEST_F(DrawTextTest, OpaqueModeFillsTheTextCell) {
    SetBkMode(dc_, OPAQUE);
    Draw({20, 10, 180, 60}, DT_LEFT, "Hello", 5);
    const Box back = Find(kBack), ink = Find(kInk);
    EXPECT_EQ(back.count + ink.count, int64_t{extent_.width} * extent_.height);
    EXPECT_EQ(std::tuple(back.left, back.top, back.right, back.bottom),
              std::tuple(20, 10, 20 + extent_.width, 10 + extent_.height));
    EXPECT_EQ(Find(kPaper).count + back.count + ink.count, kPixels);
}

TEST_F(DrawTextTest, CalcRectMeasuresWithoutDrawing) {
    RECT r{20, 10, 21, 11};
    EXPECT_EQ(DrawTextA(dc_, "Hello\0and what follows", 22, &r, DT_CALCRECT | DT_SINGLELINE),
              extent_.height);
    EXPECT_EQ(std::pair(r.right, r.bottom), std::pair(20 + extent_.width, 10 + extent_.height));
    RECT lines{0, 0, 100, 0};
    EXPECT_EQ(DrawTextA(dc_, "Hello\r\nHello Hello", -1, &lines, DT_CALCRECT), 2 * extent_.height);
    EXPECT_EQ(lines.bottom, 2 * extent_.height);
    EXPECT_EQ(Find(kPaper).count, kPixels);
}

TEST_F(DrawTextTest, EscapementTurnsTheTextAboutItsOrigin) {
    Draw({60, 10, 200, 80}, 0);
    const std::vector<uint32_t> before = bitmap_.pixels;
    UseFont(900);  // a quarter turn counter-clockwise: the text runs upwards from (60, 75)
    Draw({60, 75, 200, 80}, DT_NOCLIP);
    int64_t mismatches = 0, inked = 0;
    for (int32_t v = 0; v < extent_.height; ++v) {
        for (int32_t u = 0; u < extent_.width; ++u) {
            if (before[static_cast<size_t>(10 + v) * 200 + 60 + u] != kInk) continue;
            ++inked;
            mismatches += bitmap_.row(75 - 1 - u)[60 + v] != kInk;
        }
    }
    EXPECT_GT(inked, 10);
    EXPECT_EQ(mismatches, 0);
    EXPECT_EQ(Find(kInk).count, inked);
}

TEST_F(DrawTextTest, NarrowedGlyphsKeepTheirStems) {
    UseFont(0, 2);  // a quarter of the natural width: every stem still leaves a column
    Draw({10, 10, 200, 80}, 0, "l i l i");
    const Box ink = Find(kInk);
    EXPECT_LE(ink.right - ink.left, extent_.width);
    int columns = 0;
    for (int32_t x = ink.left; x < ink.right; ++x) {
        int rows = 0;
        for (int32_t y = 10; y < 80; ++y)
            rows += bitmap_.row(y)[x] == kInk;
        columns += rows >= 8;
    }
    EXPECT_GE(columns, 4);
}
