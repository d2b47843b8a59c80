// SDL's controller and hat numbering is the portable pad mapping's (platform/input/PadMap.h).
#pragma once

#include <SDL.h>

#include "platform/input/PadMap.h"

namespace platform::sdl {

using platform::AxisPosition;
using platform::PadCaps;
using platform::PadReport;
using platform::PadState;
using platform::PovOfHat;
using platform::StickCaps;
using platform::StickReport;
using platform::StickState;
using platform::TriggerPosition;

static_assert(SDL_CONTROLLER_AXIS_MAX == kPadAxes && SDL_CONTROLLER_BUTTON_MAX <= kPadButtons);
static_assert(SDL_CONTROLLER_AXIS_TRIGGERRIGHT == kPadTriggerRight &&
              SDL_CONTROLLER_BUTTON_A == kPadA && SDL_CONTROLLER_BUTTON_BACK == kPadBack &&
              SDL_CONTROLLER_BUTTON_START == kPadStart &&
              SDL_CONTROLLER_BUTTON_LEFTSHOULDER == kPadLeftShoulder &&
              SDL_CONTROLLER_BUTTON_DPAD_RIGHT == kPadDpadRight);
static_assert(SDL_HAT_UP == kHatUp && SDL_HAT_RIGHT == kHatRight && SDL_HAT_DOWN == kHatDown &&
              SDL_HAT_LEFT == kHatLeft && SDL_HAT_CENTERED == kHatCentered);

}  // namespace platform::sdl
