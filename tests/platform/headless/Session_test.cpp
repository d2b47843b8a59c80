// A whole little session on the headless back end: a form whose timer runs a paced drawing
// loop, steered by a script, must give the same frames for the same script and seed.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "platform/clock/Clock.h"
#include "platform/headless/FrameFile.h"
#include "platform/headless/Headless.h"
#include "platform/input/Keys.h"
#include "platform/window/Application.h"
#include "platform/window/Form.h"
#include "platform/window/PictureBox.h"
#include "platform/window/Timer.h"

namespace {

class PaintForm : public platform::Form {
  public:
    explicit PaintForm(uint32_t seed) : Form("frmPaint"), random(seed) {
        Add(pic);
        Add(tmr);
        pic.Move(4, 4, 40, 30);
        tmr.SetInterval(1);
        tmr.OnTimer = [this] { Loop(); };
    }
    void Form_Load() override { tmr.SetEnabled(true); }
    void Form_QueryUnload(bool& cancel, platform::UnloadMode mode) override {
        cancel = done = mode != platform::UnloadMode::Code;
    }
    // Each frame adds a dot, red while Left is held; 20 ms a frame on the virtual clock.
    void Loop() {
        tmr.SetEnabled(false);
        uint32_t next = 0;
        while (!done) {
            BYTE keys[256];
            GetKeyboardState(keys);
            std::uniform_int_distribution<int> pick(0, 39);  // fine here: same library both runs
            const int x = pick(random), y = pick(random) % 30;
            SetPixelV(pic.hDC(), x, y, keys[VK_LEFT] & 0x80 ? RGB(255, 0, 0) : RGB(0, 0, 255));
            pic.Refresh();
            platform::DoEvents();
            while (static_cast<int32_t>(next - timeGetTime()) > 0)
                Sleep(1);
            next = timeGetTime() + 20;
        }
        Unload();
    }
    platform::PictureBox pic{"picMain"};
    platform::Timer tmr{"tmrMain"};
    std::mt19937 random;
    bool done = false;
};

std::vector<uint64_t> RunSession(uint32_t seed) {
    platform::Headless& headless = platform::UseHeadless();
    headless.SetScreenSize(48, 38);
    platform::Application::Get().Reset();
    platform::HeadlessScript script;
    std::string error;
    EXPECT_TRUE(
        platform::HeadlessScript::Parse("at pass 5 key down Left\n"
                                        "at ms 200 key up Left\n"
                                        "at ms 400 close frmPaint user\n",
                                        script, &error))
        << error;
    headless.Load(script);
    headless.SetPassLimit(10'000);
    PaintForm form(seed);
    form.Show();
    EXPECT_TRUE(platform::Application::Get().RunMessageLoop());
    return headless.FrameHashes();
}

TEST(HeadlessSession, SameScriptAndSeedGiveTheSameFrames) {
    const std::vector<uint64_t> first = RunSession(7);
    const std::vector<uint64_t> second = RunSession(7);
    ASSERT_GE(first.size(), 15u);  // about 400 ms of 20 ms frames
    EXPECT_LE(first.size(), 25u);
    EXPECT_EQ(first, second);
    EXPECT_NE(first, RunSession(8));
    // Frames differ from one another (each adds a square).
    EXPECT_NE(first.front(), first.back());
}

TEST(HeadlessSession, FrameFilesAndHashes) {
    Bitmap frame(3, 2, false);
    frame.pixels = {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255), 0, 0, RGB(1, 2, 3)};
    const uint64_t hash = platform::FrameHash(frame);
    Bitmap same(3, 2, false);
    same.pixels = frame.pixels;
    EXPECT_EQ(platform::FrameHash(same), hash);
    same.pixels[5] = RGB(1, 2, 4);
    EXPECT_NE(platform::FrameHash(same), hash);

    const std::string path = ::testing::TempDir() + "quadrix_frame_test.bmp";
    ASSERT_TRUE(platform::WriteBmp(frame, path));
    std::ifstream in(path, std::ios::binary);
    std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)),
                                     std::istreambuf_iterator<char>());
    // 54-byte header, two rows of 9 bytes padded to 12, stored bottom row first as B, G, R.
    ASSERT_EQ(bytes.size(), 54u + 24u);
    EXPECT_EQ(bytes[0], 'B');
    EXPECT_EQ(bytes[18], 3);
    EXPECT_EQ(bytes[22], 2);
    EXPECT_EQ(bytes[54 + 6], 3);    // bottom row, third pixel: blue byte of RGB(1, 2, 3)
    EXPECT_EQ(bytes[54 + 8], 1);    // its red byte
    EXPECT_EQ(bytes[66 + 2], 255);  // top row, first pixel: red
    std::remove(path.c_str());
    EXPECT_FALSE(platform::WriteBmp(frame, "/nonexistent-folder/x.bmp"));
}

}  // namespace
