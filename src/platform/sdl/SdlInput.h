// SDL's keys and mouse buttons as the old virtual-key codes.
#pragma once

#include <SDL.h>

namespace platform::sdl {

// The code of a key, 0 for keys the table does not know.
int VirtualKeyOf(const SDL_Keysym& key);
// 1 left, 2 right, 4 middle; 0 for other buttons.
int VirtualButtonOf(uint8_t button);
// Alt+Enter: switches between full screen and a window instead of reaching the game.
bool IsWindowToggle(const SDL_KeyboardEvent& key);
// F12: saves a screenshot instead of reaching the game.
bool IsScreenshotKey(const SDL_KeyboardEvent& key);

}  // namespace platform::sdl
