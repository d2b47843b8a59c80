// Mouse cursor: display counter, position and synthetic clicks.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/Screen.h"
#include "platform/raster/gdi.h"

// Adds one (show) or takes one away (hide) from the display counter and returns the new
// count; the cursor is visible while the counter is 0 or more.
int ShowCursor(BOOL show);
BOOL GetCursorPos(POINT* point);
BOOL SetCursorPos(int32_t x, int32_t y);

constexpr uint32_t MOUSEEVENTF_MOVE = 0x1;  // dx, dy move the cursor relative to where it is
constexpr uint32_t MOUSEEVENTF_LEFTDOWN = 0x2;
constexpr uint32_t MOUSEEVENTF_LEFTUP = 0x4;
constexpr uint32_t MOUSEEVENTF_RIGHTDOWN = 0x8;
constexpr uint32_t MOUSEEVENTF_RIGHTUP = 0x10;
void mouse_event(uint32_t flags, int32_t dx, int32_t dy, uint32_t data, uintptr_t extra);

namespace platform {
// The point moved onto the screen: the cursor never leaves it, as on the old system.
POINT OnScreen(int32_t x, int32_t y, ScreenSize screen);

class KeyTable;
struct MouseButtonChange {
    int vk;
    bool down;
};
// The buttons a mouse_event carries, in the order they happen (left down, left up, right down,
// right up): pressed or released in the key table at once, and queued for the event sink.
void ApplyMouseButtons(uint32_t flags, KeyTable& keys, std::vector<MouseButtonChange>& queue);
}  // namespace platform
