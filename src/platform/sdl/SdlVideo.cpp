#include "platform/sdl/SdlVideo.h"

#include <SDL.h>

#include <cstdlib>
#include <string>
#include <tuple>

#include "platform/sdl/SdlBackend.h"

namespace platform::sdl {

namespace {
bool Set(const char* variable) {
    const char* value = std::getenv(variable);
    return value && *value;
}
}  // namespace

void InitVideo(uint32_t flags) {
    if (Set("SDL_VIDEODRIVER")) {
        if (SDL_InitSubSystem(flags) != 0)
            throw SdlError(std::string("cannot open the display: ") + SDL_GetError());
        return;
    }
    const bool x11 = Set("DISPLAY"), wayland = Set("WAYLAND_DISPLAY");
    if (!x11 && !wayland)
        throw SdlError(
            "no display: DISPLAY and WAYLAND_DISPLAY are not set; start quadrix from a desktop "
            "session (X11 or Wayland), or name a video driver in SDL_VIDEODRIVER");
    std::string why;
    for (const auto& [driver, variable, given] :
         {std::tuple{"x11", "DISPLAY", x11}, std::tuple{"wayland", "WAYLAND_DISPLAY", wayland}}) {
        if (!given) continue;
        // Only this driver: SDL would otherwise go on to one that shows nothing.
        SDL_SetHint(SDL_HINT_VIDEODRIVER, driver);
        const bool opened = SDL_InitSubSystem(flags) == 0;
        SDL_ResetHint(SDL_HINT_VIDEODRIVER);
        if (opened) return;
        if (!why.empty()) why += "; ";
        why += std::string(variable) + "=" + std::getenv(variable) + ": " + SDL_GetError();
    }
    throw SdlError("cannot open the display (" + why + ")");
}

}  // namespace platform::sdl
