#include "platform/window/Control.h"

#include "platform/window/Form.h"

namespace platform {

Control::Control(std::string name) : name_(std::move(name)) {}

Control::~Control() {
    if (parent_) parent_->Remove(*this);
}

void Control::Move(int32_t left, int32_t top, int32_t width, int32_t height) {
    if (!CanMove()) return;
    left_ = left;
    top_ = top;
    const bool resized = width != width_ || height != height_;
    width_ = width < 0 ? 0 : width;
    height_ = height < 0 ? 0 : height;
    if (resized) Resized();
}

void Control::Click() {
    if (OnClick) OnClick();
}

void Control::Compose(HDC) const {}

}  // namespace platform
