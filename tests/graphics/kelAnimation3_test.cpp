#include "graphics/kelAnimation3.h"

#include "SpriteTestSupport.h"

// A sprite sheet whose every pixel starts transparent (black back colour and key).
static std::shared_ptr<kelSprite3> Sheet(int32_t width, int32_t height, int32_t numberX,
                                         int32_t numberY) {
    auto sheet = spritetest::Surface(true, width, height, 0, "", 0);
    sheet->NumberX = numberX;
    sheet->NumberY = numberY;
    return sheet;
}

TEST(kelAnimation3, CutsTheSheetOrSaysWhyNot) {
    kelAnimation3 a;
    // The height message names the height and NumberY.
    for (const auto& [numberX, numberY, raised] : std::vector<std::tuple<int, int, std::string>>{
             {3, 2, "80040002 Can't divide bitmap width '128' evenly into '3' sprites."},
             {4, 3, "80040002 Can't divide bitmap width '40' evenly into '3' sprites."},
             {0, 0, "80040003 Sprite passed to kelAnimation did not have NumberX initialized."},
             {4, 0, "80040003 Sprite passed to kelAnimation did not have NumberY initialized."},
             {4, 2, "(no error)"}}) {
        EXPECT_EQ(Raised([&, x = numberX, y = numberY] { a.Initialize(Sheet(128, 40, x, y)); }),
                  raised);
    }
    EXPECT_EQ(std::vector<int32_t>({a.Width(), a.Height(), a.SpriteXLimit(), a.SpriteYLimit()}),
              (std::vector<int32_t>{32, 20, 4, 2}));
    a.Initialize(Sheet(90, 30, 3, 1));
    a.Size(7, 7);  // takes the frame size from the sheet again
    EXPECT_TRUE(a.Width() == 30 && a.Height() == 30);
}

TEST(kelAnimation3, RotatesAndSelectsWithWrapping) {
    kelAnimation3 a;
    // Before any sheet, nothing moves and nothing divides by zero.
    a.RotateSet(2500, 2500);
    a.Rotate();
    a.SpriteSet(-1, 7);
    EXPECT_TRUE(a.SpriteX() == 0 && a.SpriteY() == 0);

    a.Initialize(Sheet(128, 60, 4, 3));
    // Both ways round; half a column per call; a full cycle or more per call wraps away;
    // speeds of 6666.5 and 9999.5 round to the even 6666 and 10000.
    const std::vector<std::pair<double, std::vector<int32_t>>> runs = {
        {2500, {1, 2, 3, 0, 1}}, {-2500, {3, 2, 1, 0}}, {1250, {0, 1, 1, 2}},
        {12500, {1, 2}},         {1666.625, {0, 1, 1}}, {2499.875, {1, 2, 3}}};
    for (const auto& [speed, columns] : runs) {
        a.SpriteSet(0, 0);
        a.RotateSet(speed, 0);
        std::vector<int32_t> seen;
        for (size_t i = 0; i < columns.size(); ++i) {
            a.Rotate();
            seen.push_back(a.SpriteX());
        }
        EXPECT_EQ(seen, columns) << speed;
    }
    a.RotateSet(0, -10000 / 3.0);  // one row back on 3 rows
    a.Rotate();
    EXPECT_EQ(a.SpriteY(), 2);
    a.RotateSet(1e12, -1e12);  // absurd speeds still keep the positions in range
    a.Rotate();
    EXPECT_TRUE(a.SpriteX() >= 0 && a.SpriteX() < 4 && a.SpriteY() >= 0 && a.SpriteY() < 3);

    for (const auto& [x, y, wantX, wantY] :
         std::vector<std::array<int32_t, 4>>{{-1, 0, 3, 0}, {5, 0, 1, 0}, {-4, -4, 0, 2}}) {
        a.SpriteSet(x, y);
        EXPECT_TRUE(a.SpriteX() == wantX && a.SpriteY() == wantY) << x << "," << y;
    }
    a.SetSpriteY(3);
    a.SetSpriteX(-6);
    EXPECT_TRUE(a.SpriteX() == 2 && a.SpriteY() == 0);
}

TEST(kelAnimation3, BlitsTheCurrentFrameWithTransparency) {
    constexpr kelSprite3::Color red = RGB(255, 0, 0), blue = RGB(0, 0, 255), back = RGB(0, 200, 0);
    auto sheet = Sheet(8, 4, 2, 1);
    sheet->DrawRectangle(5, 1, 7, 3, red);  // frame 1 (x 4..7): a 2x2 block
    sheet->DrawPixel(0, 0, blue);           // frame 0: one pixel
    kelAnimation3 a;
    a.Initialize(sheet);
    spritetest::Target target(6, 6, back);
    a.SpriteSet(1, 0);
    a.BitBlt(target.dc(), nullptr, 1, 1);
    spritetest::ExpectPixels(
        target.dc(), [&](int x, int y) { return x >= 2 && x < 4 && y >= 2 && y < 4 ? red : back; });

    // Into a sprite pair, scaled twice: the frame's opaque pixels join the pair's mask.
    auto pair = Sheet(8, 8, 1, 1);
    a.SpriteSet(0, 0);
    a.StretchBlt(pair->MainHDC(), pair->MaskHDC(), 0, 0, 8, 8);
    spritetest::ExpectPixels(
        *pair, [](int x, int y) { return x < 2 && y < 2 ? blue : kelSprite3::kTransparentPixel; });

    a.Terminate();  // nothing left to draw
    a.BitBlt(target.dc(), nullptr, 0, 0);
    EXPECT_EQ(target.count(back), 32);
}
