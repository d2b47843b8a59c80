// Fingerprints and picture files of composed frames.
#pragma once

#include <cstdint>
#include <string>

#include "platform/raster/gdi.h"

namespace platform {

// A 64-bit FNV-1a fingerprint of the size and every pixel's 24-bit colour (monochrome frames
// hash their 0/1 values). Stable across machines: pinned hashes in tests depend on it.
uint64_t FrameHash(const Bitmap& frame);
// Writes a 24-bit BMP file; false when the file cannot be written.
bool WriteBmp(const Bitmap& frame, const std::string& path);

}  // namespace platform
