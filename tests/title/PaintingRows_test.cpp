#include "title/PaintingRows.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace {
// A painting as the title makes them: white, lines from edge to edge and a few panels
// between them, in w x h pixels.
Bitmap Painting(int32_t w, int32_t h, uint32_t seed) {
    Bitmap p(w, h, false);
    std::mt19937 rnd(seed);
    std::vector<bool> across(h), down(w);
    for (int32_t i = 0; i < 6; ++i) {
        across[rnd() % h] = true;
        down[rnd() % w] = true;
    }
    const uint32_t panels[] = {0xFF0000u, 0x0000FFu, 0x00FFFFu};
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x)
            p.row(y)[x] = across[y] || down[x] ? 0u : 0xFFFFFFu;
    for (const uint32_t colour : panels) {
        // The cell around a random point, bounded by the lines.
        int32_t x = rnd() % w, y = rnd() % h;
        if (across[y] || down[x]) continue;
        int32_t x0 = x, x1 = x, y0 = y, y1 = y;
        while (x0 > 0 && !down[x0 - 1])
            --x0;
        while (x1 < w - 1 && !down[x1 + 1])
            ++x1;
        while (y0 > 0 && !across[y0 - 1])
            --y0;
        while (y1 < h - 1 && !across[y1 + 1])
            ++y1;
        for (int32_t py = y0; py <= y1; ++py)
            for (int32_t px = x0; px <= x1; ++px)
                p.row(py)[px] = colour;
    }
    return p;
}

// The painting wrapped with its top left at (x, y), as the four copies of it draw it.
void Wrapped(const Bitmap& p, int32_t x, int32_t y, Bitmap& into) {
    const auto wrap = [](int32_t v, int32_t m) { return ((v % m) + m) % m; };
    for (int32_t iy = 0; iy < into.height; ++iy)
        for (int32_t ix = 0; ix < into.width; ++ix)
            into.row(iy)[ix] = p.row(wrap(iy - y, p.height))[wrap(ix - x, p.width)];
}
}  // namespace

// A move leaves the image as the painting at its new place shows it: by either axis, across
// the wrap, both ways, far, and not at all, into images of the painting's size and smaller.
TEST(PaintingRows, MovesShowThePaintingWrappedAtItsNewPlace) {
    const int32_t pw = 71, ph = 53;
    const struct {
        int32_t fromX, fromY, x, y, w, h;
    } moves[] = {
        {0, 0, 3, 0, 64, 48}, {3, 0, 0, 0, 64, 48},    {0, 0, 0, 3, 64, 48},
        {0, 5, 0, 2, 64, 48}, {70, 0, 71, 0, 64, 48},  {71, 52, 2, 53, 64, 48},
        {0, 0, 1, 0, 71, 53}, {10, 20, 40, 7, 71, 53}, {9, 9, 9, 9, 64, 48},
        {0, 0, 2, 0, 17, 1},  {5, 5, 5, 8, 1, 40},     {69, 0, 1, 0, 33, 33},
    };
    for (const uint32_t seed : {1u, 2u, 3u}) {
        const Bitmap painting = Painting(pw, ph, seed);
        PaintingRows rows;
        ASSERT_TRUE(rows.Take(painting));
        for (const auto& m : moves) {
            Bitmap image(m.w, m.h, false), want(m.w, m.h, false);
            Wrapped(painting, m.fromX, m.fromY, image);
            Wrapped(painting, m.x, m.y, want);
            ASSERT_TRUE(rows.Move(image, m.fromX, m.fromY, m.x, m.y));
            EXPECT_EQ(image.pixels, want.pixels)
                << seed << ": " << m.fromX << "," << m.fromY << " to " << m.x << "," << m.y;
        }
    }
}

// Moves are refused, writing nothing, where the rows cannot stand for the painting: none
// taken, a monochrome one, one with too many different rows to keep, an image larger.
TEST(PaintingRows, RefusesWhatItCannotMove) {
    PaintingRows rows;
    Bitmap image(8, 8, false);
    std::fill(image.pixels.begin(), image.pixels.end(), 7u);
    EXPECT_FALSE(rows.Move(image, 0, 0, 1, 0)) << "none taken";
    EXPECT_FALSE(rows.Take(Bitmap(16, 16, true))) << "monochrome";
    EXPECT_FALSE(rows.Move(image, 0, 0, 1, 0)) << "monochrome";
    Bitmap noisy(1024, 600, false);  // every row its own: 600 rows of 8 KiB, twice over
    for (size_t i = 0; i < noisy.pixels.size(); ++i)
        noisy.pixels[i] = static_cast<uint32_t>(i);
    EXPECT_FALSE(rows.Take(noisy)) << "noise";
    EXPECT_FALSE(rows.Move(image, 0, 0, 1, 0)) << "noise";
    ASSERT_TRUE(rows.Take(Painting(7, 9, 1)));
    EXPECT_FALSE(rows.Move(image, 0, 0, 1, 0)) << "larger image";
    EXPECT_TRUE(
        std::all_of(image.pixels.begin(), image.pixels.end(), [](uint32_t v) { return v == 7u; }));
}
