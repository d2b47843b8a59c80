// Size of the whole screen in pixels.
#pragma once

#include <cstdint>

namespace platform {
struct ScreenSize {
    int32_t width;
    int32_t height;
};
ScreenSize GetScreenSize();
}  // namespace platform
