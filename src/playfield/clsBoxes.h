// Growing square outlines that mark a death, and rain down after a win. A fixed ring of slots:
// a new box takes the slot at the ring index whether it is live or not.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/raster/gdi.h"

struct Box {
    int32_t X = 0;  // left edge of the one-line square at the centre
    int32_t Y = 0;
    int32_t SizeX = 0;  // growth in line widths
    int32_t SizeY = 0;
    COLORREF Color = 0;
    bool Alive = false;
};

class clsBoxes {
  public:
    void Initialize(int32_t pBoxCount);
    void Add(int32_t pX, int32_t pY, COLORREF pColor);
    // Every live box grows by one line on every side.
    void Move();
    // Outlines mixed with what lies beneath; a box grown past 1500 pixels dies after this draw.
    void Draw();
    void Terminate() {}

    int32_t BoxCount() const { return mBoxCount; }
    int32_t LiveCount() const;
    int32_t BoxI() const { return mBoxI; }
    const Box& BoxAt(int32_t i) const { return mBox[static_cast<size_t>(i)]; }

  private:
    int32_t mBoxCount = 0;
    std::vector<Box> mBox;
    int32_t mBoxI = 0;
};
