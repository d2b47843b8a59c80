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

void clsWalls::DrawBackground() {
    HDC hdc = MainForm().picMain.hDC();
    const int32_t lw = gLineWidth;
    const int32_t lh = gLineHeight;
    const int32_t W = gCellWidth * gColumns;
    const int32_t H = gCellHeight * gRows;

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
        DrawOutlines(hdc, w);
        if (w.X2 < w.X1) {
            FillRectangle(hdc, lw, w.Y1 + lh, w.X2 - lw, w.Y2 - lh, w.ColorA);
            FillRectangle(hdc, w.X1 + lw, w.Y1 + lh, W, w.Y2 - lh, w.ColorA);
        } else if (w.Y2 < w.Y1) {
            FillRectangle(hdc, w.X1 + lw, lh, w.X2 - lw, w.Y2 - lh, w.ColorA);
            FillRectangle(hdc, w.X1 + lw, w.Y1 + lh, w.X2 - lw, H, w.ColorA);
        } else {
            FillRectangle(hdc, w.X1 + lw, w.Y1 + lh, w.X2 - lw, w.Y2 - lh, w.ColorA);
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

void clsWalls::DrawSolidBackground(int32_t pX1, int32_t pY1, int32_t pX2, int32_t pY2,
                                   COLORREF pColorA, COLORREF pColorB) {
    (void)pColorA;
    HDC hdc = MainForm().picMain.hDC();
    const int32_t lw = gLineWidth;
    const int32_t lh = gLineHeight;
    if (pX2 < pX1) {
        FillRectangle(hdc, lw, pY1 + lh, pX2, pY2, pColorB);
        FillRectangle(hdc, pX1 + lw, pY1 + lh, gCellWidth * gColumns + lw, pY2, pColorB);
    } else if (pY2 < pY1) {
        FillRectangle(hdc, pX1 + lw, lh, pX2, pY2, pColorB);
        FillRectangle(hdc, pX1 + lw, pY1 + lh, pX2, gCellHeight * gRows + lh, pColorB);
    } else {
        FillRectangle(hdc, pX1 + lw, pY1 + lh, pX2, pY2, pColorB);
    }
}

void clsWalls::DrawSolidForeground(int32_t pX1, int32_t pY1, int32_t pX2, int32_t pY2,
                                   COLORREF pColorA, COLORREF pColorB) {
    (void)pColorB;
    HDC hdc = MainForm().picMain.hDC();
    const int32_t lw = gLineWidth;
    const int32_t lh = gLineHeight;
    if (pX2 < pX1) {
        FillRectangle(hdc, 0, pY1, pX2 - lw, pY2 - lh, pColorA);
        FillRectangle(hdc, pX1, pY1, gCellWidth * gColumns, pY2 - lh, pColorA);
    } else if (pY2 < pY1) {
        FillRectangle(hdc, pX1, 0, pX2 - lw, pY2 - lh, pColorA);
        FillRectangle(hdc, pX1, pY1, pX2 - lw, gCellHeight * gRows, pColorA);
    } else {
        FillRectangle(hdc, pX1, pY1, pX2 - lw, pY2 - lh, pColorA);
    }
}
