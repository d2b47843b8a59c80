#include "text/clsWord.h"

#include <fstream>

#include "../graphics/SpriteTestSupport.h"

using Info = std::array<int32_t, 3>;
constexpr COLORREF kKey = RGB(255, 0, 255), kGrey = RGB(128, 128, 128), kRed = RGB(255, 0, 0),
                   kGreen = RGB(0, 255, 0), kBlue = RGB(0, 0, 255), kYellow = RGB(255, 255, 0);
constexpr int32_t kCell = 10, kHeight = 5;

// 90 cells of 10 x 5 in the key colour; an inked glyph is a bar of its width, centred as the
// layout expects (margins (10 - width) / 2, half to even). The loader reads BMP whatever the name.
// Gives the font's base path in the temporary folder.
static std::string WriteGlyphs(const std::string& name) {
    std::vector<COLORREF> pixels(90 * kCell * kHeight, kKey);
    const std::tuple<char, int, int, COLORREF> ink[] = {
        {'A', 8, 1, kRed}, {'B', 6, 2, kGreen}, {'a', 5, 2, kBlue}, {'b', 7, 2, kYellow}};
    for (const auto& [code, width, margin, color] : ink)
        for (int y = 0; y < kHeight; ++y)
            std::fill_n(pixels.begin() + y * 90 * kCell + (code - 33) * kCell + margin, width,
                        color);
    const std::string gif = spritetest::WriteBmp(name + ".gif", 90 * kCell, kHeight, pixels);
    return gif.substr(0, gif.size() - 4);
}

static std::string Line(int code, const std::string& width, char chr = 'x') {
    return "\t<ASCII>" + std::to_string(code) + "</ASCII><CHR>" + chr + "</CHR><WIDTH>" + width +
           "</WIDTH>\r\n";
}

// Space 10, A 8, B 6, a 5, b 7, c 3, ! 10, and entries that must be ignored or rounded.
static clsWord MakeFont(const std::string& name) {
    const std::string base = WriteGlyphs(name);
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

TEST(ClsWord, DescriptionSpacingRulesAndTextInfo) {
    clsWord word = MakeFont("qx_word_layout");
    EXPECT_TRUE(word.CellWidth() == 10 && word.CellHeight() == 5);
    // A outside CHARACTERS stays 8; the ASCII 300 (no byte) leaves c alone; 70000 and "wide"
    // are ignored; 6.5 and 7.5 round half to even; code 200 has no entry.
    const std::map<int, int> expected = {{32, 10}, {65, 8},  {99, 3},  {100, 0},
                                         {101, 6}, {102, 8}, {103, 0}, {200, 0}};
    for (const auto& [code, width] : expected)
        EXPECT_EQ(word.Width(code), width) << code;

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
    const COLORREF blit[][3] = {{2, 1, kGrey},   {3, 1, kRed},   {10, 5, kRed}, {11, 1, kGreen},
                                {16, 1, kGreen}, {17, 1, kGrey}, {3, 0, kGrey}, {3, 6, kGrey}};
    for (const auto& [x, y, c] : blit)
        EXPECT_EQ(target.at(x, y), c) << x << "," << y;

    auto sprite = word.CreateSprite("a b");
    EXPECT_TRUE(sprite->Sprite() && sprite->Width() == 18 && sprite->Height() == 5);
    const auto clear = static_cast<COLORREF>(kelSprite3::kTransparentPixel);
    const COLORREF sprited[][3] = {{0, 0, kBlue},  {4, 4, kBlue},    {5, 0, clear},
                                   {10, 2, clear}, {11, 0, kYellow}, {17, 4, kYellow}};
    for (const auto& [x, y, c] : sprited)
        EXPECT_EQ(static_cast<COLORREF>(sprite->GetPixel(x, y)), c) << x << "," << y;
}

TEST(ClsWord, SaveWritesADescriptionThatReadsBackAndMissingFiles) {
    const std::string base = WriteGlyphs("qx_word_saved");
    clsWord().Save(base + ".txt");
    std::ifstream in(base + ".txt", std::ios::binary);
    const std::string content{std::istreambuf_iterator<char>(in), {}};
    // Every width reads back, ">" included, and the file is exactly the lines it describes.
    clsWord reader;
    reader.Initialize(base, -1);
    std::string want = "<CHARACTERS>\r\n";
    for (int code = 32; code <= 122; ++code)
        want += Line(code, std::to_string(reader.Width(code)), static_cast<char>(code));
    EXPECT_EQ(content, want + "</CHARACTERS>\r\n");
    // Pixels, not twips: a capital at 56 points is some tens of pixels wide.
    EXPECT_TRUE(reader.Width('W') > 20 && reader.Width('W') < 150);
    EXPECT_LT(reader.Width('i'), reader.Width('W'));
    EXPECT_THROW(reader.Save(base + "_no_folder/x.txt"), platform::Error);
    // A missing picture names the file the font asked for.
    const std::string missing = base + "_missing";
    EXPECT_EQ(Raised([&] { clsWord().Initialize(missing, -1); }).substr(9),
              "Can't find file '" + missing + ".gif'.");
}
