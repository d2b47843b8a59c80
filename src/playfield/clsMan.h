// The player's figure: position, goal, steering on the line lattice, and the per-tick drawing
// that also decides death and victory by reading the frame's pixels back.
#pragma once

#include <array>
#include <cstdint>

#include "platform/raster/gdi.h"

class clsMan {
  public:
    // Read and written by the game loop, the walls (pushing) and the well.
    bool Hit = false;
    int32_t mX = 0;
    int32_t mY = 0;
    int32_t mGoalX = 0;
    int32_t mGoalY = 0;
    bool mMovedX = false;
    bool mMovedY = false;

    // Table size for points under the brush that are not path; more are dropped.
    static constexpr int32_t kMaxTouched = 200;

    // One steering attempt: at most one line per axis between two DrawForeground calls.
    void Move();
    void DrawBackground() {}
    // Random squares around a pixel, each of the 3 x 3 lattice points with chance 1/4.
    void DrawSplotch(int32_t pX, int32_t pY);
    // Draws the man and the goal marker; sets the game form to hit (1) or won (2).
    void DrawForeground();
    // Places the man in the start pocket and the goal in the goal pocket; clears Hit.
    void Initialize();
    void Terminate() {}

    // Steering read by the last Move.
    int32_t DirX() const { return mDirX; }
    int32_t DirY() const { return mDirY; }
    // Points recorded by the last DrawForeground's touch test.
    int32_t TouchedCount() const { return mTouchCount; }
    POINT Touched(int32_t i) const { return POINT{mTouchX[i], mTouchY[i]}; }
    // Colours of the goal marker's sides: 0 top, 1 right, 2 bottom, 3 left.
    COLORREF GoalColor(int i) const { return GoalColors[i]; }
    bool Blink() const { return BlinkPhase; }

  private:
    // The three modifier pairs: right/middle mouse button, joystick 6/7, Shift/Ctrl.
    struct ButtonPairs {
        bool firstOnly = false;
        bool secondOnly = false;
        bool both = false;
    };
    static ButtonPairs ReadPairs();
    // Brush half-sizes in lines.
    static void BrushSize(const ButtonPairs& p, int32_t& sX, int32_t& sY);
    // Unit square on the playfield, and on the form's own surface as well after a win.
    void Square(int32_t x1, int32_t y1, int32_t x2, int32_t y2, COLORREF color, bool won) const;

    int32_t mDirX = 0;
    int32_t mDirY = 0;
    bool BlinkPhase = false;
    std::array<COLORREF, 4> GoalColors{};
    int32_t GoalPhase = 0;
    std::array<int32_t, kMaxTouched> mTouchX{};
    std::array<int32_t, kMaxTouched> mTouchY{};
    int32_t mTouchCount = 0;
};
