// A frame's way into a display image: its parts converted one to one, and scaled to fit.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>

#include "platform/frame/FrameParts.h"
#include "platform/frame/FrameScaler.h"

using namespace platform;
using Rows = std::vector<std::vector<uint32_t>>;  // a picture, written as its rows

constexpr uint32_t W = 0xFFFFFF, K = 0;  // white, black

static Bitmap Make(const Rows& rows) {
    Bitmap b(static_cast<int32_t>(rows[0].size()), static_cast<int32_t>(rows.size()), false);
    for (int32_t y = 0; y < b.height; ++y)
        std::copy(rows[y].begin(), rows[y].end(), b.row(y));
    return b;
}

// A picture whose pixels are their index times a multiplier.
static Bitmap Noise(int32_t w, int32_t h, uint32_t multiplier) {
    Bitmap b(w, h, false);
    for (size_t i = 0; i < b.pixels.size(); ++i)
        b.pixels[i] = static_cast<uint32_t>(i) * multiplier;
    return b;
}

static Rows Scaled(const FrameParts& parts, int32_t w, int32_t h,
                   PixelOrder order = PixelOrder::AsIs) {
    std::vector<uint32_t> out(static_cast<size_t>(w + 1) * h, 0x12345678u);  // one spare a row
    FrameScaler().Draw(parts, out.data(), w + 1, w, h, order);
    Rows rows;
    for (int32_t y = 0; y < h; ++y) {
        EXPECT_EQ(out[static_cast<size_t>(y) * (w + 1) + w], 0x12345678u) << "row " << y;
        rows.emplace_back(out.begin() + y * (w + 1), out.begin() + y * (w + 1) + w);
    }
    return rows;
}

TEST(FrameScaler, ShrinksByAreaEnlargesSharpLetterboxes) {
    // A one-pixel black line across and down white, shrunk by 3/4: on every display row and
    // column it stays a clearly darker grey, and white stays white away from it.
    Rows lines(8, std::vector<uint32_t>(8, W));
    for (int i = 0; i < 8; ++i)
        lines[i][3] = lines[5][i] = K;
    const Bitmap cross = Make(lines);
    const Rows small = Scaled({&cross}, 6, 6);
    for (int i = 0; i < 6; ++i) {
        uint32_t darkestAcross = 0xFF, darkestDown = 0xFF;
        for (int j = 0; j < 6; ++j) {
            darkestAcross = std::min(darkestAcross, small[i][j] & 0xFF);
            darkestDown = std::min(darkestDown, small[j][i] & 0xFF);
        }
        EXPECT_LT(darkestAcross, 160u) << "row " << i;
        EXPECT_LT(darkestDown, 160u) << "column " << i;
    }
    EXPECT_EQ(small[0][0], W);
    EXPECT_EQ(small[0][5], W);
    EXPECT_EQ(small[1][1] & 0xFF, (small[1][1] >> 16) & 0xFF) << "grey, not coloured";

    const Bitmap block =
        Make({{RGB(0, 0, 0), RGB(200, 100, 40)}, {RGB(100, 0, 0), RGB(40, 60, 80)}});
    const Bitmap three = Make({{1, 2, 3}, {4, 5, 6}});
    const Bitmap wide = Make({{1, 2, 3, 4}, {5, 6, 7, 8}});
    const Rows doubled = {
        {1, 1, 2, 2, 3, 3}, {1, 1, 2, 2, 3, 3}, {4, 4, 5, 5, 6, 6}, {4, 4, 5, 5, 6, 6}};
    const Rows barred = {{K, K, K, K}, {1, 2, 3, 4}, {5, 6, 7, 8}, {K, K, K, K}};
    const struct {
        const char* what;
        const Bitmap& frame;
        int32_t w, h;
        PixelOrder order;
        Rows want;
    } cases[] = {
        {"2x2 averages", block, 1, 1, PixelOrder::AsIs, {{RGB(85, 40, 30)}}},
        {"red and blue swapped", block, 1, 1, PixelOrder::RedHigh, {{RGB(30, 40, 85)}}},
        {"enlarged by 2", three, 6, 4, PixelOrder::AsIs, doubled},
        {"bars above and below", wide, 4, 4, PixelOrder::AsIs, barred},
        {"bars left and right", three, 5, 2, PixelOrder::AsIs, {{K, 1, 2, 3, K}, {K, 4, 5, 6, K}}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Scaled({&c.frame}, c.w, c.h, c.order), c.want) << c.what;
}

TEST(FrameParts, PictureOverBaseClippedConvertedOrScaled) {
    // A picture hanging over the frame's top left corner and one over its right edge: the
    // frame's parts give the same display image as the frame composed first.
    const Bitmap base = Make(Rows(5, std::vector<uint32_t>(7, RGB(10, 20, 30))));
    const Bitmap picture = Make({{1, 2, 3}, {4, 5, 6}, {7, 8, 9}});
    for (const auto& [left, top] : {std::pair{-1, -1}, std::pair{5, 3}}) {
        Rows composed(5, std::vector<uint32_t>(7, RGB(10, 20, 30)));
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 3; ++x)
                if (top + y >= 0 && top + y < 5 && left + x >= 0 && left + x < 7)
                    composed[top + y][left + x] = picture.row(y)[x];
        const FrameParts parts{&base, &picture, left, top};
        Bitmap whole(1, 1, false);
        ComposeFrame(parts, whole);
        EXPECT_EQ(whole.pixels, Make(composed).pixels) << left;
        const Bitmap flat = Make(composed);
        EXPECT_EQ(Scaled(parts, 5, 4), Scaled({&flat}, 5, 4)) << left;
    }
}

TEST(FrameParts, UpdateWritesWhatChangedAndSaysWhere) {
    // Runs of 8, 40 and 16 pixels: whole blocks of 16 and ragged ends. Over anything, then
    // over itself, then with changes in a few rows.
    constexpr int32_t kW = 64, kH = 6, kPitch = kW + 1;  // one padding pixel a row
    Bitmap base = Noise(kW, kH, 2654435761u), picture = Noise(40, 3, 40503u);
    const FrameParts parts{&base, &picture, 8, 2};
    const bool before = UseWideVectors(false);
    for (const bool wide : {false, true}) {
        UseWideVectors(wide);
        for (const PixelOrder order : {PixelOrder::RedLow, PixelOrder::RedHigh}) {
            std::vector<uint32_t> shown(kPitch * kH, 0x12345678u), want = shown;
            using Box = std::array<int32_t, 4>;  // left, top, right, bottom
            const auto update = [&](const FrameParts& p) {
                ConvertFrame(p, want.data(), kPitch, order);
                const ChangedBox box = UpdateFrame(p, shown.data(), kPitch, order);
                return box.Empty() ? Box{} : Box{box.left, box.top, box.right, box.bottom};
            };
            EXPECT_EQ(update(parts), (Box{0, 0, kW, kH})) << wide;
            EXPECT_EQ(shown, want) << wide;
            EXPECT_EQ(update(parts), Box{}) << wide;
            // The box holds the runs that changed: here the picture's in frame row 3 and the
            // base's left of it in row 4; in row 0, with no picture, the whole row.
            picture.row(1)[37] ^= 0x20100u;
            base.row(4)[2] ^= 0x10u;
            EXPECT_EQ(update(parts), (Box{0, 3, 48, 5})) << wide;
            EXPECT_EQ(shown, want) << wide;
            base.row(0)[3] ^= 0x10u;
            EXPECT_EQ(update(parts), (Box{0, 0, kW, 1})) << wide;
            // Base said to be as before: its change is not looked at, the picture's is.
            FrameParts same = parts;
            same.baseAsLast = true;
            base.row(3)[2] ^= 0x10u;
            picture.row(2)[0] ^= 0x10u;  // frame row 4
            const uint32_t stale = shown[3 * kPitch + 2];
            EXPECT_EQ(update(same), (Box{8, 4, 48, 5})) << wide;
            EXPECT_EQ(shown[3 * kPitch + 2], stale) << wide;
            EXPECT_EQ(update(parts), (Box{0, 3, 8, 4})) << wide;
            EXPECT_EQ(shown, want) << wide;
        }
    }
    UseWideVectors(before);
}

TEST(FrameScaler, WideFramesKeepTheirPinnedPictures) {
    // Wide enough for whole vectors between the picture's edges and ragged ends after them;
    // the hashes are those of the first, plain per-pixel shrinking.
    const Bitmap base = Noise(41, 29, 2654435761u), picture = Noise(30, 20, 40503u);
    const struct {
        int32_t w, h;
        PixelOrder order;
        uint32_t hash;
    } cases[] = {{31, 22, PixelOrder::AsIs, 0x2d0d7e34},
                 {31, 22, PixelOrder::RedHigh, 0xd7e546c0},
                 {20, 14, PixelOrder::AsIs, 0x5a6cdaf4},
                 {13, 9, PixelOrder::RedHigh, 0x04b5b2b9}};
    for (const bool wide : {false, true}) {
        const bool before = UseWideVectors(wide);
        for (const auto& c : cases) {
            uint32_t hash = 2166136261u;
            for (const auto& row : Scaled({&base, &picture, 5, 3}, c.w, c.h, c.order))
                for (uint32_t p : row)
                    hash = (hash ^ p) * 16777619u;
            EXPECT_EQ(hash, c.hash) << c.w << "x" << c.h << (wide ? " wide" : "");
        }
        UseWideVectors(before);
    }
}

TEST(FrameScaler, BandsDrawWhatTheWholeDraws) {
    // Shrunk, enlarged (rows repeating the row above) and barred, drawn in bands of a few
    // rows, last band first and each with scratch of its own, as two threads would.
    const Bitmap base = Noise(41, 29, 2654435761u), picture = Noise(30, 20, 40503u);
    const FrameParts parts{&base, &picture, 5, 3};
    for (const auto& [w, h] : {std::pair{31, 22}, std::pair{90, 61}, std::pair{60, 20}}) {
        const Rows whole = Scaled(parts, w, h);
        for (const int32_t band : {1, 3, 7}) {
            std::vector<uint32_t> out(static_cast<size_t>(w) * h, 0x12345678u);
            FrameScaler scaler;
            FrameScaler::Scratch scratch[2];
            scaler.Prepare(parts, w, h);
            for (int32_t top = (h - 1) / band * band; top >= 0; top -= band)
                scaler.DrawRows(parts, out.data(), w, w, top, std::min(h, top + band),
                                PixelOrder::AsIs, scratch[top / band % 2]);
            for (int32_t y = 0; y < h; ++y)
                EXPECT_TRUE(std::equal(whole[y].begin(), whole[y].end(), out.begin() + y * w))
                    << w << "x" << h << " in bands of " << band << ", row " << y;
        }
    }
}

TEST(FrameParts, CopiesRowsInEveryOrder) {
    // Nineteen pixels a row (vectors' worth and some left over) between padded rows, into a
    // buffer aligned for streaming stores and into ones that are not, with either vectors.
    constexpr int32_t kW = 19, kH = 2, kSrcPitch = 20, kDstPitch = 22;
    uint32_t src[kSrcPitch * kH];
    for (int i = 0; i < kSrcPitch * kH; ++i)
        src[i] = 0xAA000000u | static_cast<uint32_t>(RGB(i, 0x80 + i, 0xF0 - i));
    const bool before = UseWideVectors(false);
    for (PixelOrder order :
         {PixelOrder::RedLow, PixelOrder::RedHigh, PixelOrder::AsIs, PixelOrder::Rgba}) {
        for (int offset : {0, 1, 4, 9}) {
            UseWideVectors(offset % 2 == 0);
            alignas(32) uint32_t buffer[kDstPitch * kH + 9];
            std::fill(std::begin(buffer), std::end(buffer), 0x12345678u);
            uint32_t* dst = buffer + offset;
            CopyPixels(src, kSrcPitch, dst, kDstPitch, kW, kH, order);
            for (int y = 0; y < kH; ++y) {
                for (int x = 0; x < kDstPitch; ++x) {
                    const uint32_t i = y * kSrcPitch + x, red = i, green = 0x80 + i,
                                   blue = 0xF0 - i;
                    const uint32_t alpha = order == PixelOrder::Rgba ? 0xFF000000u : 0;
                    const uint32_t want = x >= kW                     ? 0x12345678u  // padding
                                          : order == PixelOrder::AsIs ? src[i]
                                          : order == PixelOrder::RedHigh
                                              ? blue | green << 8 | red << 16
                                              : red | green << 8 | blue << 16 | alpha;
                    EXPECT_EQ(dst[y * kDstPitch + x], want)
                        << x << "," << y << " offset " << offset;
                }
            }
        }
    }
    UseWideVectors(before);
}
