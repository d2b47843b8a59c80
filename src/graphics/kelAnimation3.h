// Plays a sprite sheet: a kelSprite3 sprite cut into NumberX x NumberY equal frames. The current
// column and row are fixed-point positions (frame x 10000) that wrap around independently.
#pragma once

#include <cstdint>
#include <memory>

#include "graphics/kelSprite3.h"
#include "platform/raster/gdi.h"

class kelAnimation3 {
  public:
    kelAnimation3() = default;
    ~kelAnimation3();
    kelAnimation3(const kelAnimation3&) = delete;
    kelAnimation3& operator=(const kelAnimation3&) = delete;

    // Speeds in ten-thousandths of a full cycle per Rotate: on 4 columns 2500 is one column.
    void RotateSet(double pRotateX, double pRotateY);
    void Rotate();
    // Selects a frame; indices wrap around the sheet in both directions.
    void SpriteSet(int32_t pSpriteX, int32_t pSpriteY);
    // Checks the sheet and takes the frame size from it.
    void Refresh();
    // The current frame with transparency; pMaskHDC (if any) receives its opaque pixels.
    void BitBlt(HDC pHDC, HDC pMaskHDC, int32_t pLeft, int32_t pTop);
    void StretchBlt(HDC pHDC, HDC pMaskHDC, int32_t pLeft, int32_t pTop, int32_t pWidth,
                    int32_t pHeight);
    void Initialize(std::shared_ptr<kelSprite3> pSprite);
    void Terminate();

    int32_t SpriteXLimit() const { return mSpriteXLimit; }
    int32_t SpriteYLimit() const { return mSpriteYLimit; }
    int32_t SpriteX() const { return mPositionX / 10000; }
    void SetSpriteX(int32_t pSpriteX);
    int32_t SpriteY() const { return mPositionY / 10000; }
    void SetSpriteY(int32_t pSpriteY);
    HDC MainHDC() const;
    HDC MaskHDC() const;
    int32_t Width() const { return mWidth; }
    void SetWidth(int32_t pWidth);
    int32_t Height() const { return mHeight; }
    void SetHeight(int32_t pHeight);
    void Size(int32_t pWidth, int32_t pHeight);

  private:
    std::shared_ptr<kelSprite3> mSprite;
    int32_t mSpriteXLimit = 0;
    int32_t mSpriteYLimit = 0;
    int32_t mPositionX = 0;
    int32_t mPositionY = 0;
    int32_t mSpeedX = 0;
    int32_t mSpeedY = 0;
    int32_t mWidth = 0;
    int32_t mHeight = 0;
};
