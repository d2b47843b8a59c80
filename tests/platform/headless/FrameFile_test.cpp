#include "platform/headless/FrameFile.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

// The pixels a written BMP carries are checked by reading it back in the picture tests.
TEST(FrameFile, HashesFollowEveryChannelAndFilesReportFailure) {
    Bitmap frame(3, 2, false);
    frame.pixels = {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255), 0, 0, RGB(1, 2, 3)};
    const uint64_t hash = platform::FrameHash(frame);
    for (COLORREF changed : {RGB(0, 2, 3), RGB(1, 3, 3), RGB(1, 2, 4)}) {
        frame.pixels[5] = changed;
        EXPECT_NE(platform::FrameHash(frame), hash) << changed;
    }
    frame.pixels[5] = RGB(1, 2, 3);
    EXPECT_EQ(platform::FrameHash(frame), hash);

    // 54-byte header, then two rows of 9 bytes padded to 12.
    const std::string path = ::testing::TempDir() + "quadrix_frame_test.bmp";
    ASSERT_TRUE(platform::WriteBmp(frame, path));
    EXPECT_EQ(std::filesystem::file_size(path), 54u + 24u);
    std::remove(path.c_str());
    EXPECT_FALSE(platform::WriteBmp(frame, "/nonexistent-folder/x.bmp"));
}
