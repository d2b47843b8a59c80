#include "platform/web/WebInput.h"

#include <algorithm>
#include <string>

#include "platform/input/KeyMap.h"

namespace platform::web {

namespace {

struct Code {
    std::string_view code, name;  // name: the key table's (platform/input/KeyMap.h)
};

constexpr Code kCodes[] = {
    {"ArrowLeft", "Left"},
    {"ArrowUp", "Up"},
    {"ArrowRight", "Right"},
    {"ArrowDown", "Down"},
    {"Enter", "Return"},
    {"NumpadEnter", "Keypad Enter"},
    {"ShiftLeft", "Left Shift"},
    {"ShiftRight", "Right Shift"},
    {"ControlLeft", "Left Ctrl"},
    {"ControlRight", "Right Ctrl"},
    {"AltLeft", "Left Alt"},
    {"AltRight", "Right Alt"},
    {"NumpadMultiply", "Keypad *"},
    {"NumpadAdd", "Keypad +"},
    {"NumpadSubtract", "Keypad -"},
    {"NumpadDecimal", "Keypad ."},
    {"NumpadDivide", "Keypad /"},
    {"Semicolon", ";"},
    {"Equal", "="},
    {"Comma", ","},
    {"Minus", "-"},
    {"Period", "."},
    {"Slash", "/"},
    {"Backquote", "`"},
    {"BracketLeft", "["},
    {"Backslash", "\\"},
    {"BracketRight", "]"},
    {"Quote", "'"},
};

bool Starts(std::string_view s, std::string_view prefix) {
    return s.size() > prefix.size() && s.substr(0, prefix.size()) == prefix;
}

// -1..1 onto the full range of a 16-bit axis, as a desktop driver reports it.
int16_t Axis(double v) {
    v = std::clamp(v, -1.0, 1.0);
    return static_cast<int16_t>(v < 0 ? -static_cast<int32_t>(-v * 32768 + 0.5)
                                      : static_cast<int32_t>(v * 32767 + 0.5));
}

double At(const double* values, int count, int i) {
    return i < count ? values[i] : 0;
}

}  // namespace

int VirtualKeyOfCode(std::string_view code) {
    // "KeyA", "Digit1": the letter or digit; "Numpad1": the keypad's.
    if (Starts(code, "Key") && code.size() == 4) return VirtualKeyFromName(code.substr(3));
    if (Starts(code, "Digit") && code.size() == 6) return VirtualKeyFromName(code.substr(5));
    if (Starts(code, "Numpad") && code.size() == 7 && code[6] >= '0' && code[6] <= '9')
        return VirtualKeyFromName("Keypad " + std::string(code.substr(6)));
    for (const Code& c : kCodes) {
        if (c.code == code) return VirtualKeyFromName(c.name);
    }
    // Escape, Space, Tab, Backspace, F1..F12, PageUp, Home and the like share the table's names.
    return code.size() > 1 ? VirtualKeyFromName(code) : 0;
}

PadState PadOfStandard(const GamepadReading& pad) {
    // The standard layout's buttons in order: A, B, X, Y, the shoulders, the triggers, back,
    // start, the stick clicks, the d-pad (up, down, left, right) and the guide button.
    static constexpr int kButtons[] = {
        kPadA,      kPadB,        kPadX,        kPadY,         kPadLeftShoulder, kPadRightShoulder,
        -1,         -1,           kPadBack,     kPadStart,     kPadLeftStick,    kPadRightStick,
        kPadDpadUp, kPadDpadDown, kPadDpadLeft, kPadDpadRight, kPadGuide,
    };
    PadState state;
    for (int i = 0; i < 4; ++i)
        state.axes[kPadLeftX + i] = Axis(At(pad.axes, pad.numAxes, i));
    state.axes[kPadTriggerLeft] = Axis(std::max(0.0, At(pad.buttons, pad.numButtons, 6)));
    state.axes[kPadTriggerRight] = Axis(std::max(0.0, At(pad.buttons, pad.numButtons, 7)));
    for (int i = 0; i < pad.numButtons && i < static_cast<int>(std::size(kButtons)); ++i) {
        if (kButtons[i] >= 0) state.buttons[kButtons[i]] = pad.buttons[i] >= 0.5;
    }
    return state;
}

StickState StickOfGamepad(const GamepadReading& pad) {
    StickState stick;
    stick.numAxes = std::clamp(pad.numAxes, 0, 6);
    for (int i = 0; i < stick.numAxes; ++i)
        stick.axes[i] = Axis(pad.axes[i]);
    stick.numButtons = std::clamp(pad.numButtons, 0, 32);
    for (int i = 0; i < stick.numButtons; ++i) {
        if (pad.buttons[i] >= 0.5) stick.buttons |= 1u << i;
    }
    return stick;
}

}  // namespace platform::web
