#include "platform/Screen.h"

#include "platform/Backend.h"

namespace platform {
ScreenSize GetScreenSize() {
    return CurrentBackend().Screen();
}
}  // namespace platform
