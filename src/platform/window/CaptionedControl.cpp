#include "platform/window/CaptionedControl.h"

#include "platform/fonts/Fonts.h"
#include "platform/window/ControlPaint.h"

namespace platform {

void CaptionedControl::ComposeCaption(HDC target, const RECT& box, bool centred) const {
    PaintCaption(target, box, Caption, MakeLogFont(FontName, FontSize, FontBold, false), ForeColor,
                 centred);
}

}  // namespace platform
