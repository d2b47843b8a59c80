#include <gtest/gtest.h>

#include "Canvas.h"

using Pixels = std::vector<uint32_t>;

TEST(BitBlt, EveryOperationMatchesItsTruthTable) {
    // SRCCOPY ... PATCOPY, PSDPxax and PATINVERT, each against the published meaning: bit
    // (P·4 + S·2 + D) of its table byte, in colour and on one-bit bitmaps.
    const DWORD ops[] = {SRCCOPY,    SRCPAINT,    SRCAND,     SRCINVERT, SRCERASE,
                         NOTSRCCOPY, NOTSRCERASE, MERGEPAINT, DSTINVERT, BLACKNESS,
                         WHITENESS,  PATCOPY,     0x00B8074A, 0x005A0049};
    const Pixels srcs = {0x000000, 0xFFFFFF, 0x0F33CC, 0x55A50F};
    const Pixels dsts = {0xFFFFFF, 0x000000, 0xA5C30F, 0x123456};
    const COLORREF pattern = 0x3C5AF0;
    for (const DWORD rop : ops) {
        Canvas src(4, 1, srcs), dst(4, 1, dsts);
        dst.Use(GetStockObject(NULL_PEN), CreateSolidBrush(pattern));
        EXPECT_EQ(BitBlt(dst.dc, 0, 0, 4, 1, src.dc, 0, 0, rop), 1);
        // One bit under the default white brush: P = 1.
        Canvas bits(4, 1, {0, 0, 1, 1}, true), onto(4, 1, {0, 1, 0, 1}, true);
        BitBlt(onto.dc, 0, 0, 4, 1, bits.dc, 0, 0, rop);
        for (uint32_t i = 0; i < 4; ++i) {
            EXPECT_EQ(dst.At(i, 0), ByTable(rop >> 16, pattern, srcs[i], dsts[i], 24))
                << std::hex << "rop " << rop << " pixel " << i;
            EXPECT_EQ(onto.bmp->pixels[i], ByTable(rop >> 16, 1, i >> 1, i & 1, 1))
                << std::hex << rop;
        }
    }
    // Operations without a source need none.
    Canvas d(2, 2, 0x123456);
    EXPECT_EQ(BitBlt(d.dc, 0, 0, 2, 2, nullptr, 0, 0, DSTINVERT), 1);
    EXPECT_EQ(d.At(1, 1), 0xEDCBA9u);
    EXPECT_EQ(BitBlt(d.dc, 0, 0, 2, 2, nullptr, 0, 0, SRCCOPY), 0);
}

TEST(BitBlt, MonochromeConversionsUseTheContextsColours) {
    // Colour to one bit: the source context's background colour becomes 1, the rest 0; the
    // destination's own colours play no part.
    Canvas colour(3, 1, {RGB(0, 255, 0), RGB(0, 254, 0), RGB(255, 255, 255)});
    Canvas mono(3, 1, 0, true);
    SetBkColor(colour.dc, RGB(0, 255, 0));
    SetBkColor(mono.dc, RGB(0, 0, 0));
    BitBlt(mono.dc, 0, 0, 3, 1, colour.dc, 0, 0, SRCCOPY);
    EXPECT_EQ(mono.bmp->pixels, (Pixels{1, 0, 0}));
    // One bit to colour: 1 takes the destination's background colour, 0 its text colour.
    Canvas out(3, 1, RGB(9, 9, 9));
    SetBkColor(out.dc, RGB(10, 20, 30));
    SetTextColor(out.dc, RGB(40, 50, 60));
    SetBkColor(mono.dc, RGB(1, 1, 1));
    SetTextColor(mono.dc, RGB(2, 2, 2));
    BitBlt(out.dc, 0, 0, 3, 1, mono.dc, 0, 0, SRCCOPY);
    EXPECT_EQ(out.bmp->pixels, (Pixels{RGB(10, 20, 30), RGB(40, 50, 60), RGB(40, 50, 60)}));

    // The transparent-sprite recipe: mask white and main black exactly on the key colour.
    const COLORREF key = RGB(0, 255, 0), ink = RGB(200, 100, 50), back = RGB(7, 7, 7);
    Canvas main(2, 2, {key, ink, ink, key}), mask(2, 2), bits(2, 2, 0, true);
    SetBkColor(main.dc, key);
    BitBlt(bits.dc, 0, 0, 2, 2, main.dc, 0, 0, SRCCOPY);
    SetBkColor(mask.dc, RGB(255, 255, 255));
    BitBlt(mask.dc, 0, 0, 2, 2, bits.dc, 0, 0, SRCCOPY);
    BitBlt(bits.dc, 0, 0, 2, 2, nullptr, 0, 0, DSTINVERT);
    SetBkColor(main.dc, RGB(255, 255, 255));
    BitBlt(main.dc, 0, 0, 2, 2, bits.dc, 0, 0, SRCAND);
    EXPECT_EQ(mask.bmp->pixels, (Pixels{0xFFFFFF, 0, 0, 0xFFFFFF}));
    EXPECT_EQ(main.bmp->pixels, (Pixels{0, ink, ink, 0}));
    // Drawn over a background with AND mask then OR main, the key shows the background.
    Canvas screen(2, 2, back);
    BitBlt(screen.dc, 0, 0, 2, 2, mask.dc, 0, 0, SRCAND);
    BitBlt(screen.dc, 0, 0, 2, 2, main.dc, 0, 0, SRCPAINT);
    EXPECT_EQ(screen.bmp->pixels, (Pixels{back, ink, ink, back}));
}

TEST(BitBlt, ClipsToBothBitmapsAndHandlesOverlap) {
    Canvas src(4, 4);
    for (uint32_t i = 0; i < 16; ++i)
        src.bmp->pixels[i] = 100 + i;
    // Destination partly off the top-left, source partly off its bottom-right.
    Canvas dst(5, 5, 1);
    BitBlt(dst.dc, -1, -1, 10, 10, src.dc, 0, 0, SRCCOPY);
    EXPECT_EQ(dst.Count([](int32_t x, int32_t y, COLORREF v) {
        return v != ((x < 3 && y < 3) ? 100 + (y + 1) * 4 + (x + 1) : 1u);
    }),
              0);
    Canvas d2(5, 5, 1);
    BitBlt(d2.dc, 3, 3, 4, 4, src.dc, -1, -1, SRCCOPY);  // only the source's (0,0) lands
    EXPECT_EQ(d2.OnlyIn(100, 4, 4, 5, 5), 0);
    EXPECT_EQ(d2.CountColour(1), 24);
    EXPECT_EQ(BitBlt(d2.dc, INT32_MAX, INT32_MAX, INT32_MAX, 5, src.dc, 0, 0, SRCCOPY), 1);

    // Shifts within one bitmap, in every direction, equal a copy made through a snapshot.
    const int shifts[][2] = {{1, 1}, {-1, -1}, {2, 0}, {-2, 0}, {0, 1}, {1, -1}};
    for (const auto& [dx, dy] : shifts) {
        for (const DWORD rop : {SRCCOPY, SRCINVERT}) {
            Pixels start(36);
            for (uint32_t i = 0; i < 36; ++i)
                start[i] = i * 7919;
            Canvas c(6, 6, start), ref(6, 6, start), snap(6, 6, start), st(6, 6, start);
            BitBlt(ref.dc, 1 + dx, 1 + dy, 4, 4, snap.dc, 1, 1, rop);
            BitBlt(c.dc, 1 + dx, 1 + dy, 4, 4, c.dc, 1, 1, rop);
            StretchBlt(st.dc, 1 + dx, 1 + dy, 4, 4, st.dc, 1, 1, 4, 4, rop);
            EXPECT_EQ(c.bmp->pixels, ref.bmp->pixels) << dx << "," << dy;
            EXPECT_EQ(st.bmp->pixels, ref.bmp->pixels) << "stretch " << dx << "," << dy;
        }
    }
}

TEST(StretchBlt, SamplesNearestAndClips) {
    Canvas src(4, 2, {10, 11, 12, 13, 20, 21, 22, 23});
    // Up: each source pixel becomes a 2 x 2 block.
    Canvas up(8, 4);
    StretchBlt(up.dc, 0, 0, 8, 4, src.dc, 0, 0, 4, 2, SRCCOPY);
    EXPECT_EQ(up.Count([&](int32_t x, int32_t y, COLORREF v) { return v != src.At(x / 2, y / 2); }),
              0);
    // Clipped at the destination, with the source outside its bitmap left alone.
    Canvas clip(3, 3, 5), edge(4, 1, 5);
    StretchBlt(clip.dc, -2, 1, 8, 4, src.dc, 0, 0, 4, 2, SRCCOPY);
    EXPECT_EQ(clip.bmp->pixels, (Pixels{5, 5, 5, 11, 11, 12, 11, 11, 12}));
    StretchBlt(edge.dc, 0, 0, 4, 1, src.dc, 2, 0, 4, 1, SRCCOPY);
    EXPECT_EQ(edge.bmp->pixels, (Pixels{12, 13, 5, 5}));
    // Conversion applies as for BitBlt, to the combined source pixels.
    Canvas bits(2, 2, 0, true);
    SetBkColor(src.dc, 10 & 11);
    StretchBlt(bits.dc, 0, 0, 2, 2, src.dc, 0, 0, 4, 2, SRCCOPY);
    EXPECT_EQ(bits.bmp->pixels, (Pixels{1, 0, 0, 0}));
}
