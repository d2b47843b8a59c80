#include <gtest/gtest.h>

#include <random>

#include "../../../fuzz/font_entry.h"
#include "Raised.h"
#include "TempDir.h"
#include "platform/files/ProgramFolder.h"
#include "platform/fonts/FontEngine.h"
#include "platform/fonts/Fonts.h"
#include "platform/fonts/TextLayout.h"

static const std::string kSystemFonts = "/usr/share/fonts/truetype/dejavu/";

static std::string SystemFont(const std::string& name) {
    std::ifstream in(kSystemFonts + name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

static size_t U16(const std::string& font, size_t at) {
    return size_t(uint8_t(font[at])) << 8 | uint8_t(font[at + 1]);
}

// A table's entry in the font's directory (its offset at +8, its length at +12).
static size_t EntryOf(const std::string& font, const char* tag) {
    for (size_t at = 12; at < 12 + U16(font, 4) * 16; at += 16)
        if (font.compare(at, 4, tag) == 0) return at;
    return 0;
}
static size_t TableAt(const std::string& font, const char* tag) {
    const size_t entry = EntryOf(font, tag);
    return U16(font, entry + 8) << 16 | U16(font, entry + 10);
}

static void Put16(std::string& font, size_t at, uint16_t v) {
    font[at] = char(v >> 8), font[at + 1] = char(v);
}

TEST(Fonts, FilesComeFromTheProgramFolderFirst) {
    TempDir dir;
    std::filesystem::create_directories(dir.File("fonts"));
    dir.Write("fonts/DejaVuSans.ttf", SystemFont("DejaVuSans.ttf"));
    const std::string folder = platform::ProgramFolder();
    platform::SetProgramFolder(dir.path());
    EXPECT_EQ(platform::ResolveFontFile(false, false), dir.File("fonts/DejaVuSans.ttf"));
    EXPECT_EQ(platform::ResolveFontFile(true, true), kSystemFonts + "DejaVuSans-BoldOblique.ttf");
    platform::SetProgramFolder(folder);
    EXPECT_EQ(Raised([&] {
                  platform::fonts::FindFontFile("X.ttf", {dir.File("a"), dir.File("b")});
              }),
              "80040001 The font X.ttf is missing: none of " + dir.File("a/X.ttf") + ", " +
                  dir.File("b/X.ttf") + " can be read (Debian ships it in fonts-dejavu-core).");
}

TEST(Fonts, DamagedFilesAreRefusedBeforeTheyAreRead) {
    const std::string good = SystemFont("DejaVuSans.ttf");
    EXPECT_EQ(Raised([&] { fontfuzz::DrawEveryCharacter(good); }), "(no error)");
    const size_t head = TableAt(good, "head"), loca = TableAt(good, "loca");
    const size_t glyf = TableAt(good, "glyf");
    const std::pair<const char*, std::function<void(std::string&)>> damages[] = {
        {"the size is implausible", [](std::string& f) { f.clear(); }},
        {"a table lies beyond the end of the file", [](std::string& f) { f.resize(f.size() / 2); }},
        {"the table directory is cut short", [](std::string& f) { Put16(f, 4, 0xFFFF); }},
        {"the em size is out of range", [&](std::string& f) { Put16(f, head + 18, 0); }},
        {"the glyph widths are cut short",
         [&](std::string& f) { Put16(f, TableAt(f, "maxp") + 4, 0xFFFF); }},
        {"the glyph locations are cut short",
         [&](std::string& f) { Put16(f, EntryOf(f, "loca") + 14, 4); }},
        {"the character map is cut short",
         [&](std::string& f) { Put16(f, TableAt(f, "cmap") + 2, 0xFFFF); }},
        {"a glyph lies outside the glyph table",
         [&](std::string& f) { Put16(f, loca + 4, 0xFFFF); }},
        // The missing glyph made a composite of itself.
        {"composite glyphs nest too deeply or in a circle", [&](std::string& f) {
             const size_t g = glyf + U16(f, loca + 2);
             Put16(f, g, 0xFFFF), Put16(f, g + 10, 2), Put16(f, g + 12, 0);
         }}};
    for (const auto& [why, damage] : damages) {
        std::string bad = good;
        damage(bad);
        EXPECT_EQ(Raised([&] { fontfuzz::DrawEveryCharacter(bad); }),
                  "80040001 The font file fuzz.ttf is damaged or not a TrueType font: " +
                      std::string(why) + ".");
    }
    // Stray bytes anywhere the reader looks: refused or drawn, never a crash (the sanitizer
    // build checks every read).
    std::mt19937 random(19);
    const std::pair<size_t, size_t> regions[] = {
        {0, 400}, {TableAt(good, "cmap"), 7056}, {glyf, 40000}, {head, 66456}};
    int refused = 0;
    for (int trial = 0; trial < 300; ++trial) {
        std::string bad = good;
        const auto& [from, length] = regions[random() % 4];
        for (int n = 1 + int(random() % 8); n > 0; --n)
            bad[from + random() % length] = char(random());
        refused += Raised([&] { fontfuzz::DrawEveryCharacter(bad); }) != "(no error)";
    }
    EXPECT_GT(refused, 10);
}

TEST(Fonts, LinesAreMeasuredAsBefore) {
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
    // FreeType's line heights: a character height of 16 needs a cell of 19, ascent 15.
    EXPECT_EQ(a.height, 19);
    EXPECT_EQ(platform::fonts::FontLineMetrics(lf).ascent, 15);
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

    // Underline and strikeout are whole rows of ink under the baseline and half-way up.
    LOGFONTA marked = platform::MakeLogFont("", 12, false, false);
    marked.lfUnderline = marked.lfStrikeOut = 1;
    const platform::fonts::InkImage ink = platform::fonts::RenderText(marked, "...");
    std::vector<int32_t> rows;
    for (int32_t y = 0; y < ink.height; ++y) {
        const auto row = ink.ink.begin() + y * ink.width;
        if (std::count(row, row + ink.width, 1) == ink.width) rows.push_back(y);
    }
    EXPECT_EQ(rows, (std::vector<int32_t>{9, 15}));
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
