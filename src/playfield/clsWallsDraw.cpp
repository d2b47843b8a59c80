// Wall drawing: the outline style, mixed with what lies beneath, and the solid style with a
// shadow one line to the lower right.
#include "graphics/modGraphic.h"
#include "main/frmMain.h"
#include "main/modMain.h"
#include "playfield/clsWalls.h"

// Outlines of one wall, as its two pieces when it is wrapped. The lower piece of a Y-wrapped
// wall is framed past the picture's bottom, so its bottom edge never shows.
void clsWalls::DrawOutlines(HDC hdc, const Wall& w) const {
    const int32_t lw = gLineWidth;
    const int32_t lh = gLineHeight;
    const int32_t W = gCellWidth * gColumns;
    const int32_t H = gCellHeight * gRows;
    if (w.X2 < w.X1) {
        FrameRectangle(hdc, 0, w.Y1, w.X2, w.Y2, w.ColorB, lw);
        FrameRectangle(hdc, w.X1, w.Y1, W + lw, w.Y2, w.ColorB, lw);
    } else if (w.Y2 < w.Y1) {
        FrameRectangle(hdc, w.X1, 0, w.X2, w.Y2, w.ColorB, lw);
        FrameRectangle(hdc, w.X1, w.Y1, w.X2, H + w.Y2 + lh, w.ColorB, lw);
    } else {
        FrameRectangle(hdc, w.X1, w.Y1, w.X2, w.Y2, w.ColorB, lw);
    }
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

void clsWalls::DrawFills(HDC hdc, const Wall& w) const {
    const int32_t lw = gLineWidth;
    const int32_t lh = gLineHeight;
    if (w.X2 < w.X1) {
        FillRectangle(hdc, lw, w.Y1 + lh, w.X2 - lw, w.Y2 - lh, w.ColorA);
        FillRectangle(hdc, w.X1 + lw, w.Y1 + lh, gCellWidth * gColumns, w.Y2 - lh, w.ColorA);
    } else if (w.Y2 < w.Y1) {
        FillRectangle(hdc, w.X1 + lw, lh, w.X2 - lw, w.Y2 - lh, w.ColorA);
        FillRectangle(hdc, w.X1 + lw, w.Y1 + lh, w.X2 - lw, gCellHeight * gRows, w.ColorA);
    } else {
        FillRectangle(hdc, w.X1 + lw, w.Y1 + lh, w.X2 - lw, w.Y2 - lh, w.ColorA);
    }
}

void clsWalls::Draw() {
    HDC hdc = MainForm().picMain.hDC();
    if (GetROP2(hdc) != R2_COPYPEN) {
        DrawBackground();
        DrawForeground();
        return;
    }
    if (gSolid) {
        DrawSolid(hdc);
        return;
    }
    // Every outline the background mixes in is copied over by the foreground's, and nothing
    // reads the picture in between: only the fills need mixing.
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

// One layer of a solid wall over each of its pieces (two when it is wrapped): the shadow moves
// the near edges in by a line (lead 1), the face the far edges (trail 1).
void FillSolidPieces(HDC hdc, int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t lead,
                     int32_t trail, COLORREF color) {
    const int32_t lw = gLineWidth;
    const int32_t lh = gLineHeight;
    auto piece = [&](int32_t px1, int32_t py1, int32_t px2, int32_t py2) {
        FillRectangle(hdc, px1 + lead * lw, py1 + lead * lh, px2 - trail * lw, py2 - trail * lh,
                      color);
    };
    if (x2 < x1) {
        piece(0, y1, x2, y2);
        piece(x1, y1, gCellWidth * gColumns + lw, y2);
    } else if (y2 < y1) {
        piece(x1, 0, x2, y2);
        piece(x1, y1, x2, gCellHeight * gRows + lh);
    } else {
        piece(x1, y1, x2, y2);
    }
}

// The part of a shadow its own face leaves showing: a line down the right and along the bottom
// of each piece. Where a piece is too small for that to hold, the whole shadow is filled.
void ShadowEdges(HDC hdc, int32_t x1, int32_t y1, int32_t x2, int32_t y2, COLORREF color) {
    const int32_t lw = gLineWidth;
    const int32_t lh = gLineHeight;
    auto piece = [&](int32_t px1, int32_t py1, int32_t px2, int32_t py2) {
        if (px2 - lw < px1 + lw || py2 - lh < py1 + lh) {
            FillRectangle(hdc, px1 + lw, py1 + lh, px2, py2, color);
            return;
        }
        FillRectangle(hdc, px2 - lw, py1 + lh, px2, py2, color);
        FillRectangle(hdc, px1 + lw, py2 - lh, px2 - lw, py2, color);
    };
    if (x2 < x1) {
        piece(0, y1, x2, y2);
        piece(x1, y1, gCellWidth * gColumns + lw, y2);
    } else if (y2 < y1) {
        piece(x1, 0, x2, y2);
        piece(x1, y1, x2, gCellHeight * gRows + lh);
    } else {
        piece(x1, y1, x2, y2);
    }
}

}  // namespace

void clsWalls::DrawSolid(HDC hdc) {
    // As DrawBackground's solid style. Only fills in copying mode, and each face covers its own
    // shadow but for the edges, which is all of the shadow that needs drawing.
    static constexpr int32_t kGroups[4][2] = {{0, -1}, {0, 1}, {-1, 0}, {1, 0}};
    for (const auto& g : kGroups) {
        const int32_t dx = g[0];
        const int32_t dy = g[1];
        for (const Wall& w : mWall) {
            if (!w.Alive || (dy != 0 ? w.DirY != dy : w.DirX != dx)) continue;
            ShadowEdges(hdc, w.X1, w.Y1, w.X2, w.Y2, w.ColorB);
        }
        for (const Wall& w : mWall) {
            if (!w.Alive || (dy != 0 ? w.DirY != dy : w.DirX != dx)) continue;
            FillSolidPieces(hdc, w.X1, w.Y1, w.X2, w.Y2, 0, 1, w.ColorA);
        }
    }
}

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
