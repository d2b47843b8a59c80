#include "platform/window/MessageBox.h"

namespace platform {

MessageBoxAnswer MsgBox(const std::string& text, MessageBoxButtons buttons,
                        const std::string& title) {
    return CurrentBackend().ShowMessageBox(title, text, buttons);
}

}  // namespace platform
