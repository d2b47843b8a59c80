// A check box: caption, back colour and a value (0 clear, 1 ticked, 2 greyed). Any change of
// the value, by the player or by code, runs OnClick, as the old control did.
#pragma once

#include <cstdint>
#include <string>

#include "platform/window/CaptionedControl.h"

namespace platform {

class CheckBox : public CaptionedControl {
  public:
    explicit CheckBox(std::string name = {}) : CaptionedControl(std::move(name)) {}

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
