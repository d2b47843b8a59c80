#include <gtest/gtest.h>

#include <fstream>

#include "TempDir.h"
#include "platform/headless/FrameFile.h"
#include "platform/pictures/Pictures.h"

TEST(Pictures, BmpDecodesToExactPixels) {
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
}

TEST(Pictures, FailuresNameThePathOrTheReason) {
    TempDir dir;
    dir.Write("text.gif", "this is no picture at all");
    // A header promising a gigantic picture, or a GIF frame far larger than its screen, is
    // refused before anything is allocated.
    ASSERT_TRUE(platform::WriteBmp(Bitmap(1, 1, false), dir.File("huge.bmp")));
    dir.Write("huge.bmp", dir.Read("huge.bmp").replace(18, 8, std::string("\0\0\1\0\0\0\1\0", 8)));
    const std::string missing = dir.File("images/Dollar.bmp"), text = dir.File("text.gif");
    const std::pair<std::string, std::string> rows[] = {
        {missing, Quoted(missing)},
        {text, Quoted(text)},
        {dir.File("huge.bmp"), "too large"},
        {QUADRIX_TEST_DATA "/../../fuzz/corpus/picture/refused_huge_first_frame.gif", "too large"}};
    std::string error;
    for (const auto& [path, reason] : rows) {
        error.clear();
        EXPECT_EQ(platform::LoadPictureFile(path, &error), nullptr) << path;
        EXPECT_NE(error.find(reason), std::string::npos) << error;
    }
    EXPECT_EQ(platform::LoadPictureFile(dir.path(), nullptr), nullptr);  // a folder, no error text
}

// Every picture the game ships and every valid corpus file decodes to the pixels it always
// had: a hash of the size and the pixels, taken with the decoder before ours, one line a
// picture in tests/data/picture_hashes.txt. For lzw_256_colours_61x47.gif, whose sub-blocks of
// a few bytes made the decoder before ours lose codes: its pixels as the encoder meant them
// (and as ImageMagick shows them).
TEST(Pictures, KnownPicturesKeepTheirPixels) {
    namespace fs = std::filesystem;
    const fs::path root = fs::path(QUADRIX_TEST_DATA).parent_path().parent_path();
    std::map<std::string, uint64_t> known;
    std::ifstream list(QUADRIX_TEST_DATA "/picture_hashes.txt");
    std::string name;
    for (uint64_t hash; list >> name >> std::hex >> hash;)
        known[name] = hash;
    std::vector<fs::path> files;
    for (const char* folder : {"images", "fuzz/corpus/picture"})
        for (const auto& entry : fs::directory_iterator(root / folder))
            if (!entry.path().filename().string().starts_with("refused_"))
                files.push_back(entry.path());
    EXPECT_EQ(files.size(), known.size());
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
        name = path.parent_path().filename().string() + "/" + path.filename().string();
        EXPECT_EQ(known[name], hash) << name << " " << std::hex << hash;
    }
}
