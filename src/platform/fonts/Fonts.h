// Font realisation and measurement. Every family is DejaVu Sans (regular, bold, oblique), from
// the files that ship with the game, so text is the same pixels on every machine and build.
//
// How a LOGFONTA is realised (here and by DrawTextA): lfHeight < 0 is the character (em) height
// in pixels; lfHeight > 0 the cell height, met by the largest size whose line fits it; 0 means a
// 16-pixel cell. lfWeight >= FW_BOLD is bold, lfItalic italic. lfWidth > 0 stretches glyphs
// horizontally so that the average advance of the letters a-z is lfWidth. lfEscapement turns
// drawn text counter-clockwise in tenths of a degree. Text is in the old 8-bit character set
// (Windows-1252), as the "A" calls take it.
#pragma once

#include <string>

#include "platform/raster/gdi.h"

namespace platform {

// Path of the font file for that style; a platform::Error naming the paths tried if none is.
std::string ResolveFontFile(bool bold, bool italic);

// A LOGFONT-like description for a family at a point size (96 pixels per inch: height is
// -Nearest(points * 96 / 72), i.e. a character height in pixels).
LOGFONTA MakeLogFont(const std::string& family, double points, bool bold, bool italic);

struct TextExtent {
    int32_t width = 0;
    int32_t height = 0;
};
// Size in pixels of one line of text in that font (height is the font's line height).
TextExtent MeasureText(const LOGFONTA& font, const std::string& text);

}  // namespace platform
