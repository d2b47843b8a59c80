// Opening SDL's video on a display a player can see.
#pragma once

#include <cstdint>

namespace platform::sdl {

// Initialises these SDL subsystems (video among them) on X11 or Wayland, or on the driver
// that SDL_VIDEODRIVER names on purpose. Without a display SDL would fall back on a driver
// that shows nothing and the game would run unseen: that throws SdlError instead.
void InitVideo(uint32_t flags);

}  // namespace platform::sdl
