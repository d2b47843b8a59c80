#include <gtest/gtest.h>

#include "TempDir.h"
#include "platform/headless/FrameFile.h"
#include "platform/pictures/Pictures.h"

namespace {

void Le(std::string& s, uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i)
        s += static_cast<char>((v >> (8 * i)) & 255);
}

COLORREF PaletteColor(int i) {
    return RGB(i, 255 - i, (i * 3) & 255);
}
int GifIndex(int32_t x, int32_t y) {
    return (x * 7 + y * 31) & 255;
}

// GIF with a 256-colour table; every pixel is a literal LZW code and a clear code comes before
// the code table would need wider codes, so no compression logic is needed here.
std::string MakeGif(int32_t w, int32_t h) {
    std::string s = "GIF89a";
    Le(s, static_cast<uint32_t>(w | h << 16), 4);
    s += std::string("\xF7\0\0", 3);
    for (int i = 0; i < 256; ++i)
        Le(s, PaletteColor(i), 3);  // red first, as in a COLORREF
    s += ',';
    Le(s, 0, 4);
    Le(s, static_cast<uint32_t>(w | h << 16), 4);
    s += std::string("\0\x08", 2);
    std::string data;
    uint32_t bits = 0, nbits = 0;
    auto emit = [&](uint32_t code) {
        for (bits |= code << nbits, nbits += 9; nbits >= 8; bits >>= 8, nbits -= 8)
            data += static_cast<char>(bits & 255);
    };
    for (int32_t i = 0; i < w * h; ++i) {
        if (i % 200 == 0) emit(256);
        emit(static_cast<uint32_t>(GifIndex(i % w, i / w)));
    }
    emit(257);
    if (nbits > 0) data += static_cast<char>(bits & 255);
    for (size_t at = 0; at < data.size(); at += 255) {
        s += static_cast<char>(std::min<size_t>(255, data.size() - at));
        s += data.substr(at, 255);
    }
    return s + std::string("\0;", 2);
}

TEST(Pictures, BmpAndGifDecodeToExactPixels) {
    TempDir dir;
    // Written by our own frame writer, so this also checks its pixel order and row padding.
    Bitmap source(5, 3, false);  // 15 bytes a row: padding in play
    for (int32_t i = 0; i < 15; ++i)
        source.pixels[i] = RGB(i % 5 * 40 + 1, i / 5 * 90 + 2, (i % 5 ^ i / 5) * 17);
    ASSERT_TRUE(platform::WriteBmp(source, dir.File("p.bmp")));
    std::string error;
    HBITMAP bmp = platform::LoadPictureFile(dir.File("p.bmp"), &error);
    ASSERT_NE(bmp, nullptr) << error;
    EXPECT_EQ(std::pair(bmp->width, bmp->height), std::pair(5, 3));
    EXPECT_FALSE(bmp->monochrome);
    EXPECT_EQ(bmp->pixels, source.pixels);
    DeleteObject(bmp);

    dir.Write("p.gif", MakeGif(37, 23));  // 851 pixels: several clear codes
    HBITMAP gif = platform::LoadPictureFile(dir.File("p.gif"), &error);
    ASSERT_NE(gif, nullptr) << error;
    EXPECT_EQ(std::pair(gif->width, gif->height), std::pair(37, 23));
    std::vector<uint32_t> want;
    for (int32_t i = 0; i < 37 * 23; ++i)
        want.push_back(PaletteColor(GifIndex(i % 37, i / 37)));
    EXPECT_EQ(gif->pixels, want);
    DeleteObject(gif);
}

TEST(Pictures, FailuresNameThePathOrTheReason) {
    TempDir dir;
    dir.Write("text.gif", "this is no picture at all");
    // A header promising a gigantic picture is refused before anything is allocated.
    ASSERT_TRUE(platform::WriteBmp(Bitmap(1, 1, false), dir.File("huge.bmp")));
    dir.Write("huge.bmp", dir.Read("huge.bmp").replace(18, 8, std::string("\0\0\1\0\0\0\1\0", 8)));
    // So is a GIF whose first frame is far larger than its screen; with a sound one it loads.
    std::string gif = MakeGif(2, 2);
    gif.insert(781, std::string("\x21\xF9\x04\x00\x00\x00\x00\x00", 8));  // control block
    dir.Write("small.gif", gif);
    dir.Write("frame.gif", gif.replace(781 + 8 + 5, 4, "\x60\xEA\x60\xEA"));  // 60000 x 60000
    const std::string missing = dir.File("images/Dollar.bmp"), text = dir.File("text.gif");
    const std::pair<std::string, std::string> rows[] = {{missing, Quoted(missing)},
                                                        {text, Quoted(text)},
                                                        {dir.File("huge.bmp"), "too large"},
                                                        {dir.File("frame.gif"), "too large"}};
    std::string error;
    for (const auto& [path, reason] : rows) {
        error.clear();
        EXPECT_EQ(platform::LoadPictureFile(path, &error), nullptr) << path;
        EXPECT_NE(error.find(reason), std::string::npos) << error;
    }
    HBITMAP small = platform::LoadPictureFile(dir.File("small.gif"), &error);
    ASSERT_NE(small, nullptr) << error;
    EXPECT_EQ(small->row(1)[1], PaletteColor(GifIndex(1, 1)));
    DeleteObject(small);
    EXPECT_EQ(platform::LoadPictureFile(dir.path(), nullptr), nullptr);  // a folder, no error text
}

}  // namespace
