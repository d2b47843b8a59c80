// Millisecond clock (32 bits, wraps), timer resolution and sleeping.
#pragma once

#include <cstdint>

uint32_t timeGetTime();
uint32_t timeBeginPeriod(uint32_t ms);
void Sleep(uint32_t ms);
