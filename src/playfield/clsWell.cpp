#include "playfield/clsWell.h"

#include "main/frmMain.h"
#include "main/modMain.h"
#include "platform/Random.h"
#include "playfield/Backdrop.h"
#include "playfield/clsMan.h"

void clsWell::DrawBackground() {
    frmMain& form = MainForm();
    QueueBackground(*form.mBackdrop);
    form.mBackdrop->Paint(form.picMain.hDC());
}

void clsWell::QueueBackground(Backdrop& into) {
    frmMain& form = MainForm();
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
        into.Add(L, T, R, B, fill);
        into.Add(L - CW, B - CH, L + CW, B + CH, fill);
        into.Add(R - CW, T - CH, R + CW, T + CH, fill);
    }

    // Well outline, open at its bottom-left and top-right cells into the two pockets.
    into.Add(L, T, R - CW + LW, T + LH, line);
    into.Add(L + CW, B, R + LW, B + LH, line);
    into.Add(L, T, L + LW, B - CH + LH, line);
    into.Add(R, T + CH, R + LW, B + LH, line);
    // Start pocket.
    into.Add(L - CW, B - CH, L, B - CH + LH, line);
    into.Add(L - CW, B - CH, L - CW + LW, B + CH + LH, line);
    into.Add(L - CW, B + CH, L + CW + LW, B + CH + LH, line);
    into.Add(L + CW, B, L + CW + LW, B + CH, line);
    // Goal pocket.
    into.Add(R - CW, T - CH, R + CW + LW, T - CH + LH, line);
    into.Add(R - CW, T - CH, R - CW + LW, T, line);
    into.Add(R, T + CH, R + CW + LW, T + CH + LH, line);
    into.Add(R + CW, T - CH, R + CW + LW, T + CH + LH, line);

    if (gWellDecoration == 40) {
        // A closed block eight cells wide standing on the well's bottom edge.
        const int32_t x0 = (gWellMarginColumns + 8) * CW;
        const int32_t y0 = (gWellMarginRows + 8) * CH;
        const int32_t yb = (gRows - gWellMarginRows) * CH;
        into.Add(x0, y0, x0 + 8 * CW, yb, line);
        into.Add(x0 + LW, y0 + LH, x0 + 8 * CW - LW, yb + LH, gNormalColor3);
    }
}
