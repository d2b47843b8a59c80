#include "playfield/clsBoxes.h"

#include "graphics/modGraphic.h"
#include "main/frmMain.h"
#include "main/modMain.h"

void clsBoxes::Initialize(int32_t pBoxCount) {
    mBoxCount = pBoxCount > 0 ? pBoxCount : 0;
    mBox.assign(static_cast<size_t>(mBoxCount), Box{});
    mBoxI = 0;
}

void clsBoxes::Add(int32_t pX, int32_t pY, COLORREF pColor) {
    if (mBoxCount == 0) return;
    Box& b = mBox[static_cast<size_t>(mBoxI)];
    b.X = pX;
    b.Y = pY;
    b.SizeX = 1;
    b.SizeY = 1;
    b.Color = pColor;
    b.Alive = true;
    ++mBoxI;
    if (mBoxI > mBoxCount - 1) mBoxI = 0;
}

void clsBoxes::Move() {
    for (Box& b : mBox) {
        if (!b.Alive) continue;
        ++b.SizeX;
        ++b.SizeY;
    }
}

void clsBoxes::Draw() {
    frmMain& form = MainForm();
    const bool won = form.mState == GameState::Won;
    HDC pic = form.picMain.hDC();
    // The form's own image is drawn on only after a win; asking for it would send it again.
    HDC own = won ? form.hDC() : nullptr;
    const int32_t lw = gLineWidth;
    const int32_t lh = gLineHeight;
    const int32_t l = form.picMain.Left();
    const int32_t t = form.picMain.Top();

    // Pen OR NOT destination: over white the box keeps its colour, over black it shows white.
    const int oldPic = SetROP2(pic, R2_MERGEPENNOT);
    const int oldOwn = own ? SetROP2(own, R2_MERGEPENNOT) : 0;
    for (Box& b : mBox) {
        if (!b.Alive) continue;
        const int32_t x1 = b.X - b.SizeX * lw;
        const int32_t y1 = b.Y - b.SizeY * lh;
        const int32_t x2 = b.X + (b.SizeX + 1) * lw;
        const int32_t y2 = b.Y + (b.SizeY + 1) * lh;
        FrameRectangle(pic, x1, y1, x2, y2, b.Color, lw);
        if (won) FrameRectangle(own, l + x1, t + y1, l + x2, t + y2, b.Color, lw);
        if (lw * b.SizeX > 1500) b.Alive = false;
    }
    // The form's context first: until the form has its own surface both are the same one.
    if (own) SetROP2(own, oldOwn);
    SetROP2(pic, oldPic);
}

int32_t clsBoxes::LiveCount() const {
    int32_t n = 0;
    for (const Box& b : mBox)
        n += b.Alive ? 1 : 0;
    return n;
}
