#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "platform/headless/FrameFile.h"

namespace {

TEST(HeadlessSession, FrameFilesAndHashes) {
    Bitmap frame(3, 2, false);
    frame.pixels = {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255), 0, 0, RGB(1, 2, 3)};
    const uint64_t hash = platform::FrameHash(frame);
    frame.pixels[5] = RGB(1, 2, 4);
    EXPECT_NE(platform::FrameHash(frame), hash);
    frame.pixels[5] = RGB(1, 2, 3);
    EXPECT_EQ(platform::FrameHash(frame), hash);

    const std::string path = ::testing::TempDir() + "quadrix_frame_test.bmp";
    ASSERT_TRUE(platform::WriteBmp(frame, path));
    std::ifstream in(path, std::ios::binary);
    std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)),
                                     std::istreambuf_iterator<char>());
    // 54-byte header with width and height, two rows of 9 bytes padded to 12, stored bottom
    // row first as B, G, R: the bottom row's third pixel is RGB(1, 2, 3), the top row's first red.
    ASSERT_EQ(bytes.size(), 54u + 24u);
    const std::pair<size_t, int> expected[] = {{0, 'B'},    {18, 3},     {22, 2},
                                               {54 + 6, 3}, {54 + 8, 1}, {66 + 2, 255}};
    for (const auto& [at, value] : expected)
        EXPECT_EQ(bytes[at], value) << "byte " << at;
    std::remove(path.c_str());
    EXPECT_FALSE(platform::WriteBmp(frame, "/nonexistent-folder/x.bmp"));
}

}  // namespace
