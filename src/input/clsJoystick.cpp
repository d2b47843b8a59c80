#include "input/clsJoystick.h"

#include <cmath>

#include "platform/Numbers.h"
#include "platform/input/Cursor.h"

namespace {
constexpr double kDiagonal = 0.707106781186547;

// Axis report scaled to [-1, 1]; a device that claims a maximum of 0 reads as centred
// instead of dividing by zero.
double Scale(uint32_t pos, uint32_t max) {
    if (max == 0) return 0.0;
    return 2.0 * static_cast<double>(pos) / static_cast<double>(max) - 1.0;
}

void ApplyDeadZone(double& x, double& y, double zone) {
    if (std::sqrt(x * x + y * y) < zone) {
        x = 0;
        y = 0;
    }
}

struct HatDirection {
    uint32_t pov;
    double x, y;
};
// Hundredths of a degree clockwise from up; anything else is centred.
constexpr HatDirection kHat[] = {
    {0, 0, -1},    {4500, kDiagonal, -kDiagonal},  {9000, 1, 0},   {13500, kDiagonal, kDiagonal},
    {18000, 0, 1}, {22500, -kDiagonal, kDiagonal}, {27000, -1, 0}, {31500, -kDiagonal, -kDiagonal},
};

void HatToPad(uint32_t pov, double& x, double& y) {
    x = 0;
    y = 0;
    for (const HatDirection& h : kHat) {
        if (h.pov == pov) {
            x = h.x;
            y = h.y;
            return;
        }
    }
}
}  // namespace

bool clsJoystick::Initialize(int32_t number) {
    if (mDead) return false;
    mDead = true;
    mNumber = number;
    if (number < 0) return false;
    if (joyGetDevCapsA(static_cast<uint32_t>(number), &mCaps, sizeof(mCaps)) != JOYERR_NOERROR) {
        return false;
    }
    mDead = false;
    Check();
    mJ1Enabled = true;
    mJ1DeadZone = 0.25;
    mJ1X = mJ1Y = 0;
    mJ2Enabled = (mCaps.wCaps & JOYCAPS_HASR) != 0 && (mCaps.wCaps & JOYCAPS_HASU) != 0;
    mJ2DeadZone = 0.25;
    mJ2X = mJ2Y = 0;
    mPadEnabled = (mCaps.wCaps & JOYCAPS_HASPOV) != 0;
    mPadX = mPadY = 0;
    Check();
    return true;
}

void clsJoystick::Check() {
    if (mDead) return;
    mInfo.dwSize = 64;
    mInfo.dwFlags = JOY_RETURNALL;
    mButtonsBefore = mButtons;
    // A failed poll leaves the last report in place; it is evaluated again.
    joyGetPosEx(static_cast<uint32_t>(mNumber), &mInfo);

    const uint32_t b = mInfo.dwButtons;
    mButtons[0] = (b & 0x08) != 0;
    mButtons[1] = (b & 0x01) != 0;
    mButtons[2] = (b & 0x02) != 0;
    mButtons[3] = (b & 0x04) != 0;
    mButtons[4] = (b & 0x40) != 0;
    mButtons[5] = (b & 0x80) != 0;
    // The trigger axis doubles as two buttons, read as the old signed 32-bit value.
    const int32_t z = static_cast<int32_t>(mInfo.dwZpos);
    mButtons[6] = z > 32767;
    mButtons[7] = z < 32767;

    if (mJ1Enabled) {
        mJ1X = Scale(mInfo.dwXpos, mCaps.wXmax);
        mJ1Y = Scale(mInfo.dwYpos, mCaps.wYmax);
        ApplyDeadZone(mJ1X, mJ1Y, mJ1DeadZone);
    }
    if (mJ2Enabled) {
        mJ2X = Scale(mInfo.dwUpos, mCaps.wUmax);
        mJ2Y = Scale(mInfo.dwRpos, mCaps.wRmax);
        ApplyDeadZone(mJ2X, mJ2Y, mJ2DeadZone);
    }
    if (mPadEnabled) HatToPad(mInfo.dwPOV, mPadX, mPadY);
}

void clsJoystick::Settle() {
    if (mDead) return;
    Check();
    mButtonsBefore = mButtons;
}

bool clsJoystick::AnyKey() const {
    if (mDead) return false;
    return static_cast<int32_t>(mInfo.dwButtons) >= 1;
}

bool clsJoystick::ButtonHold(int32_t index) const {
    if (mDead || index < 0 || index >= kButtonCount) return false;
    return mButtons[index];
}

bool clsJoystick::ButtonDown(int32_t index) const {
    if (mDead || index < 0 || index >= kButtonCount) return false;
    return mButtons[index] && !mButtonsBefore[index];
}

bool clsJoystick::ButtonUp(int32_t index) const {
    if (mDead || index < 0 || index >= kButtonCount) return false;
    return mButtonsBefore[index] && !mButtons[index];
}

void clsJoystick::JoystickMouse() {
    if (mDead) return;
    const int32_t dx = Nearest((mJ2X + mJ1X + mPadX) * 10);
    const int32_t dy = Nearest((mJ2Y + mJ1Y + mPadY) * 10);
    if (dx != 0 || dy != 0) {
        POINT p{};
        GetCursorPos(&p);
        SetCursorPos(p.x + dx, p.y + dy);
    }
    if (ButtonUp(5) || ButtonUp(1)) {
        mouse_event(MOUSEEVENTF_LEFTDOWN, 0, 0, 0, 0);
        mouse_event(MOUSEEVENTF_LEFTUP, 0, 0, 0, 0);
    }
}
