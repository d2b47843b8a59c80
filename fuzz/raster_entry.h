// One fuzz input as a sequence of raster calls on two small bitmaps (one colour, one
// monochrome): pens of any width and style, brushes, mix modes, shapes, lines, pixels, flood
// fills and blits with any raster operation, with coordinates and sizes drawn from the extremes
// of their range. After every call each pixel must still be a colour (24 bits) or a bit. Shared
// by the libFuzzer target and the corpus replay test.
#pragma once

#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "platform/raster/gdi.h"

namespace rasterfuzz {

class Reader {
  public:
    Reader(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    bool More() const { return at_ < size_; }
    uint8_t Byte() { return at_ < size_ ? data_[at_++] : 0; }
    int32_t Raw() {
        uint32_t v = 0;
        for (int i = 0; i < 4; ++i)
            v = (v << 8) | Byte();
        return static_cast<int32_t>(v);
    }
    // Mostly numbers near a small bitmap, often the edges of the 32-bit range, sometimes any.
    int32_t Number() {
        static constexpr int32_t kEdges[] = {
            INT32_MIN, INT32_MIN + 1, -(1 << 30), -(1 << 22),    -65536,   -1, 0,
            1,         1 << 22,       1 << 30,    INT32_MAX - 1, INT32_MAX};
        const uint8_t kind = Byte();
        switch (kind % 4) {
            case 0:
            case 1:
                return static_cast<int32_t>(Byte() % 40) - 12;
            case 2:
                return kEdges[Byte() % (sizeof(kEdges) / sizeof(kEdges[0]))];
            default:
                return Raw();
        }
    }
    COLORREF Colour() { return static_cast<COLORREF>(Raw()); }

  private:
    const uint8_t* data_;
    size_t size_;
    size_t at_ = 0;
};

// Pixels of a colour bitmap keep 24 bits, those of a monochrome one a single bit.
inline void CheckPixels(const Bitmap& bmp) {
    const uint32_t mask = bmp.monochrome ? 1u : 0xFFFFFFu;
    for (const uint32_t v : bmp.pixels)
        if ((v & ~mask) != 0) std::abort();
}

// Runs the calls the input spells; returns how many were made.
inline int Run(const uint8_t* data, size_t size) {
    Reader in(data, size);
    HDC screen = GetDC(nullptr);
    HDC dcs[2] = {CreateCompatibleDC(screen), CreateCompatibleDC(screen)};
    const int32_t w = 1 + in.Byte() % 12, h = 1 + in.Byte() % 12;
    HBITMAP bitmaps[2] = {CreateCompatibleBitmap(screen, w, h), CreateBitmap(h, w, 1, 1, nullptr)};
    HGDIOBJ first[2] = {SelectObject(dcs[0], bitmaps[0]), SelectObject(dcs[1], bitmaps[1])};
    ReleaseDC(nullptr, screen);

    int calls = 0;
    while (in.More() && calls < 64) {
        const uint8_t op = in.Byte();
        HDC dc = dcs[op >> 7];
        HDC other = dcs[(op >> 6) & 1];
        ++calls;
        switch ((op & 63) % 12) {
            case 0: {
                // Read in the language's order, one read a statement (argument order is the
                // compiler's choice), so a file means the same to every build.
                const int style = in.Byte() % 8;
                const int32_t width = in.Number();
                const COLORREF colour = in.Colour();
                DeleteObject(SelectObject(dc, CreatePen(style, width, colour)));
                break;
            }
            case 1: {
                const uint8_t which = in.Byte();
                HGDIOBJ brush =
                    which % 3 == 0 ? GetStockObject(NULL_BRUSH) : CreateSolidBrush(in.Colour());
                DeleteObject(SelectObject(dc, brush));
                break;
            }
            case 2:
                SetROP2(dc, in.Byte() % 18);
                break;
            case 3: {
                const int32_t l = in.Number(), t = in.Number(), r = in.Number(), b = in.Number();
                Rectangle(dc, l, t, r, b);
                break;
            }
            case 4: {
                const int32_t l = in.Number(), t = in.Number(), r = in.Number(), b = in.Number();
                Ellipse(dc, l, t, r, b);
                break;
            }
            case 5: {
                const int32_t x0 = in.Number(), y0 = in.Number(), x1 = in.Number(),
                              y1 = in.Number();
                MoveToEx(dc, x0, y0, nullptr);
                LineTo(dc, x1, y1);
                break;
            }
            case 6: {
                POINT points[6];
                const int count = in.Byte() % 7;
                for (int i = 0; i < count; ++i)
                    points[i] = POINT{in.Number(), in.Number()};
                Polygon(dc, points, count);
                break;
            }
            case 7: {
                const int32_t x = in.Number(), y = in.Number();
                const COLORREF colour = in.Colour();
                ExtFloodFill(dc, x, y, colour, in.Byte() % 3);
                break;
            }
            case 8: {
                const int32_t x = in.Number(), y = in.Number();
                SetPixelV(dc, x, y, in.Colour());
                GetPixel(dc, y, x);
                break;
            }
            case 9: {
                const int32_t x = in.Number(), y = in.Number(), cw = in.Number(), ch = in.Number(),
                              sx = in.Number(), sy = in.Number();
                BitBlt(dc, x, y, cw, ch, other, sx, sy, static_cast<DWORD>(in.Byte()) << 16);
                break;
            }
            case 10: {
                const int32_t x = in.Number(), y = in.Number(), cw = in.Number(), ch = in.Number(),
                              sx = in.Number(), sy = in.Number(), sw = in.Number(),
                              sh = in.Number();
                StretchBlt(dc, x, y, cw, ch, other, sx, sy, sw, sh,
                           static_cast<DWORD>(in.Byte()) << 16);
                break;
            }
            default:
                SetBkColor(dc, in.Colour());
                SetTextColor(dc, in.Colour());
                break;
        }
        CheckPixels(*bitmaps[0]);
        CheckPixels(*bitmaps[1]);
    }

    for (int i = 0; i < 2; ++i) {
        DeleteObject(SelectObject(dcs[i], GetStockObject(BLACK_PEN)));
        DeleteObject(SelectObject(dcs[i], GetStockObject(WHITE_BRUSH)));
        SelectObject(dcs[i], first[i]);
        DeleteObject(bitmaps[i]);
        DeleteDC(dcs[i]);
    }
    return calls;
}

}  // namespace rasterfuzz
