// A colour or monochrome bitmap selected into its own memory context, for raster tests.
#pragma once

#include <functional>
#include <utility>
#include <vector>

#include "platform/raster/gdi.h"

// Bit b of the result is bit (p_b * 4 + s_b * 2 + d_b) of a raster operation's truth table.
inline uint32_t ByTable(uint32_t table, uint32_t p, uint32_t s, uint32_t d, int bits) {
    uint32_t r = 0;
    for (int b = 0; b < bits; ++b)
        r |= ((table >> (((p >> b) & 1) * 4 + ((s >> b) & 1) * 2 + ((d >> b) & 1))) & 1u) << b;
    return r;
}

inline void Line(HDC dc, int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
    MoveToEx(dc, x1, y1, nullptr);
    LineTo(dc, x2, y2);
}

class Canvas {
  public:
    Canvas(int32_t w, int32_t h, COLORREF fill = 0, bool mono = false) {
        HDC screen = GetDC(nullptr);
        dc = CreateCompatibleDC(screen);
        bmp = mono ? CreateBitmap(w, h, 1, 1, nullptr) : CreateCompatibleBitmap(screen, w, h);
        ReleaseDC(nullptr, screen);
        old = SelectObject(dc, bmp);
        for (auto& p : bmp->pixels)
            p = fill;
    }
    Canvas(int32_t w, int32_t h, std::vector<uint32_t> pixels, bool mono = false)
        : Canvas(w, h, 0, mono) {
        bmp->pixels = std::move(pixels);
    }
    ~Canvas() {
        Use(GetStockObject(BLACK_PEN), GetStockObject(WHITE_BRUSH));
        SelectObject(dc, old);
        DeleteObject(bmp);
        DeleteDC(dc);
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    // Selects a pen and brush, deleting the ones they replace (stock objects survive that).
    void Use(HGDIOBJ pen, HGDIOBJ brush) {
        DeleteObject(SelectObject(dc, pen));
        DeleteObject(SelectObject(dc, brush));
    }
    COLORREF At(int32_t x, int32_t y) const { return GetPixel(dc, x, y); }
    int Count(const std::function<bool(int32_t, int32_t, COLORREF)>& pred) const {
        int n = 0;
        for (int32_t y = 0; y < bmp->height; ++y)
            for (int32_t x = 0; x < bmp->width; ++x)
                n += pred(x, y, At(x, y)) ? 1 : 0;
        return n;
    }
    int CountColour(COLORREF c) const {
        return Count([c](int32_t, int32_t, COLORREF v) { return v == c; });
    }
    // Pixels that are c outside [x1, x2) x [y1, y2) or not c inside it.
    int OnlyIn(COLORREF c, int32_t x1, int32_t y1, int32_t x2, int32_t y2) const {
        return Count([=](int32_t x, int32_t y, COLORREF v) {
            return (v == c) != (x >= x1 && x < x2 && y >= y1 && y < y2);
        });
    }

    HDC dc = nullptr;
    HBITMAP bmp = nullptr;
    HGDIOBJ old = nullptr;
};
