// Font realisation and measurement. A family name resolves to an installed font file, with
// DejaVu Sans as the stated fallback when the family is not installed.
//
// How a LOGFONTA is realised (here and by DrawTextA): lfHeight < 0 is the character (em) height
// in pixels; lfHeight > 0 the cell height, met by the largest size whose line fits it; 0 means a
// 16-pixel cell. lfWeight >= FW_BOLD is bold, lfItalic italic (synthesised when the file lacks
// them). lfWidth > 0 stretches glyphs horizontally so that the average advance of the letters
// a-z is lfWidth. lfEscapement turns drawn text counter-clockwise in tenths of a degree.
// Text is in the old 8-bit character set (Windows-1252), as the "A" calls take it.
#pragma once

#include <string>

#include "platform/raster/gdi.h"

namespace platform {

// Pinned, every family is DejaVu Sans from fonts-dejavu-core whatever fontconfig would pick,
// so frames with text hash alike on every machine with that package. Headless runs pin it
// (UseHeadless); the game on screen keeps the fonts the machine has.
void PinFonts(bool pinned);

// Path of the font file used for a family (never empty while fonts-dejavu-core is installed).
std::string ResolveFontFile(const std::string& family, bool bold, bool italic);

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
