// Small helpers for the drawing-surface tests: picture files, plain targets, pixel checks.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "Raised.h"
#include "graphics/kelSprite3.h"
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
    int count(COLORREF c) const {
        return static_cast<int>(std::count(bitmap_.pixels.begin(), bitmap_.pixels.end(), c));
    }

  private:
    Bitmap bitmap_;
    HDC dc_ = nullptr;
};

// Checks every pixel of the bitmap selected into dc against want(x, y).
template <typename Want>
void ExpectPixels(HDC dc, Want want) {
    BITMAP size{};
    GetObjectA(GetCurrentObject(dc, GdiKind::Bitmap), sizeof size, &size);
    ASSERT_GT(size.bmWidth * size.bmHeight, 0) << "no bitmap to check";
    for (int32_t y = 0; y < size.bmHeight; ++y) {
        for (int32_t x = 0; x < size.bmWidth; ++x)
            EXPECT_EQ(GetPixel(dc, x, y), static_cast<COLORREF>(want(x, y))) << x << "," << y;
    }
}

// Checks a surface's own reading of its pixels, kTransparentPixel included.
template <typename Want>
void ExpectPixels(const kelSprite3& surface, Want want) {
    for (int32_t y = 0; y < surface.Height(); ++y) {
        for (int32_t x = 0; x < surface.Width(); ++x)
            EXPECT_EQ(surface.GetPixel(x, y), static_cast<kelSprite3::Color>(want(x, y)))
                << x << "," << y;
    }
}

// A surface as Initialize makes it from these arguments.
inline std::shared_ptr<kelSprite3> Surface(bool sprite, int32_t width, int32_t height,
                                           kelSprite3::Color back, const std::string& path,
                                           kelSprite3::Color key) {
    auto surface = std::make_shared<kelSprite3>();
    surface->Initialize(sprite, width, height, back, path, key);
    return surface;
}

}  // namespace spritetest
