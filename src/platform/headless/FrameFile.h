// Fingerprints and picture files of composed frames.
#pragma once

#include <cstdint>
#include <string>

#include "platform/raster/gdi.h"

namespace platform {

// 64-bit FNV-1a over the width, the height and every pixel's red, green and blue bytes.
uint64_t FrameHash(const Bitmap& frame);
// Writes a 24-bit BMP file; false when the file cannot be written.
bool WriteBmp(const Bitmap& frame, const std::string& path);

}  // namespace platform
