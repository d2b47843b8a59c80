#include "platform/clock/Clock.h"

#include "platform/Backend.h"

uint32_t timeGetTime() {
    return platform::CurrentBackend().Now();
}

uint32_t timeBeginPeriod(uint32_t ms) {
    return platform::CurrentBackend().BeginPeriod(ms);
}

void Sleep(uint32_t ms) {
    platform::CurrentBackend().Sleep(ms);
}
