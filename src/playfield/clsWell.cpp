#include "playfield/clsWell.h"

#include "graphics/modGraphic.h"
#include "main/frmMain.h"
#include "main/modMain.h"
#include "platform/Random.h"
#include "playfield/clsMan.h"

void clsWell::DrawBackground() {
    frmMain& form = MainForm();
    HDC dc = form.picMain.hDC();
    const bool won = form.mState == GameState::Won;

    COLORREF fill = gNormalColor1;
    COLORREF line = gNormalColor2;
    if (won) {
        fill = RandomColor();
        line = RandomColor();
    } else if (form.mMan && form.mMan->Hit) {
        fill = gAltColor1;
        line = gAltColor2;
    }

    const int32_t L = gWellLeft;
    const int32_t T = gWellTop;
    const int32_t R = gWellRight;
    const int32_t B = gWellBottom;
    const int32_t CW = gCellWidth;
    const int32_t CH = gCellHeight;
    const int32_t LW = gLineWidth;
    const int32_t LH = gLineHeight;

    // Late in a win the inside is left alone, so the man's trail stays.
    if (!(won && form.mStateCounter >= 30)) {
        FillRectangle(dc, L, T, R, B, fill);
        FillRectangle(dc, L - CW, B - CH, L + CW, B + CH, fill);
        FillRectangle(dc, R - CW, T - CH, R + CW, T + CH, fill);
    }

    // Well outline, open at its bottom-left and top-right cells into the two pockets.
    FillRectangle(dc, L, T, R - CW + LW, T + LH, line);
    FillRectangle(dc, L + CW, B, R + LW, B + LH, line);
    FillRectangle(dc, L, T, L + LW, B - CH + LH, line);
    FillRectangle(dc, R, T + CH, R + LW, B + LH, line);
    // Start pocket.
    FillRectangle(dc, L - CW, B - CH, L, B - CH + LH, line);
    FillRectangle(dc, L - CW, B - CH, L - CW + LW, B + CH + LH, line);
    FillRectangle(dc, L - CW, B + CH, L + CW + LW, B + CH + LH, line);
    FillRectangle(dc, L + CW, B, L + CW + LW, B + CH, line);
    // Goal pocket.
    FillRectangle(dc, R - CW, T - CH, R + CW + LW, T - CH + LH, line);
    FillRectangle(dc, R - CW, T - CH, R - CW + LW, T, line);
    FillRectangle(dc, R, T + CH, R + CW + LW, T + CH + LH, line);
    FillRectangle(dc, R + CW, T - CH, R + CW + LW, T + CH + LH, line);

    if (gWellDecoration == 40) {
        // A closed block eight cells wide standing on the well's bottom edge.
        const int32_t x0 = (gWellMarginColumns + 8) * CW;
        const int32_t y0 = (gWellMarginRows + 8) * CH;
        const int32_t yb = (gRows - gWellMarginRows) * CH;
        FillRectangle(dc, x0, y0, x0 + 8 * CW, yb, line);
        FillRectangle(dc, x0 + LW, y0 + LH, x0 + 8 * CW - LW, yb + LH, gNormalColor3);
    }
}
