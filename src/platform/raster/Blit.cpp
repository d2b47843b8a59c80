// BitBlt and StretchBlt: any ternary raster operation, evaluated from its truth-table byte over
// pattern (the destination's brush), source and destination, bitwise.
#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/raster/Painter.h"
#include "platform/raster/gdi.h"

namespace {

// Truth table index is P·4 + S·2 + D, as in the high word of every published code.
inline uint32_t Rop3(uint32_t t, uint32_t p, uint32_t s, uint32_t d) {
    uint32_t r = 0;
    if (t & 0x01) r |= ~p & ~s & ~d;
    if (t & 0x02) r |= ~p & ~s & d;
    if (t & 0x04) r |= ~p & s & ~d;
    if (t & 0x08) r |= ~p & s & d;
    if (t & 0x10) r |= p & ~s & ~d;
    if (t & 0x20) r |= p & ~s & d;
    if (t & 0x40) r |= p & s & ~d;
    if (t & 0x80) r |= p & s & d;
    return r;
}

bool UsesSource(uint32_t t) {
    return ((t >> 2) & 0x33u) != (t & 0x33u);
}

// Common tables get straight loops; every other table goes through the general evaluation.
void RowOp(uint32_t t, uint32_t p, const uint32_t* s, uint32_t* d, int32_t n, uint32_t mask) {
    switch (t) {
        case 0xCC:  // source copy
            if (s != d) std::memmove(d, s, sizeof(uint32_t) * n);
            return;
        case 0x88:  // source and destination
            for (int32_t i = 0; i < n; ++i)
                d[i] &= s[i];
            return;
        case 0xEE:  // source or destination
            for (int32_t i = 0; i < n; ++i)
                d[i] |= s[i];
            return;
        case 0x66:  // source xor destination
            for (int32_t i = 0; i < n; ++i)
                d[i] ^= s[i];
            return;
        case 0xAA:  // destination unchanged
            return;
        case 0x00:  // black
            std::fill_n(d, n, 0u);
            return;
        case 0xFF:  // white
            std::fill_n(d, n, mask);
            return;
        case 0xF0:  // pattern
            std::fill_n(d, n, p);
            return;
        case 0x55:  // destination inverted
            for (int32_t i = 0; i < n; ++i)
                d[i] = ~d[i] & mask;
            return;
        default:
            for (int32_t i = 0; i < n; ++i)
                d[i] = Rop3(t, p, s[i], d[i]) & mask;
            return;
    }
}

// Per-thread line buffers, grown once and reused: blits allocate nothing in steady state.
std::vector<uint32_t>& LineBuffer() {
    static thread_local std::vector<uint32_t> line;
    return line;
}

std::vector<uint32_t>& SnapshotBuffer() {
    static thread_local std::vector<uint32_t> snap;
    return snap;
}

// Source pixels as the destination format holds them. Colour to monochrome: the source
// context's background colour becomes 1, everything else 0. Monochrome to colour: 1 takes the
// destination context's background colour, 0 its text colour.
struct Conversion {
    enum Kind { Same, ToMono, ToColour } kind = Same;
    uint32_t srcBk = 0, one = 0, zero = 0;
    uint32_t operator()(uint32_t v) const {
        switch (kind) {
            case ToMono:
                return v == srcBk ? 1u : 0u;
            case ToColour:
                return v != 0 ? one : zero;
            default:
                return v;
        }
    }
};

Conversion MakeConversion(const DeviceContext& dest, const DeviceContext& src) {
    Conversion c;
    const bool dm = dest.bitmap->monochrome, sm = src.bitmap->monochrome;
    if (!dm && sm) {
        c.kind = Conversion::ToColour;
        c.one = dest.bkColor & 0xFFFFFFu;
        c.zero = dest.textColor & 0xFFFFFFu;
    } else if (dm && !sm) {
        c.kind = Conversion::ToMono;
        c.srcBk = src.bkColor & 0xFFFFFFu;
    }
    return c;
}

uint32_t PatternOf(const DeviceContext& dest) {
    // A hollow brush has no pattern; it reads as black.
    if (dest.brush == nullptr || dest.brush->style == BS_NULL) return 0;
    return raster::InkFor(*dest.bitmap, dest.brush->color);
}

// Clips a run [a, a + n) to [0, limit), shifting the paired coordinate with it.
void ClipRun(int64_t& a, int64_t& paired, int64_t& n, int64_t limit) {
    if (a < 0) {
        paired -= a;
        n += a;
        a = 0;
    }
    if (a + n > limit) n = limit - a;
}

}  // namespace

BOOL BitBlt(HDC dest, int32_t x, int32_t y, int32_t width, int32_t height, HDC src, int32_t srcX,
            int32_t srcY, DWORD rop) {
    if (dest == nullptr || dest->bitmap == nullptr) return 0;
    const uint32_t t = (rop >> 16) & 0xFFu;
    const bool withSource = UsesSource(t);
    if (withSource && (src == nullptr || src->bitmap == nullptr)) return 0;
    if (width <= 0 || height <= 0) return 1;
    Bitmap& db = *dest->bitmap;
    int64_t dx = x, dy = y, sx = srcX, sy = srcY, w = width, h = height;
    if (withSource) {
        ClipRun(sx, dx, w, src->bitmap->width);
        ClipRun(sy, dy, h, src->bitmap->height);
    }
    ClipRun(dx, sx, w, db.width);
    ClipRun(dy, sy, h, db.height);
    if (w <= 0 || h <= 0) return 1;

    const uint32_t mask = db.monochrome ? 1u : 0xFFFFFFu;
    const uint32_t pattern = PatternOf(*dest);
    const auto n = static_cast<int32_t>(w);
    if (!withSource) {
        for (int64_t j = 0; j < h; ++j) {
            uint32_t* d = db.row(static_cast<int32_t>(dy + j)) + dx;
            RowOp(t, pattern, d, d, n, mask);
        }
        return 1;
    }

    const Bitmap& sb = *src->bitmap;
    const Conversion conv = MakeConversion(*dest, *src);
    const bool same = &sb == &db;
    std::vector<uint32_t>& line = LineBuffer();
    if (line.size() < static_cast<size_t>(n)) line.resize(n);
    // Overlapping rows of one bitmap: walk rows away from the side being written.
    const bool upward = same && dy > sy;
    for (int64_t k = 0; k < h; ++k) {
        const int64_t j = upward ? h - 1 - k : k;
        const uint32_t* s = sb.row(static_cast<int32_t>(sy + j)) + sx;
        uint32_t* d = db.row(static_cast<int32_t>(dy + j)) + dx;
        if (conv.kind != Conversion::Same) {
            for (int32_t i = 0; i < n; ++i)
                line[i] = conv(s[i]);
            s = line.data();
        } else if (same && sy + j == dy + j && s != d) {
            std::memcpy(line.data(), s, sizeof(uint32_t) * n);  // same row, overlapping runs
            s = line.data();
        }
        RowOp(t, pattern, s, d, n, mask);
    }
    return 1;
}

// Nearest-neighbour scaling: destination pixel i samples source pixel floor((i + ½)·sw / dw).
// A negative width or height on one side only mirrors the picture on that axis.
BOOL StretchBlt(HDC dest, int32_t x, int32_t y, int32_t width, int32_t height, HDC src,
                int32_t srcX, int32_t srcY, int32_t srcWidth, int32_t srcHeight, DWORD rop) {
    if (dest == nullptr || dest->bitmap == nullptr) return 0;
    const uint32_t t = (rop >> 16) & 0xFFu;
    if (!UsesSource(t))
        return BitBlt(dest, std::min(x, x + width), std::min(y, y + height), std::abs(width),
                      std::abs(height), src, 0, 0, rop);
    if (src == nullptr || src->bitmap == nullptr) return 0;
    if (width == 0 || height == 0 || srcWidth == 0 || srcHeight == 0) return 1;

    int64_t dx = x, dy = y, dw = width, dh = height;
    int64_t sx = srcX, sy = srcY, sw = srcWidth, sh = srcHeight;
    const bool mirrorX = (dw < 0) != (sw < 0);
    const bool mirrorY = (dh < 0) != (sh < 0);
    if (dw < 0) dx += dw, dw = -dw;
    if (dh < 0) dy += dh, dh = -dh;
    if (sw < 0) sx += sw, sw = -sw;
    if (sh < 0) sy += sh, sh = -sh;

    Bitmap& db = *dest->bitmap;
    const Bitmap& sb = *src->bitmap;
    auto sample = [](int64_t i, int64_t sn, int64_t dn, bool mirror) {
        // 128-bit product: both factors can reach 2^32 for far-off rectangles.
        const auto k = static_cast<int64_t>(static_cast<__int128>(2 * i + 1) * sn / (2 * dn));
        return mirror ? sn - 1 - k : k;
    };

    // The readable source window; read through a snapshot when both rectangles share a bitmap.
    const uint32_t* base = sb.pixels.data();
    int64_t readX1 = 0, readY1 = 0, readX2 = sb.width, readY2 = sb.height;
    if (&sb == &db) {
        readX1 = std::max<int64_t>(sx, 0);
        readY1 = std::max<int64_t>(sy, 0);
        readX2 = std::min<int64_t>(sx + sw, sb.width);
        readY2 = std::min<int64_t>(sy + sh, sb.height);
        if (readX1 >= readX2 || readY1 >= readY2) return 1;
        std::vector<uint32_t>& snap = SnapshotBuffer();
        snap.resize(static_cast<size_t>((readX2 - readX1) * (readY2 - readY1)));
        for (int64_t r = readY1; r < readY2; ++r) {
            std::memcpy(snap.data() + (r - readY1) * (readX2 - readX1),
                        sb.row(static_cast<int32_t>(r)) + readX1,
                        sizeof(uint32_t) * (readX2 - readX1));
        }
        base = snap.data();
    }
    const int64_t stride = readX2 - readX1;

    const uint32_t mask = db.monochrome ? 1u : 0xFFFFFFu;
    const uint32_t pattern = PatternOf(*dest);
    const Conversion conv = MakeConversion(*dest, *src);

    std::vector<uint32_t>& line = LineBuffer();
    const int64_t i1 = std::max<int64_t>(0, -dx), i2 = std::min<int64_t>(dw, db.width - dx);
    const int64_t j1 = std::max<int64_t>(0, -dy), j2 = std::min<int64_t>(dh, db.height - dy);
    if (i1 >= i2 || j1 >= j2) return 1;
    if (line.size() < static_cast<size_t>(i2 - i1)) line.resize(static_cast<size_t>(i2 - i1));
    for (int64_t j = j1; j < j2; ++j) {
        const int64_t srow = sy + sample(j, sh, dh, mirrorY);
        if (srow < readY1 || srow >= readY2) continue;
        const uint32_t* s = base + (srow - readY1) * stride;
        uint32_t* d = db.row(static_cast<int32_t>(dy + j)) + dx;
        // Columns whose source lies outside the bitmap leave the destination alone.
        int64_t run = -1;
        for (int64_t i = i1; i <= i2; ++i) {
            bool inside = false;
            if (i < i2) {
                const int64_t scol = sx + sample(i, sw, dw, mirrorX);
                inside = scol >= readX1 && scol < readX2;
                if (inside) line[i - i1] = conv(s[scol - readX1]);
            }
            if (inside && run < 0) run = i;
            if (!inside && run >= 0) {
                RowOp(t, pattern, line.data() + (run - i1), d + run, static_cast<int32_t>(i - run),
                      mask);
                run = -1;
            }
        }
    }
    return 1;
}
