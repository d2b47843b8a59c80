// A check box: caption, back colour and a value (0 clear, 1 ticked, 2 greyed). Any change of
// the value, by the player or by code, runs OnClick, as the old control did.
#pragma once

#include <cstdint>
#include <string>

#include "platform/window/Control.h"

namespace platform {

class CheckBox : public Control {
  public:
    explicit CheckBox(std::string name = {}) : Control(std::move(name)) {}

    std::string Caption;
    std::string FontName = "MS Sans Serif";
    double FontSize = 8.25;
    bool FontBold = false;
    COLORREF BackColor = RGB(192, 192, 192);
    COLORREF ForeColor = RGB(0, 0, 0);

    int32_t Value() const { return value_; }
    // Values outside 0..2 are refused (false, nothing changes).
    bool SetValue(int32_t value);

    // The player's click: a ticked or greyed box clears, a clear one ticks.
    void Click() override;
    void Compose(HDC target) const override;

  private:
    int32_t value_ = 0;
};

}  // namespace platform
