#include "platform/window/HScrollBar.h"

#include <algorithm>

#include "platform/window/ControlPaint.h"

namespace platform {

bool HScrollBar::SetValue(int32_t value) {
    const int32_t lo = std::min(Min, Max), hi = std::max(Min, Max);
    if (value < lo || value > hi) return false;
    if (value == value_) return true;
    value_ = value;
    if (OnChange) OnChange();
    return true;
}

int32_t HScrollBar::ThumbLeft() const {
    const int32_t thumb = height_;
    const int32_t track = std::max(0, width_ - 3 * thumb);
    const int64_t span = int64_t{Max} - Min;
    const int64_t pos = span == 0 ? 0 : (int64_t{value_} - Min) * track / span;
    return left_ + thumb + static_cast<int32_t>(pos);
}

void HScrollBar::ClickAt(POINT at) {
    const int32_t thumb = ThumbLeft();
    const int32_t step = Max >= Min ? LargeChange : -LargeChange;
    const int32_t lo = std::min(Min, Max), hi = std::max(Min, Max);
    if (at.x < thumb)
        SetValue(std::clamp(value_ - step, lo, hi));
    else if (at.x >= thumb + height_)
        SetValue(std::clamp(value_ + step, lo, hi));
    Click();
}

void HScrollBar::Compose(HDC target) const {
    PaintBox(target, left_, top_, width_, height_, RGB(224, 224, 224));
    PaintFrame(target, left_, top_, width_, height_, RGB(0, 0, 0));
    PaintBox(target, ThumbLeft(), top_, height_, height_, RGB(160, 160, 160));
    PaintFrame(target, ThumbLeft(), top_, height_, height_, RGB(0, 0, 0));
}

}  // namespace platform
