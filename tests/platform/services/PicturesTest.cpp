#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <tuple>

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
// the code table would need wider codes, so no compression logic is needed here. Interlaced
// rows are stored every 8th from 0, every 8th from 4, every 4th from 2, every 2nd from 1.
std::string MakeGif(int32_t w, int32_t h, bool interlaced = false) {
    std::string s = "GIF89a";
    Le(s, static_cast<uint32_t>(w | h << 16), 4);
    s += std::string("\xF7\0\0", 3);
    for (int i = 0; i < 256; ++i)
        Le(s, PaletteColor(i), 3);  // red first, as in a COLORREF
    s += ',';
    Le(s, 0, 4);
    Le(s, static_cast<uint32_t>(w | h << 16), 4);
    s += interlaced ? std::string("\x40\x08", 2) : std::string("\0\x08", 2);
    std::vector<int32_t> rows;
    for (auto [start, step] : {std::pair(0, interlaced ? 8 : 1), {4, 8}, {2, 4}, {1, 2}})
        for (int32_t y = start; y < h && (interlaced || start == 0); y += step)
            rows.push_back(y);
    std::string data;
    uint32_t bits = 0, nbits = 0;
    auto emit = [&](uint32_t code) {
        for (bits |= code << nbits, nbits += 9; nbits >= 8; bits >>= 8, nbits -= 8)
            data += static_cast<char>(bits & 255);
    };
    for (int32_t i = 0; i < w * h; ++i) {
        if (i % 200 == 0) emit(256);
        emit(static_cast<uint32_t>(GifIndex(i % w, rows[static_cast<size_t>(i / w)])));
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

    // 851 pixels: several clear codes; interlaced ones as short as to miss whole passes.
    for (auto [w, h, interlaced] :
         {std::tuple(37, 23, false), {37, 23, true}, {5, 4, true}, {5, 3, true}, {5, 2, true}}) {
        dir.Write("p.gif", MakeGif(w, h, interlaced));
        HBITMAP gif = platform::LoadPictureFile(dir.File("p.gif"), &error);
        ASSERT_NE(gif, nullptr) << error;
        EXPECT_EQ(std::pair(gif->width, gif->height), std::pair(w, h));
        std::vector<uint32_t> want;
        for (int32_t i = 0; i < w * h; ++i)
            want.push_back(PaletteColor(GifIndex(i % w, i / w)));
        EXPECT_EQ(gif->pixels, want) << w << "x" << h << (interlaced ? " interlaced" : "");
        DeleteObject(gif);
    }
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

// Every picture the game ships and every valid corpus file decodes to the pixels it always
// had: a hash of the size and the pixels, taken with the decoder before ours.
TEST(Pictures, KnownPicturesKeepTheirPixels) {
    namespace fs = std::filesystem;
    const fs::path root = fs::path(QUADRIX_TEST_DATA).parent_path().parent_path();
    const std::pair<std::string, uint64_t> known[] = {
        {"images/About.bmp", 0x9248ccc40bc31101ull},
        {"images/Dollar.bmp", 0xa745ccaff3f756c5ull},
        {"images/Icon.bmp", 0x291f8c5eb4e5305ull},
        {"images/Title.gif", 0xfa601f8c842e7aeull},
        {"picture/bitfields32_9x2_topdown.bmp", 0xc3e319efeeba5b2ull},
        {"picture/core_mono_28x8.bmp", 0xe4f30a4cb51a7d35ull},
        {"picture/core_pal8_table_into_pixels_31x7.bmp", 0x4a67ceacf78bd1e3ull},
        {"picture/gif87_2x2.gif", 0x63a6e3c76f9a3c5ull},
        {"picture/green_key_4x4.gif", 0x23b3f458e756a59full},
        {"picture/interlaced_37x23.gif", 0xd8840cb4f58c0f20ull},
        {"picture/local_table_interlaced_offset_40x30.gif", 0x5ec83bbee5b0bf3bull},
        {"picture/lzw_15x15.gif", 0x66b89771e26cd585ull},
        // Sub-blocks of a few bytes, across which the decoder before ours lost codes: its
        // pixels as the encoder meant them (and as ImageMagick shows them).
        {"picture/lzw_256_colours_61x47.gif", 0x5b6867db715b5317ull},
        {"picture/mono_9x2.bmp", 0x5fc04ed41e78f273ull},
        {"picture/pal4_1x12.bmp", 0xadbd9fcf7f4aaa0aull},
        {"picture/pal8_4x3.bmp", 0x1d73358be5020b34ull},
        {"picture/rgb16_9x5.bmp", 0x676b7756ac213284ull},
        {"picture/rgb24_3x2.bmp", 0x45cea39e45d07728ull},
        {"picture/rgb32_2x2_topdown.bmp", 0xdba6a8773bcbc185ull},
        {"picture/rle4_jumps_19x9.bmp", 0x77523dd406846bull},
        {"picture/rle8_imagemagick_17x5.bmp", 0x5dd7df7161077834ull},
        {"picture/rle8_jumps_6x6.bmp", 0xa7b3e670e7366735ull},
        {"picture/transparent_37x23.gif", 0x806d295ecf14cc53ull},
        {"picture/transparent_interlaced_3x5.gif", 0x8ab9e435f441f940ull},
        {"picture/v5_rgb24_3x5_topdown.bmp", 0x73a47b9a43142d17ull},
    };
    std::vector<fs::path> files;
    for (const char* folder : {"images", "fuzz/corpus/picture"})
        for (const auto& entry : fs::directory_iterator(root / folder))
            if (!entry.path().filename().string().starts_with("refused_"))
                files.push_back(entry.path());
    EXPECT_EQ(files.size(), std::size(known));
    for (const fs::path& path : files) {
        std::string error;
        HBITMAP picture = platform::LoadPictureFile(path.string(), &error);
        ASSERT_NE(picture, nullptr) << error;
        uint64_t hash = 14695981039346656037ull;  // FNV-1a over the size and the pixels
        auto mix = [&hash](uint32_t value) {
            for (int i = 0; i < 4; ++i)
                hash = (hash ^ ((value >> (8 * i)) & 255)) * 1099511628211ull;
        };
        mix(static_cast<uint32_t>(picture->width));
        mix(static_cast<uint32_t>(picture->height));
        for (uint32_t pixel : picture->pixels)
            mix(pixel);
        DeleteObject(picture);
        const std::string name =
            path.parent_path().filename().string() + "/" + path.filename().string();
        const auto* row = std::find_if(std::begin(known), std::end(known),
                                       [&](const auto& k) { return k.first == name; });
        EXPECT_TRUE(row != std::end(known) && row->second == hash)
            << "{\"" << name << "\", 0x" << std::hex << hash << "ull},";
    }
}

}  // namespace
