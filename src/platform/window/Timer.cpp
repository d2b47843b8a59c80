#include "platform/window/Timer.h"

#include "platform/Backend.h"

namespace platform {

void Timer::Restart() {
    start_ = CurrentBackend().Now();
}

void Timer::SetEnabled(bool enabled) {
    enabled_ = enabled;
    if (enabled) Restart();
}

void Timer::SetInterval(int32_t ms) {
    interval_ = ms < 0 ? 0 : ms;
    Restart();
}

}  // namespace platform
