// What a browser reports, in the desktop's terms: keys by KeyboardEvent.code onto the virtual-key
// table, gamepads onto the desktop's controller mapping. Plain C++, so it is tested natively.
#pragma once

#include <string_view>

#include "platform/input/PadMap.h"

namespace platform::web {

// The virtual key of a physical key (KeyboardEvent.code, "KeyW", "ArrowLeft"); 0 for a key the
// table does not know.
int VirtualKeyOfCode(std::string_view code);

// A gamepad as the Gamepad API reports it: axes -1..1, button values 0..1.
struct GamepadReading {
    bool standard = false;  // the browser's standard layout ("mapping" is "standard")
    int numAxes = 0, numButtons = 0;
    const double* axes = nullptr;
    const double* buttons = nullptr;
};

// A standard-layout gamepad as a controller with a mapping.
PadState PadOfStandard(const GamepadReading& pad);
// Any other gamepad as a plain joystick: its first six axes and up to 32 buttons, no hat.
StickState StickOfGamepad(const GamepadReading& pad);

}  // namespace platform::web
