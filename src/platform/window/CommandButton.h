// A push button: caption, font, back colour and a flat look; OnClick runs when the mouse is
// released over it.
#pragma once

#include <string>

#include "platform/window/Control.h"

namespace platform {

class CommandButton : public Control {
  public:
    explicit CommandButton(std::string name = {}) : Control(std::move(name)) {}

    // As set; a doubled "&&" shows as one '&' (DisplayCaption).
    std::string Caption;
    std::string FontName = "MS Sans Serif";
    double FontSize = 8.25;
    bool FontBold = false;
    COLORREF BackColor = RGB(192, 192, 192);
    COLORREF ForeColor = RGB(0, 0, 0);
    bool Flat = false;

    void Compose(HDC target) const override;
};

}  // namespace platform
