// Modal message boxes: nothing else of the program runs until one is answered.
#pragma once

#include <string>

#include "platform/Backend.h"

namespace platform {

MessageBoxAnswer MsgBox(const std::string& text, MessageBoxButtons buttons,
                        const std::string& title);

}  // namespace platform
