// The library error an action raises, as "number text", for the tests of several folders.
#pragma once

#include <cstdio>
#include <functional>
#include <string>

#include "platform/Error.h"

// What f raises as "number text" (number in 8 hex digits), or "(no error)".
inline std::string Raised(const std::function<void()>& f) {
    try {
        f();
    } catch (const platform::Error& e) {
        char number[16];
        std::snprintf(number, sizeof number, "%08X ", e.Number());
        return number + std::string(e.what());
    }
    return "(no error)";
}
