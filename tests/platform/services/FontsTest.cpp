#include <gtest/gtest.h>

#include <cstring>
#include <tuple>

#include "platform/fonts/Fonts.h"
#include "platform/fonts/TextLayout.h"

const std::string kDejaVu = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
const std::string kDejaVuBold = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";

TEST(Fonts, UnknownFamiliesFallBackAndStillMeasure) {
    EXPECT_EQ(platform::ResolveFontFile("No Such Family Anywhere", false, false), kDejaVu);
    EXPECT_EQ(platform::ResolveFontFile("No Such Family Anywhere", true, false), kDejaVuBold);
    // An installed family is used as it is, not replaced by the fallback, unless the fonts
    // are pinned, as headless runs have them.
    EXPECT_EQ(platform::ResolveFontFile("DejaVu Serif", false, false), kDejaVu);
    platform::PinFonts(false);
    EXPECT_NE(platform::ResolveFontFile("DejaVu Serif", false, false).find("DejaVuSerif"),
              std::string::npos);
    platform::PinFonts(true);

    LOGFONTA lf = platform::MakeLogFont("No Such Family Anywhere", 12, true, true);
    EXPECT_EQ(std::tuple(lf.lfHeight, lf.lfWeight, int{lf.lfItalic}), std::tuple(-16, FW_BOLD, 1));
    EXPECT_STREQ(lf.lfFaceName, "No Such Family Anywhere");
    EXPECT_EQ(platform::MakeLogFont("Small Fonts", 7.875, false, false).lfHeight, -10);  // 10.5
    EXPECT_EQ(platform::MakeLogFont("Small Fonts", 8.625, false, false).lfHeight, -12);  // 11.5

    auto a = platform::MeasureText(lf, "W");
    auto b = platform::MeasureText(lf, "WW");
    auto c = platform::MeasureText(lf, "WWWW WWWW");
    EXPECT_GT(a.width, 0);
    EXPECT_GT(b.width, a.width);
    EXPECT_GT(c.width, 2 * b.width);
    EXPECT_GE(a.height, 16);  // a character height of 16 needs a taller cell
    EXPECT_EQ(a.height, c.height);
    EXPECT_EQ(platform::MeasureText(lf, "").width, 0);
    LOGFONTA bigger = platform::MakeLogFont("MS Sans Serif", 24, true, true);
    EXPECT_GT(platform::MeasureText(bigger, "W").width, a.width);

    // A positive height is the cell height: the line fits it closely.
    LOGFONTA cell{};
    for (int32_t h : {9, 16, 30, 61}) {
        cell.lfHeight = h;
        int32_t got = platform::MeasureText(cell, "x").height;
        EXPECT_LE(got, h);
        EXPECT_GE(got, h - 2);
    }
    // lfWidth stretches: the average letter becomes that wide.
    LOGFONTA wide = lf;
    wide.lfWidth = 20;
    int32_t letters = platform::MeasureText(wide, "abcdefghijklmnopqrstuvwxyz").width;
    EXPECT_NEAR(letters, 26 * 20, 2);
}

TEST(Fonts, LayoutBreaksLinesAndHandlesPrefixes) {
    using platform::fonts::LayoutText;
    auto tenPerChar = [](const std::string& t) { return static_cast<int32_t>(t.size()) * 10; };
    auto texts = [&](const std::string& t, unsigned format, int32_t width) {
        std::vector<std::string> out;
        for (const auto& line : LayoutText(t, format, width, tenPerChar))
            out.push_back(line.text);
        return out;
    };
    using V = std::vector<std::string>;
    EXPECT_EQ(texts("one two three four", DT_WORDBREAK, 90), (V{"one two", "three", "four"}));
    EXPECT_EQ(texts("one two three four", DT_WORDBREAK, 130), (V{"one two three", "four"}));
    EXPECT_EQ(texts("unbreakable word", DT_WORDBREAK, 50), (V{"unbreakable", "word"}));
    EXPECT_EQ(texts("a\r\nb\nc\rd", 0, 100), (V{"a", "b", "c", "d"}));
    EXPECT_EQ(texts("a\r\nb", DT_SINGLELINE | DT_WORDBREAK, 1), (V{"ab"}));
    EXPECT_EQ(texts("", DT_WORDBREAK, 100), (V{""}));

    auto lines = LayoutText("Fish && &Chips&", 0, 100, tenPerChar);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].text, "Fish & Chips");
    std::vector<bool> marks(12, false);
    marks[7] = true;  // the C
    EXPECT_EQ(lines[0].underlined, marks);
    EXPECT_EQ(texts("A&&B &x", DT_NOPREFIX, 100), (V{"A&&B &x"}));
}
