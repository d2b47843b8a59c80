// A game controller or a plain joystick as the old multimedia joystick report: axes 0..65535
// centred at 32767/32768, the hat in hundredths of a degree clockwise from up.
#pragma once

#include <SDL.h>

#include <cstdint>

#include "platform/input/Joystick.h"

namespace platform::sdl {

// A game controller as SDL's mapping sees it.
struct PadState {
    int16_t axes[SDL_CONTROLLER_AXIS_MAX] = {};
    bool buttons[SDL_CONTROLLER_BUTTON_MAX] = {};
};

// A joystick without a controller mapping: axes in report order (X, Y, Z, R, U, V), the
// first hat and the buttons as bits.
struct StickState {
    int numAxes = 0;
    int16_t axes[6] = {};
    int numHats = 0;
    uint8_t hat = SDL_HAT_CENTERED;
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

}  // namespace platform::sdl
