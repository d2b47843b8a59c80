#include "platform/sdl/SdlJoystick.h"

#include <algorithm>

#include "platform/sdl/SdlJoyMap.h"

namespace platform::sdl {

namespace {
constexpr uint32_t kJoystickSlots = 16;  // ids the old driver knew; beyond that: bad id

StickState ReadStick(SDL_Joystick* stick) {
    StickState s;
    s.numAxes = std::clamp(SDL_JoystickNumAxes(stick), 0, 6);
    for (int i = 0; i < s.numAxes; ++i)
        s.axes[i] = SDL_JoystickGetAxis(stick, i);
    s.numHats = std::max(0, SDL_JoystickNumHats(stick));
    if (s.numHats > 0) s.hat = SDL_JoystickGetHat(stick, 0);
    s.numButtons = std::clamp(SDL_JoystickNumButtons(stick), 0, 32);
    for (int i = 0; i < s.numButtons; ++i) {
        if (SDL_JoystickGetButton(stick, i)) s.buttons |= 1u << i;
    }
    return s;
}
}  // namespace

void Gamepad::OpenFirst() {
    for (int i = 0, n = SDL_NumJoysticks(); i < n && !Open(); ++i)
        OpenIndex(i);
}

bool Gamepad::OpenIndex(int deviceIndex) {
    if (SDL_IsGameController(deviceIndex)) {
        pad_ = SDL_GameControllerOpen(deviceIndex);
        stick_ = pad_ ? SDL_GameControllerGetJoystick(pad_) : nullptr;
    }
    if (!stick_) stick_ = SDL_JoystickOpen(deviceIndex);
    instance_ = stick_ ? SDL_JoystickInstanceID(stick_) : -1;
    return stick_ != nullptr;
}

void Gamepad::Added(int deviceIndex) {
    if (Open()) {
        // The same device again: a controller mapping may have arrived for it.
        const bool same = SDL_JoystickGetDeviceInstanceID(deviceIndex) == instance_;
        if (!same || pad_ || !SDL_IsGameController(deviceIndex)) return;
        Close();
    }
    OpenIndex(deviceIndex);
}

void Gamepad::Removed(SDL_JoystickID instance) {
    if (!Open() || instance != instance_) return;
    Close();
    OpenFirst();
}

void Gamepad::Close() {
    if (pad_)
        SDL_GameControllerClose(pad_);  // closes its joystick too
    else if (stick_)
        SDL_JoystickClose(stick_);
    pad_ = nullptr;
    stick_ = nullptr;
    instance_ = -1;
}

MMRESULT Gamepad::Check(uint32_t id) const {
    if (id >= kJoystickSlots) return MMSYSERR_BADDEVICEID;
    if (id != 0 || !stick_ || !SDL_JoystickGetAttached(stick_)) return JOYERR_UNPLUGGED;
    return JOYERR_NOERROR;
}

MMRESULT Gamepad::Caps(uint32_t id, JOYCAPSA& caps) const {
    if (MMRESULT r = Check(id)) return r;
    caps = pad_ ? PadCaps(SDL_GameControllerName(pad_))
                : StickCaps(SDL_JoystickName(stick_), ReadStick(stick_));
    return JOYERR_NOERROR;
}

MMRESULT Gamepad::Pos(uint32_t id, JOYINFOEX& info) const {
    if (MMRESULT r = Check(id)) return r;
    const uint32_t size = info.dwSize, flags = info.dwFlags;
    if (pad_) {
        PadState state;
        for (int a = 0; a < SDL_CONTROLLER_AXIS_MAX; ++a)
            state.axes[a] = SDL_GameControllerGetAxis(pad_, static_cast<SDL_GameControllerAxis>(a));
        for (int b = 0; b < SDL_CONTROLLER_BUTTON_MAX; ++b) {
            state.buttons[b] =
                SDL_GameControllerGetButton(pad_, static_cast<SDL_GameControllerButton>(b)) != 0;
        }
        info = PadReport(state);
    } else {
        info = StickReport(ReadStick(stick_));
    }
    info.dwSize = size;
    info.dwFlags = flags;
    return JOYERR_NOERROR;
}

}  // namespace platform::sdl
