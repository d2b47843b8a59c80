#include "text/clsWord.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <regex>
#include <sstream>

#include "../graphics/SpriteTestSupport.h"
#include "platform/Error.h"

namespace {

using Info = std::array<int32_t, 3>;
constexpr COLORREF kKey = RGB(255, 0, 255);
constexpr COLORREF kGrey = RGB(128, 128, 128);
constexpr int32_t kCell = 10;
constexpr int32_t kHeight = 5;
const std::vector<std::pair<char, COLORREF>> kInk = {
    {'A', RGB(255, 0, 0)}, {'B', RGB(0, 255, 0)}, {'a', RGB(0, 0, 255)}, {'b', RGB(255, 255, 0)}};

std::string Temp(const std::string& name) {
    return (std::filesystem::temp_directory_path() / name).string();
}

// 90 cells of 10 x 5 in the key colour; an inked glyph is a bar of its width, centred as the
// layout expects (odd margins round half to even). The loader reads BMP whatever the name.
void WriteGlyphs(const std::string& base, const std::map<char, int>& widths) {
    std::vector<COLORREF> pixels(90 * kCell * kHeight, kKey);
    for (const auto& [code, color] : kInk) {
        const int w = widths.at(code);
        const int left = (code - 33) * kCell + static_cast<int>(std::nearbyint((kCell - w) / 2.0));
        for (int y = 0; y < kHeight; ++y) {
            for (int x = left; x < left + w; ++x)
                pixels[y * 90 * kCell + x] = color;
        }
    }
    spritetest::WriteBmp(std::filesystem::path(base + ".gif").filename(), 90 * kCell, kHeight,
                         pixels);
}

std::string Line(int code, const std::string& width) {
    return "\t<ASCII>" + std::to_string(code) + "</ASCII><CHR>x</CHR><WIDTH>" + width +
           "</WIDTH>\r\n";
}

// Space 10, A 8, B 6, a 5, b 7, c 3, ! 10, and entries that must be ignored or rounded.
clsWord MakeFont(const std::string& name) {
    const std::string base = Temp(name);
    WriteGlyphs(base, {{'A', 8}, {'B', 6}, {'a', 5}, {'b', 7}});
    std::ofstream(base + ".txt", std::ios::binary)
        << "<CHARACTERS>\r\n"
        << Line(32, "10") << Line(33, "10") << Line(65, "8") << Line(66, "6") << Line(97, "5")
        << Line(98, "7") << Line(99, "3") << "<ASCII>300</ASCII><WIDTH>98</WIDTH>\r\n"
        << Line(200, "99") << Line(100, "70000") << Line(101, "6.5") << Line(102, " 7.5 ")
        << Line(103, "wide") << "</CHARACTERS>\r\n<X><ASCII>65</ASCII><WIDTH>1</WIDTH></X>\r\n";
    clsWord word;
    word.Initialize(base, static_cast<kelSprite3::Color>(kKey));
    return word;
}

}  // namespace

TEST(ClsWord, DescriptionFile) {
    clsWord word = MakeFont("qx_word_desc");
    EXPECT_EQ(word.CellWidth(), 10);
    EXPECT_EQ(word.CellHeight(), 5);
    // A outside CHARACTERS stays 8; the ASCII 300 (no byte) leaves c alone; 70000 and "wide"
    // are ignored; 6.5 and 7.5 round half to even; code 200 has no entry.
    const std::map<int, int> expected = {{32, 10}, {65, 8},  {99, 3},  {100, 0},
                                         {101, 6}, {102, 8}, {103, 0}, {200, 0}};
    for (const auto& [code, width] : expected)
        EXPECT_EQ(word.Width(code), width) << code;

    const std::string missing = Temp("qx_word_missing");
    try {
        clsWord().Initialize(missing, -1);
        ADD_FAILURE() << "no error";
    } catch (const platform::Error& e) {
        EXPECT_EQ(std::string(e.what()), "Can't find file '" + missing + ".gif'.");
    }
}

TEST(ClsWord, SpacingRulesAndTextInfo) {
    clsWord word = MakeFont("qx_word_spacing");
    // Text, width; then the last glyph's x (ink starts at the pen, the cell sits left of it).
    const std::vector<std::tuple<std::string, int32_t, int32_t>> cases = {
        {"A", 8, -1},         {"AB", 8 + 6, 8 - 2},  // capitals: full width
        {"ab", 4 + 7, 4 - 2}, {"c", 3, -4},          // others 0.8; margin 3.5 -> 4
        {"!!", 8 + 10, 8},    {"A B", 23 + 6, 21},   // no margin; gap 1.5 x space
        {"A b", 12 + 7, 10},  {"a B", 10 + 6, 8},    // 6 + 6.5 -> 12; 4 + 5.5 -> 10
        {"a b", 11 + 7, 9},   {"a    b ", 18, 9},    // 0.7; spaces are one gap
        {"  a", 5, -2},       {"a\nb\x7f", 11, 2},   // line start drops spaces; LF ignored
        {"ab\rc", 11, -4},    {"c\rab", 11, 2},      // the widest line counts
    };
    for (const auto& [text, width, x] : cases) {
        EXPECT_EQ(word.TextInfo(text)[1], width) << text;
        EXPECT_EQ(word.Glyphs().back().X, x) << text;
    }
    EXPECT_EQ(word.TextInfo("A"), (Info{0, 8, 5}));
    EXPECT_EQ(word.TextInfo(""), (Info{0, 0, 0}));
    // CR goes down 0.9 of a line: 4.5 -> 4, 8.5 -> 8.
    EXPECT_EQ(word.TextInfo("a\r\rb"), (Info{0, 7, 8 + 5}));
    EXPECT_EQ(word.Glyphs()[1].Y, 8);
    EXPECT_EQ(word.TextInfo("  \r"), (Info{0, 0, 9}));
    // The glyph table holds 2000; the rest of a longer text is left out.
    EXPECT_EQ(word.TextInfo(std::string(2500, 'a'))[1], 1999 * 4 + 5);
    EXPECT_EQ(word.Glyphs().size(), 2000u);
}

TEST(ClsWord, BlitAndCreateSprite) {
    clsWord word = MakeFont("qx_word_blit");
    spritetest::Target target(30, 8, kGrey);
    word.BitBlt(target.dc(), nullptr, "AB", 3, 1);
    // A's ink starts at the pen and ends where B's begins; key-colour cells leave grey.
    const std::vector<std::tuple<int, int, COLORREF>> pixels = {
        {2, 1, kGrey},           {3, 1, RGB(255, 0, 0)},
        {10, 5, RGB(255, 0, 0)}, {11, 1, RGB(0, 255, 0)},
        {16, 1, RGB(0, 255, 0)}, {17, 1, kGrey},
        {3, 0, kGrey},           {3, 6, kGrey}};
    for (const auto& [x, y, c] : pixels)
        EXPECT_EQ(target.at(x, y), c) << x << "," << y;

    auto sprite = word.CreateSprite("a b");
    EXPECT_TRUE(sprite->Sprite());
    EXPECT_EQ(sprite->Width(), 18);
    EXPECT_EQ(sprite->Height(), 5);
    const kelSprite3::Color blue = RGB(0, 0, 255), yellow = RGB(255, 255, 0);
    EXPECT_EQ(sprite->GetPixel(0, 0), blue);
    EXPECT_EQ(sprite->GetPixel(4, 4), blue);
    EXPECT_EQ(sprite->GetPixel(5, 0), kelSprite3::kTransparentPixel);
    EXPECT_EQ(sprite->GetPixel(10, 2), kelSprite3::kTransparentPixel);
    EXPECT_EQ(sprite->GetPixel(11, 0), yellow);
    EXPECT_EQ(sprite->GetPixel(17, 4), yellow);
}

TEST(ClsWord, SaveWritesADescriptionThatReadsBack) {
    const std::string base = Temp("qx_word_saved");
    clsWord().Save(base + ".txt");
    std::ifstream in(base + ".txt", std::ios::binary);
    std::stringstream content;
    content << in.rdbuf();
    const std::regex line("\t<ASCII>(\\d+)</ASCII><CHR>([\\s\\S])</CHR><WIDTH>(\\d+)</WIDTH>\r");
    std::string text;
    std::getline(content, text);
    EXPECT_EQ(text, "<CHARACTERS>\r");
    std::map<int, int> widths;
    for (int code = 32; code <= 122; ++code) {
        std::smatch m;
        ASSERT_TRUE(std::getline(content, text) && std::regex_match(text, m, line)) << text;
        EXPECT_EQ(std::stoi(m[1]), code);
        EXPECT_EQ(m[2].str(), std::string(1, static_cast<char>(code)));
        widths[code] = std::stoi(m[3]);
    }
    std::getline(content, text);
    EXPECT_EQ(text, "</CHARACTERS>\r");
    // Pixels, not twips: a capital at 56 points is some tens of pixels wide.
    EXPECT_GT(widths['W'], 20);
    EXPECT_LT(widths['W'], 150);
    EXPECT_LT(widths['i'], widths['W']);

    // Every width reads back, ">" included.
    WriteGlyphs(base, {{'A', 8}, {'B', 6}, {'a', 5}, {'b', 7}});
    clsWord reader;
    reader.Initialize(base, -1);
    for (const auto& [code, width] : widths)
        EXPECT_EQ(reader.Width(code), width) << code;
    EXPECT_THROW(reader.Save(Temp("qx_no_such_folder/x.txt")), platform::Error);
}
