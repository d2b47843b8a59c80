// One TrueType font file, read with stb_truetype. stb_truetype trusts the file it is given, so
// everything it will read is checked first: the table directory, the tables it needs and the
// outline of every glyph the game can ask for. A file that fails any check is refused whole.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace platform::fonts {

// A glyph rendered at a pixel size: solid ink (1) or not (0), placed relative to the pen on the
// baseline (left and top of the box, y growing downwards).
struct GlyphInk {
    int32_t left = 0;
    int32_t top = 0;
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint8_t> ink;
};

class TrueTypeFont {
  public:
    // Checks `bytes`; a damaged or unsupported font throws platform::Error naming `name`.
    TrueTypeFont(std::string bytes, const std::string& name);
    ~TrueTypeFont();
    TrueTypeFont(const TrueTypeFont&) = delete;
    TrueTypeFont& operator=(const TrueTypeFont&) = delete;

    // Reads the file (with a size cap) and checks it as above.
    static std::shared_ptr<const TrueTypeFont> Open(const std::string& path);

    int32_t UnitsPerEm() const { return unitsPerEm_; }
    int32_t Ascender() const { return ascender_; }    // font units, above the baseline
    int32_t Descender() const { return descender_; }  // font units, negative below it
    int32_t UnderlinePosition() const { return underlinePosition_; }
    int32_t UnderlineThickness() const { return underlineThickness_; }

    // The glyph for a character of the old 8-bit set (Windows-1252); 0 is the missing glyph.
    int32_t GlyphFor(unsigned char character) const { return glyphs_[character]; }
    int32_t AdvanceUnits(int32_t glyph) const;
    // Solid glyph at `ppem` pixels per em: a pixel is ink where the outline covers half of it.
    GlyphInk Render(int32_t glyph, int32_t ppem) const;

  private:
    struct Stb;
    std::string bytes_;
    std::unique_ptr<Stb> stb_;
    int32_t unitsPerEm_ = 0;
    int32_t ascender_ = 0;
    int32_t descender_ = 0;
    int32_t underlinePosition_ = 0;
    int32_t underlineThickness_ = 0;
    std::array<int32_t, 256> glyphs_{};
};

}  // namespace platform::fonts
