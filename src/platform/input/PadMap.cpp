#include "platform/input/PadMap.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <iterator>

namespace platform {

namespace {
constexpr int kMaxButtons = 32;  // bits of dwButtons

void CopyName(const char* name, JOYCAPSA& caps) {
    if (!name) return;
    std::strncpy(caps.szPname, name, sizeof caps.szPname - 1);
    caps.szPname[sizeof caps.szPname - 1] = '\0';
}

uint32_t AxisFields(int count) {
    uint32_t caps = 0;
    if (count > 2) caps |= JOYCAPS_HASZ;
    if (count > 3) caps |= JOYCAPS_HASR;
    if (count > 4) caps |= JOYCAPS_HASU;
    if (count > 5) caps |= JOYCAPS_HASV;
    return caps;
}
}  // namespace

uint32_t AxisPosition(int16_t value) {
    return static_cast<uint32_t>(int32_t{value} + 32768);
}

uint32_t TriggerPosition(int16_t left, int16_t right) {
    const int32_t l = std::max<int32_t>(0, left), r = std::max<int32_t>(0, right);
    // At rest exactly 32767: the game reads anything else as a trigger pulled.
    const int32_t z = 32767 + l * 32768 / 32767 - r;
    return static_cast<uint32_t>(std::clamp(z, 0, 65535));
}

uint32_t PovOfHat(uint8_t hat) {
    int x = 0, y = 0;  // opposite directions held together cancel out
    if (hat & kHatRight) ++x;
    if (hat & kHatLeft) --x;
    if (hat & kHatDown) ++y;
    if (hat & kHatUp) --y;
    static constexpr uint32_t kPov[3][3] = {
        {31500, 0, 4500},  // up
        {27000, JOY_POVCENTERED, 9000},
        {22500, 18000, 13500},  // down
    };
    return kPov[y + 1][x + 1];
}

JOYINFOEX PadReport(const PadState& pad) {
    JOYINFOEX info;
    info.dwXpos = AxisPosition(pad.axes[kPadLeftX]);
    info.dwYpos = AxisPosition(pad.axes[kPadLeftY]);
    info.dwUpos = AxisPosition(pad.axes[kPadRightX]);
    info.dwRpos = AxisPosition(pad.axes[kPadRightY]);
    info.dwZpos = TriggerPosition(pad.axes[kPadTriggerLeft], pad.axes[kPadTriggerRight]);
    info.dwVpos = 32767;
    static constexpr int kButtons[] = {
        kPadA,    kPadB,     kPadX,         kPadY,          kPadLeftShoulder, kPadRightShoulder,
        kPadBack, kPadStart, kPadLeftStick, kPadRightStick,
    };
    for (size_t i = 0; i < std::size(kButtons); ++i) {
        if (pad.buttons[kButtons[i]]) info.dwButtons |= 1u << i;
    }
    info.dwButtonNumber = static_cast<uint32_t>(std::popcount(info.dwButtons));
    uint8_t hat = kHatCentered;
    if (pad.buttons[kPadDpadUp]) hat |= kHatUp;
    if (pad.buttons[kPadDpadDown]) hat |= kHatDown;
    if (pad.buttons[kPadDpadLeft]) hat |= kHatLeft;
    if (pad.buttons[kPadDpadRight]) hat |= kHatRight;
    info.dwPOV = PovOfHat(hat);
    return info;
}

JOYCAPSA PadCaps(const char* name) {
    JOYCAPSA caps;
    CopyName(name, caps);
    caps.wNumAxes = 5;
    caps.wMaxAxes = 6;
    caps.wNumButtons = 10;
    caps.wMaxButtons = kMaxButtons;
    caps.wCaps = JOYCAPS_HASZ | JOYCAPS_HASR | JOYCAPS_HASU | JOYCAPS_HASPOV | JOYCAPS_POV4DIR;
    return caps;
}

JOYINFOEX StickReport(const StickState& stick) {
    uint32_t axes[6];
    for (int i = 0; i < 6; ++i)
        axes[i] = i < stick.numAxes ? AxisPosition(stick.axes[i]) : 32767;
    JOYINFOEX info;
    info.dwXpos = axes[0];
    info.dwYpos = axes[1];
    info.dwZpos = axes[2];
    info.dwRpos = axes[3];
    info.dwUpos = axes[4];
    info.dwVpos = axes[5];
    const int buttons = std::clamp(stick.numButtons, 0, kMaxButtons);
    info.dwButtons = buttons == kMaxButtons ? stick.buttons : stick.buttons & ((1u << buttons) - 1);
    info.dwButtonNumber = static_cast<uint32_t>(std::popcount(info.dwButtons));
    info.dwPOV = stick.numHats > 0 ? PovOfHat(stick.hat) : JOY_POVCENTERED;
    return info;
}

JOYCAPSA StickCaps(const char* name, const StickState& stick) {
    JOYCAPSA caps;
    CopyName(name, caps);
    caps.wNumAxes = static_cast<uint32_t>(std::clamp(stick.numAxes, 0, 6));
    caps.wMaxAxes = 6;
    caps.wNumButtons = static_cast<uint32_t>(std::clamp(stick.numButtons, 0, kMaxButtons));
    caps.wMaxButtons = kMaxButtons;
    caps.wCaps = AxisFields(stick.numAxes);
    if (stick.numHats > 0) caps.wCaps |= JOYCAPS_HASPOV | JOYCAPS_POV4DIR;
    return caps;
}

}  // namespace platform
