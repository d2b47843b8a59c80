#include "graphics/kelAnimation3.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "SpriteTestSupport.h"
#include "platform/Error.h"

namespace {

std::shared_ptr<kelSprite3> Sheet(int32_t width, int32_t height, int32_t numberX, int32_t numberY) {
    auto sheet = std::make_shared<kelSprite3>();
    // Black back colour and key: every pixel starts transparent.
    sheet->Initialize(true, width, height, 0, "", 0);
    sheet->NumberX = numberX;
    sheet->NumberY = numberY;
    return sheet;
}

// The raised error as "number text".
std::string Raised(kelAnimation3& animation, std::shared_ptr<kelSprite3> sheet) {
    try {
        animation.Initialize(std::move(sheet));
    } catch (const platform::Error& e) {
        char number[16];
        std::snprintf(number, sizeof number, "%08X", e.Number());
        return std::string(number) + " " + e.what();
    }
    return "(no error)";
}

std::vector<int32_t> Columns(kelAnimation3& animation, int steps) {
    std::vector<int32_t> seen;
    for (int i = 0; i < steps; ++i) {
        animation.Rotate();
        seen.push_back(animation.SpriteX());
    }
    return seen;
}

}  // namespace

TEST(kelAnimation3, CutsTheSheetOrSaysWhyNot) {
    kelAnimation3 animation;
    EXPECT_EQ(Raised(animation, Sheet(128, 40, 4, 2)), "(no error)");
    EXPECT_EQ(animation.Width(), 32);
    EXPECT_EQ(animation.Height(), 20);
    EXPECT_EQ(animation.SpriteXLimit(), 4);
    EXPECT_EQ(animation.SpriteYLimit(), 2);

    EXPECT_EQ(Raised(animation, Sheet(128, 40, 3, 2)),
              "80040002 Can't divide bitmap width '128' evenly into '3' sprites.");
    // The height message names the height and NumberY.
    EXPECT_EQ(Raised(animation, Sheet(128, 40, 4, 3)),
              "80040002 Can't divide bitmap width '40' evenly into '3' sprites.");
    EXPECT_EQ(Raised(animation, Sheet(128, 40, 0, 0)),
              "80040003 Sprite passed to kelAnimation did not have NumberX initialized.");
    EXPECT_EQ(Raised(animation, Sheet(128, 40, 4, 0)),
              "80040003 Sprite passed to kelAnimation did not have NumberY initialized.");

    // Writing the frame size takes it from the sheet again.
    EXPECT_EQ(Raised(animation, Sheet(90, 30, 3, 1)), "(no error)");
    animation.Size(7, 7);
    EXPECT_EQ(animation.Width(), 30);
    EXPECT_EQ(animation.Height(), 30);
}

TEST(kelAnimation3, RotatesAndSelectsWithWrapping) {
    kelAnimation3 animation;
    // Before any sheet, nothing moves and nothing divides by zero.
    animation.RotateSet(2500, 2500);
    animation.Rotate();
    animation.SpriteSet(-1, 7);
    EXPECT_EQ(animation.SpriteX(), 0);
    EXPECT_EQ(animation.SpriteY(), 0);

    animation.Initialize(Sheet(128, 60, 4, 3));
    animation.RotateSet(2500, 0);
    EXPECT_EQ(Columns(animation, 5), (std::vector<int32_t>{1, 2, 3, 0, 1}));
    EXPECT_EQ(animation.SpriteY(), 0);
    animation.SpriteSet(0, 0);
    animation.RotateSet(-2500, 0);
    EXPECT_EQ(Columns(animation, 4), (std::vector<int32_t>{3, 2, 1, 0}));
    // Half a column per call; a full cycle or more per call wraps whole cycles away.
    animation.SpriteSet(0, 0);
    animation.RotateSet(1250, 0);
    EXPECT_EQ(Columns(animation, 4), (std::vector<int32_t>{0, 1, 1, 2}));
    animation.SpriteSet(0, 0);
    animation.RotateSet(12500, 0);
    EXPECT_EQ(Columns(animation, 2), (std::vector<int32_t>{1, 2}));
    animation.SpriteSet(0, 0);
    animation.RotateSet(0, -10000 / 3.0);  // one row back on 3 rows
    animation.Rotate();
    EXPECT_EQ(animation.SpriteY(), 2);
    animation.RotateSet(1e12, -1e12);  // absurd speeds still keep the positions in range
    animation.Rotate();
    EXPECT_GE(animation.SpriteX(), 0);
    EXPECT_LT(animation.SpriteX(), 4);
    EXPECT_GE(animation.SpriteY(), 0);
    EXPECT_LT(animation.SpriteY(), 3);

    animation.SpriteSet(-1, 0);
    EXPECT_EQ(animation.SpriteX(), 3);
    animation.SpriteSet(5, 0);
    EXPECT_EQ(animation.SpriteX(), 1);
    animation.SpriteSet(-4, -4);
    EXPECT_EQ(animation.SpriteX(), 0);
    EXPECT_EQ(animation.SpriteY(), 2);
    animation.SetSpriteY(3);
    EXPECT_EQ(animation.SpriteY(), 0);
    animation.SetSpriteX(-6);
    EXPECT_EQ(animation.SpriteX(), 2);
}

TEST(kelAnimation3, BlitsTheCurrentFrameWithTransparency) {
    auto sheet = Sheet(8, 4, 2, 1);
    // Frame 1 (x 4..7) holds a red 2x2 block; frame 0 a single blue pixel.
    sheet->DrawRectangle(5, 1, 7, 3, static_cast<kelSprite3::Color>(RGB(255, 0, 0)));
    sheet->DrawPixel(0, 0, static_cast<kelSprite3::Color>(RGB(0, 0, 255)));
    kelAnimation3 animation;
    animation.Initialize(sheet);
    EXPECT_EQ(animation.MainHDC(), sheet->MainHDC());
    EXPECT_EQ(animation.MaskHDC(), sheet->MaskHDC());

    const COLORREF back = RGB(0, 200, 0);
    spritetest::Target target(6, 6, back);
    animation.SpriteSet(1, 0);
    animation.BitBlt(target.dc(), nullptr, 1, 1);
    for (int32_t y = 0; y < 6; ++y) {
        for (int32_t x = 0; x < 6; ++x) {
            const bool red = x >= 2 && x < 4 && y >= 2 && y < 4;
            EXPECT_EQ(target.at(x, y), red ? RGB(255, 0, 0) : back) << x << "," << y;
        }
    }

    // Into a sprite pair, scaled twice: the frame's opaque pixels join the pair's mask.
    auto pair = Sheet(8, 8, 1, 1);
    animation.SpriteSet(0, 0);
    animation.StretchBlt(pair->MainHDC(), pair->MaskHDC(), 0, 0, 8, 8);
    EXPECT_EQ(pair->GetPixel(0, 0), static_cast<kelSprite3::Color>(RGB(0, 0, 255)));
    EXPECT_EQ(pair->GetPixel(1, 1), static_cast<kelSprite3::Color>(RGB(0, 0, 255)));
    EXPECT_EQ(pair->GetPixel(2, 0), kelSprite3::kTransparentPixel);

    // After Terminate there is nothing to draw.
    animation.Terminate();
    spritetest::Target untouched(2, 2, back);
    animation.BitBlt(untouched.dc(), nullptr, 0, 0);
    EXPECT_EQ(untouched.at(0, 0), back);
}
