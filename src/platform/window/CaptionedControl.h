// What a button and a check box share: a caption drawn in its own font over a back colour.
#pragma once

#include <string>

#include "platform/window/Control.h"

namespace platform {

class CaptionedControl : public Control {
  public:
    using Control::Control;

    // As set; a doubled "&&" shows as one '&' (DisplayCaption).
    std::string Caption;
    std::string FontName = "MS Sans Serif";
    double FontSize = 8.25;
    bool FontBold = false;
    COLORREF BackColor = RGB(192, 192, 192);
    COLORREF ForeColor = RGB(0, 0, 0);

  protected:
    // The caption in the control's font and fore colour, left-aligned or centred in the box.
    void ComposeCaption(HDC target, const RECT& box, bool centred) const;
};

}  // namespace platform
