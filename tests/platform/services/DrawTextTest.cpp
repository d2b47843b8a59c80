#include <gtest/gtest.h>

#include "platform/fonts/Fonts.h"

namespace {

constexpr COLORREF kPaper = RGB(10, 20, 30);
constexpr COLORREF kInk = RGB(255, 0, 0);
constexpr COLORREF kBack = RGB(0, 0, 255);

struct Box {
    int32_t left = INT32_MAX, top = INT32_MAX, right = INT32_MIN, bottom = INT32_MIN;
    int64_t count = 0;
};

class DrawTextTest : public ::testing::Test {
  protected:
    void SetUp() override {
        bitmap_ = CreateBitmap(200, 80, 1, 32, nullptr);
        ASSERT_NE(bitmap_, nullptr);
        dc_ = CreateBitmapDC(bitmap_);
        UseFont(0);
        SetTextColor(dc_, kInk);
        SetBkColor(dc_, kBack);
        SetBkMode(dc_, TRANSPARENT);
        Clear();
    }
    void TearDown() override {
        DeleteDC(dc_);
        DeleteObject(font_);
        DeleteObject(bitmap_);
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
    void Clear() { std::fill(bitmap_->pixels.begin(), bitmap_->pixels.end(), kPaper); }
    Box Find(COLORREF color) const {
        Box b;
        for (int32_t y = 0; y < bitmap_->height; ++y) {
            for (int32_t x = 0; x < bitmap_->width; ++x) {
                if (bitmap_->row(y)[x] != color) continue;
                b.left = std::min(b.left, x), b.right = std::max(b.right, x + 1);
                b.top = std::min(b.top, y), b.bottom = std::max(b.bottom, y + 1);
                ++b.count;
            }
        }
        return b;
    }
    int64_t CountOther(std::initializer_list<COLORREF> allowed) const {
        int64_t n = 0;
        for (uint32_t p : bitmap_->pixels)
            n += std::find(allowed.begin(), allowed.end(), p) == allowed.end();
        return n;
    }
    HBITMAP bitmap_ = nullptr;
    HDC dc_ = nullptr;
    HFONT font_ = nullptr;
    platform::TextExtent extent_;
};

TEST_F(DrawTextTest, TransparentTextUsesOnlyTheTextColourInsideTheRectangle) {
    RECT r{20, 10, 180, 60};
    EXPECT_EQ(DrawTextA(dc_, "Hello", -1, &r, DT_LEFT), extent_.height);
    Box ink = Find(kInk);
    EXPECT_GT(ink.count, 20);
    EXPECT_EQ(CountOther({kPaper, kInk}), 0);  // solid glyphs: no blended edge colours
    EXPECT_GE(ink.left, 20);
    EXPECT_LT(ink.left, 24);
    EXPECT_LE(ink.right, 20 + extent_.width);
    EXPECT_GE(ink.top, 10);
    EXPECT_LE(ink.bottom, 10 + extent_.height);

    // Right and bottom alignment of a single line.
    Clear();
    EXPECT_EQ(DrawTextA(dc_, "Hello", -1, &r, DT_RIGHT | DT_BOTTOM | DT_SINGLELINE), 50);
    ink = Find(kInk);
    EXPECT_LE(ink.right, 180);
    EXPECT_GT(ink.right, 175);
    EXPECT_LE(ink.bottom, 60);
    EXPECT_GT(ink.top, 60 - extent_.height);

    // Clipped to the rectangle unless told otherwise.
    Clear();
    RECT small{20, 10, 35, 18};
    DrawTextA(dc_, "Hello", -1, &small, 0);
    ink = Find(kInk);
    EXPECT_GT(ink.count, 0);
    EXPECT_GE(ink.left, 20);
    EXPECT_LE(ink.right, 35);
    EXPECT_LE(ink.bottom, 18);
    Clear();
    DrawTextA(dc_, "Hello", -1, &small, DT_NOCLIP);
    EXPECT_GT(Find(kInk).right, 35);
}

TEST_F(DrawTextTest, OpaqueModeFillsTheTextCell) {
    SetBkMode(dc_, OPAQUE);
    RECT r{20, 10, 180, 60};
    DrawTextA(dc_, "Hello", 5, &r, DT_LEFT);
    Box back = Find(kBack), ink = Find(kInk);
    EXPECT_EQ(back.count + ink.count, int64_t{extent_.width} * extent_.height);
    EXPECT_EQ(back.left, 20);
    EXPECT_EQ(back.top, 10);
    EXPECT_EQ(back.right, 20 + extent_.width);
    EXPECT_EQ(back.bottom, 10 + extent_.height);
    EXPECT_EQ(CountOther({kPaper, kInk, kBack}), 0);
}

TEST_F(DrawTextTest, CalcRectMeasuresWithoutDrawing) {
    RECT r{20, 10, 21, 11};
    EXPECT_EQ(DrawTextA(dc_, "Hello\0and what follows", 22, &r, DT_CALCRECT | DT_SINGLELINE),
              extent_.height);
    EXPECT_EQ(r.right, 20 + extent_.width);
    EXPECT_EQ(r.bottom, 10 + extent_.height);
    EXPECT_EQ(CountOther({kPaper}), 0);

    RECT lines{0, 0, 100, 0};
    EXPECT_EQ(DrawTextA(dc_, "Hello\r\nHello Hello", -1, &lines, DT_CALCRECT), 2 * extent_.height);
    EXPECT_EQ(lines.bottom, 2 * extent_.height);
    EXPECT_EQ(CountOther({kPaper}), 0);
}

TEST_F(DrawTextTest, EscapementTurnsTheTextAboutItsOrigin) {
    RECT upright{60, 10, 200, 80};
    DrawTextA(dc_, "Hello", -1, &upright, 0);
    const std::vector<uint32_t> before = bitmap_->pixels;
    Clear();
    UseFont(900);  // a quarter turn counter-clockwise: the text runs upwards from (60, 75)
    RECT turned{60, 75, 200, 80};
    DrawTextA(dc_, "Hello", -1, &turned, DT_NOCLIP);
    int64_t mismatches = 0, inked = 0;
    for (int32_t v = 0; v < extent_.height; ++v) {
        for (int32_t u = 0; u < extent_.width; ++u) {
            if (before[static_cast<size_t>(10 + v) * 200 + 60 + u] != kInk) continue;
            ++inked;
            if (bitmap_->row(75 - 1 - u)[60 + v] != kInk) ++mismatches;
        }
    }
    EXPECT_GT(inked, 10);
    EXPECT_EQ(mismatches, 0);
    EXPECT_EQ(Find(kInk).count, inked);
}

TEST_F(DrawTextTest, NarrowedGlyphsKeepTheirStems) {
    UseFont(0, 2);  // a quarter of the natural width: every stem still leaves a column
    RECT r{10, 10, 200, 80};
    DrawTextA(dc_, "l i l i", -1, &r, 0);
    Box ink = Find(kInk);
    EXPECT_LE(ink.right - ink.left, extent_.width);
    int columns = 0;
    for (int32_t x = ink.left; x < ink.right; ++x) {
        int rows = 0;
        for (int32_t y = 10; y < 80; ++y)
            rows += bitmap_->row(y)[x] == kInk;
        columns += rows >= 8;
    }
    EXPECT_GE(columns, 4);
}

}  // namespace
