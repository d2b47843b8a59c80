// The old multimedia joystick report for device 0 (and any other id the back end knows).
#pragma once

#include <cstdint>

using MMRESULT = uint32_t;
constexpr MMRESULT JOYERR_NOERROR = 0;
constexpr MMRESULT MMSYSERR_BADDEVICEID = 2;
constexpr MMRESULT JOYERR_PARMS = 165;
constexpr MMRESULT JOYERR_UNPLUGGED = 167;

constexpr uint32_t JOYCAPS_HASZ = 0x1;
constexpr uint32_t JOYCAPS_HASR = 0x2;
constexpr uint32_t JOYCAPS_HASU = 0x4;
constexpr uint32_t JOYCAPS_HASV = 0x8;
constexpr uint32_t JOYCAPS_HASPOV = 0x10;
constexpr uint32_t JOYCAPS_POV4DIR = 0x20;
constexpr uint32_t JOYCAPS_POVCTS = 0x40;

constexpr uint32_t JOY_RETURNX = 0x1;
constexpr uint32_t JOY_RETURNY = 0x2;
constexpr uint32_t JOY_RETURNZ = 0x4;
constexpr uint32_t JOY_RETURNR = 0x8;
constexpr uint32_t JOY_RETURNU = 0x10;
constexpr uint32_t JOY_RETURNV = 0x20;
constexpr uint32_t JOY_RETURNPOV = 0x40;
constexpr uint32_t JOY_RETURNBUTTONS = 0x80;
constexpr uint32_t JOY_RETURNALL = 0xFF;
constexpr uint32_t JOY_POVCENTERED = 0xFFFF;

struct JOYCAPSA {
    uint16_t wMid = 0, wPid = 0;
    char szPname[32] = {};
    uint32_t wXmin = 0, wXmax = 65535, wYmin = 0, wYmax = 65535, wZmin = 0, wZmax = 65535;
    uint32_t wNumButtons = 0, wPeriodMin = 0, wPeriodMax = 0;
    uint32_t wRmin = 0, wRmax = 65535, wUmin = 0, wUmax = 65535, wVmin = 0, wVmax = 65535;
    uint32_t wCaps = 0, wMaxAxes = 0, wNumAxes = 0, wMaxButtons = 0;
};

struct JOYINFOEX {
    uint32_t dwSize = sizeof(JOYINFOEX);
    uint32_t dwFlags = JOY_RETURNALL;
    uint32_t dwXpos = 0, dwYpos = 0, dwZpos = 0, dwRpos = 0, dwUpos = 0, dwVpos = 0;
    uint32_t dwButtons = 0, dwButtonNumber = 0;
    uint32_t dwPOV = JOY_POVCENTERED;  // hundredths of a degree clockwise from up
    uint32_t dwReserved1 = 0, dwReserved2 = 0;
};

// A device that is absent answers with an error code and leaves the record untouched.
MMRESULT joyGetDevCapsA(uint32_t id, JOYCAPSA* caps, uint32_t size);
MMRESULT joyGetPosEx(uint32_t id, JOYINFOEX* info);
