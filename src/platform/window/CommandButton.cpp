#include "platform/window/CommandButton.h"

#include "platform/window/ControlPaint.h"

namespace platform {

void CommandButton::Compose(HDC target) const {
    PaintBox(target, left_, top_, width_, height_, BackColor);
    PaintFrame(target, left_, top_, width_, height_, Flat ? RGB(0, 0, 0) : RGB(64, 64, 64));
    const RECT box{left_ + 2, top_ + 2, left_ + width_ - 2, top_ + height_ - 2};
    ComposeCaption(target, box, true);
}

}  // namespace platform
