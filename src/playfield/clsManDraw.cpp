// The man's per-tick drawing: brush, death and touch tests, goal marker, goal test, eye.
#include "graphics/modGraphic.h"
#include "input/clsJoystick.h"
#include "input/clsKeyboard.h"
#include "main/frmMain.h"
#include "main/modMain.h"
#include "platform/Numbers.h"
#include "platform/Random.h"
#include "platform/input/Keys.h"
#include "playfield/clsBoxes.h"
#include "playfield/clsMan.h"

namespace {

constexpr COLORREF kWhite = 0xFFFFFF;
constexpr COLORREF kBlack = 0;

int32_t Drop(int32_t component, int32_t by) {
    return component > by ? component - by : 0;
}

}  // namespace

// Right/middle mouse button, joystick buttons 6/7, Shift/Ctrl.
clsMan::ButtonPairs clsMan::ReadPairs() {
    const bool first[3] = {gKeyboard->KeyHold(VK_RBUTTON), gJoystick->ButtonHold(6),
                           gKeyboard->KeyHold(VK_SHIFT)};
    const bool second[3] = {gKeyboard->KeyHold(VK_MBUTTON), gJoystick->ButtonHold(7),
                            gKeyboard->KeyHold(VK_CONTROL)};
    ButtonPairs p;
    for (int i = 0; i < 3; ++i) {
        p.firstOnly = p.firstOnly || (first[i] && !second[i]);
        p.secondOnly = p.secondOnly || (second[i] && !first[i]);
        p.both = p.both || (first[i] && second[i]);
    }
    return p;
}

void clsMan::BrushSize(const ButtonPairs& p, int32_t& sX, int32_t& sY) {
    if (p.firstOnly) {
        sX = sY = 0;
    } else if (p.secondOnly) {
        sX = Int(gCellWidthLines / 2.0) - 1;
        sY = Int(gCellHeightLines / 2.0) - 1;
    } else {
        sX = sY = 1;
    }
}

void clsMan::Square(int32_t x1, int32_t y1, int32_t x2, int32_t y2, COLORREF color,
                    bool won) const {
    frmMain& form = MainForm();
    FillRectangle(form.picMain.hDC(), x1, y1, x2, y2, color);
    if (won) {
        // After a win the man may walk off the playfield, so he is drawn on the form as well.
        const int32_t l = form.picMain.Left();
        const int32_t t = form.picMain.Top();
        FillRectangle(form.hDC(), l + x1, t + y1, l + x2, t + y2, color);
    }
}

void clsMan::DrawSplotch(int32_t pX, int32_t pY) {
    const int32_t lw = gLineWidth;
    const int32_t lh = gLineHeight;
    HDC dc = MainForm().picMain.hDC();
    for (int32_t x = pX - lw; x <= pX + lw; x += lw) {
        for (int32_t y = pY - lh; y <= pY + lh; y += lh) {
            if (Rnd() < 0.25) FillRectangle(dc, x, y, x + lw, y + lh, RandomColor());
        }
    }
}

void clsMan::DrawForeground() {
    frmMain& form = MainForm();
    HDC dc = form.picMain.hDC();
    const int32_t lw = gLineWidth;
    const int32_t lh = gLineHeight;
    const COLORREF path = gNormalColor1;

    // Held buttons do not change between two checks, so one reading serves the whole call.
    const ButtonPairs pairs = ReadPairs();
    int32_t sX = 1;
    int32_t sY = 1;
    BrushSize(pairs, sX, sY);
    BlinkPhase = !BlinkPhase;

    if (Hit) {
        const COLORREF outer = BlinkPhase ? kWhite : kBlack;
        const COLORREF inner = BlinkPhase ? kBlack : kWhite;
        FillRectangle(dc, mX - lw, mY - lh, mX + 2 * lw, mY + 2 * lh, outer);
        FillRectangle(dc, mX, mY, mX + lw, mY + lh, inner);
        mMovedX = false;
        mMovedY = false;
        return;
    }

    mTouchCount = 0;

    // A wall drawn over the man since the well was repainted kills him.
    if (form.mState != GameState::Won && GetPixel(dc, mX, mY) != path) {
        const COLORREF death = gWallColorMode == 2 ? RandomColor() : gManColor3;
        form.mState = GameState::Hit;
        form.mStateCounter = 0;
        Hit = true;
        form.mBoxes->Add(mX, mY, death);
    }

    if (form.mState != GameState::Won) {
        for (int32_t x = mX - sX * lw; x <= mX + sX * lw; x += lw) {
            for (int32_t y = mY - sY * lh; y <= mY + sY * lh; y += lh) {
                // Huge cells can put more non-path points under the brush than the table holds.
                if (GetPixel(dc, x, y) != path && mTouchCount < kMaxTouched) {
                    mTouchX[static_cast<size_t>(mTouchCount)] = x;
                    mTouchY[static_cast<size_t>(mTouchCount)] = y;
                    ++mTouchCount;
                }
            }
        }
    }

    // Goal marker: a new colour enters at the top and travels clockwise one side per frame.
    GoalColors[3] = GoalColors[2];
    GoalColors[2] = GoalColors[1];
    GoalColors[1] = GoalColors[0];
    ++GoalPhase;
    switch (GoalPhase) {
        case 1:
            GoalColors[0] = 0x0000FF;
            break;
        case 2:
            GoalColors[0] = 0xFF0000;
            break;
        case 3:
            GoalColors[0] = 0x00FFFF;
            break;
        default:
            GoalColors[0] = gNormalColor2;
            GoalPhase = 0;
            break;
    }
    const int32_t gx = mGoalX;
    const int32_t gy = mGoalY;
    FillRectangle(dc, gx, gy, gx + 3 * lw, gy + lh, GoalColors[0]);
    FillRectangle(dc, gx + 2 * lw, gy, gx + 3 * lw, gy + 3 * lh, GoalColors[1]);
    FillRectangle(dc, gx, gy + 2 * lh, gx + 3 * lw, gy + 3 * lh, GoalColors[2]);
    FillRectangle(dc, gx, gy + lh, gx + lw, gy + 3 * lh, GoalColors[3]);
    FillRectangle(dc, gx + lw, gy + lh, gx + 2 * lw, gy + 2 * lh, RandomColor());

    if (form.mState != GameState::Won) {
        const bool onGoal =
            gx - lw <= mX && mX <= gx + 3 * lw && gy - lh <= mY && mY <= gy + 3 * lh;
        if (onGoal || gKeyboard->KeyDown(VK_Q)) {
            mX = gx + lw;
            mY = gy + lh;
            form.mState = GameState::Won;
            form.mStateCounter = -1;
            form.SetBackColor(kWhite);
        }
    }
    const bool won = form.mState == GameState::Won;

    COLORREF a = 0;
    COLORREF b = 0;
    if (pairs.both) {
        a = b = path;
    } else if (!gJoystick->ButtonHold(0) && !gJoystick->ButtonHold(1) &&
               !gJoystick->ButtonHold(2) && !gJoystick->ButtonHold(3)) {
        if (gWallColorMode == 2) {
            a = RandomColor();
            b = RandomColor();
        } else {
            a = gManColor1;
            b = gManColor2;
        }
    } else {
        int32_t red = gJoystick->ButtonHold(2) ? 255 : 0;
        int32_t green = gJoystick->ButtonHold(1) ? 255 : 0;
        int32_t blue = gJoystick->ButtonHold(3) ? 255 : 0;
        if (gJoystick->ButtonHold(0)) {
            red = Drop(red, 128);
            green = Drop(green, 128);
            blue = Drop(blue, 128);
        }
        a = RGB(red, green, blue);
        b = RGB(Drop(red, 64), Drop(green, 64), Drop(blue, 64));
    }

    if (sX > 0 || sY > 0) {
        Square(mX - sX * lw, mY - sY * lh, mX + sX * lw + lw, mY + sY * lh + lh, a, won);
    }
    for (int32_t i = 0; i < mTouchCount; ++i) {
        DrawSplotch(mTouchX[static_cast<size_t>(i)], mTouchY[static_cast<size_t>(i)]);
    }

    COLORREF eye = gWallColorMode == 2 ? RandomColor() : b;
    if (mTouchCount > 0 && BlinkPhase) eye = kWhite;

    if (sX == 0 && sY == 0) {
        Square(mX, mY, mX + lw, mY + lh, eye, won);
    } else {
        const int32_t ex = mX + mDirX * lw;
        const int32_t ey = mY + mDirY * lh;
        Square(ex, ey, ex + lw, ey + lh, eye, won);
        if (sX > 1 || sY > 1) {
            const int32_t fx = mX + 2 * mDirX * lw;
            const int32_t fy = mY + 2 * mDirY * lh;
            Square(fx, fy, fx + lw, fy + lh, eye, won);
        }
    }

    mMovedX = false;
    mMovedY = false;
}
