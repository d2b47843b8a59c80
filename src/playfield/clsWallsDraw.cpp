// Wall drawing: the outline style, mixed with what lies beneath, and the solid style with a
// shadow one line to the lower right.
#include <algorithm>
#include <cstddef>

#include "graphics/modGraphic.h"
#include "main/frmMain.h"
#include "main/modMain.h"
#include "playfield/Backdrop.h"
#include "playfield/DirectPicture.h"
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

// Asks for rows [top, bottom) of a picture a share at each Step(), so that they come from
// memory while the band above them is drawn from the cache, and its first writes find them at
// hand.
class Ahead {
  public:
    Ahead(const Bitmap& bmp, int32_t top, int32_t bottom, size_t steps)
        : next_(reinterpret_cast<const char*>(bmp.row(top))),
          end_(reinterpret_cast<const char*>(bmp.row(bottom))),
          share_(kLine * (1 + static_cast<size_t>(end_ - next_) / kLine / steps)) {}

    void Step() {
        const char* to = end_ - next_ > static_cast<ptrdiff_t>(share_) ? next_ + share_ : end_;
        for (; next_ < to; next_ += kLine)
            __builtin_prefetch(next_, 1, 2);
    }

  private:
    static constexpr size_t kLine = 64;
    const char* next_;
    const char* end_;
    size_t share_;
};

}  // namespace

void clsWalls::Draw(Backdrop* under) {
    HDC hdc = MainForm().picMain.hDC();
    Bitmap* direct = DirectPicture::For(hdc);
    const bool banded = direct != nullptr && !gSolid;
    if (under && !banded) under->Paint(hdc);
    if (GetROP2(hdc) != R2_COPYPEN) {
        DrawBackground();
        DrawForeground();
        return;
    }
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
    // reads the picture in between: only the fills need mixing. Band by band, what lies
    // beneath first and then the walls, each in the whole picture's order, every pixel sees
    // the same operations in the same order. (The solid style only copies: it reads nothing
    // back that a band would keep at hand.)
    if (banded) {
        const int32_t rows = BandRows(direct->width);
        for (int32_t top = 0; top < direct->height; top += rows) {
            const int32_t bottom = std::min(direct->height, top + rows);
            mCrossing.clear();
            for (const Wall& w : mWall) {
                if (w.Alive && MayCross(w, top, bottom)) mCrossing.push_back(&w);
            }
            Ahead ahead(*direct, bottom, std::min(direct->height, bottom + rows),
                        2 * mCrossing.size() + 1);
            pic.Rows(top, bottom);
            if (under) under->PaintRows(pic);
            for (const Wall* w : mCrossing) {
                ahead.Step();
                FillPieces(*w, [&](int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
                    pic.MergeFill(x1, y1, x2, y2, w->ColorA);
                });
            }
            for (const Wall* w : mCrossing) {
                ahead.Step();
                OutlinePieces(*w, [&](int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
                    pic.Frame(x1, y1, x2, y2, w->ColorB, gLineWidth);
                });
            }
        }
        if (under) under->Forget();
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
