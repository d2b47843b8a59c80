// The game form: one instance for the whole run, reused by every game. Its public members are
// read and written by the playfield objects.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/raster/gdi.h"
#include "platform/window/PictureBox.h"

class clsWalls;
class clsMan;
class clsBoxes;
class clsWell;

class frmMain {
  public:
    frmMain();
    ~frmMain();
    frmMain(const frmMain&) = delete;
    frmMain& operator=(const frmMain&) = delete;

    // 0 playing, 1 man hit, 2 game won, 4 game over.
    int16_t mState = 0;
    int32_t mStateCounter = 0;
    std::unique_ptr<clsWalls> mWalls;
    std::unique_ptr<clsMan> mMan;
    std::unique_ptr<clsBoxes> mBoxes;

    // The playfield: all game drawing goes to picMain.hDC().
    platform::PictureBox picMain;

    clsWell* Well() const { return mWell.get(); }

    // The form's own surface, drawn on after a win. Until the window system owns the form this
    // is the playfield's context.
    HDC hDC() const;

    // The form's back colour (white after a win). Once the form has its own surface, setting it
    // clears that surface, as for any form.
    void SetBackColor(COLORREF color) { backColor_ = color; }
    COLORREF BackColor() const { return backColor_; }

    std::unique_ptr<clsWell> mWell;
    POINT mSavedCursor{};
    POINT mCursor{};

  private:
    COLORREF backColor_ = RGB(255, 255, 255);
};

// The single game-form instance.
frmMain& MainForm();
