// The game loop: one pass per tick inside the first tick of the form's timer.
#include "graphics/modGraphic.h"
#include "input/clsJoystick.h"
#include "input/clsKeyboard.h"
#include "main/frmMain.h"
#include "main/modMain.h"
#include "platform/Numbers.h"
#include "platform/Random.h"
#include "platform/headless/FrameFile.h"
#include "platform/input/Cursor.h"
#include "platform/input/Keys.h"
#include "platform/window/Application.h"
#include "playfield/Backdrop.h"
#include "playfield/clsBoxes.h"
#include "playfield/clsMan.h"
#include "playfield/clsWalls.h"
#include "playfield/clsWell.h"

namespace {
constexpr int32_t kFlashEnd = 14;
constexpr int32_t kCounterCap = 32000;
constexpr int32_t kWonTickMs = 16;
constexpr int32_t kWonBoxPeriod = 15;
constexpr double kWonCellBoxChance = 0.05;
constexpr int32_t kWonManTwice = 20;
constexpr int32_t kWonBorderEnd = 175;
constexpr int32_t kWonStill = 300;
constexpr int32_t kWonEscape = 400;
constexpr int32_t kGiveUpMs = 10;

int32_t SubSteps() {
    return Int(gSpeedFactor + 1);
}
}  // namespace

void frmMain::tmrMain_Timer() {
    tmrMain.SetEnabled(false);
    mState = GameState::Playing;
    mStateCounter = 0;
    Show();
    CentreFromScreen();
    CursorHide();
    if (Hooks.loopStarts) Hooks.loopStarts();
    uint64_t passes = 0;
    while (mState != GameState::Over) {
        OnePass();
        ++passes;
        if (Hooks.passEnded) Hooks.passEnded(passes);
    }
    if (Hooks.ended) Hooks.ended(passes, platform::FrameHash(*picMain.image()));
    CursorShow();
    SetCursorPos(mSavedCursor.x, mSavedCursor.y);
    Unload();
}

void frmMain::CentreFromScreen() {
    mCentreX = Int(gScreenWidth / 2.0);
    mCentreY = Int(gScreenHeight / 2.0);
}

void frmMain::OnePass() {
    if (OnPassStart) OnPassStart();
    PassWork();
    if (OnPassWorkDone) OnPassWorkDone();
    picMain.Refresh();
    const int32_t tick = gFrameMs;
    platform::DoEvents();
    WaitForFrame(mNextFrameTime, tick, kGiveUpMs);
    if (gKeyboard->KeyUp(VK_ESCAPE) || gJoystick->ButtonUp(4) || gJoystick->ButtonUp(5)) {
        mState = GameState::Over;
    }
    if (OnPassEnd) OnPassEnd();
}

void frmMain::PassWork() {
    gKeyboard->Check();
    gJoystick->Check();
    ApplyJoystickSteering();
    if (mStateCounter > kFlashEnd) ApplyMouseSteering();
    if (mStateCounter < kCounterCap) ++mStateCounter;

    switch (mState) {
        case GameState::Playing:
            PlayingWork();
            break;
        case GameState::Hit:
            HitWork();
            break;
        case GameState::Won:
            WonWork();
            break;
        default:
            break;
    }

    const int32_t w = picMain.ScaleWidth();
    const int32_t h = picMain.ScaleHeight();
    COLORREF border;
    if (mState == GameState::Won)
        border = RandomColor();
    else
        border = mMan->Hit ? gAltColor4 : gNormalColor4;
    if (!(mState == GameState::Won && mStateCounter >= kWonBorderEnd)) {
        FrameRectangle(picMain.hDC(), 0, 0, w, h, border, gLineWidth);
    }
}

void frmMain::FillPlayfield(COLORREF color) {
    const int32_t w = picMain.ScaleWidth(), h = picMain.ScaleHeight();
    const int32_t l = gWellLeft, t = gWellTop, r = gWellRight, b = gWellBottom;
    Backdrop& under = *mBackdrop;
    // Both callers have the well paint its whole inside straight after this, so that part of
    // the picture is left to it: the same pixels, a third of the writing on large screens.
    if (l < 0 || t < 0 || r > w || b > h || l >= r || t >= b) {
        under.Add(0, 0, w, h, color);
        return;
    }
    under.Add(0, 0, w, t, color);
    under.Add(0, b, w, h, color);
    under.Add(0, t, l, b, color);
    under.Add(r, t, w, b, color);
}

void frmMain::CentreCursor() {
    SetCursorPos(mCentreX, mCentreY);
}

void frmMain::PlayingWork() {
    if (mStateCounter < kFlashEnd) {
        // The start flash: odd counts a random colour, even ones the normal fill.
        FillPlayfield(mStateCounter % 2 == 0 ? gNormalColor3 : RandomColor());
    } else {
        FillPlayfield(mMan->Hit ? gAltColor3 : gNormalColor3);
    }
    if (mStateCounter == kFlashEnd) CentreCursor();
    mWell->QueueBackground(*mBackdrop);
    mBoxes->Move();
    mMan->Move();
    const int32_t n = SubSteps();
    for (int32_t i = 1; i <= n; ++i) {
        mWalls->Move(i);
        mWalls->WallCollide(i);
        mMan->Move();
    }
    mMan->DrawBackground();  // nothing: so the walls' two layers can go in one call
    mWalls->Draw(mBackdrop.get());
    mMan->DrawForeground();
    mBoxes->Draw();
}

void frmMain::HitWork() {
    const int32_t l = gCellWidthLines;
    FillPlayfield(mMan->Hit ? gAltColor3 : gNormalColor3);
    if (mStateCounter == l + 1) {
        const COLORREF color = gWallColorMode == 2 ? RandomColor() : gManColor3;
        mBoxes->Add(mMan->mX, mMan->mY, color);
        mWalls->Move(1);
    }
    mWell->QueueBackground(*mBackdrop);
    mBoxes->Move();
    mMan->DrawBackground();  // nothing: so the walls' two layers can go in one call
    mWalls->Draw(mBackdrop.get());
    mMan->DrawForeground();
    mBoxes->Draw();
    if (mStateCounter == 2 * l) {
        mMan->Initialize();
        mWalls->RemoveRandom();
        mState = GameState::Playing;
        mStateCounter = kFlashEnd;
        if (gWallColorMode == 2) {
            gAltColor1 = RandomColor();
            gAltColor2 = RandomColor();
            gAltColor3 = RandomColor();
            gAltColor4 = RandomColor();
        }
        CentreCursor();
    }
}

void frmMain::WonWork() {
    gFrameMs = kWonTickMs;
    if (mStateCounter % kWonBoxPeriod == 0) {
        const int32_t x = mMan->mX;
        const int32_t y = mMan->mY;
        mBoxes->Add(x, y, RandomColor());
    }
    if (Rnd() < kWonCellBoxChance) {
        const int32_t x =
            Int(Rnd() * gColumns) * gCellWidth + Int(gCellWidthLines / 2.0) * gLineWidth;
        const int32_t y =
            Int(Rnd() * gRows) * gCellHeight + Int(gCellHeightLines / 2.0) * gLineHeight;
        mBoxes->Add(x, y, RandomColor());
    }
    const bool moving = mStateCounter < kWonStill;
    if (moving) mWell->DrawBackground();
    mBoxes->Move();
    mMan->Move();
    if (moving) {
        const int32_t n = SubSteps();
        for (int32_t i = 1; i <= n; ++i)
            mWalls->Move(i);
    }
    if (mStateCounter >= kWonManTwice) mMan->Move();
    mMan->DrawBackground();
    if (moving) mWalls->Draw();
    mBoxes->Draw();
    mMan->DrawForeground();
    if (mStateCounter == kWonEscape) gKeyboard->SetKeyDown(VK_ESCAPE, true);
}
