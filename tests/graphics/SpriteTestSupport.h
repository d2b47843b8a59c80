// Small helpers for the drawing-surface tests: a BMP writer and a plain target context.
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/raster/gdi.h"

namespace spritetest {

// Writes a 24-bit bottom-up BMP; pixels are COLORREFs, row-major from the top.
inline std::string WriteBmp(const std::string& name, int32_t width, int32_t height,
                            const std::vector<COLORREF>& pixels) {
    const std::string path = (std::filesystem::temp_directory_path() / name).string();
    const uint32_t stride = (static_cast<uint32_t>(width) * 3 + 3) & ~3u;
    const uint32_t dataSize = stride * static_cast<uint32_t>(height);
    std::vector<uint8_t> file(54 + dataSize, 0);
    auto put32 = [&](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i)
            file[at + i] = static_cast<uint8_t>(v >> (8 * i));
    };
    file[0] = 'B';
    file[1] = 'M';
    put32(2, static_cast<uint32_t>(file.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, static_cast<uint32_t>(width));
    put32(22, static_cast<uint32_t>(height));
    file[26] = 1;
    file[28] = 24;
    put32(34, dataSize);
    for (int32_t y = 0; y < height; ++y) {
        uint8_t* row = &file[54 + stride * static_cast<uint32_t>(height - 1 - y)];
        for (int32_t x = 0; x < width; ++x) {
            const COLORREF c = pixels[static_cast<size_t>(y * width + x)];
            row[3 * x] = static_cast<uint8_t>(c >> 16);
            row[3 * x + 1] = static_cast<uint8_t>(c >> 8);
            row[3 * x + 2] = static_cast<uint8_t>(c);
        }
    }
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(file.data()),
               static_cast<std::streamsize>(file.size()));
    return path;
}

// A colour memory context of the given size filled with one colour.
class Target {
  public:
    Target(int32_t width, int32_t height, COLORREF fill) {
        HDC screen = GetDC(nullptr);
        dc_ = CreateCompatibleDC(screen);
        bitmap_ = CreateCompatibleBitmap(screen, width, height);
        first_ = SelectObject(dc_, bitmap_);
        ReleaseDC(nullptr, screen);
        for (int32_t y = 0; y < height; ++y) {
            for (int32_t x = 0; x < width; ++x)
                SetPixelV(dc_, x, y, fill);
        }
    }
    ~Target() {
        SelectObject(dc_, first_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    Target(const Target&) = delete;
    Target& operator=(const Target&) = delete;
    HDC dc() const { return dc_; }
    COLORREF at(int32_t x, int32_t y) const { return GetPixel(dc_, x, y); }

  private:
    HDC dc_;
    HBITMAP bitmap_;
    HGDIOBJ first_;
};

}  // namespace spritetest
