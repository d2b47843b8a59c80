// The one way out for an error the program cannot go on from.
#pragma once

#include <string>

namespace platform {

// Restores the desktop, shows the text (a message box where the back end has one, and on
// stderr always) and ends the process with status 1.
[[noreturn]] void Fatal(const std::string& text);

// For a fault the program goes on from: the text on stderr, nothing else.
void Warn(const std::string& text);

}  // namespace platform
