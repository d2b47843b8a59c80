// Small helpers for the drawing-surface tests: picture files, plain targets, pixel checks.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "Raised.h"
#include "platform/headless/FrameFile.h"
#include "platform/raster/gdi.h"

namespace spritetest {

// Writes a 24-bit BMP to the temp folder; pixels are COLORREFs, row-major from the top.
inline std::string WriteBmp(const std::string& name, int32_t width, int32_t height,
                            const std::vector<COLORREF>& pixels) {
    Bitmap picture(width, height, false);
    picture.pixels.assign(pixels.begin(), pixels.end());
    const std::string path = (std::filesystem::temp_directory_path() / name).string();
    EXPECT_TRUE(platform::WriteBmp(picture, path)) << path;
    return path;
}

// A colour bitmap filled with one colour, in its own memory context.
class Target {
  public:
    Target(int32_t width, int32_t height, COLORREF fill) : bitmap_(width, height, false) {
        std::fill(bitmap_.pixels.begin(), bitmap_.pixels.end(), fill);
        dc_ = CreateBitmapDC(&bitmap_);
    }
    ~Target() { DeleteDC(dc_); }
    Target(const Target&) = delete;
    Target& operator=(const Target&) = delete;
    HDC dc() const { return dc_; }
    COLORREF at(int32_t x, int32_t y) const { return GetPixel(dc_, x, y); }
    int32_t color(int32_t x, int32_t y) const { return static_cast<int32_t>(at(x, y)); }
    int count(COLORREF c) const {
        return static_cast<int>(std::count(bitmap_.pixels.begin(), bitmap_.pixels.end(), c));
    }

  private:
    Bitmap bitmap_;
    HDC dc_ = nullptr;
};

// Checks every pixel of a width x height area: check(x, y) returns {got, want}.
template <typename Check>
void ExpectEach(int32_t width, int32_t height, Check check) {
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            const auto [got, want] = check(x, y);
            EXPECT_EQ(got, want) << x << "," << y;
        }
    }
}

}  // namespace spritetest
