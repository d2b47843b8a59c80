// One fuzz input through picture loading: written to a file and loaded into a sprite (mask
// built from the top-left colour) and into a plain surface of a fixed size, then blitted.
// Library errors are expected answers to bad files; anything else is a finding. Shared by the
// libFuzzer target and the corpus replay test.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>

#include "graphics/kelSprite3.h"
#include "platform/Error.h"
#include "platform/raster/gdi.h"

namespace picturefuzz {

// What one input gave: how many of the two loads succeeded.
struct Outcome {
    int loaded = 0;
    int refused = 0;
};

inline void LoadInto(kelSprite3& surface, bool sprite, int32_t size, const std::string& path,
                     Outcome& outcome) {
    try {
        surface.Initialize(sprite, size, size, kelSprite3::kNoColor, path, kelSprite3::kNoColor);
    } catch (const platform::Error& e) {
        if (e.Number() != platform::kObjectError1) std::abort();
        ++outcome.refused;
        return;
    }
    if (surface.Width() <= 0 || surface.Height() <= 0) std::abort();
    if (sprite && surface.MaskHDC() == nullptr) std::abort();
    ++outcome.loaded;

    // Blit onto a small plain target and into a sprite pair, partly off the edges.
    HDC screen = GetDC(nullptr);
    HDC target = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 8, 8);
    HGDIOBJ first = SelectObject(target, bitmap);
    surface.BitBlt(target, nullptr, -1, -1);
    surface.StretchBlt(target, target, 2, 2, 5, 3);
    if (surface.GetPixel(0, 0) == kelSprite3::kTransparentPixel && !sprite) std::abort();
    SelectObject(target, first);
    DeleteObject(bitmap);
    DeleteDC(target);
    ReleaseDC(nullptr, screen);
}

inline Outcome LoadBytes(const uint8_t* data, size_t size, const std::string& tempPath) {
    {
        std::ofstream out(tempPath, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    Outcome outcome;
    kelSprite3 sprite;
    LoadInto(sprite, true, -1, tempPath, outcome);
    kelSprite3 plain;
    LoadInto(plain, false, 16, tempPath, outcome);
    return outcome;
}

}  // namespace picturefuzz
