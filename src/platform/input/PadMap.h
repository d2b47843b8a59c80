// A game controller or a plain joystick as the old multimedia joystick report: axes 0..65535
// centred at 32767/32768, the hat in hundredths of a degree clockwise from up. Every back end
// with controllers maps them here, so a pad steers the same on the desktop and in a browser.
#pragma once

#include <cstdint>

#include "platform/input/Joystick.h"

namespace platform {

// A controller's axes and buttons by position (SDL's game-controller numbering, which the
// browsers' standard gamepad layout also has).
constexpr int kPadLeftX = 0, kPadLeftY = 1, kPadRightX = 2, kPadRightY = 3, kPadTriggerLeft = 4,
              kPadTriggerRight = 5;
constexpr int kPadAxes = 6;
constexpr int kPadA = 0, kPadB = 1, kPadX = 2, kPadY = 3, kPadBack = 4, kPadGuide = 5,
              kPadStart = 6, kPadLeftStick = 7, kPadRightStick = 8, kPadLeftShoulder = 9,
              kPadRightShoulder = 10, kPadDpadUp = 11, kPadDpadDown = 12, kPadDpadLeft = 13,
              kPadDpadRight = 14;
constexpr int kPadButtons = 32;  // room for every button a controller mapping names

// Hat directions as bits.
constexpr uint8_t kHatCentered = 0, kHatUp = 1, kHatRight = 2, kHatDown = 4, kHatLeft = 8;

// A game controller with a mapping: axes -32768..32767 (triggers 0..32767).
struct PadState {
    int16_t axes[kPadAxes] = {};
    bool buttons[kPadButtons] = {};
};

// A joystick without a controller mapping: axes in report order (X, Y, Z, R, U, V), the
// first hat and the buttons as bits.
struct StickState {
    int numAxes = 0;
    int16_t axes[6] = {};
    int numHats = 0;
    uint8_t hat = kHatCentered;
    int numButtons = 0;
    uint32_t buttons = 0;
};

uint32_t AxisPosition(int16_t value);
// Both triggers on one axis: the left pulls towards 65535, the right towards 0.
uint32_t TriggerPosition(int16_t left, int16_t right);
uint32_t PovOfHat(uint8_t hat);

// Sticks on X/Y and U (x), R (y); triggers on Z; d-pad as the hat; buttons 1-8 = A, B, X, Y,
// shoulders, back, start (9 and 10: the stick clicks).
JOYINFOEX PadReport(const PadState& pad);
JOYCAPSA PadCaps(const char* name);

JOYINFOEX StickReport(const StickState& stick);
JOYCAPSA StickCaps(const char* name, const StickState& stick);

}  // namespace platform
