#include "platform/Fatal.h"

#include <cstdio>
#include <cstdlib>
#include <exception>

#include "platform/Backend.h"

namespace platform {

void Fatal(const std::string& text) {
    Warn(text);
    if (HasBackend()) {
        Backend& backend = CurrentBackend();
        backend.RestoreDesktop();
        try {
            backend.ShowMessageBox("Quadrix", text, MessageBoxButtons::OK);
        } catch (...) {
            // The text is on stderr already; a box that cannot be shown changes nothing.
        }
    }
    // Static objects may be half way through a game: do not run their destructors.
    std::_Exit(1);
}

void Warn(const std::string& text) {
    std::fprintf(stderr, "quadrix: %s\n", text.c_str());
    std::fflush(stderr);
}

}  // namespace platform
