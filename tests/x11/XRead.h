// Reading the X server back, kept apart: X11's names collide with the raster's.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct SDL_Window;

namespace xread {
// The root window's pixels in a rectangle, as COLORREF values (red in the low byte).
std::vector<uint32_t> Grab(int x, int y, int w, int h);
// SDL's X window for one of its windows, 0 when it has none.
unsigned long WindowOf(SDL_Window* window);
// Waits up to ms for a window with this title (_NET_WM_NAME) to be mapped, then presses and
// lets go of the key (an X keysym name: "Return") on it. False when no such window came.
bool AnswerWindow(const std::string& title, const char* key, int ms);
}  // namespace xread
