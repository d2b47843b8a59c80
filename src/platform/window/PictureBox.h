// A child control with its own persistent image; drawing goes to hDC(), Refresh() shows it.
#pragma once

#include <cstdint>

#include "platform/raster/gdi.h"
#include "platform/window/Control.h"

namespace platform {

class PictureBox : public Control {
  public:
    PictureBox();
    explicit PictureBox(std::string name);
    ~PictureBox() override;

    HDC hDC() const { return dc_; }
    Bitmap* image() const { return image_; }

    // Position and size in the parent's pixels; resizing keeps the top-left of the image.
    using Control::Move;
    int32_t ScaleWidth() const { return width_; }
    int32_t ScaleHeight() const { return height_; }

    // Setting the back colour clears the persistent image to it.
    void SetBackColor(COLORREF color);
    COLORREF BackColor() const { return backColor_; }

    // Shows the persistent image (the window system composes and presents it).
    void Refresh();
    uint64_t refreshCount() const { return refreshes_; }

    void Compose(HDC target) const override;
    bool Opaque() const override { return true; }
    const Bitmap* Picture() const override { return image_; }

  protected:
    void Resized() override;

  private:
    COLORREF backColor_ = RGB(255, 255, 255);
    Bitmap* image_ = nullptr;
    HDC dc_ = nullptr;
    uint64_t refreshes_ = 0;
};

}  // namespace platform
