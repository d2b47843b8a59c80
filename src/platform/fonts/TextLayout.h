// Line breaking and prefix handling of DrawTextA, kept apart from glyph rendering.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace platform::fonts {

struct TextLine {
    std::string text;
    std::vector<bool> underlined;  // per character: marked by a '&' prefix
};

// Splits text into the lines DrawTextA draws for `format` (DT_SINGLELINE, DT_WORDBREAK,
// DT_NOPREFIX), breaking words to fit `maxWidth` as measured by `width`.
std::vector<TextLine> LayoutText(const std::string& text, unsigned format, int32_t maxWidth,
                                 const std::function<int32_t(const std::string&)>& width);

}  // namespace platform::fonts
