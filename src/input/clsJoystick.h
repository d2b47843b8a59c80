// One game controller through the old multimedia joystick report: up to three two-axis sticks
// scaled to [-1, 1] with dead zones, eight logical buttons with edge detection, and a mouse
// driver for menus. Without a usable device the object is dead and answers 0 / false.
#pragma once

#include <array>
#include <cstdint>

#include "platform/input/Joystick.h"

class clsJoystick {
  public:
    // True when the device answered. A dead object is never retried.
    bool Initialize(int32_t number);
    // Polls the device; does nothing when dead.
    void Check();
    // Polls as if nothing had changed since the poll before: no button edges.
    void Settle();
    const JOYCAPSA& Caps() const { return mCaps; }

    bool Dead() const { return mDead; }
    bool J1Enabled() const { return mJ1Enabled; }
    bool J2Enabled() const { return mJ2Enabled; }
    bool PadEnabled() const { return mPadEnabled; }

    int32_t Number() const { return mNumber; }
    void SetNumber(int32_t number) { mNumber = number; }

    double J1DeadZone() const { return mJ1DeadZone; }
    void SetJ1DeadZone(double zone) { mJ1DeadZone = zone; }
    double J2DeadZone() const { return mJ2DeadZone; }
    void SetJ2DeadZone(double zone) { mJ2DeadZone = zone; }

    // Screen orientation: x grows to the right, y downwards.
    double J1X() const { return mJ1X; }
    double J1Y() const { return mJ1Y; }
    double J2X() const { return mJ2X; }
    double J2Y() const { return mJ2Y; }
    double PadX() const { return mPadX; }
    double PadY() const { return mPadY; }

    // Any device button down right now.
    bool AnyKey() const;
    // Logical buttons 0..100 (only 0..7 are ever set); any other index is never down.
    bool ButtonHold(int32_t index) const;
    bool ButtonDown(int32_t index) const;
    bool ButtonUp(int32_t index) const;

    // Moves the cursor by the sticks and clicks on button 8 or 1 released.
    void JoystickMouse();

    static constexpr int32_t kButtonCount = 101;

  private:
    JOYCAPSA mCaps{};
    JOYINFOEX mInfo{};
    int32_t mNumber = 0;
    bool mJ1Enabled = false;
    double mJ1DeadZone = 0.25;
    double mJ1X = 0;
    double mJ1Y = 0;
    bool mJ2Enabled = false;
    double mJ2DeadZone = 0.25;
    double mJ2X = 0;
    double mJ2Y = 0;
    bool mPadEnabled = false;
    double mPadX = 0;
    double mPadY = 0;
    std::array<bool, kButtonCount> mButtons{};
    std::array<bool, kButtonCount> mButtonsBefore{};
    bool mDead = false;
};
