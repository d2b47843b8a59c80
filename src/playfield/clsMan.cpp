#include "playfield/clsMan.h"

#include "input/clsKeyboard.h"
#include "main/frmMain.h"
#include "main/modMain.h"
#include "platform/Numbers.h"
#include "platform/input/Keys.h"
#include "playfield/clsWalls.h"

void clsMan::Initialize() {
    Hit = false;
    mX = Nearest(Int(gCellWidthLines / 2.0) * static_cast<double>(gLineWidth) +
                 (gWellLeft - gCellWidth));
    mY = Nearest(Int(gCellHeightLines / 2.0) * static_cast<double>(gLineHeight) + gWellBottom);
    mGoalX = Nearest(Int(gCellWidthLines / 2.0) * static_cast<double>(gLineWidth) + gWellRight -
                     gLineWidth);
    mGoalY = Nearest(Int(gCellHeightLines / 2.0) * static_cast<double>(gLineHeight) +
                     (gWellTop - gCellHeight) - gLineHeight);
}

void clsMan::Move() {
    // Left then right, up then down: with both keys of an axis held the second one wins.
    mDirX = 0;
    if (gKeyboard->KeyHold(VK_LEFT) || gKeyboard->KeyHold(VK_A)) mDirX = -1;
    if (gKeyboard->KeyHold(VK_RIGHT) || gKeyboard->KeyHold(VK_D)) mDirX = 1;
    mDirY = 0;
    if (gKeyboard->KeyHold(VK_UP) || gKeyboard->KeyHold(VK_W)) mDirY = -1;
    if (gKeyboard->KeyHold(VK_DOWN) || gKeyboard->KeyHold(VK_S)) mDirY = 1;

    frmMain& form = MainForm();
    const int32_t lw = gLineWidth;
    const int32_t lh = gLineHeight;

    if (form.mState == GameState::Won) {
        // Free walk after a win: anywhere on the screen but its outer lines.
        const int32_t px = Nearest(static_cast<double>(form.picMain.Left()) + mX + mDirX * lw);
        const int32_t py = Nearest(static_cast<double>(form.picMain.Top()) + mY + mDirY * lh);
        if (lw < px && px < gScreenWidth - 2 * lw) {
            mMovedX = true;
            mX += mDirX * lw;
        }
        if (lh < py && py < gScreenHeight - 2 * lh) {
            mMovedY = true;
            mY += mDirY * lh;
        }
        return;
    }

    // Each probe is asked once every earlier test has failed, whatever its own conditions say:
    // the old logic evaluated the whole condition without short-circuiting.
    clsWalls& walls = *form.mWalls;
    const bool diagonalAllowed = mDirX != 0 && mDirY != 0 && !mMovedX && !mMovedY;
    int32_t sx = 0;
    int32_t sy = 0;
    bool free = !walls.ManCollide(mX + mDirX * lw, mY + mDirY * lh);
    if (diagonalAllowed && free) {
        sx = mDirX;
        sy = mDirY;
    } else {
        free = !walls.ManCollide(mX + 2 * mDirX * lw, mY + 2 * mDirY * lh);
        if (diagonalAllowed && free) {
            sx = 2 * mDirX;
            sy = 2 * mDirY;
        } else {
            free = !walls.ManCollide(mX + mDirX * lw, mY);
            if (mDirX != 0 && !mMovedX && free) {
                sx = mDirX;
            } else {
                free = !walls.ManCollide(mX, mY + mDirY * lh);
                if (mDirY != 0 && !mMovedY && free) sy = mDirY;
            }
        }
    }

    if (sx != 0) {
        mMovedX = true;
        mX += sx * lw;
    }
    if (sy != 0) {
        mMovedY = true;
        mY += sy * lh;
    }
}
