#include "platform/input/Cursor.h"

#include "platform/Backend.h"

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
