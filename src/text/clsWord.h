// A proportional bitmap font: a picture of 90 glyph cells (codes 33 to 122) and a tag file of
// ink widths. Lays text out with its own spacing, measures it and blits it.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "graphics/kelSprite3.h"
#include "platform/raster/gdi.h"
#include "text/modXML.h"

struct FontGlyph {
    uint8_t Code = 0;
    int32_t X = 0;
    int32_t Y = 0;
};

class clsWord : public XMLHandler {
  public:
    static constexpr size_t kMaxGlyphs = 2000;

    // Loads pPath + ".gif" as the glyph sprite and reads the widths from pPath + ".txt".
    void Initialize(const std::string& pPath, kelSprite3::Color pTransparentColor);

    // Reads ASCII and WIDTH inside CHARACTERS; values that do not fit are ignored.
    void XMLCallBack(std::string& pTag, std::string& pText, std::vector<std::string>& pContext,
                     std::string& pErr) override;

    // {0, text width, text height} of pText.
    std::array<int32_t, 3> TextInfo(const std::string& pText);
    // Draws pText with its top-left at (pLeft, pTop); pMaskHDC as for kelSprite3::BitBltDeluxe.
    void BitBlt(HDC pMainHDC, HDC pMaskHDC, const std::string& pText, int32_t pLeft, int32_t pTop);
    // A new sprite just large enough for pText, transparent around the glyphs.
    std::unique_ptr<kelSprite3> CreateSprite(const std::string& pText);
    // Writes a width file for codes 32 to 122 measured in "ParadeCat" at size 56. Raises error
    // 0x80040001 when the file cannot be written.
    void Save(const std::string& pFileName);

    // Width of a code in 32 to 122 as the description set it (0 when unset or outside).
    int16_t Width(int32_t pCode) const;
    int32_t CellWidth() const { return mCellWidth; }
    int32_t CellHeight() const { return mCellHeight; }
    // The glyphs of the last layout.
    const std::vector<FontGlyph>& Glyphs() const { return mGlyphs; }

  private:
    void LayoutText(const std::string& pText);

    std::unique_ptr<kelSprite3> mSprite;
    std::array<int16_t, 91> mWidths{};  // codes 32 to 122
    int32_t mCellWidth = 0;
    int32_t mCellHeight = 0;
    int32_t mTextWidth = 0;
    int32_t mTextHeight = 0;
    std::vector<FontGlyph> mGlyphs;
    // Code the next WIDTH belongs to; -1 when the last ASCII did not give a usable code.
    int32_t mDescriptionCode = 0;
};
