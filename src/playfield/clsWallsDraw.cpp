// Wall drawing: the outline style, mixed with what lies beneath, and the solid style with a
// shadow one line to the lower right.
#include <algorithm>
#include <utility>

#include "graphics/modGraphic.h"
#include "main/frmMain.h"
#include "main/modMain.h"
#include "playfield/clsWalls.h"

namespace {

// The outlines of one wall's pieces (two when it is wrapped), as fn(x1, y1, x2, y2). The lower
// piece of a Y-wrapped wall is framed past the picture's bottom, so its bottom edge never shows.
template <typename Fn>
void OutlinePieces(const clsWalls::Wall& w, Fn fn) {
    const int32_t lw = gLineWidth;
    const int32_t lh = gLineHeight;
    if (w.X2 < w.X1) {
        fn(0, w.Y1, w.X2, w.Y2);
        fn(w.X1, w.Y1, gCellWidth * gColumns + lw, w.Y2);
    } else if (w.Y2 < w.Y1) {
        fn(w.X1, 0, w.X2, w.Y2);
        fn(w.X1, w.Y1, w.X2, gCellHeight * gRows + w.Y2 + lh);
    } else {
        fn(w.X1, w.Y1, w.X2, w.Y2);
    }
}

// The outline style's fills of one wall's pieces, as fn(x1, y1, x2, y2).
template <typename Fn>
void FillPieces(const clsWalls::Wall& w, Fn fn) {
    const int32_t lw = gLineWidth;
    const int32_t lh = gLineHeight;
    if (w.X2 < w.X1) {
        fn(lw, w.Y1 + lh, w.X2 - lw, w.Y2 - lh);
        fn(w.X1 + lw, w.Y1 + lh, gCellWidth * gColumns, w.Y2 - lh);
    } else if (w.Y2 < w.Y1) {
        fn(w.X1 + lw, lh, w.X2 - lw, w.Y2 - lh);
        fn(w.X1 + lw, w.Y1 + lh, w.X2 - lw, gCellHeight * gRows);
    } else {
        fn(w.X1 + lw, w.Y1 + lh, w.X2 - lw, w.Y2 - lh);
    }
}

// The solid style's pieces of one wall, as fn(x1, y1, x2, y2).
template <typename Fn>
void SolidPieces(int32_t x1, int32_t y1, int32_t x2, int32_t y2, Fn fn) {
    if (x2 < x1) {
        fn(0, y1, x2, y2);
        fn(x1, y1, gCellWidth * gColumns + gLineWidth, y2);
    } else if (y2 < y1) {
        fn(x1, 0, x2, y2);
        fn(x1, y1, x2, gCellHeight * gRows + gLineHeight);
    } else {
        fn(x1, y1, x2, y2);
    }
}

}  // namespace

void clsWalls::DrawOutlines(HDC hdc, const Wall& w) const {
    OutlinePieces(w, [&](int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
        FrameRectangle(hdc, x1, y1, x2, y2, w.ColorB, gLineWidth);
    });
}

void clsWalls::DrawFills(HDC hdc, const Wall& w) const {
    FillPieces(w, [&](int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
        FillRectangle(hdc, x1, y1, x2, y2, w.ColorA);
    });
}

namespace {

// The fill of a framed wall piece is exactly the frame's inner box when the lines are square
// and the fill is not turned inside out; then frame and fill never share a pixel.
bool Blockable(int32_t fx1, int32_t fy1, int32_t fx2, int32_t fy2) {
    return gLineWidth == gLineHeight && fx1 <= fx2 && fy1 <= fy2;
}

// Frame and fill of one piece in a single rectangle (outline pen and fill brush): the same
// pixels as FrameRectangle followed by FillRectangle, in one pass over the rows.
void OutlinedBlock(HDC hdc, int32_t x1, int32_t y1, int32_t x2, int32_t y2, COLORREF fill,
                   COLORREF line) {
    const int32_t lw = gLineWidth;
    const int32_t h = lw / 2;
    HPEN pen = CreatePen(PS_SOLID, lw, line);
    HBRUSH brush = CreateSolidBrush(fill);
    HGDIOBJ oldPen = SelectObject(hdc, pen);
    HGDIOBJ oldBrush = SelectObject(hdc, brush);
    Rectangle(hdc, x1 + h, y1 + h, x2 + h - lw + 1, y2 + h - lw + 1);
    SelectObject(hdc, oldBrush);
    SelectObject(hdc, oldPen);
    DeleteObject(brush);
    DeleteObject(pen);
}

}  // namespace

void clsWalls::DrawBackground() {
    HDC hdc = MainForm().picMain.hDC();
    const int32_t lw = gLineWidth;
    const int32_t lh = gLineHeight;
    const int32_t W = gCellWidth * gColumns;

    if (gSolid) {
        // Later groups cover earlier ones: right movers end up on top.
        static constexpr int32_t kGroups[4][2] = {{0, -1}, {0, 1}, {-1, 0}, {1, 0}};
        for (const auto& g : kGroups) {
            const int32_t dx = g[0];
            const int32_t dy = g[1];
            for (const Wall& w : mWall) {
                if (!w.Alive || (dy != 0 ? w.DirY != dy : w.DirX != dx)) continue;
                DrawSolidBackground(w.X1, w.Y1, w.X2, w.Y2, w.ColorA, w.ColorB);
            }
            for (const Wall& w : mWall) {
                if (!w.Alive || (dy != 0 ? w.DirY != dy : w.DirX != dx)) continue;
                DrawSolidForeground(w.X1, w.Y1, w.X2, w.Y2, w.ColorA, w.ColorB);
            }
        }
        return;
    }

    // Pen OR NOT destination: overlapping walls show through each other.
    const int previous = SetROP2(hdc, R2_MERGEPENNOT);
    for (const Wall& w : mWall) {
        if (!w.Alive) continue;
        if (w.X2 < w.X1) {
            if (Blockable(lw, w.Y1 + lh, w.X2 - lw, w.Y2 - lh) &&
                Blockable(w.X1 + lw, w.Y1 + lh, W, w.Y2 - lh)) {
                OutlinedBlock(hdc, 0, w.Y1, w.X2, w.Y2, w.ColorA, w.ColorB);
                OutlinedBlock(hdc, w.X1, w.Y1, W + lw, w.Y2, w.ColorA, w.ColorB);
                continue;
            }
            DrawOutlines(hdc, w);
            DrawFills(hdc, w);
        } else if (w.Y2 < w.Y1) {
            // The lower piece's frame runs past the fill, so it never becomes one block.
            DrawOutlines(hdc, w);
            DrawFills(hdc, w);
        } else {
            if (Blockable(w.X1 + lw, w.Y1 + lh, w.X2 - lw, w.Y2 - lh)) {
                OutlinedBlock(hdc, w.X1, w.Y1, w.X2, w.Y2, w.ColorA, w.ColorB);
                continue;
            }
            DrawOutlines(hdc, w);
            DrawFills(hdc, w);
        }
    }
    SetROP2(hdc, previous);
}

void clsWalls::DrawForeground() {
    if (gSolid) return;
    // Whatever mix mode the picture has now: normally plain copying.
    HDC hdc = MainForm().picMain.hDC();
    for (const Wall& w : mWall) {
        if (w.Alive) DrawOutlines(hdc, w);
    }
}

namespace {

// A thousand walls a pass make the per-call cost of the drawing calls dominate, so the usual
// case (copying mode, a colour picture, square lines of 1 to 3 pixels whose pen corners are
// square) writes the picture directly, reproducing those calls' pixels exactly.
class DirectPicture {
  public:
    // Null where the usual case does not hold.
    static Bitmap* For(HDC hdc) {
        Bitmap* bmp = hdc->bitmap;
        const bool usual = bmp != nullptr && !bmp->monochrome && hdc->rop2 == R2_COPYPEN &&
                           gLineWidth == gLineHeight && gLineWidth >= 1 && gLineWidth <= 3;
        return usual ? bmp : nullptr;
    }

    // Only used when bmp is not null.
    explicit DirectPicture(Bitmap* bmp) : bmp_(bmp), bottom_(bmp ? bmp->height : 0) {}

    // Draws only rows [top, bottom) from now on.
    void Rows(int32_t top, int32_t bottom) {
        top_ = top;
        bottom_ = bottom;
    }

    // FillRectangle(x1, y1, x2, y2, ink) mixed as pen OR NOT picture.
    void MergeFill(int32_t x1, int32_t y1, int32_t x2, int32_t y2, COLORREF ink) {
        const Box b = FillBox(x1, y1, x2, y2);
        if (b.y1 >= b.y2) return;
        MergePenNotBox(bmp_->row(b.y1) + b.x1, bmp_->width, b.x2 - b.x1, b.y2 - b.y1,
                       ink & 0xFFFFFFu, 0xFFFFFFu);
    }

    // FillRectangle(x1, y1, x2, y2, ink), copied.
    void Fill(int32_t x1, int32_t y1, int32_t x2, int32_t y2, COLORREF ink) {
        const Box b = FillBox(x1, y1, x2, y2);
        for (int32_t y = b.y1; y < b.y2; ++y)
            std::fill(bmp_->row(y) + b.x1, bmp_->row(y) + b.x2, ink & 0xFFFFFFu);
    }

    // FrameRectangle(x1, y1, x2, y2, ink, w), copied: the pen's outer box less its inner one.
    void Frame(int32_t x1, int32_t y1, int32_t x2, int32_t y2, COLORREF ink, int32_t w) {
        Span ox, oy, ix, iy;
        const int32_t dx = Axis(x1, x2, w, ox, ix);
        const int32_t dy = Axis(y1, y2, w, oy, iy);
        // No box, or a single pixel with a one-pixel pen: nothing, as for the calls.
        if (dx == 0 || dy == 0 || (w <= 1 && dx == 1 && dy == 1)) return;
        const Box outer = Clip(ox, oy);
        const bool inner = ix.from < ix.to && iy.from < iy.to;
        const uint32_t pen = ink & 0xFFFFFFu;
        const int32_t leftTo = std::min(std::max(ix.from, outer.x1), outer.x2);
        const int32_t rightFrom = std::max(std::min(ix.to, outer.x2), outer.x1);
        // Rows through the hole get the two side bands, at most w (3) pixels each: stored
        // directly, as a general fill's set-up costs more than they do.
        const int32_t holeFrom = inner ? std::clamp(iy.from, outer.y1, outer.y2) : outer.y2;
        const int32_t holeTo = inner ? std::clamp(iy.to, holeFrom, outer.y2) : outer.y2;
        for (int32_t y = outer.y1; y < holeFrom; ++y)
            std::fill(bmp_->row(y) + outer.x1, bmp_->row(y) + outer.x2, pen);
        const int32_t leftN = leftTo - outer.x1;
        const int32_t rightN = outer.x2 - rightFrom;
        for (int32_t y = holeFrom; y < holeTo; ++y) {
            uint32_t* row = bmp_->row(y);
            Band(row + outer.x1, leftN, pen);
            Band(row + rightFrom, rightN, pen);
        }
        for (int32_t y = holeTo; y < outer.y2; ++y)
            std::fill(bmp_->row(y) + outer.x1, bmp_->row(y) + outer.x2, pen);
    }

  private:
    // n (0 to 3) pixels.
    static void Band(uint32_t* p, int32_t n, uint32_t pen) {
        if (n > 0) p[0] = pen;
        if (n > 1) p[1] = pen;
        if (n > 2) p[2] = pen;
    }

    struct Span {
        int32_t from = 0, to = 0;
    };
    struct Box {
        int32_t x1, y1, x2, y2;
    };

    Box Clip(Span x, Span y) const {
        Box b{std::max(x.from, 0), std::max(y.from, top_), std::min(x.to, bmp_->width),
              std::min(y.to, bottom_)};
        if (b.x1 >= b.x2 || b.y1 >= b.y2) b = Box{0, 0, 0, 0};
        return b;
    }

    // A null-pen rectangle one larger than asked: [a, b), or inside out [b + 1, a - 1).
    Box FillBox(int32_t x1, int32_t y1, int32_t x2, int32_t y2) const {
        auto span = [](int32_t a, int32_t b) { return b >= a ? Span{a, b} : Span{b + 1, a - 1}; };
        return Clip(span(x1, x2), span(y1, y2));
    }

    // One axis of a frame's rectangle (moved in by half the pen so the band lies inside):
    // the pen's outer and inner spans; returns the rectangle's size along the axis.
    static int32_t Axis(int32_t a1, int32_t a2, int32_t w, Span& outer, Span& inner) {
        const int32_t h = w / 2;
        int32_t l = a1 + h;
        int32_t r = a2 + h - w + 1;
        if (l > r) std::swap(l, r);
        outer = Span{l - h, r - 1 - h + w};
        inner = Span{l - h + w, r - 1 - h};
        return r - l;
    }

    Bitmap* bmp_;
    int32_t top_ = 0, bottom_;
};

// Rows of a picture drawn at a time: a band this size stays in the processor's cache while
// every wall crossing it is mixed in and framed. Whole-picture sweeps, one per layer, each went
// out to memory for a full-HD picture.
int32_t BandRows(int32_t width) {
    constexpr int32_t kBandPixels = 128 * 1024;  // half a megabyte
    return std::max<int32_t>(16, kBandPixels / std::max<int32_t>(width, 1));
}

// False only where wall w surely draws nothing in rows [top, bottom). An unwrapped wall keeps
// to rows [Y1, Y2) but where a pen is wider than the wall: the reach covers that.
bool MayCross(const clsWalls::Wall& w, int32_t top, int32_t bottom) {
    if (w.Y2 < w.Y1) return true;  // a piece at each edge
    const int32_t reach = 2 * std::max(gLineWidth, gLineHeight);
    return w.Y1 - reach < bottom && w.Y2 + reach > top;
}

}  // namespace

void clsWalls::Draw() {
    HDC hdc = MainForm().picMain.hDC();
    if (GetROP2(hdc) != R2_COPYPEN) {
        DrawBackground();
        DrawForeground();
        return;
    }
    Bitmap* direct = DirectPicture::For(hdc);
    DirectPicture pic(direct);
    if (gSolid) {
        // The solid style's order, all copied: each face covers its own shadow but for the
        // edges, which is all of the shadow that needs drawing.
        const int32_t lw = gLineWidth;
        const int32_t lh = gLineHeight;
        auto fill = [&](int32_t x1, int32_t y1, int32_t x2, int32_t y2, COLORREF c) {
            if (direct)
                pic.Fill(x1, y1, x2, y2, c);
            else
                FillRectangle(hdc, x1, y1, x2, y2, c);
        };
        static constexpr int32_t kGroups[4][2] = {{0, -1}, {0, 1}, {-1, 0}, {1, 0}};
        for (const auto& g : kGroups) {
            const int32_t dx = g[0];
            const int32_t dy = g[1];
            for (const Wall& w : mWall) {
                if (!w.Alive || (dy != 0 ? w.DirY != dy : w.DirX != dx)) continue;
                SolidPieces(w.X1, w.Y1, w.X2, w.Y2,
                            [&](int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
                                if (x2 - lw < x1 + lw || y2 - lh < y1 + lh) {
                                    fill(x1 + lw, y1 + lh, x2, y2, w.ColorB);
                                    return;
                                }
                                fill(x2 - lw, y1 + lh, x2, y2, w.ColorB);
                                fill(x1 + lw, y2 - lh, x2 - lw, y2, w.ColorB);
                            });
            }
            for (const Wall& w : mWall) {
                if (!w.Alive || (dy != 0 ? w.DirY != dy : w.DirX != dx)) continue;
                SolidPieces(w.X1, w.Y1, w.X2, w.Y2,
                            [&](int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
                                fill(x1, y1, x2 - lw, y2 - lh, w.ColorA);
                            });
            }
        }
        return;
    }
    // Every outline the background mixes in is copied over by the foreground's, and nothing
    // reads the picture in between: only the fills need mixing. Band by band, each in the
    // whole picture's order, every pixel sees the same operations in the same order. (The
    // solid style only copies: it reads nothing back that a band would keep at hand.)
    if (direct) {
        const int32_t rows = BandRows(direct->width);
        for (int32_t top = 0; top < direct->height; top += rows) {
            const int32_t bottom = std::min(direct->height, top + rows);
            pic.Rows(top, bottom);
            for (const Wall& w : mWall) {
                if (!w.Alive || !MayCross(w, top, bottom)) continue;
                FillPieces(w, [&](int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
                    pic.MergeFill(x1, y1, x2, y2, w.ColorA);
                });
            }
            for (const Wall& w : mWall) {
                if (!w.Alive || !MayCross(w, top, bottom)) continue;
                OutlinePieces(w, [&](int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
                    pic.Frame(x1, y1, x2, y2, w.ColorB, gLineWidth);
                });
            }
        }
        return;
    }
    SetROP2(hdc, R2_MERGEPENNOT);
    for (const Wall& w : mWall) {
        if (w.Alive) DrawFills(hdc, w);
    }
    SetROP2(hdc, R2_COPYPEN);
    for (const Wall& w : mWall) {
        if (w.Alive) DrawOutlines(hdc, w);
    }
}

namespace {

// One layer of a solid wall over each of its pieces: the shadow moves the near edges in by a
// line (lead 1), the face the far edges (trail 1).
void FillSolidPieces(HDC hdc, int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t lead,
                     int32_t trail, COLORREF color) {
    const int32_t lw = gLineWidth;
    const int32_t lh = gLineHeight;
    SolidPieces(x1, y1, x2, y2, [&](int32_t px1, int32_t py1, int32_t px2, int32_t py2) {
        FillRectangle(hdc, px1 + lead * lw, py1 + lead * lh, px2 - trail * lw, py2 - trail * lh,
                      color);
    });
}

}  // namespace

void clsWalls::DrawSolidBackground(int32_t pX1, int32_t pY1, int32_t pX2, int32_t pY2,
                                   COLORREF pColorA, COLORREF pColorB) {
    (void)pColorA;
    FillSolidPieces(MainForm().picMain.hDC(), pX1, pY1, pX2, pY2, 1, 0, pColorB);
}

void clsWalls::DrawSolidForeground(int32_t pX1, int32_t pY1, int32_t pX2, int32_t pY2,
                                   COLORREF pColorA, COLORREF pColorB) {
    (void)pColorB;
    FillSolidPieces(MainForm().picMain.hDC(), pX1, pY1, pX2, pY2, 0, 1, pColorA);
}
