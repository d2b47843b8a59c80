#include "platform/window/CheckBox.h"

#include <algorithm>

#include "platform/window/ControlPaint.h"

namespace platform {

bool CheckBox::SetValue(int32_t value) {
    if (value < 0 || value > 2) return false;
    if (value == value_) return true;
    value_ = value;
    if (OnClick) OnClick();
    return true;
}

void CheckBox::Click() {
    SetValue(value_ == 0 ? 1 : 0);
}

void CheckBox::Compose(HDC target) const {
    PaintBox(target, left_, top_, width_, height_, BackColor);
    const int32_t size = std::min(13, std::max(0, height_ - 2));
    const int32_t bx = left_ + 2, by = top_ + (height_ - size) / 2;
    PaintBox(target, bx, by, size, size, value_ == 2 ? RGB(192, 192, 192) : RGB(255, 255, 255));
    PaintFrame(target, bx, by, size, size, RGB(0, 0, 0));
    if (value_ != 0 && size > 6) PaintBox(target, bx + 3, by + 3, size - 6, size - 6, RGB(0, 0, 0));
    const RECT box{bx + size + 4, top_, left_ + width_, top_ + height_};
    ComposeCaption(target, box, false);
}

}  // namespace platform
