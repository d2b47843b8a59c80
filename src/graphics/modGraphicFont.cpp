#include "graphics/modGraphic.h"
#include "platform/window/Form.h"

void ReadFormFont(platform::Form& form, LOGFONTA& logfont) {
    HDC dc = form.hDC();
    // The selected font is only reachable as the previous selection: swap a stock font in,
    // take the old one back out, and put it back.
    HGDIOBJ current = SelectObject(dc, GetStockObject(SYSTEM_FONT));
    SelectObject(dc, current);
    LOGFONTA read{};
    if (current != nullptr && GetObjectA(current, sizeof(read), &read) == sizeof(read)) {
        logfont = read;
    }
}
