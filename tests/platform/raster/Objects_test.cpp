#include <gtest/gtest.h>

#include "Canvas.h"
#include "Raised.h"

// Width, bytes per row and bits per pixel, as the old interface reports them.
static std::tuple<int32_t, int32_t, uint16_t> Info(HGDIOBJ bmp) {
    BITMAP info;
    EXPECT_EQ(GetObjectA(bmp, sizeof info, &info), static_cast<int>(sizeof info));
    return {info.bmWidth, info.bmWidthBytes, info.bmBitsPixel};
}

TEST(Contexts, DefaultsAndCompatibleBitmapFormats) {
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    // A fresh memory context holds a 1x1 monochrome bitmap, so bitmaps made compatible with it
    // are monochrome; the screen's are colour and start black.
    HGDIOBJ firstBitmap = GetCurrentObject(mem, GdiKind::Bitmap);
    EXPECT_EQ(Info(firstBitmap), std::make_tuple(1, 2, 1));
    HBITMAP mono = CreateCompatibleBitmap(mem, 17, 3);
    HBITMAP colour = CreateCompatibleBitmap(screen, 17, 3);
    EXPECT_TRUE(mono->monochrome && !colour->monochrome);
    EXPECT_EQ(Info(mono), std::make_tuple(17, 4, 1));
    EXPECT_EQ(Info(colour), std::make_tuple(17, 68, 32));
    EXPECT_EQ(colour->pixels, std::vector<uint32_t>(17 * 3, 0));

    EXPECT_EQ(GetCurrentObject(mem, GdiKind::Pen), GetStockObject(BLACK_PEN));
    EXPECT_EQ(GetCurrentObject(mem, GdiKind::Brush), GetStockObject(WHITE_BRUSH));
    EXPECT_EQ(GetBkColor(mem), RGB(255, 255, 255));
    EXPECT_EQ(SetBkMode(mem, 99), 0);
    EXPECT_EQ(SetROP2(mem, 0), 0);
    EXPECT_EQ(SetROP2(mem, 17), 0);
    EXPECT_EQ(GetROP2(mem), R2_COPYPEN);

    // Selecting hands back what was there; a bitmap cannot go into the screen's context.
    EXPECT_EQ(SelectObject(mem, colour), firstBitmap);
    EXPECT_EQ(SelectObject(mem, firstBitmap), colour);
    EXPECT_EQ(SelectObject(screen, colour), nullptr);

    // A zero size gives a 1x1 monochrome bitmap; an absurd one is out of memory, never null.
    HBITMAP tiny = CreateCompatibleBitmap(screen, 0, 5);
    EXPECT_EQ(Info(tiny), std::make_tuple(1, 2, 1));
    for (const auto& make : std::initializer_list<std::function<void()>>{
             [&] { CreateCompatibleBitmap(screen, 1 << 20, 1 << 20); },
             [] { CreateBitmap(1 << 20, 1 << 20, 1, 32, nullptr); }})
        EXPECT_EQ(Raised(make),
                  "00000007 Out of memory: a picture of 1048576x1048576 pixels is too large.");
    EXPECT_EQ(CreateBitmap(4, 4, 1, 24, nullptr), nullptr);
    EXPECT_EQ(CreateBitmap(-4, 4, 1, 32, nullptr), nullptr);

    // Stock objects survive deletion.
    EXPECT_EQ(DeleteObject(GetStockObject(WHITE_BRUSH)), 1);
    EXPECT_EQ(GetStockObject(WHITE_BRUSH)->kind, GdiKind::Brush);
    EXPECT_EQ(GetStockObject(12345), nullptr);
    for (HGDIOBJ o : {HGDIOBJ(mono), HGDIOBJ(colour), HGDIOBJ(tiny)})
        EXPECT_EQ(DeleteObject(o), 1);
    EXPECT_EQ(DeleteDC(mem) + ReleaseDC(nullptr, screen), 2);
}

TEST(Contexts, BitmapBitsUseTheOldLayout) {
    // One-bit rows padded to 16 bits, high bit first, 1 = white.
    const uint8_t bits[] = {0b10100000, 0xFF, 0b01000000, 0x00, 0xFF, 0x00};
    HBITMAP mono = CreateBitmap(3, 3, 1, 1, bits);
    EXPECT_EQ(mono->pixels, (std::vector<uint32_t>{1, 0, 1, 0, 1, 0, 1, 1, 1}));
    // 32-bit pixels are bytes blue, green, red, unused.
    const uint8_t px[] = {0x30, 0x20, 0x10, 0xFF, 1, 2, 3, 0};
    HBITMAP colour = CreateBitmap(2, 1, 1, 32, px);
    EXPECT_EQ(colour->pixels, (std::vector<uint32_t>{RGB(0x10, 0x20, 0x30), RGB(3, 2, 1)}));
    DeleteObject(mono);
    DeleteObject(colour);
}

TEST(Contexts, DeletingSelectedObjectsWaitsForRelease) {
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bmp = CreateBitmap(4, 4, 1, 32, nullptr);
    HPEN pen = CreatePen(PS_SOLID, 2, RGB(9, 9, 9));
    HGDIOBJ oldBmp = SelectObject(dc, bmp);
    HGDIOBJ oldPen = SelectObject(dc, pen);
    // Still selected: deletion is deferred and drawing keeps working.
    EXPECT_EQ(DeleteObject(bmp) + DeleteObject(pen), 2);
    MoveToEx(dc, 0, 1, nullptr);
    EXPECT_EQ(LineTo(dc, 3, 1), 1);
    EXPECT_EQ(GetPixel(dc, 1, 1), RGB(9, 9, 9));
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBmp);
    EXPECT_EQ(DeleteDC(dc), 1);

    // A context over a borrowed bitmap leaves it alone when it goes.
    Bitmap target(3, 3, false);
    HDC over = CreateBitmapDC(&target);
    SetPixelV(over, 2, 2, RGB(1, 2, 3));
    EXPECT_EQ(target.selections, 0);
    DeleteDC(over);
    EXPECT_EQ(target.pixels[8], RGB(1, 2, 3));

    // Fonts read back whole.
    LOGFONTA lf;
    EXPECT_EQ(GetObjectA(GetStockObject(SYSTEM_FONT), sizeof lf, &lf), 60);
    EXPECT_STREQ(lf.lfFaceName, "System");
    EXPECT_EQ(GetObjectA(GetStockObject(SYSTEM_FONT), 10, &lf), 0);
    EXPECT_EQ(GetObjectA(nullptr, sizeof lf, &lf), 0);
}
