#include "text/clsWord.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <fstream>

#include "graphics/kelForm.h"
#include "platform/Error.h"
#include "platform/NumberText.h"
#include "platform/Numbers.h"

namespace {

constexpr int32_t kFirstCode = 32;
constexpr int32_t kLastCode = 122;
constexpr int32_t kFirstGlyph = 33;
constexpr int32_t kCells = 90;

// Decimal text as the old runtime's numeric conversions accept it (sign, fraction, exponent,
// surrounding spaces), rounded half to even. False for anything else.
bool ParseRounded(const std::string& text, double& out) {
    size_t b = text.find_first_not_of(' ');
    if (b == std::string::npos) return false;
    const size_t e = text.find_last_not_of(' ') + 1;
    size_t i = b;
    if (text[i] == '+' || text[i] == '-') ++i;
    size_t digits = 0;
    while (i < e && std::isdigit(static_cast<unsigned char>(text[i])))
        ++i, ++digits;
    if (i < e && text[i] == '.') {
        ++i;
        while (i < e && std::isdigit(static_cast<unsigned char>(text[i])))
            ++i, ++digits;
    }
    if (digits == 0) return false;
    if (i < e && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < e && (text[i] == '+' || text[i] == '-')) ++i;
        size_t expDigits = 0;
        while (i < e && std::isdigit(static_cast<unsigned char>(text[i])))
            ++i, ++expDigits;
        if (expDigits == 0) return false;
    }
    if (i != e) return false;
    const double value = std::strtod(text.substr(b, e - b).c_str(), nullptr);
    if (!std::isfinite(value)) return false;
    out = std::nearbyint(value);
    return true;
}

bool IsCapital(int32_t code) {
    return code >= 'A' && code <= 'Z';
}

}  // namespace

void clsWord::Initialize(const std::string& pPath, kelSprite3::Color pTransparentColor) {
    mSprite = std::make_unique<kelSprite3>();
    mSprite->Initialize(true, -1, -1, -1, pPath + ".gif", pTransparentColor);
    // Problems in the description only leave widths at 0.
    XMLParseFile(pPath + ".txt", "", *this);
    mGlyphs.clear();
    mCellWidth = Nearest(mSprite->Width() / static_cast<double>(kCells));
    mCellHeight = mSprite->Height();
}

void clsWord::XMLCallBack(std::string& pTag, std::string& pText, std::vector<std::string>& pContext,
                          std::string& /*pErr*/) {
    if (pContext.size() < 2 || pContext[1] != "CHARACTERS") return;
    double value = 0;
    if (pTag == "ASCII") {
        // A code that is no byte must not redirect the next WIDTH to the previous code.
        const bool fits = ParseRounded(pText, value) && value >= 0 && value <= 255;
        mDescriptionCode = fits ? static_cast<int32_t>(value) : -1;
    } else if (pTag == "WIDTH") {
        if (mDescriptionCode < kFirstCode || mDescriptionCode > kLastCode) return;
        if (!ParseRounded(pText, value) || value < -32768 || value > 32767) return;
        mWidths[static_cast<size_t>(mDescriptionCode - kFirstCode)] = static_cast<int16_t>(value);
    }
}

int16_t clsWord::Width(int32_t pCode) const {
    if (pCode < kFirstCode || pCode > kLastCode) return 0;
    return mWidths[static_cast<size_t>(pCode - kFirstCode)];
}

void clsWord::LayoutText(const std::string& pText) {
    mGlyphs.clear();
    mTextWidth = 0;
    mTextHeight = 0;
    int32_t penX = 0;
    int32_t penY = 0;
    if (pText.empty()) return;

    bool atLineStart = true;
    bool pendingSpace = false;
    for (unsigned char c : pText) {
        const int32_t code = c;
        if (code == 13) {
            penY = Nearest(penY + 0.9 * mCellHeight);
            atLineStart = true;
        } else if (code == 32) {
            pendingSpace = true;
        } else if (code >= kFirstGlyph && code <= kLastCode) {
            // The table holds what fits; the rest of a longer text is left out.
            if (mGlyphs.size() >= kMaxGlyphs) continue;
            if (atLineStart) {
                if (!mGlyphs.empty()) {
                    const int32_t lineEnd = Width(mGlyphs.back().Code) + penX;
                    if (lineEnd > mTextWidth) mTextWidth = lineEnd;
                }
                penX = 0;
                pendingSpace = false;
                atLineStart = false;
            } else {
                // The pen passes the previous glyph only now that the next one comes.
                const int32_t previous = mGlyphs.back().Code;
                const bool capitals = IsCapital(previous) && IsCapital(code);
                if (capitals) {
                    penX += Width(previous);
                } else {
                    penX = Nearest(penX + 0.8 * Width(previous));
                }
                if (pendingSpace) {
                    double factor = 0.7;
                    if (capitals) {
                        factor = 1.5;
                    } else if (IsCapital(previous)) {
                        factor = 0.65;
                    } else if (IsCapital(code)) {
                        factor = 0.55;
                    }
                    penX = Nearest(penX + Width(kFirstCode) * factor);
                    pendingSpace = false;
                }
            }
            // The ink is centred in its cell; shift the cell so the ink starts at the pen.
            int32_t margin = 0;
            if (Width(code) < mCellWidth) {
                margin = std::min(Nearest((mCellWidth - Width(code)) / 2.0), 255);
            }
            mGlyphs.push_back({static_cast<uint8_t>(code), penX - margin, penY});
        }
    }
    const int32_t lastEnd = mGlyphs.empty() ? 0 : Width(mGlyphs.back().Code) + penX;
    if (lastEnd > mTextWidth || mTextWidth == 0) mTextWidth = lastEnd;
    mTextHeight = penY + mCellHeight;
}

std::array<int32_t, 3> clsWord::TextInfo(const std::string& pText) {
    LayoutText(pText);
    return {0, mTextWidth, mTextHeight};
}

void clsWord::BitBlt(HDC pMainHDC, HDC pMaskHDC, const std::string& pText, int32_t pLeft,
                     int32_t pTop) {
    LayoutText(pText);
    if (!mSprite) return;
    for (const FontGlyph& glyph : mGlyphs) {
        mSprite->BitBltDeluxe(pMainHDC, pMaskHDC, glyph.X + pLeft, glyph.Y + pTop, mCellWidth,
                              mCellHeight, (glyph.Code - kFirstGlyph) * mCellWidth, 0, SRCCOPY);
    }
}

std::unique_ptr<kelSprite3> clsWord::CreateSprite(const std::string& pText) {
    const auto info = TextInfo(pText);
    auto sprite = std::make_unique<kelSprite3>();
    sprite->Initialize(true, info[1], info[2], -1, "", -1);
    BitBlt(sprite->MainHDC(), sprite->MaskHDC(), pText, 0, 0);
    return sprite;
}

void clsWord::Save(const std::string& pFileName) {
    kelForm& form = kelForm::Instance();
    form.ScaleMode = kelForm::ScaleModes::Pixels;
    form.SetFontName("ParadeCat");
    form.SetFontSize(56);
    std::ofstream out(pFileName, std::ios::binary | std::ios::trunc);
    if (!out) {
        throw platform::Error(platform::kObjectError1, "Can't write file '" + pFileName + "'.");
    }
    out << "<CHARACTERS>\r\n";
    for (int32_t code = kFirstCode; code <= kLastCode; ++code) {
        const std::string character(1, static_cast<char>(code));
        out << "\t<ASCII>" << code << "</ASCII><CHR>" << character << "</CHR><WIDTH>"
            << ShortestText(form.TextWidth(character)) << "</WIDTH>\r\n";
    }
    out << "</CHARACTERS>\r\n";
    out.close();
    if (!out) {
        throw platform::Error(platform::kObjectError1, "Can't write file '" + pFileName + "'.");
    }
}
