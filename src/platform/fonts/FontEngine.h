// Inside of the font layer: where the font files are, realised-font metrics and glyph rendering
// (FontEngine.cpp, over the TrueType reader in TrueType.cpp).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/raster/gdi.h"

namespace platform::fonts {

// Folders searched for the font files, in order: the program's own fonts/ (the files ship with
// the game), then the system's DejaVu folder.
std::vector<std::string> FontFolders();
// The first of folder/name that exists; a platform::Error naming every path tried otherwise.
std::string FindFontFile(const std::string& name, const std::vector<std::string>& folders);

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
