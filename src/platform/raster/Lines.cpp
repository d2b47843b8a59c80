// Lines and polygons. Thin lines are plain Bresenham with the end point left out; anything
// that could touch a pixel twice is first gathered in a coverage map so that the mix mode is
// applied once per pixel.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "platform/raster/Painter.h"
#include "platform/raster/gdi.h"

namespace {

using raster::Painter;

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
    int64_t Top() const { return y1_; }
    int64_t Bottom() const { return y2_; }
    void Set(int64_t x, int64_t y, uint8_t v) {
        if (x < x1_ || x >= x2_ || y < y1_ || y >= y2_) return;
        uint8_t& c = (*cells_)[static_cast<size_t>((y - y1_) * (x2_ - x1_) + (x - x1_))];
        c = std::max(c, v);
    }
    void Span(int64_t y, int64_t a, int64_t b, uint8_t v) {
        if (y < y1_ || y >= y2_) return;
        for (int64_t x = std::max(a, x1_); x < std::min(b, x2_); ++x)
            Set(x, y, v);
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

// Visits the points of a line from (x0, y0) towards (x1, y1), the end point excluded.
template <typename F>
void Bresenham(int64_t x0, int64_t y0, int64_t x1, int64_t y1, F plot) {
    const int64_t dx = std::llabs(x1 - x0), dy = -std::llabs(y1 - y0);
    const int64_t sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
    int64_t err = dx + dy;
    while (x0 != x1 || y0 != y1) {
        plot(x0, y0);
        const int64_t e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x0 += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y0 += sy;
        }
    }
}

// A wide pen stamps a square of its width at every point of the thin line, offset like the
// rectangle outline (floor(w/2) up and left), which gives square-ended thick strokes.
void WideLine(Coverage& cov, int64_t x0, int64_t y0, int64_t x1, int64_t y1, int32_t w) {
    const int64_t h = w / 2;
    Bresenham(x0, y0, x1, y1, [&](int64_t x, int64_t y) {
        const int64_t top = std::max(y - h, cov.Top());
        const int64_t bottom = std::min(y - h + w, cov.Bottom());
        for (int64_t yy = top; yy < bottom; ++yy)
            cov.Span(yy, x - h, x - h + w, 2);
    });
}

// Lines far outside the bitmap are not walked: nothing of them could show.
bool Visible(const Bitmap& bmp, int64_t x0, int64_t y0, int64_t x1, int64_t y1, int32_t w) {
    return std::max(x0, x1) + w >= 0 && std::max(y0, y1) + w >= 0 &&
           std::min(x0, x1) - w < bmp.width && std::min(y0, y1) - w < bmp.height;
}

// Absurdly long lines (far beyond any bitmap) are cut to the bitmap's neighbourhood before
// they are walked, so a stray coordinate cannot stall the frame. Ordinary lines are untouched.
void CutLongLine(const Bitmap& bmp, int32_t w, int64_t& x0, int64_t& y0, int64_t& x1, int64_t& y1) {
    constexpr int64_t kLong = int64_t{1} << 22;
    if (std::max(std::llabs(x1 - x0), std::llabs(y1 - y0)) < kLong) return;
    const double lo[2] = {-w - 2.0, -w - 2.0};
    const double hi[2] = {bmp.width + w + 2.0, bmp.height + w + 2.0};
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
    CutLongLine(*p.bmp, p.penWidth, x0, y0, x1, y1);
    if (p.penWidth == 1) {
        Bresenham(x0, y0, x1, y1, [&](int64_t px, int64_t py) {
            if (py < 0 || py >= p.bmp->height) return;
            p.Run(static_cast<int32_t>(py), px, px + 1, p.pen);
        });
        return 1;
    }
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
        static thread_local std::vector<double> xs;
        for (int64_t y = std::max(cov.Top(), minY); y < std::min(cov.Bottom(), maxY + 1); ++y) {
            const double yc = y + 0.5;
            xs.clear();
            for (int k = 0; k < count; ++k) {
                const POINT& a = points[k];
                const POINT& b = points[(k + 1) % count];
                if ((a.y <= yc) == (b.y <= yc)) continue;
                xs.push_back(a.x + (yc - a.y) * (static_cast<double>(b.x) - a.x) / (b.y - a.y));
            }
            std::sort(xs.begin(), xs.end());
            for (size_t k = 0; k + 1 < xs.size(); k += 2) {
                const auto from = static_cast<int64_t>(std::ceil(xs[k] - 0.5));
                const auto to = static_cast<int64_t>(std::ceil(xs[k + 1] - 0.5));
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
            CutLongLine(*p.bmp, p.penWidth, ax, ay, bx, by);
            if (p.penWidth == 1) {
                Bresenham(ax, ay, bx, by, [&](int64_t x, int64_t y) { cov.Set(x, y, 2); });
            } else {
                WideLine(cov, ax, ay, bx, by, p.penWidth);
            }
        }
    }
    cov.Apply(p);
    return 1;
}
