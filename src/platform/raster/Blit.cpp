// BitBlt and StretchBlt: any ternary raster operation, evaluated from its truth-table byte over
// pattern (the destination's brush), source and destination, bitwise.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <utility>
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

// A raster operation without a source over [x, x + w) x [y, y + h), clipped to the bitmap.
BOOL PatternBlt(DeviceContext& dest, int64_t x, int64_t y, int64_t w, int64_t h, uint32_t t) {
    Bitmap& db = *dest.bitmap;
    const int64_t x1 = std::max<int64_t>(x, 0), x2 = std::min<int64_t>(x + w, db.width);
    const int64_t y1 = std::max<int64_t>(y, 0), y2 = std::min<int64_t>(y + h, db.height);
    if (x1 >= x2 || y1 >= y2) return 1;
    const uint32_t mask = db.monochrome ? 1u : 0xFFFFFFu;
    const uint32_t pattern = PatternOf(dest);
    for (int64_t j = y1; j < y2; ++j) {
        uint32_t* d = db.row(static_cast<int32_t>(j)) + x1;
        RowOp(t, pattern, d, d, static_cast<int32_t>(x2 - x1), mask);
    }
    return 1;
}

// One axis of a stretch: the source pixels that feed each destination pixel, as a half-open
// range in source coordinates.
class StretchAxis {
  public:
    // A negative size on one side only mirrors the picture about that side's origin pixel, so
    // that side covers origin + size + 1 up to the origin; negative on both sides is the plain
    // copy of origin + size up to the origin.
    StretchAxis(int64_t d, int64_t dn, int64_t s, int64_t sn) : mirror_((dn < 0) != (sn < 0)) {
        if (dn < 0 && sn < 0) {
            d += dn, s += sn, dn = -dn, sn = -sn;
        } else {
            if (dn < 0) d += dn + 1, dn = -dn;
            if (sn < 0) s += sn + 1, sn = -sn;
        }
        d_ = d, dn_ = dn, s_ = s, sn_ = sn;
    }
    int64_t DestStart() const { return d_; }
    int64_t DestSize() const { return dn_; }
    int64_t SourceStart() const { return s_; }
    int64_t SourceSize() const { return sn_; }
    // Enlarging, destination pixel i samples source pixel floor((i + 1/2) * sn / dn). Shrinking
    // (the default BLACKONWHITE mode) source pixel k falls into destination pixel
    // floor((k * dn + 1) / sn) and the pixels falling into one are combined, so 4 into 2 gives
    // {0, 1} {2, 3}, 4 into 1 gives {0, 1, 2} and 2 into 1 gives {0}.
    std::pair<int64_t, int64_t> Sources(int64_t i) const {
        using Wide = __int128;  // the products reach 2^64 for far-off rectangles
        int64_t a, b;
        if (dn_ >= sn_) {
            a = static_cast<int64_t>(Wide{2 * i + 1} * sn_ / (2 * dn_));
            b = a + 1;
        } else {
            a = First(i);
            b = First(i + 1);
        }
        if (mirror_) return {s_ + sn_ - b, s_ + sn_ - a};
        return {s_ + a, s_ + b};
    }

  private:
    // The first source pixel k with floor((k * dn + 1) / sn) >= i, that is ceil((i*sn - 1) / dn).
    int64_t First(int64_t i) const {
        const __int128 num = __int128{i} * sn_ - 1;
        if (num <= 0) return 0;
        return static_cast<int64_t>((num + dn_ - 1) / dn_);
    }
    bool mirror_;
    int64_t d_ = 0, dn_ = 0, s_ = 0, sn_ = 0;
};

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
    if (!withSource) return PatternBlt(*dest, x, y, width, height, t);
    Bitmap& db = *dest->bitmap;
    int64_t dx = x, dy = y, sx = srcX, sy = srcY, w = width, h = height;
    ClipRun(sx, dx, w, src->bitmap->width);
    ClipRun(sy, dy, h, src->bitmap->height);
    ClipRun(dx, sx, w, db.width);
    ClipRun(dy, sy, h, db.height);
    if (w <= 0 || h <= 0) return 1;

    const uint32_t mask = db.monochrome ? 1u : 0xFFFFFFu;
    const uint32_t pattern = PatternOf(*dest);
    const auto n = static_cast<int32_t>(w);
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

BOOL StretchBlt(HDC dest, int32_t x, int32_t y, int32_t width, int32_t height, HDC src,
                int32_t srcX, int32_t srcY, int32_t srcWidth, int32_t srcHeight, DWORD rop) {
    if (dest == nullptr || dest->bitmap == nullptr) return 0;
    const uint32_t t = (rop >> 16) & 0xFFu;
    if (!UsesSource(t)) {
        const int64_t w = width, h = height;
        return PatternBlt(*dest, std::min(x + w, int64_t{x}), std::min(y + h, int64_t{y}),
                          std::llabs(w), std::llabs(h), t);
    }
    if (src == nullptr || src->bitmap == nullptr) return 0;
    if (width == 0 || height == 0 || srcWidth == 0 || srcHeight == 0) return 1;

    const StretchAxis ax(x, width, srcX, srcWidth), ay(y, height, srcY, srcHeight);
    Bitmap& db = *dest->bitmap;
    const Bitmap& sb = *src->bitmap;

    // The readable source window; read through a snapshot when both rectangles share a bitmap.
    const uint32_t* base = sb.pixels.data();
    int64_t readX1 = 0, readY1 = 0, readX2 = sb.width, readY2 = sb.height;
    if (&sb == &db) {
        readX1 = std::max<int64_t>(ax.SourceStart(), 0);
        readY1 = std::max<int64_t>(ay.SourceStart(), 0);
        readX2 = std::min<int64_t>(ax.SourceStart() + ax.SourceSize(), sb.width);
        readY2 = std::min<int64_t>(ay.SourceStart() + ay.SourceSize(), sb.height);
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

    const int64_t dx = ax.DestStart(), dy = ay.DestStart();
    const int64_t i1 = std::max<int64_t>(0, -dx),
                  i2 = std::min<int64_t>(ax.DestSize(), db.width - dx);
    const int64_t j1 = std::max<int64_t>(0, -dy),
                  j2 = std::min<int64_t>(ay.DestSize(), db.height - dy);
    if (i1 >= i2 || j1 >= j2) return 1;

    // The column map does not depend on the row: once per call, in window coordinates, with an
    // empty range where the source lies outside the bitmap.
    static thread_local std::vector<std::pair<int32_t, int32_t>> columns;
    columns.resize(static_cast<size_t>(i2 - i1));
    for (int64_t i = i1; i < i2; ++i) {
        const auto [a, b] = ax.Sources(i);
        const int64_t c1 = std::max(a, readX1), c2 = std::min(b, readX2);
        columns[i - i1] = c1 < c2 ? std::pair{static_cast<int32_t>(c1 - readX1),
                                              static_cast<int32_t>(c2 - readX1)}
                                  : std::pair{0, 0};
    }

    const uint32_t mask = db.monochrome ? 1u : 0xFFFFFFu;
    const uint32_t pattern = PatternOf(*dest);
    const Conversion conv = MakeConversion(*dest, *src);
    std::vector<uint32_t>& line = LineBuffer();
    if (line.size() < static_cast<size_t>(i2 - i1)) line.resize(static_cast<size_t>(i2 - i1));
    for (int64_t j = j1; j < j2; ++j) {
        const auto [a, b] = ay.Sources(j);
        const int64_t r1 = std::max(a, readY1), r2 = std::min(b, readY2);
        if (r1 >= r2) continue;
        for (int64_t i = i1; i < i2; ++i) {
            const auto [c1, c2] = columns[i - i1];
            uint32_t v = ~0u;
            for (int64_t r = r1; r < r2; ++r) {
                const uint32_t* s = base + (r - readY1) * stride;
                for (int32_t c = c1; c < c2; ++c)
                    v &= s[c];
            }
            line[i - i1] = conv(v);
        }
        // Columns whose source lies outside the bitmap leave the destination alone.
        uint32_t* d = db.row(static_cast<int32_t>(dy + j)) + dx;
        int64_t run = -1;
        for (int64_t i = i1; i <= i2; ++i) {
            const bool inside = i < i2 && columns[i - i1].first < columns[i - i1].second;
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
