// A horizontal scroll bar: Min, Max and Value, with an arrow at each end and a thumb between.
// As players know it: pressing an arrow steps by SmallChange, pressing the track beside the
// thumb by LargeChange, dragging the thumb follows the cursor, and once pressed it takes the
// focus, so the arrow keys step it too.
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
    int32_t SmallChange = 1;
    int32_t LargeChange = 1;

    int32_t Value() const { return value_; }
    // A value outside Min..Max is refused, as the old control raised "invalid property
    // value": false, and the value stays.
    bool SetValue(int32_t value);
    // Runs after the value changed.
    std::function<void()> OnChange;

    void MouseDown(POINT at) override;
    void MouseDrag(POINT at) override;
    void MouseRelease() override { dragging_ = false; }
    // The press already stepped the value; the click only tells the handler.
    void ClickAt(POINT at) override {
        (void)at;
        Click();
    }
    bool CanFocus() const override { return true; }
    // Left and Up step down by SmallChange, Right and Down step up.
    void KeyPress(int vk) override;
    void Compose(HDC target) const override;

  private:
    // Arrows and thumb are squares as high as the bar; the thumb travels over the rest.
    int32_t Button() const;
    int32_t Track() const;
    int32_t ThumbLeft() const;
    // Moves the value by delta (towards Max when positive), kept within the range.
    void Step(int32_t delta);

    int32_t value_ = 0;
    bool dragging_ = false;
    int32_t grab_ = 0;  // where in the thumb it was caught
};

}  // namespace platform
