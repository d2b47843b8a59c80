#include "platform/window/Form.h"

#include <algorithm>

#include "platform/Screen.h"
#include "platform/window/Application.h"
#include "platform/window/Surface.h"

namespace platform {

Form::Form(std::string name) : name_(std::move(name)) {}

Form::~Form() {
    Application::Get().Forget(*this);
    for (Control* c : controls_)
        c->parent_ = nullptr;
    if (dc_) DeleteDC(dc_);
    if (image_) DeleteObject(image_);
}

void Form::Add(Control& control) {
    if (control.parent_ == this) return;
    if (control.parent_) control.parent_->Remove(control);
    control.parent_ = this;
    controls_.push_back(&control);
}

void Form::Remove(Control& control) {
    if (control.parent_ != this) return;
    control.parent_ = nullptr;
    controls_.erase(std::remove(controls_.begin(), controls_.end(), &control), controls_.end());
    Application::Get().Forget(control);
}

Control* Form::FindControl(const std::string& name) const {
    for (Control* c : controls_) {
        if (c->Name() == name) return c;
    }
    return nullptr;
}

int32_t Form::Width() const {
    return width_ < 0 ? GetScreenSize().width : width_;
}

int32_t Form::Height() const {
    return height_ < 0 ? GetScreenSize().height : height_;
}

void Form::EnsureImage() const {
    drawn_ = true;
    if (image_ && released_) ResizeSurface(*image_, Width(), Height(), backColor_);
    released_ = false;
    if (image_) return;
    image_ = NewSurface(Width(), Height(), backColor_);
    dc_ = CreateBitmapDC(image_);
}

void Form::ReleaseImage() {
    if (!image_ || released_) return;
    drawn_ = true;
    ResizeSurface(*image_, 1, 1, backColor_);
    image_->pixels[0] = backColor_;  // the one pixel kept holds what was drawn there
    released_ = true;
}

HDC Form::hDC() const {
    EnsureImage();
    return dc_;
}

Bitmap* Form::image() const {
    EnsureImage();
    return image_;
}

Bitmap* Form::ImageToShow() const {
    if (!image_ || released_) EnsureImage();
    return image_;
}

void Form::ClearImage() {
    drawn_ = true;
    if (image_) std::fill(image_->pixels.begin(), image_->pixels.end(), backColor_);
}

void Form::SetBackColor(COLORREF color) {
    backColor_ = color;
    EnsureImage();
    ClearImage();
}

void Form::Move(int32_t left, int32_t top, int32_t width, int32_t height) {
    left_ = left;
    top_ = top;
    width_ = std::max(0, width);
    height_ = std::max(0, height);
    drawn_ = true;
    if (image_ && !released_) ResizeSurface(*image_, width_, height_, backColor_);
}

void Form::SetVisible(bool visible) {
    if (visible)
        Show();
    else
        Hide();
}

void Form::Load() {
    Application::Get().Load(*this);
}

void Form::Show() {
    Application::Get().Show(*this);
}

void Form::Hide() {
    Application::Get().Hide(*this);
}

bool Form::Unload() {
    return Application::Get().Unload(*this, UnloadMode::Code);
}

void Form::Refresh() {
    Application::Get().Present(*this);
}

}  // namespace platform
