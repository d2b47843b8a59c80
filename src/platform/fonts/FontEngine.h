// Inside of the font layer: face resolution, realised-font metrics and glyph rendering. The
// rendering half lives with the SDL2_ttf code (platform/sdl/Fonts.cpp).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/raster/gdi.h"

namespace platform::fonts {

struct FontFace {
    std::string path;
    bool fakeBold = false;    // bold asked for but the file is not bold: embolden glyphs
    bool fakeItalic = false;  // likewise for the slant
};
FontFace ResolveFontFace(const std::string& family, bool bold, bool italic);

// Text reaches the font layer in the old 8-bit character set (Windows-1252).
std::string Cp1252ToUtf8(const std::string& text);

// Cell height and ascent of a realised font, in pixels.
struct LineMetrics {
    int32_t height = 0;
    int32_t ascent = 0;
};
LineMetrics FontLineMetrics(const LOGFONTA& font);

// Advance width of one line of 8-bit text, after the horizontal scaling lfWidth asks for.
int32_t TextWidth(const LOGFONTA& font, const std::string& text);

// One line rendered as solid (not antialiased) glyphs: ink is 1 where the text colour goes.
// Width equals TextWidth; height equals the line height.
struct InkImage {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint8_t> ink;
};
InkImage RenderText(const LOGFONTA& font, const std::string& text);

}  // namespace platform::fonts
