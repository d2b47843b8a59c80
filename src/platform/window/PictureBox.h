// A child control with its own persistent image; drawing goes to hDC(), Refresh() shows it.
#pragma once

#include <cstdint>

#include "platform/raster/gdi.h"

namespace platform {

class PictureBox {
public:
    PictureBox();
    ~PictureBox();
    PictureBox(const PictureBox&) = delete;
    PictureBox& operator=(const PictureBox&) = delete;

    HDC hDC() const { return dc_; }
    Bitmap* image() const { return image_; }

    // Position and size in the parent's pixels; resizing keeps the top-left of the image.
    void Move(int32_t left, int32_t top, int32_t width, int32_t height);
    int32_t Left() const { return left_; }
    int32_t Top() const { return top_; }
    int32_t Width() const { return width_; }
    int32_t Height() const { return height_; }
    int32_t ScaleWidth() const { return width_; }
    int32_t ScaleHeight() const { return height_; }

    // Setting the back colour clears the persistent image to it.
    void SetBackColor(COLORREF color);
    COLORREF BackColor() const { return backColor_; }
    bool Visible = true;

    // Shows the persistent image (the window system composes and presents it).
    void Refresh();
    uint64_t refreshCount() const { return refreshes_; }

private:
    int32_t left_ = 0, top_ = 0, width_ = 0, height_ = 0;
    COLORREF backColor_ = RGB(255, 255, 255);
    Bitmap* image_ = nullptr;
    HDC dc_ = nullptr;
    uint64_t refreshes_ = 0;
};

}  // namespace platform
