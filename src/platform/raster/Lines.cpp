// Lines and polygons. Thin lines step one pixel per major step with the end point left out;
// anything that could touch a pixel twice is first gathered in a coverage map so that the mix mode
// is applied once per pixel.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "platform/raster/Painter.h"
#include "platform/raster/gdi.h"

namespace {

using raster::Painter;

// A clipping window, half-open on the right and bottom.
struct Window {
    int64_t x1, y1, x2, y2;
};

// Pixels a shape covers inside a clipped window of the bitmap: 0 none, 1 brush, 2 pen.
class Coverage {
  public:
    Coverage(int64_t x1, int64_t y1, int64_t x2, int64_t y2, const Bitmap& bmp)
        : x1_(std::max<int64_t>(x1, 0)),
          y1_(std::max<int64_t>(y1, 0)),
          x2_(std::min<int64_t>(x2, bmp.width)),
          y2_(std::min<int64_t>(y2, bmp.height)) {
        static thread_local std::vector<uint8_t> storage;
        cells_ = &storage;
        cells_->assign(Empty() ? 0 : static_cast<size_t>((x2_ - x1_) * (y2_ - y1_)), 0);
    }
    bool Empty() const { return x1_ >= x2_ || y1_ >= y2_; }
    Window Bounds() const { return Window{x1_, y1_, x2_, y2_}; }
    int64_t Left() const { return x1_; }
    int64_t Right() const { return x2_; }
    int64_t Top() const { return y1_; }
    int64_t Bottom() const { return y2_; }
    void Set(int64_t x, int64_t y, uint8_t v) {
        if (x < x1_ || x >= x2_ || y < y1_ || y >= y2_) return;
        uint8_t& c = (*cells_)[static_cast<size_t>((y - y1_) * (x2_ - x1_) + (x - x1_))];
        c = std::max(c, v);
    }
    void Span(int64_t y, int64_t a, int64_t b, uint8_t v) {
        if (y < y1_ || y >= y2_) return;
        uint8_t* row = cells_->data() + (y - y1_) * (x2_ - x1_);
        for (int64_t i = std::max(a, x1_) - x1_; i < std::min(b, x2_) - x1_; ++i)
            row[i] = std::max(row[i], v);
    }
    // Mixes the covered pixels into the bitmap, run by run.
    void Apply(const Painter& p) const {
        const int64_t w = x2_ - x1_;
        for (int64_t y = y1_; y < y2_; ++y) {
            const uint8_t* row = cells_->data() + (y - y1_) * w;
            int64_t i = 0;
            while (i < w) {
                const uint8_t v = row[i];
                int64_t j = i + 1;
                while (j < w && row[j] == v)
                    ++j;
                const auto ry = static_cast<int32_t>(y);
                if (v == 2) p.Run(ry, x1_ + i, x1_ + j, p.pen);
                if (v == 1 && p.hasBrush) p.Run(ry, x1_ + i, x1_ + j, p.brush);
                i = j;
            }
        }
    }

  private:
    int64_t x1_, y1_, x2_, y2_;
    std::vector<uint8_t>* cells_;
};

// Visits the points of a line from (x0, y0) towards (x1, y1), the end point excluded, whose
// major coordinate lies in the window [lo, hi) of its axis. The minor coordinate is the exact one
// rounded to nearest; the old interface takes the smaller one on a tie, in every octant.
template <typename F>
void ThinLine(int64_t x0, int64_t y0, int64_t x1, int64_t y1, const Window& win, F plot) {
    const bool xMajor = std::llabs(x1 - x0) >= std::llabs(y1 - y0);
    const int64_t m0 = xMajor ? x0 : y0;
    const int64_t major = xMajor ? x1 - x0 : y1 - y0;
    const int64_t minor = xMajor ? y1 - y0 : x1 - x0;
    const int64_t n = std::llabs(major), step = major < 0 ? -1 : 1;
    const int64_t lo = xMajor ? win.x1 : win.y1, hi = xMajor ? win.x2 : win.y2;
    // Only the steps inside the window are walked, so a long line costs its visible part.
    const int64_t k1 = std::max<int64_t>(0, step > 0 ? lo - m0 : m0 - hi + 1);
    const int64_t k2 = std::min<int64_t>(n, step > 0 ? hi - m0 : m0 - lo + 1);
    if (k1 >= k2) return;
    // Minor offset at step k is floor((2k * minor + n - 1) / 2n), kept as quotient q and
    // remainder r, so no step divides.
    const int64_t den = 2 * n, add = 2 * minor;
    const __int128 start = __int128{2} * k1 * minor + n - 1;
    auto q = static_cast<int64_t>(start / den);
    auto r = static_cast<int64_t>(start % den);
    if (r < 0) r += den, --q;
    for (int64_t k = k1; k < k2; ++k) {
        if (xMajor) {
            plot(x0 + k * step, y0 + q);
        } else {
            plot(x0 + q, y0 + k * step);
        }
        r += add;
        if (r >= den) r -= den, ++q;
        if (r < 0) r += den, --q;
    }
}

// A wide solid pen is a geometric pen with round ends: the pixels whose centres lie within
// w / 2 of the segment (the stamp's floor(w / 2) offset puts the segment of an even pen half a
// pixel up and left of the points). Worked row by row in doubled coordinates, so pixel centres
// and the points stay whole and the round ends match the corners of a rectangle exactly.
void WideLine(Coverage& cov, int64_t x0, int64_t y0, int64_t x1, int64_t y1, int32_t w) {
    const int64_t shift = w % 2 == 0 ? 1 : 0;
    const int64_t ax = 2 * x0 - shift, ay = 2 * y0 - shift, bx = 2 * x1 - shift,
                  by = 2 * y1 - shift;
    const int64_t w2 = int64_t{w} * w;
    const double dx = double(bx - ax), dy = double(by - ay), len2 = dx * dx + dy * dy;
    const double reach = w * std::sqrt(len2);
    const int64_t top = std::max(std::min(y0, y1) - w, cov.Top());
    const int64_t bottom = std::min(std::max(y0, y1) + w + 1, cov.Bottom());
    for (int64_t y = top; y < bottom; ++y) {
        const int64_t py = 2 * y;
        double lo = INFINITY, hi = -INFINITY;
        for (const auto& [cx, cy] : {std::pair{ax, ay}, std::pair{bx, by}}) {
            if (std::llabs(py - cy) > w) continue;
            const int64_t m = w2 - (py - cy) * (py - cy);
            const auto s = double(raster::SqrtFloor(m));
            lo = std::min(lo, cx - s);
            hi = std::max(hi, cx + s);
        }
        // The band between the ends: 0 <= (P - A).d <= |d|^2 and |(P - A) x d| <= w |d|.
        if (len2 > 0) {
            double b1 = -INFINITY, b2 = INFINITY;
            const double ry = double(py - ay);
            auto limit = [&](double coef, double c1, double c2) {
                // coef * (x - ax) + c in [c1, c2] for c1 <= c2.
                if (coef == 0) {
                    if (c1 > 0 || c2 < 0) b2 = -INFINITY;
                    return;
                }
                double u = c1 / coef, v = c2 / coef;
                if (u > v) std::swap(u, v);
                b1 = std::max(b1, ax + u);
                b2 = std::min(b2, ax + v);
            };
            limit(dx, -ry * dy, len2 - ry * dy);
            limit(-dy, -reach - dx * ry, reach - dx * ry);
            if (b1 <= b2) {
                lo = std::min(lo, b1);
                hi = std::max(hi, b2);
            }
        }
        if (lo > hi) continue;
        // Doubled centres are even: the pixels x with lo <= 2x <= hi.
        const double x1c = std::max(std::ceil(lo / 2), double(cov.Left()) - 1);
        const double x2c = std::min(std::floor(hi / 2), double(cov.Right()));
        if (x1c > x2c) continue;
        cov.Span(y, static_cast<int64_t>(x1c), static_cast<int64_t>(x2c) + 1, 2);
    }
}

// Lines far outside the bitmap are not walked: nothing of them could show.
bool Visible(const Bitmap& bmp, int64_t x0, int64_t y0, int64_t x1, int64_t y1, int32_t w) {
    return std::max(x0, x1) + w >= 0 && std::max(y0, y1) + w >= 0 &&
           std::min(x0, x1) - w < bmp.width && std::min(y0, y1) - w < bmp.height;
}

// Absurdly long wide lines (far beyond any bitmap) are cut to the bitmap's neighbourhood before
// they are drawn, so a stray coordinate keeps its precision. Ordinary lines are untouched.
void CutLongLine(const Bitmap& bmp, int32_t w, int64_t& x0, int64_t& y0, int64_t& x1, int64_t& y1) {
    constexpr int64_t kLong = int64_t{1} << 22;
    if (std::max(std::llabs(x1 - x0), std::llabs(y1 - y0)) < kLong) return;
    const double lo[2] = {-w - 2.0, -w - 2.0};
    const double hi[2] = {double(bmp.width) + w + 2.0, double(bmp.height) + w + 2.0};
    const double p0[2] = {double(x0), double(y0)}, d[2] = {double(x1 - x0), double(y1 - y0)};
    double t0 = 0, t1 = 1;
    for (int a = 0; a < 2; ++a) {
        if (d[a] == 0) continue;
        double ta = (lo[a] - p0[a]) / d[a], tb = (hi[a] - p0[a]) / d[a];
        if (ta > tb) std::swap(ta, tb);
        t0 = std::max(t0, ta);
        t1 = std::min(t1, tb);
    }
    if (t0 >= t1) {
        x1 = x0;  // nothing visible: an empty walk
        y1 = y0;
        return;
    }
    const int64_t nx0 = std::llround(p0[0] + t0 * d[0]), ny0 = std::llround(p0[1] + t0 * d[1]);
    if (t1 < 1) {
        x1 = std::llround(p0[0] + t1 * d[0]);
        y1 = std::llround(p0[1] + t1 * d[1]);
    }
    x0 = nx0;
    y0 = ny0;
}

}  // namespace

BOOL MoveToEx(HDC dc, int32_t x, int32_t y, POINT* previous) {
    if (dc == nullptr) return 0;
    if (previous != nullptr) *previous = dc->current;
    dc->current = POINT{x, y};
    return 1;
}

BOOL LineTo(HDC dc, int32_t x, int32_t y) {
    Painter p;
    if (!raster::MakePainter(dc, &p)) return 0;
    int64_t x0 = dc->current.x, y0 = dc->current.y, x1 = x, y1 = y;
    dc->current = POINT{x, y};
    if (!p.hasPen || !Visible(*p.bmp, x0, y0, x1, y1, p.penWidth)) return 1;
    if (p.penWidth == 1) {
        const Window bitmap{0, 0, p.bmp->width, p.bmp->height};
        ThinLine(x0, y0, x1, y1, bitmap, [&](int64_t px, int64_t py) {
            if (py < 0 || py >= p.bmp->height) return;
            p.Run(static_cast<int32_t>(py), px, px + 1, p.pen);
        });
        return 1;
    }
    CutLongLine(*p.bmp, p.penWidth, x0, y0, x1, y1);
    const int32_t w = p.penWidth;
    Coverage cov(std::min(x0, x1) - w, std::min(y0, y1) - w, std::max(x0, x1) + w,
                 std::max(y0, y1) + w, *p.bmp);
    if (cov.Empty()) return 1;
    WideLine(cov, x0, y0, x1, y1, w);
    cov.Apply(p);
    return 1;
}

// Alternate (even-odd) fill by pixel centres, then the closed outline in the pen.
BOOL Polygon(HDC dc, const POINT* points, int count) {
    Painter p;
    if (!raster::MakePainter(dc, &p)) return 0;
    if (points == nullptr || count < 2) return 0;
    int64_t minX = points[0].x, maxX = minX, minY = points[0].y, maxY = minY;
    for (int k = 1; k < count; ++k) {
        minX = std::min<int64_t>(minX, points[k].x);
        maxX = std::max<int64_t>(maxX, points[k].x);
        minY = std::min<int64_t>(minY, points[k].y);
        maxY = std::max<int64_t>(maxY, points[k].y);
    }
    const int32_t w = std::max(p.penWidth, 1);
    Coverage cov(minX - w, minY - w, maxX + w + 1, maxY + w + 1, *p.bmp);
    if (cov.Empty()) return 1;

    if (p.hasBrush) {
        // Pixel centres sit on whole coordinates; an edge owns the rows from its top up to, not
        // including, its bottom, and a span the pixels from its left crossing up to its right
        // one: left and top edges are inside, right and bottom ones outside, as on the old
        // interface.
        static thread_local std::vector<double> xs;
        for (int64_t y = std::max(cov.Top(), minY); y < std::min(cov.Bottom(), maxY + 1); ++y) {
            xs.clear();
            for (int k = 0; k < count; ++k) {
                const POINT& a = points[k];
                const POINT& b = points[(k + 1) % count];
                if ((a.y <= y) == (b.y <= y)) continue;
                const double run = double(b.x) - a.x, rise = double(b.y) - a.y;
                xs.push_back(a.x + (double(y) - a.y) * run / rise);
            }
            std::sort(xs.begin(), xs.end());
            for (size_t k = 0; k + 1 < xs.size(); k += 2) {
                const auto from = static_cast<int64_t>(std::ceil(xs[k]));
                const auto to = static_cast<int64_t>(std::ceil(xs[k + 1]));
                cov.Span(y, from, to, 1);
            }
        }
    }
    if (p.hasPen) {
        for (int k = 0; k < count; ++k) {
            const POINT& a = points[k];
            const POINT& b = points[(k + 1) % count];
            int64_t ax = a.x, ay = a.y, bx = b.x, by = b.y;
            if (!Visible(*p.bmp, ax, ay, bx, by, p.penWidth)) continue;
            if (p.penWidth == 1) {
                ThinLine(ax, ay, bx, by, cov.Bounds(),
                         [&](int64_t x, int64_t y) { cov.Set(x, y, 2); });
            } else {
                CutLongLine(*p.bmp, p.penWidth, ax, ay, bx, by);
                WideLine(cov, ax, ay, bx, by, p.penWidth);
            }
        }
    }
    cov.Apply(p);
    return 1;
}
