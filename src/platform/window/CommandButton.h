// A push button: caption, font, back colour and a flat look; OnClick runs when the mouse is
// released over it.
#pragma once

#include <string>

#include "platform/window/CaptionedControl.h"

namespace platform {

class CommandButton : public CaptionedControl {
  public:
    explicit CommandButton(std::string name = {}) : CaptionedControl(std::move(name)) {}

    bool Flat = false;

    void Compose(HDC target) const override;
};

}  // namespace platform
