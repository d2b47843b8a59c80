#include "platform/window/HScrollBar.h"

#include <algorithm>

#include "platform/Numbers.h"
#include "platform/input/Keys.h"
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

int32_t HScrollBar::Button() const {
    return std::min(height_, width_ / 3);
}

int32_t HScrollBar::Track() const {
    return std::max(0, width_ - 3 * Button());
}

int32_t HScrollBar::ThumbLeft() const {
    const int64_t span = int64_t{Max} - Min;
    const int64_t pos = span == 0 ? 0 : (int64_t{value_} - Min) * Track() / span;
    return left_ + Button() + static_cast<int32_t>(pos);
}

void HScrollBar::Step(int32_t delta) {
    const int32_t lo = std::min(Min, Max), hi = std::max(Min, Max);
    const int64_t next = int64_t{value_} + (Max >= Min ? delta : -int64_t{delta});
    SetValue(static_cast<int32_t>(std::clamp<int64_t>(next, lo, hi)));
}

void HScrollBar::MouseDown(POINT at) {
    const int32_t thumb = ThumbLeft(), button = Button();
    if (at.x < left_ + button)
        Step(-SmallChange);
    else if (at.x >= left_ + width_ - button)
        Step(SmallChange);
    else if (at.x < thumb)
        Step(-LargeChange);
    else if (at.x >= thumb + button)
        Step(LargeChange);
    else {
        dragging_ = true;
        grab_ = at.x - thumb;
    }
}

void HScrollBar::MouseDrag(POINT at) {
    if (!dragging_ || Track() == 0) return;
    const int64_t pos = std::clamp(at.x - grab_ - left_ - Button(), 0, Track());
    const double value = Min + static_cast<double>(pos) * (int64_t{Max} - Min) / Track();
    SetValue(Nearest(value));
}

void HScrollBar::KeyPress(int vk) {
    if (vk == VK_LEFT || vk == VK_UP) Step(-SmallChange);
    if (vk == VK_RIGHT || vk == VK_DOWN) Step(SmallChange);
}

namespace {
// A small filled triangle pointing left (dir -1) or right (dir 1), centred in the square.
void PaintArrow(HDC target, int32_t left, int32_t top, int32_t size, int dir) {
    const int32_t half = std::max(1, size / 4);
    const int32_t cx = left + size / 2, cy = top + size / 2;
    for (int32_t i = 0; i < half; ++i) {
        const int32_t x = dir < 0 ? cx - half / 2 + i : cx + half / 2 - i;
        PaintBox(target, x, cy - i, 1, 2 * i + 1, RGB(0, 0, 0));
    }
}
}  // namespace

void HScrollBar::Compose(HDC target) const {
    const int32_t button = Button();
    PaintBox(target, left_, top_, width_, height_, RGB(224, 224, 224));
    PaintFrame(target, left_, top_, width_, height_, RGB(0, 0, 0));
    for (const int32_t x : {left_, left_ + width_ - button}) {
        PaintBox(target, x, top_, button, height_, RGB(192, 192, 192));
        PaintFrame(target, x, top_, button, height_, RGB(0, 0, 0));
    }
    PaintArrow(target, left_, top_, button, -1);
    PaintArrow(target, left_ + width_ - button, top_, button, 1);
    PaintBox(target, ThumbLeft(), top_, button, height_, RGB(160, 160, 160));
    PaintFrame(target, ThumbLeft(), top_, button, height_, RGB(0, 0, 0));
}

}  // namespace platform
