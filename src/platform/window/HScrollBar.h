// A horizontal scroll bar: Min, Max and Value. The player's click left or right of the thumb
// steps the value by LargeChange.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "platform/window/Control.h"

namespace platform {

class HScrollBar : public Control {
  public:
    explicit HScrollBar(std::string name = {}) : Control(std::move(name)) {}

    int32_t Min = 0;
    int32_t Max = 32767;
    int32_t LargeChange = 1;

    int32_t Value() const { return value_; }
    // A value outside Min..Max is refused, as the old control raised "invalid property
    // value": false, and the value stays.
    bool SetValue(int32_t value);
    // Runs after the value changed.
    std::function<void()> OnChange;

    void ClickAt(POINT at) override;
    void Compose(HDC target) const override;

  private:
    int32_t ThumbLeft() const;
    int32_t value_ = 0;
};

}  // namespace platform
