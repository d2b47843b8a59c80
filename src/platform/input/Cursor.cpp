#include "platform/input/Cursor.h"

#include <algorithm>

#include "platform/Backend.h"
#include "platform/input/KeyTable.h"
#include "platform/input/Keys.h"

int ShowCursor(BOOL show) {
    return platform::CurrentBackend().ShowCursor(show != 0);
}

BOOL GetCursorPos(POINT* point) {
    if (!point) return 0;
    *point = platform::CurrentBackend().CursorPos();
    return 1;
}

BOOL SetCursorPos(int32_t x, int32_t y) {
    platform::CurrentBackend().SetCursorPos(POINT{x, y});
    return 1;
}

void mouse_event(uint32_t flags, int32_t dx, int32_t dy, uint32_t, uintptr_t) {
    platform::CurrentBackend().MouseEvent(flags, dx, dy);
}

namespace platform {
POINT OnScreen(int32_t x, int32_t y, ScreenSize screen) {
    return {std::clamp(x, 0, std::max(0, screen.width - 1)),
            std::clamp(y, 0, std::max(0, screen.height - 1))};
}

void ApplyMouseButtons(uint32_t flags, KeyTable& keys, std::vector<MouseButtonChange>& queue) {
    const struct {
        uint32_t flag;
        MouseButtonChange change;
    } order[] = {{MOUSEEVENTF_LEFTDOWN, {VK_LBUTTON, true}},
                 {MOUSEEVENTF_LEFTUP, {VK_LBUTTON, false}},
                 {MOUSEEVENTF_RIGHTDOWN, {VK_RBUTTON, true}},
                 {MOUSEEVENTF_RIGHTUP, {VK_RBUTTON, false}}};
    for (const auto& o : order) {
        if (!(flags & o.flag)) continue;
        if (o.change.down)
            keys.Press(o.change.vk);
        else
            keys.Release(o.change.vk);
        queue.push_back(o.change);
    }
}
}  // namespace platform
