// The first game controller (or plain joystick) as joystick 0, opened again when one is
// plugged in after the last went away.
#pragma once

#include <SDL.h>

#include "platform/input/Joystick.h"

namespace platform::sdl {

class Gamepad {
  public:
    Gamepad() = default;
    Gamepad(const Gamepad&) = delete;
    Gamepad& operator=(const Gamepad&) = delete;
    ~Gamepad() { Close(); }

    // Opens the first device attached now, if any.
    void OpenFirst();
    // SDL_JOYDEVICEADDED and SDL_CONTROLLERDEVICEADDED (a device index).
    void Added(int deviceIndex);
    // SDL_JOYDEVICEREMOVED (an instance id).
    void Removed(SDL_JoystickID instance);
    void Close();
    bool Open() const { return stick_ != nullptr; }

    MMRESULT Caps(uint32_t id, JOYCAPSA& caps) const;
    MMRESULT Pos(uint32_t id, JOYINFOEX& info) const;

  private:
    bool OpenIndex(int deviceIndex);
    MMRESULT Check(uint32_t id) const;

    SDL_GameController* pad_ = nullptr;  // set when the device has a controller mapping
    SDL_Joystick* stick_ = nullptr;
    SDL_JoystickID instance_ = -1;
};

}  // namespace platform::sdl
