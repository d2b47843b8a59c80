#include "platform/window/PictureBox.h"

#include <algorithm>
#include <vector>

#include "platform/window/Application.h"
#include "platform/window/Form.h"
#include "platform/window/Surface.h"

namespace platform {

PictureBox::PictureBox() : PictureBox(std::string()) {}

PictureBox::PictureBox(std::string name) : Control(std::move(name)) {
    image_ = NewSurface(0, 0, backColor_);
    dc_ = CreateBitmapDC(image_);
}

PictureBox::~PictureBox() {
    DeleteDC(dc_);
    DeleteObject(image_);
}

void PictureBox::Resized() {
    ResizeSurface(*image_, width_, height_, backColor_);
}

void PictureBox::SetBackColor(COLORREF color) {
    backColor_ = color;
    std::fill(image_->pixels.begin(), image_->pixels.end(), color);
}

void PictureBox::Refresh() {
    ++refreshes_;
    if (Parent()) Application::Get().Present(*Parent());
}

void PictureBox::Compose(HDC target) const {
    if (width_ > 0 && height_ > 0) CopySurface(*image_, *target->bitmap, left_, top_);
}

}  // namespace platform
