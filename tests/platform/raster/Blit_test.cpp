#include <gtest/gtest.h>

#include <vector>

#include "Canvas.h"

namespace {

// The published meaning of a raster operation: bit (P·4 + S·2 + D) of its table byte.
uint32_t Expected(DWORD rop, uint32_t p, uint32_t s, uint32_t d, int bits) {
    uint32_t r = 0;
    for (int b = 0; b < bits; ++b) {
        const uint32_t idx = ((p >> b) & 1) * 4 + ((s >> b) & 1) * 2 + ((d >> b) & 1);
        r |= ((rop >> (16 + idx)) & 1u) << b;
    }
    return r;
}

const DWORD kOps[] = {SRCCOPY,
                      SRCPAINT,
                      SRCAND,
                      SRCINVERT,
                      SRCERASE,
                      NOTSRCCOPY,
                      NOTSRCERASE,
                      MERGEPAINT,
                      DSTINVERT,
                      BLACKNESS,
                      WHITENESS,
                      PATCOPY,
                      0x00B8074A /* PSDPxax */,
                      0x005A0049 /* PATINVERT */};

}  // namespace

TEST(BitBlt, EveryOperationMatchesItsTruthTable) {
    const COLORREF srcs[] = {0x000000, 0xFFFFFF, 0x0F33CC, 0x55A50F};
    const COLORREF dsts[] = {0xFFFFFF, 0x000000, 0xA5C30F, 0x123456};
    const COLORREF pattern = 0x3C5AF0;
    for (const DWORD rop : kOps) {
        Canvas src(4, 1), dst(4, 1);
        for (int i = 0; i < 4; ++i) {
            src.bmp->pixels[i] = srcs[i];
            dst.bmp->pixels[i] = dsts[i];
        }
        HBRUSH brush = CreateSolidBrush(pattern);
        HGDIOBJ old = SelectObject(dst.dc, brush);
        EXPECT_EQ(BitBlt(dst.dc, 0, 0, 4, 1, src.dc, 0, 0, rop), 1);
        SelectObject(dst.dc, old);
        DeleteObject(brush);
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(dst.At(i, 0), Expected(rop, pattern, srcs[i], dsts[i], 24))
                << std::hex << "rop " << rop << " pixel " << i;
        }
    }
    // Monochrome to monochrome works on bits.
    for (const DWORD rop : kOps) {
        Canvas src(4, 1, 0, true), dst(4, 1, 0, true);
        src.bmp->pixels = {0, 0, 1, 1};
        dst.bmp->pixels = {0, 1, 0, 1};
        SelectObject(dst.dc, GetStockObject(WHITE_BRUSH));
        BitBlt(dst.dc, 0, 0, 4, 1, src.dc, 0, 0, rop);
        for (uint32_t i = 0; i < 4; ++i)
            EXPECT_EQ(dst.bmp->pixels[i], Expected(rop, 1, i >> 1, i & 1, 1)) << std::hex << rop;
    }
    // Operations without a source need none.
    Canvas d(2, 2, 0x123456);
    EXPECT_EQ(BitBlt(d.dc, 0, 0, 2, 2, nullptr, 0, 0, DSTINVERT), 1);
    EXPECT_EQ(d.At(1, 1), 0xEDCBA9u);
    EXPECT_EQ(BitBlt(d.dc, 0, 0, 2, 2, nullptr, 0, 0, SRCCOPY), 0);
}

TEST(BitBlt, MonochromeConversionsUseTheContextsColours) {
    // Colour to one bit: the source context's background colour becomes 1, the rest 0.
    Canvas colour(3, 1);
    colour.bmp->pixels = {RGB(0, 255, 0), RGB(0, 254, 0), RGB(255, 255, 255)};
    Canvas mono(3, 1, 0, true);
    SetBkColor(colour.dc, RGB(0, 255, 0));
    SetBkColor(mono.dc, RGB(0, 0, 0));  // the destination's own colours play no part here
    BitBlt(mono.dc, 0, 0, 3, 1, colour.dc, 0, 0, SRCCOPY);
    EXPECT_EQ(mono.bmp->pixels, (std::vector<uint32_t>{1, 0, 0}));

    // One bit to colour: 1 takes the destination's background colour, 0 its text colour.
    Canvas out(3, 1, RGB(9, 9, 9));
    SetBkColor(out.dc, RGB(10, 20, 30));
    SetTextColor(out.dc, RGB(40, 50, 60));
    SetBkColor(mono.dc, RGB(1, 1, 1));
    SetTextColor(mono.dc, RGB(2, 2, 2));
    BitBlt(out.dc, 0, 0, 3, 1, mono.dc, 0, 0, SRCCOPY);
    EXPECT_EQ(out.At(0, 0), RGB(10, 20, 30));
    EXPECT_EQ(out.At(1, 0), RGB(40, 50, 60));

    // The transparent-sprite recipe: mask white and main black exactly on the key colour.
    const COLORREF key = RGB(0, 255, 0), ink = RGB(200, 100, 50);
    Canvas main(2, 2), mask(2, 2), bits(2, 2, 0, true);
    main.bmp->pixels = {key, ink, ink, key};
    SetBkColor(main.dc, key);
    BitBlt(bits.dc, 0, 0, 2, 2, main.dc, 0, 0, SRCCOPY);
    SetBkColor(mask.dc, RGB(255, 255, 255));
    BitBlt(mask.dc, 0, 0, 2, 2, bits.dc, 0, 0, SRCCOPY);
    BitBlt(bits.dc, 0, 0, 2, 2, nullptr, 0, 0, DSTINVERT);
    SetBkColor(main.dc, RGB(255, 255, 255));
    BitBlt(main.dc, 0, 0, 2, 2, bits.dc, 0, 0, SRCAND);
    EXPECT_EQ(mask.bmp->pixels, (std::vector<uint32_t>{0xFFFFFF, 0, 0, 0xFFFFFF}));
    EXPECT_EQ(main.bmp->pixels, (std::vector<uint32_t>{0, ink, ink, 0}));
    // Drawn over a background with AND mask then OR main, the key shows the background.
    Canvas screen(2, 2, RGB(7, 7, 7));
    BitBlt(screen.dc, 0, 0, 2, 2, mask.dc, 0, 0, SRCAND);
    BitBlt(screen.dc, 0, 0, 2, 2, main.dc, 0, 0, SRCPAINT);
    EXPECT_EQ(screen.bmp->pixels, (std::vector<uint32_t>{RGB(7, 7, 7), ink, ink, RGB(7, 7, 7)}));
}

TEST(BitBlt, ClipsToBothBitmapsAndHandlesOverlap) {
    Canvas src(4, 4);
    for (uint32_t i = 0; i < 16; ++i)
        src.bmp->pixels[i] = 100 + i;
    Canvas dst(5, 5, 1);
    // Destination partly off the top-left, source partly off its bottom-right.
    BitBlt(dst.dc, -1, -1, 10, 10, src.dc, 0, 0, SRCCOPY);
    for (int32_t y = 0; y < 5; ++y) {
        for (int32_t x = 0; x < 5; ++x) {
            const COLORREF want = (x < 3 && y < 3) ? 100 + (y + 1) * 4 + (x + 1) : 1;
            EXPECT_EQ(dst.At(x, y), want) << x << "," << y;
        }
    }
    Canvas d2(5, 5, 1);
    BitBlt(d2.dc, 3, 3, 4, 4, src.dc, -1, -1, SRCCOPY);  // only the source's (0,0) lands
    EXPECT_EQ(d2.At(4, 4), 100u);
    EXPECT_EQ(d2.CountColour(1), 24);
    EXPECT_EQ(BitBlt(d2.dc, INT32_MAX, INT32_MAX, INT32_MAX, 5, src.dc, 0, 0, SRCCOPY), 1);

    // Shifts within one bitmap, in every direction, equal a copy made through a snapshot.
    const int shifts[][2] = {{1, 1}, {-1, -1}, {2, 0}, {-2, 0}, {0, 1}, {1, -1}};
    for (const auto& s : shifts) {
        for (const DWORD rop : {SRCCOPY, SRCINVERT}) {
            Canvas c(6, 6), ref(6, 6);
            for (uint32_t i = 0; i < 36; ++i)
                c.bmp->pixels[i] = ref.bmp->pixels[i] = i * 7919;
            Canvas snap(6, 6);
            snap.bmp->pixels = c.bmp->pixels;
            BitBlt(ref.dc, 1 + s[0], 1 + s[1], 4, 4, snap.dc, 1, 1, rop);
            BitBlt(c.dc, 1 + s[0], 1 + s[1], 4, 4, c.dc, 1, 1, rop);
            EXPECT_EQ(c.bmp->pixels, ref.bmp->pixels) << s[0] << "," << s[1];
            Canvas st(6, 6);
            st.bmp->pixels = snap.bmp->pixels;
            StretchBlt(st.dc, 1 + s[0], 1 + s[1], 4, 4, st.dc, 1, 1, 4, 4, rop);
            EXPECT_EQ(st.bmp->pixels, ref.bmp->pixels) << "stretch " << s[0] << "," << s[1];
        }
    }
}

TEST(StretchBlt, SamplesNearestAndMirrors) {
    Canvas src(4, 2);
    src.bmp->pixels = {10, 11, 12, 13, 20, 21, 22, 23};
    // Up: each source pixel becomes a 2 x 2 block.
    Canvas up(8, 4);
    StretchBlt(up.dc, 0, 0, 8, 4, src.dc, 0, 0, 4, 2, SRCCOPY);
    for (int32_t y = 0; y < 4; ++y)
        for (int32_t x = 0; x < 8; ++x)
            EXPECT_EQ(up.At(x, y), src.At(x / 2, y / 2));
    // Down: pixel i samples floor((i + 0.5) * 4 / 2) = 1, 3.
    Canvas down(2, 1);
    StretchBlt(down.dc, 0, 0, 2, 1, src.dc, 0, 0, 4, 2, SRCCOPY);
    EXPECT_EQ(down.At(0, 0), 21u);
    EXPECT_EQ(down.At(1, 0), 23u);
    // Three onto two: columns 0 and 2.
    Canvas three(2, 1);
    StretchBlt(three.dc, 0, 0, 2, 1, src.dc, 0, 0, 3, 1, SRCCOPY);
    EXPECT_EQ(three.At(0, 0), 10u);
    EXPECT_EQ(three.At(1, 0), 12u);
    // Negative width on one side mirrors.
    Canvas mirror(4, 1);
    StretchBlt(mirror.dc, 4, 0, -4, 1, src.dc, 0, 0, 4, 1, SRCCOPY);
    EXPECT_EQ(mirror.bmp->pixels, (std::vector<uint32_t>{13, 12, 11, 10}));
    // Clipped at the destination, with the source outside its bitmap left alone.
    Canvas clip(3, 3, 5);
    StretchBlt(clip.dc, -2, 1, 8, 4, src.dc, 0, 0, 4, 2, SRCCOPY);
    EXPECT_EQ(clip.At(0, 0), 5u);
    EXPECT_EQ(clip.At(0, 1), 11u);
    EXPECT_EQ(clip.At(2, 2), 12u);
    Canvas edge(4, 1, 5);
    StretchBlt(edge.dc, 0, 0, 4, 1, src.dc, 2, 0, 4, 1, SRCCOPY);
    EXPECT_EQ(edge.bmp->pixels, (std::vector<uint32_t>{12, 13, 5, 5}));
    // Conversion applies as for BitBlt.
    Canvas bits(2, 2, 0, true);
    SetBkColor(src.dc, 21);
    StretchBlt(bits.dc, 0, 0, 2, 2, src.dc, 0, 0, 4, 2, SRCCOPY);
    EXPECT_EQ(bits.bmp->pixels, (std::vector<uint32_t>{0, 0, 1, 0}));
}
