#include "platform/input/Joystick.h"

#include "platform/Backend.h"

MMRESULT joyGetDevCapsA(uint32_t id, JOYCAPSA* caps, uint32_t size) {
    if (!caps || size == 0) return JOYERR_PARMS;
    JOYCAPSA found;
    const MMRESULT result = platform::CurrentBackend().JoyCaps(id, found);
    if (result == JOYERR_NOERROR) *caps = found;
    return result;
}

MMRESULT joyGetPosEx(uint32_t id, JOYINFOEX* info) {
    if (!info) return JOYERR_PARMS;
    JOYINFOEX found = *info;
    const MMRESULT result = platform::CurrentBackend().JoyPos(id, found);
    if (result == JOYERR_NOERROR) *info = found;
    return result;
}
