#include "graphics/kelAnimation3.h"

#include <cmath>
#include <string>

#include "platform/Error.h"
#include "platform/Numbers.h"

namespace {

// speed = CLng((rotate + 10000) / 20000 * 10000 * limit * 2) - limit * 10000, i.e. rotate
// times limit rounded half to even. Only the speed modulo a whole cycle matters to Rotate, so
// values beyond 32 bits are folded into one cycle instead of overflowing.
int32_t Speed(double pRotate, int32_t pLimit) {
    const double cycle = static_cast<double>(pLimit) * 10000;
    double speed = std::nearbyint((pRotate + 10000) / 20000 * 10000 * pLimit * 2) - cycle;
    if (!std::isfinite(speed)) return 0;
    if (std::fabs(speed) >= 2147483647.0 && cycle != 0) speed = std::fmod(speed, cycle);
    if (std::fabs(speed) >= 2147483647.0) return 0;
    return static_cast<int32_t>(speed);
}

// Position of frame index p wrapped onto 0 .. limit - 1; an empty axis stays at 0.
int32_t FramePosition(int32_t p, int32_t limit) {
    if (limit <= 0) return 0;
    return static_cast<int32_t>(Wrap(p, limit) * 10000);
}

int32_t Advance(int32_t position, int32_t speed, int32_t limit) {
    if (limit <= 0) return position;
    return static_cast<int32_t>(
        Wrap(static_cast<int64_t>(position) + speed, static_cast<int64_t>(limit) * 10000));
}

}  // namespace

kelAnimation3::~kelAnimation3() {
    Terminate();
}

void kelAnimation3::RotateSet(double pRotateX, double pRotateY) {
    mSpeedX = Speed(pRotateX, mSpriteXLimit);
    mSpeedY = Speed(pRotateY, mSpriteYLimit);
}

void kelAnimation3::Rotate() {
    mPositionX = Advance(mPositionX, mSpeedX, mSpriteXLimit);
    mPositionY = Advance(mPositionY, mSpeedY, mSpriteYLimit);
}

void kelAnimation3::SpriteSet(int32_t pSpriteX, int32_t pSpriteY) {
    mPositionX = FramePosition(pSpriteX, mSpriteXLimit);
    mPositionY = FramePosition(pSpriteY, mSpriteYLimit);
}

void kelAnimation3::SetSpriteX(int32_t pSpriteX) {
    mPositionX = FramePosition(pSpriteX, mSpriteXLimit);
}

void kelAnimation3::SetSpriteY(int32_t pSpriteY) {
    mPositionY = FramePosition(pSpriteY, mSpriteYLimit);
}

void kelAnimation3::Refresh() {
    if (mSpriteXLimit == 0) {
        throw platform::Error(platform::kObjectError3,
                              "Sprite passed to kelAnimation did not have NumberX initialized.");
    }
    if (mSpriteYLimit == 0) {
        throw platform::Error(platform::kObjectError3,
                              "Sprite passed to kelAnimation did not have NumberY initialized.");
    }
    if (!mSprite) return;
    const int64_t width = mSprite->Width();
    const int64_t height = mSprite->Height();
    if (width % mSpriteXLimit != 0) {
        throw platform::Error(platform::kObjectError2,
                              "Can't divide bitmap width '" + std::to_string(width) +
                                  "' evenly into '" + std::to_string(mSpriteXLimit) + "' sprites.");
    }
    // The height message keeps the width message's words and names the height and NumberY.
    if (height % mSpriteYLimit != 0) {
        throw platform::Error(platform::kObjectError2,
                              "Can't divide bitmap width '" + std::to_string(height) +
                                  "' evenly into '" + std::to_string(mSpriteYLimit) + "' sprites.");
    }
    mWidth = static_cast<int32_t>(width / mSpriteXLimit);
    mHeight = static_cast<int32_t>(height / mSpriteYLimit);
}

void kelAnimation3::BitBlt(HDC pHDC, HDC pMaskHDC, int32_t pLeft, int32_t pTop) {
    StretchBlt(pHDC, pMaskHDC, pLeft, pTop, mWidth, mHeight);
}

void kelAnimation3::StretchBlt(HDC pHDC, HDC pMaskHDC, int32_t pLeft, int32_t pTop, int32_t pWidth,
                               int32_t pHeight) {
    if (!mSprite) return;
    const int32_t left = SpriteX() * mWidth;
    const int32_t top = SpriteY() * mHeight;
    HDC mask = mSprite->MaskHDC();
    HDC surface = mSprite->MainHDC();
    const bool scaled = pWidth != mWidth || pHeight != mHeight;
    auto blit = [&](HDC dest, HDC src, DWORD rop) {
        if (scaled) {
            ::StretchBlt(dest, pLeft, pTop, pWidth, pHeight, src, left, top, mWidth, mHeight, rop);
        } else {
            ::BitBlt(dest, pLeft, pTop, mWidth, mHeight, src, left, top, rop);
        }
    };
    if (pMaskHDC != nullptr) blit(pMaskHDC, mask, SRCAND);
    blit(pHDC, mask, SRCAND);
    blit(pHDC, surface, SRCPAINT);
}

void kelAnimation3::Initialize(std::shared_ptr<kelSprite3> pSprite) {
    mSprite = std::move(pSprite);
    mSpriteXLimit = mSprite ? mSprite->NumberX : 0;
    mSpriteYLimit = mSprite ? mSprite->NumberY : 0;
    Refresh();
}

void kelAnimation3::Terminate() {
    mSprite.reset();
}

HDC kelAnimation3::MainHDC() const {
    return mSprite ? mSprite->MainHDC() : nullptr;
}

HDC kelAnimation3::MaskHDC() const {
    return mSprite ? mSprite->MaskHDC() : nullptr;
}

void kelAnimation3::SetWidth(int32_t pWidth) {
    mWidth = pWidth;
    Refresh();
}

void kelAnimation3::SetHeight(int32_t pHeight) {
    mHeight = pHeight;
    Refresh();
}

void kelAnimation3::Size(int32_t pWidth, int32_t pHeight) {
    mWidth = pWidth;
    mHeight = pHeight;
    Refresh();
}
