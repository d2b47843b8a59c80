// An image control: holds one loaded picture (its bitmap and size) and shows it at its place.
#pragma once

#include <cstdint>
#include <string>

#include "platform/window/Control.h"

namespace platform {

class ImageControl : public Control {
  public:
    explicit ImageControl(std::string name = {}) : Control(std::move(name)) {}
    ~ImageControl() override;

    // Loads a BMP or GIF file; on failure keeps the old picture and sets *error (naming the
    // path).
    bool LoadPicture(const std::string& path, std::string* error);
    // Drops the picture.
    void Clear();
    Bitmap* Picture() const override { return picture_; }
    int32_t PictureWidth() const { return picture_ ? picture_->width : 0; }
    int32_t PictureHeight() const { return picture_ ? picture_->height : 0; }

    void Compose(HDC target) const override;

  private:
    Bitmap* picture_ = nullptr;
};

}  // namespace platform
