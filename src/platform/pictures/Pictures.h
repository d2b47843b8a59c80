// Picture files (BMP, GIF) decoded into raster bitmaps; needs no display.
#pragma once

#include <string>

#include "platform/raster/gdi.h"

namespace platform {

// A new 32-bit colour bitmap the caller releases with DeleteObject, or nullptr with *error set
// to a text that names the path.
HBITMAP LoadPictureFile(const std::string& path, std::string* error);

}  // namespace platform
