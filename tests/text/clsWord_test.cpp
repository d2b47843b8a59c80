#include "text/clsWord.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "platform/Error.h"

namespace {

constexpr COLORREF kKey = RGB(255, 0, 255);
constexpr COLORREF kGrey = RGB(128, 128, 128);
constexpr int32_t kCell = 10;
constexpr int32_t kHeight = 5;

std::string TempPath(const std::string& name) {
    return (std::filesystem::path(::testing::TempDir()) / name).string();
}

// A GIF of 8-bit LZW codes with a clear code every 100 pixels, so the code width never grows
// and no compression is needed.
void WriteGif(const std::string& path, int32_t width, int32_t height,
              const std::vector<COLORREF>& palette, const std::vector<uint8_t>& indices) {
    std::string f = "GIF89a";
    auto put16 = [&](int32_t v) {
        f += static_cast<char>(v & 255);
        f += static_cast<char>((v >> 8) & 255);
    };
    put16(width);
    put16(height);
    f += static_cast<char>(0xF6);  // global table of 128 colours
    f += '\0';
    f += '\0';
    for (int i = 0; i < 128; ++i) {
        const COLORREF c = i < static_cast<int>(palette.size()) ? palette[i] : 0;
        f += static_cast<char>(c & 255);
        f += static_cast<char>((c >> 8) & 255);
        f += static_cast<char>((c >> 16) & 255);
    }
    f += ',';
    put16(0);
    put16(0);
    put16(width);
    put16(height);
    f += '\0';
    f += static_cast<char>(7);  // minimum code size: codes are 8 bits, clear 128, end 129
    std::string codes;
    for (size_t i = 0; i < indices.size(); ++i) {
        if (i % 100 == 0) codes += static_cast<char>(128);
        codes += static_cast<char>(indices[i]);
    }
    codes += static_cast<char>(129);
    for (size_t at = 0; at < codes.size(); at += 255) {
        const std::string block = codes.substr(at, 255);
        f += static_cast<char>(block.size());
        f += block;
    }
    f += '\0';
    f += ';';
    std::ofstream(path, std::ios::binary) << f;
}

struct Ink {
    char code;
    int32_t width;
    COLORREF color;
};
const std::vector<Ink> kInks = {{'!', 10, RGB(255, 255, 255)}, {'A', 8, RGB(255, 0, 0)},
                                {'B', 6, RGB(0, 255, 0)},      {'a', 5, RGB(0, 0, 255)},
                                {'b', 7, RGB(255, 255, 0)},    {'c', 3, RGB(0, 255, 255)}};

// 90 cells of 10 x 5 in the key colour; each inked glyph is a bar of its width, centred as
// the layout expects (odd margins round half to even).
void WriteGlyphPicture(const std::string& path) {
    std::vector<COLORREF> palette = {kKey};
    std::vector<uint8_t> indices(static_cast<size_t>(90 * kCell * kHeight), 0);
    for (const Ink& ink : kInks) {
        palette.push_back(ink.color);
        const int32_t left = (ink.code - 33) * kCell +
                             static_cast<int32_t>(std::nearbyint((kCell - ink.width) / 2.0));
        for (int32_t y = 0; y < kHeight; ++y) {
            for (int32_t x = left; x < left + ink.width; ++x) {
                indices[static_cast<size_t>(y * 90 * kCell + x)] =
                    static_cast<uint8_t>(palette.size() - 1);
            }
        }
    }
    WriteGif(path, 90 * kCell, kHeight, palette, indices);
}

std::string Line(int code, const std::string& width) {
    return "\t<ASCII>" + std::to_string(code) + "</ASCII><CHR>x</CHR><WIDTH>" + width +
           "</WIDTH>\r\n";
}

std::string MakeFont(const std::string& name) {
    const std::string base = TempPath(name);
    WriteGlyphPicture(base + ".gif");
    std::ofstream(base + ".txt", std::ios::binary)
        << "<CHARACTERS>\r\n"
        << Line(32, "10") << Line(33, "10") << Line(65, "8") << Line(66, "6") << Line(97, "5")
        << Line(98, "7") << Line(99, "3") << "\t<ASCII>300</ASCII><WIDTH>98</WIDTH>\r\n"
        << Line(200, "99") << Line(100, "70000") << Line(101, "6.5") << Line(102, " 7.5 ")
        << Line(103, "wide") << "\t<ASCII>x</ASCII><WIDTH>1</WIDTH>\r\n"
        << "</CHARACTERS>\r\n<OTHER><ASCII>65</ASCII><WIDTH>1</WIDTH></OTHER>\r\n";
    return base;
}

class Target {
  public:
    Target(int32_t width, int32_t height) {
        HDC screen = GetDC(nullptr);
        dc_ = CreateCompatibleDC(screen);
        bitmap_ = CreateCompatibleBitmap(screen, width, height);
        first_ = SelectObject(dc_, bitmap_);
        ReleaseDC(nullptr, screen);
        for (int32_t y = 0; y < height; ++y) {
            for (int32_t x = 0; x < width; ++x)
                SetPixelV(dc_, x, y, kGrey);
        }
    }
    ~Target() {
        SelectObject(dc_, first_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    HDC dc() const { return dc_; }

  private:
    HDC dc_;
    HBITMAP bitmap_;
    HGDIOBJ first_;
};

int32_t TextWidth(clsWord& word, const std::string& text) {
    return word.TextInfo(text)[1];
}

}  // namespace

TEST(ClsWord, DescriptionFileAndTextInfo) {
    clsWord word;
    word.Initialize(MakeFont("qx_word_desc"), static_cast<kelSprite3::Color>(kKey));
    EXPECT_EQ(word.CellWidth(), 10);
    EXPECT_EQ(word.CellHeight(), 5);
    EXPECT_EQ(word.Width(32), 10);
    EXPECT_EQ(word.Width('A'), 8);  // the OTHER element outside CHARACTERS changes nothing
    // An ASCII that is no byte does not send its WIDTH to the code before it.
    EXPECT_EQ(word.Width('c'), 3);
    EXPECT_EQ(word.Width('d'), 0);  // 70000 is no 16-bit value
    EXPECT_EQ(word.Width('e'), 6);  // halves to even
    EXPECT_EQ(word.Width('f'), 8);
    EXPECT_EQ(word.Width('g'), 0);
    EXPECT_EQ(word.Width(200), 0);

    EXPECT_EQ(word.TextInfo("A"), (std::array<int32_t, 3>{0, 8, 5}));
    EXPECT_EQ(word.TextInfo(""), (std::array<int32_t, 3>{0, 0, 0}));

    std::string tag = "WIDTH", text = "4", err;
    std::vector<std::string> context = {"", "CHARACTERS", "WIDTH"};
    std::string ascii = "ASCII", code = "65";
    word.XMLCallBack(ascii, code, context, err);
    word.XMLCallBack(tag, text, context, err);
    EXPECT_EQ(word.Width('A'), 4);
    EXPECT_TRUE(err.empty());
    std::vector<std::string> bare = {""};
    text = "9";
    word.XMLCallBack(tag, text, bare, err);
    EXPECT_EQ(word.Width('A'), 4);

    const std::string missing = TempPath("qx_word_missing");
    try {
        clsWord none;
        none.Initialize(missing, -1);
        ADD_FAILURE() << "no error";
    } catch (const platform::Error& e) {
        EXPECT_EQ(std::string(e.what()), "Can't find file '" + missing + ".gif'.");
    }
}

TEST(ClsWord, SpacingRules) {
    clsWord word;
    word.Initialize(MakeFont("qx_word_spacing"), static_cast<kelSprite3::Color>(kKey));
    // Capitals advance by the full width, others by 0.8 of it.
    EXPECT_EQ(TextWidth(word, "AB"), 8 + 6);
    ASSERT_EQ(word.Glyphs().size(), 2u);
    EXPECT_EQ(word.Glyphs()[0].X, -1);  // ink of 8 in a cell of 10: one column left of the pen
    EXPECT_EQ(word.Glyphs()[1].X, 8 - 2);
    EXPECT_EQ(word.Glyphs()[1].Code, 'B');
    EXPECT_EQ(TextWidth(word, "ab"), 4 + 7);
    EXPECT_EQ(word.Glyphs()[1].X, 4 - 2);  // margin 1.5 rounds to 2
    EXPECT_EQ(TextWidth(word, "c"), 3);
    EXPECT_EQ(word.Glyphs()[0].X, -4);  // margin 3.5 rounds to 4
    EXPECT_EQ(TextWidth(word, "!!"), 8 + 10);
    EXPECT_EQ(word.Glyphs()[1].X, 8);  // a full-width glyph has no margin

    // Gaps: 1.5, 0.65, 0.55 and 0.7 of the space width, halves to even.
    EXPECT_EQ(TextWidth(word, "A B"), 8 + 15 + 6);
    EXPECT_EQ(TextWidth(word, "A b"), 12 + 7);  // 6 + 6.5 = 12.5 -> 12
    EXPECT_EQ(TextWidth(word, "a B"), 10 + 6);  // 4 + 5.5 = 9.5 -> 10
    EXPECT_EQ(TextWidth(word, "a b"), 4 + 7 + 7);
    // Runs of spaces are one gap; spaces at a line start are dropped.
    EXPECT_EQ(TextWidth(word, "a    b "), 18);
    EXPECT_EQ(TextWidth(word, "  a"), 5);
    EXPECT_EQ(word.Glyphs()[0].X, -2);
}

TEST(ClsWord, LinesAndLimits) {
    clsWord word;
    word.Initialize(MakeFont("qx_word_lines"), static_cast<kelSprite3::Color>(kKey));
    // CR moves down 0.9 of a line (4.5 -> 4, 8.5 -> 8); LF and other codes do nothing.
    EXPECT_EQ(word.TextInfo("a\rb"), (std::array<int32_t, 3>{0, 7, 4 + 5}));
    EXPECT_EQ(word.Glyphs()[1].Y, 4);
    EXPECT_EQ(word.Glyphs()[1].X, -2);
    EXPECT_EQ(word.TextInfo("a\r\rb"), (std::array<int32_t, 3>{0, 7, 8 + 5}));
    EXPECT_EQ(word.TextInfo("a\nb\x7f"), (std::array<int32_t, 3>{0, 11, 5}));
    // The widest line counts, wherever it is.
    EXPECT_EQ(word.TextInfo("ab\rc"), (std::array<int32_t, 3>{0, 11, 9}));
    EXPECT_EQ(word.TextInfo("c\rab"), (std::array<int32_t, 3>{0, 11, 9}));
    // No glyph at all: no width.
    EXPECT_EQ(word.TextInfo("  \r"), (std::array<int32_t, 3>{0, 0, 9}));

    // The glyph table holds 2000; the rest of the text is left out.
    EXPECT_EQ(word.TextInfo(std::string(2500, 'a'))[1], 1999 * 4 + 5);
    EXPECT_EQ(word.Glyphs().size(), 2000u);
}

TEST(ClsWord, BlitAndCreateSprite) {
    clsWord word;
    word.Initialize(MakeFont("qx_word_blit"), static_cast<kelSprite3::Color>(kKey));
    Target target(30, 8);
    word.BitBlt(target.dc(), nullptr, "AB", 3, 1);
    // A's ink starts at the pen (3) and ends where B's begins; key-colour columns stay grey.
    EXPECT_EQ(GetPixel(target.dc(), 2, 1), kGrey);
    EXPECT_EQ(GetPixel(target.dc(), 3, 1), RGB(255, 0, 0));
    EXPECT_EQ(GetPixel(target.dc(), 10, 5), RGB(255, 0, 0));
    EXPECT_EQ(GetPixel(target.dc(), 11, 1), RGB(0, 255, 0));
    EXPECT_EQ(GetPixel(target.dc(), 16, 1), RGB(0, 255, 0));
    EXPECT_EQ(GetPixel(target.dc(), 17, 1), kGrey);
    EXPECT_EQ(GetPixel(target.dc(), 3, 0), kGrey);
    EXPECT_EQ(GetPixel(target.dc(), 3, 6), kGrey);

    auto sprite = word.CreateSprite("a b");
    ASSERT_TRUE(sprite);
    EXPECT_TRUE(sprite->Sprite());
    EXPECT_EQ(sprite->Width(), 18);
    EXPECT_EQ(sprite->Height(), 5);
    EXPECT_EQ(sprite->GetPixel(0, 0), static_cast<kelSprite3::Color>(RGB(0, 0, 255)));
    EXPECT_EQ(sprite->GetPixel(4, 4), static_cast<kelSprite3::Color>(RGB(0, 0, 255)));
    EXPECT_EQ(sprite->GetPixel(5, 0), kelSprite3::kTransparentPixel);
    EXPECT_EQ(sprite->GetPixel(10, 2), kelSprite3::kTransparentPixel);
    EXPECT_EQ(sprite->GetPixel(11, 0), static_cast<kelSprite3::Color>(RGB(255, 255, 0)));
    EXPECT_EQ(sprite->GetPixel(17, 4), static_cast<kelSprite3::Color>(RGB(255, 255, 0)));
}

TEST(ClsWord, SaveWritesADescriptionThatReadsBack) {
    clsWord writer;
    const std::string base = TempPath("qx_word_saved");
    writer.Save(base + ".txt");
    std::ifstream in(base + ".txt", std::ios::binary);
    const std::string content((std::istreambuf_iterator<char>(in)),
                              std::istreambuf_iterator<char>());
    ASSERT_GE(content.size(), 30u);
    EXPECT_EQ(content.substr(0, 14), "<CHARACTERS>\r\n");
    EXPECT_EQ(content.substr(content.size() - 15), "</CHARACTERS>\r\n");

    const std::regex line("\t<ASCII>(\\d+)</ASCII><CHR>([\\s\\S])</CHR><WIDTH>(\\d+)</WIDTH>\r");
    std::istringstream lines(content);
    std::string text;
    std::getline(lines, text);
    std::vector<int> widths;
    for (int code = 32; code <= 122; ++code) {
        ASSERT_TRUE(std::getline(lines, text));
        std::smatch m;
        ASSERT_TRUE(std::regex_match(text, m, line)) << text;
        EXPECT_EQ(std::stoi(m[1]), code);
        EXPECT_EQ(m[2].str(), std::string(1, static_cast<char>(code)));
        widths.push_back(std::stoi(m[3]));
    }
    // Pixels, not twips: a capital at 56 points is some tens of pixels wide.
    EXPECT_GT(widths['W' - 32], 20);
    EXPECT_LT(widths['W' - 32], 150);
    EXPECT_LT(widths['i' - 32], widths['W' - 32]);

    // Every width reads back, ">" included.
    WriteGlyphPicture(base + ".gif");
    clsWord reader;
    reader.Initialize(base, -1);
    for (int code = 32; code <= 122; ++code)
        EXPECT_EQ(reader.Width(code), widths[code - 32]);

    EXPECT_THROW(writer.Save(TempPath("qx_no_such_folder/x.txt")), platform::Error);
}
