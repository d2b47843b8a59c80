#include "platform/window/ImageControl.h"

#include "platform/pictures/Pictures.h"
#include "platform/window/Surface.h"

namespace platform {

ImageControl::~ImageControl() {
    Clear();
}

bool ImageControl::LoadPicture(const std::string& path, std::string* error) {
    HBITMAP loaded = LoadPictureFile(path, error);
    if (!loaded) return false;
    Clear();
    picture_ = loaded;
    return true;
}

void ImageControl::Clear() {
    if (picture_) DeleteObject(picture_);
    picture_ = nullptr;
}

void ImageControl::Compose(HDC target) const {
    if (picture_ && !picture_->monochrome) CopySurface(*picture_, *target->bitmap, left_, top_);
}

}  // namespace platform
