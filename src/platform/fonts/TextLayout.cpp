#include "platform/fonts/TextLayout.h"

#include <algorithm>

#include "platform/raster/gdi.h"

namespace platform::fonts {
namespace {

// "&&" shows one '&'; a single '&' vanishes and underlines the character after it.
TextLine StripPrefixes(const std::string& text, bool keepPrefixes) {
    TextLine line;
    for (size_t i = 0; i < text.size(); ++i) {
        bool mark = false;
        if (!keepPrefixes && text[i] == '&') {
            if (i + 1 >= text.size()) break;
            ++i;
            mark = text[i] != '&';
        }
        line.text += text[i];
        line.underlined.push_back(mark);
    }
    return line;
}

TextLine Slice(const TextLine& line, size_t begin, size_t end) {
    TextLine part;
    part.text = line.text.substr(begin, end - begin);
    part.underlined.assign(line.underlined.begin() + static_cast<std::ptrdiff_t>(begin),
                           line.underlined.begin() + static_cast<std::ptrdiff_t>(end));
    return part;
}

// Greedy breaking at blanks; a word wider than the rectangle keeps a line of its own and is
// clipped, as the old DrawText does, rather than cut inside the word.
void BreakWords(const TextLine& para, int32_t maxWidth,
                const std::function<int32_t(const std::string&)>& width,
                std::vector<TextLine>& out) {
    const std::string& s = para.text;
    size_t lineBegin = 0;
    size_t lineEnd = 0;  // end of the last word that fits on the current line
    size_t pos = 0;
    while (pos < s.size()) {
        size_t wordBegin = s.find_first_not_of(' ', pos);
        if (wordBegin == std::string::npos) break;
        size_t wordEnd = s.find(' ', wordBegin);
        if (wordEnd == std::string::npos) wordEnd = s.size();
        if (lineEnd > lineBegin && width(s.substr(lineBegin, wordEnd - lineBegin)) > maxWidth) {
            out.push_back(Slice(para, lineBegin, lineEnd));
            lineBegin = wordBegin;  // the blanks at the break are dropped
        }
        lineEnd = wordEnd;
        pos = wordEnd;
    }
    out.push_back(Slice(para, lineBegin, std::max(lineEnd, lineBegin)));
}

}  // namespace

std::vector<TextLine> LayoutText(const std::string& text, unsigned format, int32_t maxWidth,
                                 const std::function<int32_t(const std::string&)>& width) {
    const bool keepPrefixes = (format & DT_NOPREFIX) != 0;
    std::vector<TextLine> lines;
    if (format & DT_SINGLELINE) {
        // Line ends do not break a single line; they draw nothing.
        std::string flat;
        for (char c : text) {
            if (c != '\r' && c != '\n') flat += c;
        }
        lines.push_back(StripPrefixes(flat, keepPrefixes));
        return lines;
    }
    size_t begin = 0;
    for (;;) {
        size_t end = text.find_first_of("\r\n", begin);
        std::string para = text.substr(begin, end == std::string::npos ? end : end - begin);
        TextLine stripped = StripPrefixes(para, keepPrefixes);
        if (format & DT_WORDBREAK) {
            BreakWords(stripped, maxWidth, width, lines);
        } else {
            lines.push_back(std::move(stripped));
        }
        if (end == std::string::npos) break;
        // CR LF counts as one line end.
        begin =
            end + ((text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ? 2 : 1);
    }
    return lines;
}

}  // namespace platform::fonts
