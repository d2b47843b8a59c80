#include "platform/input/Keys.h"

#include "platform/Backend.h"

int GetKeyboardState(BYTE* table256) {
    if (!table256) return 0;
    platform::CurrentBackend().GetKeys(table256);
    return 1;
}

int SetKeyboardState(const BYTE* table256) {
    if (!table256) return 0;
    platform::CurrentBackend().SetKeys(table256);
    return 1;
}
