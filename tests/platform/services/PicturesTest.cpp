#include <gtest/gtest.h>

#include "TempDir.h"
#include "platform/pictures/Pictures.h"

namespace {

void Le16(std::string& s, uint32_t v) {
    s += static_cast<char>(v & 255);
    s += static_cast<char>((v >> 8) & 255);
}
void Le32(std::string& s, uint32_t v) {
    Le16(s, v & 0xFFFF);
    Le16(s, v >> 16);
}

// 24-bit bottom-up BMP, rows padded to four bytes.
std::string MakeBmp(int32_t w, int32_t h, COLORREF (*color)(int32_t, int32_t)) {
    const uint32_t stride = (static_cast<uint32_t>(w) * 3 + 3) & ~3u;
    std::string s = "BM";
    Le32(s, 54 + stride * h);
    Le32(s, 0);
    Le32(s, 54);
    Le32(s, 40);
    Le32(s, static_cast<uint32_t>(w));
    Le32(s, static_cast<uint32_t>(h));
    Le16(s, 1);
    Le16(s, 24);
    for (int i = 0; i < 6; ++i)
        Le32(s, 0);
    for (int32_t y = h - 1; y >= 0; --y) {
        std::string row;
        for (int32_t x = 0; x < w; ++x) {
            COLORREF c = color(x, y);
            row += static_cast<char>((c >> 16) & 255);  // blue first
            row += static_cast<char>((c >> 8) & 255);
            row += static_cast<char>(c & 255);
        }
        row.resize(stride, '\0');
        s += row;
    }
    return s;
}

COLORREF PaletteColor(int i) {
    return RGB(i, 255 - i, (i * 3) & 255);
}

// GIF with a 256-colour table; every pixel is a literal LZW code and a clear code comes before
// the code table would need wider codes, so no compression logic is needed here.
std::string MakeGif(int32_t w, int32_t h, int (*index)(int32_t, int32_t)) {
    std::string s = "GIF89a";
    Le16(s, w);
    Le16(s, h);
    s += static_cast<char>(0xF7);
    s += '\0';
    s += '\0';
    for (int i = 0; i < 256; ++i) {
        COLORREF c = PaletteColor(i);
        s += static_cast<char>(c & 255);
        s += static_cast<char>((c >> 8) & 255);
        s += static_cast<char>((c >> 16) & 255);
    }
    s += ',';
    Le16(s, 0);
    Le16(s, 0);
    Le16(s, w);
    Le16(s, h);
    s += '\0';
    s += static_cast<char>(8);
    std::string data;
    uint32_t bits = 0, nbits = 0;
    auto emit = [&](uint32_t code) {
        bits |= code << nbits;
        nbits += 9;
        while (nbits >= 8) {
            data += static_cast<char>(bits & 255);
            bits >>= 8;
            nbits -= 8;
        }
    };
    int sinceClear = 0;
    for (int32_t y = 0; y < h; ++y) {
        for (int32_t x = 0; x < w; ++x) {
            if (sinceClear++ % 200 == 0) emit(256);
            emit(static_cast<uint32_t>(index(x, y)));
        }
    }
    emit(257);
    if (nbits > 0) data += static_cast<char>(bits & 255);
    for (size_t at = 0; at < data.size(); at += 255) {
        std::string block = data.substr(at, 255);
        s += static_cast<char>(block.size());
        s += block;
    }
    s += '\0';
    s += ';';
    return s;
}

TEST(Pictures, BmpAndGifDecodeToExactPixels) {
    TempDir dir;
    auto bmpColor = [](int32_t x, int32_t y) { return RGB(x * 40 + 1, y * 90 + 2, (x ^ y) * 17); };
    dir.Write("p.bmp", MakeBmp(5, 3, bmpColor));  // 15 bytes a row: padding in play
    std::string error;
    HBITMAP bmp = platform::LoadPictureFile(dir.File("p.bmp"), &error);
    ASSERT_NE(bmp, nullptr) << error;
    ASSERT_EQ(bmp->width, 5);
    ASSERT_EQ(bmp->height, 3);
    EXPECT_FALSE(bmp->monochrome);
    for (int32_t y = 0; y < 3; ++y) {
        for (int32_t x = 0; x < 5; ++x)
            EXPECT_EQ(bmp->row(y)[x], bmpColor(x, y)) << x << "," << y;
    }
    DeleteObject(bmp);

    auto gifIndex = [](int32_t x, int32_t y) { return (x * 7 + y * 31) & 255; };
    dir.Write("p.gif", MakeGif(37, 23, gifIndex));  // 851 pixels: several clear codes
    HBITMAP gif = platform::LoadPictureFile(dir.File("p.gif"), &error);
    ASSERT_NE(gif, nullptr) << error;
    ASSERT_EQ(gif->width, 37);
    ASSERT_EQ(gif->height, 23);
    int wrong = 0;
    for (int32_t y = 0; y < 23; ++y) {
        for (int32_t x = 0; x < 37; ++x)
            wrong += gif->row(y)[x] != PaletteColor(gifIndex(x, y));
    }
    EXPECT_EQ(wrong, 0);
    DeleteObject(gif);
}

TEST(Pictures, FailuresNameThePath) {
    TempDir dir;
    std::string error;
    const std::string missing = dir.File("images/Dollar.bmp");
    EXPECT_EQ(platform::LoadPictureFile(missing, &error), nullptr);
    EXPECT_NE(error.find(Quoted(missing)), std::string::npos) << error;

    dir.Write("text.gif", "this is no picture at all");
    EXPECT_EQ(platform::LoadPictureFile(dir.File("text.gif"), &error), nullptr);
    EXPECT_NE(error.find(Quoted(dir.File("text.gif"))), std::string::npos) << error;

    // A header promising a gigantic picture is refused before anything is allocated.
    std::string huge = MakeBmp(1, 1, [](int32_t, int32_t) { return RGB(1, 2, 3); });
    huge.replace(18, 8, std::string("\x00\x00\x01\x00\x00\x00\x01\x00", 8));  // 65536 x 65536
    dir.Write("huge.bmp", huge);
    EXPECT_EQ(platform::LoadPictureFile(dir.File("huge.bmp"), &error), nullptr);
    EXPECT_NE(error.find("too large"), std::string::npos) << error;

    // So is a GIF whose first frame is far larger than its screen.
    std::string gif = MakeGif(2, 2, [](int32_t x, int32_t) { return x; });
    gif.insert(781, std::string("\x21\xF9\x04\x00\x00\x00\x00\x00", 8));  // control block
    dir.Write("small.gif", gif);
    HBITMAP small = platform::LoadPictureFile(dir.File("small.gif"), &error);
    ASSERT_NE(small, nullptr) << error;
    EXPECT_EQ(small->row(1)[1], PaletteColor(1));
    DeleteObject(small);
    gif.replace(781 + 8 + 5, 4, "\x60\xEA\x60\xEA");  // frame 60000 x 60000
    dir.Write("frame.gif", gif);
    EXPECT_EQ(platform::LoadPictureFile(dir.File("frame.gif"), &error), nullptr);
    EXPECT_NE(error.find("too large"), std::string::npos) << error;

    EXPECT_EQ(platform::LoadPictureFile(dir.path(), nullptr), nullptr);  // a folder, no error text
}

}  // namespace
