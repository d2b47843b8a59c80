#include "platform/sdl/SdlInput.h"

#include "platform/input/KeyMap.h"
#include "platform/input/Keys.h"

namespace platform::sdl {

int VirtualKeyOf(const SDL_Keysym& key) {
    // The key's meaning on the player's layout first, as the old codes followed the layout.
    if (int vk = VirtualKeyFromName(SDL_GetKeyName(key.sym))) return vk;
    // Layouts without Latin letters still steer with the keys where W, A, S and D sit.
    return VirtualKeyFromName(SDL_GetScancodeName(key.scancode));
}

int VirtualButtonOf(uint8_t button) {
    switch (button) {
        case SDL_BUTTON_LEFT:
            return VK_LBUTTON;
        case SDL_BUTTON_RIGHT:
            return VK_RBUTTON;
        case SDL_BUTTON_MIDDLE:
            return VK_MBUTTON;
        default:
            return 0;
    }
}

bool IsWindowToggle(const SDL_KeyboardEvent& key) {
    const bool enter = key.keysym.sym == SDLK_RETURN || key.keysym.sym == SDLK_KP_ENTER;
    return enter && (key.keysym.mod & KMOD_ALT) != 0;
}

bool IsScreenshotKey(const SDL_KeyboardEvent& key) {
    return key.keysym.sym == SDLK_F12;
}

}  // namespace platform::sdl
