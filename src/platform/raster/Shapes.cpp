// Filled shapes and pixels: Rectangle, Ellipse, pixels and flood fill, with the mix modes.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <utility>
#include <vector>

#include "platform/Cpu.h"
#include "platform/raster/Painter.h"
#include "platform/raster/gdi.h"

namespace {

void MergeNarrow(uint32_t* p, int32_t n, uint32_t pen, uint32_t mask) {
    for (int32_t i = 0; i < n; ++i)
        p[i] = (pen | ~p[i]) & mask;
}

#if defined(__x86_64__)
using Octet = uint32_t __attribute__((vector_size(32)));

__attribute__((target("avx2"))) void MergeWide(uint32_t* p, int32_t n, uint32_t pen,
                                               uint32_t mask) {
    int32_t i = 0;
    for (; i + 8 <= n; i += 8) {
        Octet v;
        std::memcpy(&v, p + i, sizeof v);
        v = (pen | ~v) & mask;
        std::memcpy(p + i, &v, sizeof v);
    }
    MergeNarrow(p + i, n - i, pen, mask);
}

__attribute__((target("avx2"))) void CopyWide(uint32_t* p, int32_t n, uint32_t pen) {
    const Octet v = Octet{} + pen;
    int32_t i = 0;
    for (; i + 8 <= n; i += 8)
        std::memcpy(p + i, &v, sizeof v);
    std::fill(p + i, p + n, pen);
}

const bool gWide = platform::HasAvx2();
#endif

}  // namespace

void MergePenNotBox(uint32_t* first, int64_t stride, int32_t width, int32_t height, uint32_t pen,
                    uint32_t mask) {
#if defined(__x86_64__)
    if (gWide) {
        for (int32_t y = 0; y < height; ++y)
            MergeWide(first + y * stride, width, pen, mask);
        return;
    }
#endif
    for (int32_t y = 0; y < height; ++y)
        MergeNarrow(first + y * stride, width, pen, mask);
}

namespace raster {

void MixRun(uint32_t* p, int32_t n, uint32_t pen, int rop2, uint32_t mask) {
    if (n <= 0) return;
    switch (rop2) {
        case R2_COPYPEN:
#if defined(__x86_64__)
            // Whole-picture fills go through here every pass.
            if (gWide) {
                CopyWide(p, n, pen);
                return;
            }
#endif
            std::fill_n(p, n, pen);
            return;
        case R2_BLACK:
            std::fill_n(p, n, 0u);
            return;
        case R2_WHITE:
            std::fill_n(p, n, mask);
            return;
        case R2_NOP:
            return;
        case R2_MERGEPENNOT:
            MergePenNotBox(p, n, n, 1, pen, mask);
            return;
        case R2_XORPEN:
            for (int32_t i = 0; i < n; ++i)
                p[i] = (pen ^ p[i]) & mask;
            return;
        default:
            for (int32_t i = 0; i < n; ++i)
                p[i] = Mix(rop2, pen, p[i]) & mask;
            return;
    }
}

uint32_t InkFor(const Bitmap& bmp, COLORREF c) {
    return bmp.monochrome ? NearestMonoBit(c) : (c & 0xFFFFFFu);
}

void Painter::Run(int32_t y, int64_t x1, int64_t x2, uint32_t ink) const {
    if (y < 0 || y >= bmp->height) return;
    x1 = std::max<int64_t>(x1, 0);
    x2 = std::min<int64_t>(x2, bmp->width);
    if (x1 >= x2) return;
    MixRun(bmp->row(y) + x1, static_cast<int32_t>(x2 - x1), ink, rop2, mask);
}

bool MakePainter(HDC dc, Painter* out) {
    if (dc == nullptr || dc->bitmap == nullptr) return false;
    Bitmap& bmp = *dc->bitmap;
    out->bmp = &bmp;
    out->rop2 = dc->rop2;
    out->mask = bmp.monochrome ? 1u : 0xFFFFFFu;
    out->hasPen = dc->pen != nullptr && dc->pen->style != PS_NULL;
    out->penWidth = out->hasPen ? std::max<int32_t>(dc->pen->width, 1) : 0;
    out->pen = out->hasPen ? InkFor(bmp, dc->pen->color) : 0;
    out->hasBrush = dc->brush != nullptr && dc->brush->style != BS_NULL;
    out->brush = out->hasBrush ? InkFor(bmp, dc->brush->color) : 0;
    return true;
}

int64_t SqrtFloor(int64_t v) {
    auto s = static_cast<int64_t>(std::sqrt(static_cast<double>(v)));
    while (s > 0 && s * s > v)
        --s;
    while ((s + 1) * (s + 1) <= v)
        ++s;
    return s;
}

int64_t TipInset(int64_t w, int64_t i) {
    // Doubled coordinates keep the centres whole: pixel j is in when (2j+1-w)^2 + d^2 <= w^2.
    const int64_t d = 2 * i + 1 - w;
    const int64_t s = SqrtFloor(w * w - d * d);
    const int64_t first = w - 1 - s;  // twice the first pixel in, rounded up below
    return first <= 0 ? 0 : (first + 1) / 2;
}

}  // namespace raster

namespace {

using raster::Painter;

// Outer and inner boxes of a shape drawn with a pen of width w: the outline is the band
// between them, the brush fills the inner one. A null pen is width 0, which is why a
// rectangle then loses its last column and row, as on the old interface.
struct Boxes {
    int64_t ox1, oy1, ox2, oy2;
    int64_t ix1, iy1, ix2, iy2;
    bool OuterEmpty() const { return ox1 >= ox2 || oy1 >= oy2; }
    bool InnerEmpty() const { return ix1 >= ix2 || iy1 >= iy2; }
};

Boxes MakeBoxes(int64_t left, int64_t top, int64_t right, int64_t bottom, int32_t w) {
    if (left > right) std::swap(left, right);
    if (top > bottom) std::swap(top, bottom);
    const int64_t h = w / 2;
    return Boxes{left - h,     top - h,     right - 1 - h + w, bottom - 1 - h + w,
                 left - h + w, top - h + w, right - 1 - h,     bottom - 1 - h};
}

// Pixels of one row inside the ellipse inscribed in [x1, x2) x [y1, y2), by pixel centres.
// The right end mirrors the left one so the shape is exactly symmetric.
std::pair<int64_t, int64_t> EllipseSpan(int64_t x1, int64_t y1, int64_t x2, int64_t y2, int64_t y) {
    if (x1 >= x2 || y1 >= y2 || y < y1 || y >= y2) return {0, 0};
    const double cx = (x1 + x2) / 2.0, a = (x2 - x1) / 2.0;
    const double cy = (y1 + y2) / 2.0, b = (y2 - y1) / 2.0;
    const double dy = (y + 0.5 - cy) / b;
    const double t = 1.0 - dy * dy;
    if (t < 0) return {0, 0};
    const double half = a * std::sqrt(t);
    int64_t left = static_cast<int64_t>(std::ceil(cx - half - 0.5));
    left = std::max(left, x1);
    const int64_t right = x1 + x2 - left;
    if (left >= right) return {0, 0};
    return {left, right};
}

}  // namespace

namespace {

// Rectangles are most of every frame, so the spans are clipped once per call and the common
// mix modes get their own loops instead of a mode switch per run.
struct Span {
    int32_t x = 0, n = 0;
};
Span Clip(int64_t x1, int64_t x2, int32_t width) {
    x1 = std::max<int64_t>(x1, 0);
    x2 = std::min<int64_t>(x2, width);
    return x1 < x2 ? Span{static_cast<int32_t>(x1), static_cast<int32_t>(x2 - x1)} : Span{};
}

// Geometric pen: the outline is a band along each edge of the path (l, t) - (r-1, b-1) plus a
// round tip at every corner, so only rows within the pen width of the top or bottom lose
// pixels at their ends, and never inside the band rows that run between the corners.
class RoundCorners {
  public:
    RoundCorners(const Boxes& b, int32_t w)
        : w_(w),
          top_(b.oy1),
          bottom_(b.oy2 - w),
          bandY1_(b.oy1 + w / 2),
          bandY2_(b.oy2 - w + w / 2 - (w % 2 == 0 ? 1 : 0)),
          table_(w >= 4 && w <= kTable ? TipTable(w) : nullptr) {}
    // Up to width 3 the tip is the full square.
    int64_t Inset(int64_t y) const {
        if (w_ < 4 || (y >= bandY1_ && y <= bandY2_)) return 0;
        int64_t inset = w_;
        if (y - top_ < w_) inset = Tip(y - top_);
        if (y >= bottom_) inset = std::min(inset, Tip(y - bottom_));
        return inset;
    }

  private:
    static constexpr int32_t kTable = 4096;
    // Every frame draws many outlines of one width: keep that width's tip rows.
    static const int64_t* TipTable(int32_t w) {
        static thread_local std::vector<int64_t> insets;
        static thread_local int32_t insetsWidth = 0;
        if (insetsWidth != w) {
            insets.resize(static_cast<size_t>(w));
            for (int32_t i = 0; i < w; ++i)
                insets[static_cast<size_t>(i)] = raster::TipInset(w, i);
            insetsWidth = w;
        }
        return insets.data();
    }
    int64_t Tip(int64_t i) const { return table_ != nullptr ? table_[i] : raster::TipInset(w_, i); }
    int64_t w_, top_, bottom_, bandY1_, bandY2_;
    const int64_t* table_;
};

template <class Mixer>
void RectangleRows(const Painter& p, const Boxes& b, Mixer mix) {
    const bool inner = !b.InnerEmpty();
    const int32_t width = p.bmp->width;
    const Span left = Clip(b.ox1, std::min(b.ix1, b.ox2), width);
    const Span right = Clip(std::max(b.ix2, b.ox1), b.ox2, width);
    const Span middle = Clip(b.ix1, b.ix2, width);
    const RoundCorners corners(b, p.penWidth);
    const int64_t y1 = std::max<int64_t>(b.oy1, 0);
    const int64_t y2 = std::min<int64_t>(b.oy2, p.bmp->height);
    for (int64_t y = y1; y < y2; ++y) {
        uint32_t* row = p.bmp->row(static_cast<int32_t>(y));
        if (inner && y >= b.iy1 && y < b.iy2) {
            if (p.hasPen) {
                mix(row + left.x, left.n, p.pen);
                mix(row + right.x, right.n, p.pen);
            }
            if (p.hasBrush) mix(row + middle.x, middle.n, p.brush);
        } else if (p.hasPen) {
            const int64_t inset = corners.Inset(y);
            const Span outer = Clip(b.ox1 + inset, b.ox2 - inset, width);
            mix(row + outer.x, outer.n, p.pen);
        }
    }
}

}  // namespace

BOOL Rectangle(HDC dc, int32_t left, int32_t top, int32_t right, int32_t bottom) {
    Painter p;
    if (!raster::MakePainter(dc, &p)) return 0;
    // The old interface draws nothing for an empty box whatever the pen, nor for a one-pixel
    // box with a thin pen.
    const int64_t boxW = std::llabs(int64_t{right} - left),
                  boxH = std::llabs(int64_t{bottom} - top);
    if (boxW == 0 || boxH == 0 || (p.penWidth <= 1 && boxW == 1 && boxH == 1)) return 1;
    const Boxes b = MakeBoxes(left, top, right, bottom, p.penWidth);
    if (b.OuterEmpty()) return 1;
    const uint32_t mask = p.mask;
    switch (p.rop2) {
        case R2_COPYPEN:
            RectangleRows(p, b, [mask](uint32_t* d, int32_t n, uint32_t ink) {
                raster::MixRun(d, n, ink, R2_COPYPEN, mask);
            });
            break;
        case R2_MERGEPENNOT:
            RectangleRows(p, b, [mask](uint32_t* d, int32_t n, uint32_t ink) {
                MergePenNotBox(d, n, n, 1, ink, mask);
            });
            break;
        default:
            RectangleRows(p, b, [&p](uint32_t* d, int32_t n, uint32_t ink) {
                raster::MixRun(d, n, ink, p.rop2, p.mask);
            });
            break;
    }
    return 1;
}

namespace {

// A thin pen steps along the path ellipse through the middles of the box's outer pixels,
// centre ((l + r - 1) / 2, (t + b - 1) / 2), one pixel per step of the faster-moving coordinate
// as a thin line does; the brush fills between the outline's runs. So a 3 x 3 box is a plus and
// a 1 x 1 box draws nothing, as on the old interface. Mirror images are built, not rounded, so
// the shape is exactly symmetric.
void DrawThinEllipse(const Painter& p, int64_t l, int64_t t, int64_t r, int64_t b) {
    if (l > r) std::swap(l, r);
    if (t > b) std::swap(t, b);
    if (r - l <= 1 && b - t <= 1) return;
    const int64_t cx2 = l + r - 1, cy2 = t + b - 1;  // twice the centre
    const double cx = cx2 / 2.0, cy = cy2 / 2.0, ra = (r - 1 - l) / 2.0, rb = (b - 1 - t) / 2.0;
    // Nearest whole number, ties to the smaller, as for lines.
    auto nearest = [](double v) { return static_cast<int64_t>(std::ceil(v - 0.5)); };
    auto across = [&](double offset, double radius, double other) {
        const double d = radius > 0 ? offset / radius : 0;
        return other * std::sqrt(std::max(0.0, 1 - d * d));
    };
    // Where the slope passes 1: x steps within xm of the centre, y steps within ym.
    // Radii are halves of whole pixels: their squares and sum are exact, so this rounds once
    // everywhere, which no C library's hypot promises.
    const double diag = std::sqrt(ra * ra + rb * rb), xm = ra * ra / diag, ym = rb * rb / diag;
    const int64_t top = nearest(cy - rb);
    const int64_t y1 = std::max<int64_t>(top, 0);
    const int64_t y2 = std::min<int64_t>(cy2 - top + 1, p.bmp->height);
    if (y1 >= y2) return;

    // Per visible row, the outline's left run and right run (first, last).
    struct Runs {
        int64_t l1 = INT64_MAX, l2 = INT64_MIN, r1 = INT64_MAX, r2 = INT64_MIN;
    };
    static thread_local std::vector<Runs> rows;
    rows.assign(static_cast<size_t>(y2 - y1), Runs{});
    auto add = [&](int64_t y, int64_t x, bool left) {
        if (y < y1 || y >= y2) return;
        Runs& k = rows[static_cast<size_t>(y - y1)];
        int64_t& lo = left ? k.l1 : k.r1;
        int64_t& hi = left ? k.l2 : k.r2;
        lo = std::min(lo, x);
        hi = std::max(hi, x);
    };
    // Steps along x near the top and bottom (the left half, mirrored for the right), only those
    // that land near the bitmap's columns.
    const double xFirst = std::ceil(cx - xm), xLast = std::floor(cx);
    auto stepAlongX = [&](double from, double to, bool left) {
        const auto x1 = static_cast<int64_t>(std::max(xFirst, from));
        const auto x2 = static_cast<int64_t>(std::min(xLast, to));
        for (int64_t x = x1; x <= x2; ++x) {
            const int64_t yt = nearest(cy - across(double(x) - cx, ra, rb));
            add(yt, left ? x : cx2 - x, left);
            add(cy2 - yt, left ? x : cx2 - x, left);
        }
    };
    const double w = p.bmp->width;
    stepAlongX(-1, w, true);
    stepAlongX(double(cx2) - w, double(cx2) + 1, false);
    // Steps along y at the sides; rows the steps along x left without a run (off the bitmap,
    // or between the two kinds of step) take the path's own crossing.
    for (int64_t y = y1; y < y2; ++y) {
        Runs& k = rows[static_cast<size_t>(y - y1)];
        const bool side = std::abs(double(y) - cy) <= ym;
        const int64_t xl = nearest(cx - across(double(y) - cy, rb, ra));
        if (side || k.l1 > k.l2) add(y, xl, true);
        if (side || k.r1 > k.r2) add(y, cx2 - xl, false);
        const auto row = static_cast<int32_t>(y);
        if (k.l2 + 1 >= k.r1) {
            if (p.hasPen) p.Run(row, std::min(k.l1, k.r1), std::max(k.l2, k.r2) + 1, p.pen);
            continue;
        }
        if (p.hasPen) {
            p.Run(row, k.l1, k.l2 + 1, p.pen);
            p.Run(row, k.r1, k.r2 + 1, p.pen);
        }
        if (p.hasBrush) p.Run(row, k.l2 + 1, k.r1, p.brush);
    }
}

}  // namespace

BOOL Ellipse(HDC dc, int32_t left, int32_t top, int32_t right, int32_t bottom) {
    Painter p;
    if (!raster::MakePainter(dc, &p)) return 0;
    if (p.penWidth == 1) {
        if (left != right && top != bottom) DrawThinEllipse(p, left, top, right, bottom);
        return 1;
    }
    const Boxes b = MakeBoxes(left, top, right, bottom, p.penWidth);
    if (b.OuterEmpty()) return 1;
    const int64_t y1 = std::max<int64_t>(b.oy1, 0);
    const int64_t y2 = std::min<int64_t>(b.oy2, p.bmp->height);
    for (int64_t y = y1; y < y2; ++y) {
        const auto row = static_cast<int32_t>(y);
        const auto [a1, a2] = EllipseSpan(b.ox1, b.oy1, b.ox2, b.oy2, y);
        if (a1 >= a2) continue;
        auto [i1, i2] = EllipseSpan(b.ix1, b.iy1, b.ix2, b.iy2, y);
        i1 = std::max(i1, a1);
        i2 = std::min(i2, a2);
        if (i1 >= i2) {
            if (p.hasPen) p.Run(row, a1, a2, p.pen);
            continue;
        }
        if (p.hasPen) {
            p.Run(row, a1, i1, p.pen);
            p.Run(row, i2, a2, p.pen);
        }
        if (p.hasBrush) p.Run(row, i1, i2, p.brush);
    }
    return 1;
}

COLORREF GetPixel(HDC dc, int32_t x, int32_t y) {
    if (dc == nullptr || dc->bitmap == nullptr) return CLR_INVALID;
    const Bitmap& bmp = *dc->bitmap;
    if (x < 0 || y < 0 || x >= bmp.width || y >= bmp.height) return CLR_INVALID;
    const uint32_t v = bmp.row(y)[x];
    if (bmp.monochrome) return v != 0 ? RGB(255, 255, 255) : RGB(0, 0, 0);
    return v;
}

// Like the old call, a single pixel ignores the mix mode.
BOOL SetPixelV(HDC dc, int32_t x, int32_t y, COLORREF color) {
    if (dc == nullptr || dc->bitmap == nullptr) return 0;
    Bitmap& bmp = *dc->bitmap;
    if (x < 0 || y < 0 || x >= bmp.width || y >= bmp.height) return 0;
    bmp.row(y)[x] = raster::InkFor(bmp, color);
    return 1;
}

// Span flood fill over 4-connected pixels, with an explicit stack and a visited map so that
// the mix mode reaches each pixel exactly once even when it leaves the pixel fillable.
BOOL ExtFloodFill(HDC dc, int32_t x, int32_t y, COLORREF color, unsigned type) {
    Painter p;
    if (!raster::MakePainter(dc, &p)) return 0;
    if (!p.hasBrush) return 0;
    Bitmap& bmp = *p.bmp;
    const int32_t w = bmp.width, h = bmp.height;
    if (x < 0 || y < 0 || x >= w || y >= h) return 0;
    if (type != FLOODFILLBORDER && type != FLOODFILLSURFACE) return 0;
    const uint32_t target = raster::InkFor(bmp, color);
    const bool surface = type == FLOODFILLSURFACE;

    static thread_local std::vector<uint8_t> visited;
    static thread_local std::vector<std::pair<int32_t, int32_t>> stack;
    visited.assign(static_cast<size_t>(w) * h, 0);
    stack.clear();

    auto open = [&](int32_t px, int32_t py) {
        const size_t i = static_cast<size_t>(py) * w + px;
        if (visited[i]) return false;
        const uint32_t v = bmp.pixels[i];
        return surface ? v == target : v != target;
    };
    if (!open(x, y)) return 0;

    stack.emplace_back(x, y);
    while (!stack.empty()) {
        const auto [sx, sy] = stack.back();
        stack.pop_back();
        if (!open(sx, sy)) continue;
        int32_t l = sx, r = sx;
        while (l > 0 && open(l - 1, sy))
            --l;
        while (r + 1 < w && open(r + 1, sy))
            ++r;
        std::fill_n(visited.begin() + static_cast<size_t>(sy) * w + l, r - l + 1, uint8_t{1});
        p.Run(sy, l, r + 1, p.brush);
        for (const int32_t ny : {sy - 1, sy + 1}) {
            if (ny < 0 || ny >= h) continue;
            bool inRun = false;
            for (int32_t i = l; i <= r; ++i) {
                const bool o = open(i, ny);
                if (o && !inRun) stack.emplace_back(i, ny);
                inRun = o;
            }
        }
    }
    return 1;
}
