#include "graphics/kelSprite3.h"

#include <fstream>

#include "SpriteTestSupport.h"

using namespace spritetest;
using Color = kelSprite3::Color;

constexpr Color G = RGB(0, 255, 0), R = RGB(255, 0, 0), B = RGB(0, 0, 255), W = RGB(255, 255, 255);
constexpr Color K = 0, kClear = kelSprite3::kTransparentPixel, kNone = kelSprite3::kNoColor;

// 4 x 3, green is the key colour; only the top-left corner is green.
const std::vector<COLORREF> kPicture = {G, R, R, B, B, G, W, B, W, G, R, R};

static Color Pic(int32_t x, int32_t y) {
    return static_cast<Color>(kPicture[static_cast<size_t>(y * 4 + x)]);
}

// kPicture placed at (left, top) with green keyed out, over `under`.
static Color Over(int32_t x, int32_t y, int32_t left, int32_t top, Color under) {
    const bool in = x >= left && x < left + 4 && y >= top && y < top + 3;
    return in && Pic(x - left, y - top) != G ? Pic(x - left, y - top) : under;
}

struct Box {
    int32_t left = 1 << 30, top = 1 << 30, right = -1, bottom = -1;
    int32_t width() const { return right - left; }
    int32_t height() const { return bottom - top; }
};

// Bounds of a sprite's opaque pixels, checking that every coloured pixel is opaque; clears it.
static Box Ink(kelSprite3& s) {
    Box box;
    for (int32_t y = 0; y < s.Height(); ++y) {
        for (int32_t x = 0; x < s.Width(); ++x) {
            const bool clear = s.GetPixel(x, y) == kClear;
            EXPECT_FALSE(clear && GetPixel(s.MainHDC(), x, y) != 0u) << x << "," << y;
            if (clear) continue;
            box = {std::min(box.left, x), std::min(box.top, y), std::max(box.right, x + 1),
                   std::max(box.bottom, y + 1)};
        }
    }
    s.Cls();
    return box;
}

TEST(kelSprite3, PictureSpriteMasksItsKeyAndBlitsOnlyOpaquePixels) {
    const std::string path = WriteBmp("qx_sprite_key.bmp", 4, 3, kPicture);
    const auto block = Surface(false, 2, 2, 0, "", -1);
    // Green given as the key, or taken from the top-left pixel.
    for (const Color key : {G, kNone}) {
        const auto sprite = Surface(true, -1, -1, -1, path, key);
        ASSERT_TRUE(sprite->Width() == 4 && sprite->Height() == 3 && sprite->MaskHDC() != nullptr);
        EXPECT_EQ(sprite->TransparentColor(), G);
        // Keyed pixels: white in the mask, black in the main surface so SRCPAINT adds nothing.
        ExpectPixels(sprite->MainHDC(), [](int x, int y) { return Over(x, y, 0, 0, K); });
        ExpectPixels(sprite->MaskHDC(), [](int x, int y) { return Pic(x, y) == G ? W : K; });
        ExpectPixels(*sprite, [](int x, int y) { return Over(x, y, 0, 0, kClear); });

        const Color back = RGB(10, 20, 30);
        Target plain(6, 5, back);
        sprite->BitBlt(plain.dc(), nullptr, 1, 1);
        ExpectPixels(plain.dc(), [&](int x, int y) { return Over(x, y, 1, 1, back); });
        // Into a sprite pair opaque pixels join its mask; a plain surface is opaque, black too.
        const auto pair = Surface(true, 6, 5, 0, "", 0);
        sprite->BitBlt(pair->MainHDC(), pair->MaskHDC(), 2, 1);
        block->BitBlt(pair->MainHDC(), pair->MaskHDC(), 0, 3);
        ExpectPixels(*pair,
                     [](int x, int y) { return x < 2 && y >= 3 ? K : Over(x, y, 2, 1, kClear); });
        // Scaled as a sprite, the same holds for the stretched mask.
        Target big(8, 6, B);
        sprite->StretchBlt(big.dc(), nullptr, 0, 0, 8, 6);
        ExpectPixels(big.dc(), [](int x, int y) { return Over(x / 2, y / 2, 0, 0, B); });
    }
    // A fixed size scales the picture; loaded plain it keeps every colour.
    const auto plain = Surface(false, 8, 6, -1, path, -1);
    EXPECT_EQ(plain->MaskHDC(), nullptr);
    ExpectPixels(*plain, [](int x, int y) { return Pic(x / 2, y / 2); });
    // The deluxe blit of a plain surface uses the given raster operation.
    Target inverted(2, 2, W);
    block->BitBltDeluxe(inverted.dc(), nullptr, 0, 0, 2, 2, 0, 0, NOTSRCCOPY);
    block->BitBltDeluxe(inverted.dc(), nullptr, 0, 0, 1, 1, 0, 0, SRCCOPY);
    ExpectPixels(inverted.dc(), [](int x, int y) { return x + y == 0 ? K : W; });
}

TEST(kelSprite3, TransparentPixelsExistOnlyOnSprites) {
    const auto sprite = Surface(true, 5, 5, B, "", -1);
    sprite->DrawPixel(1, 1, R);
    EXPECT_EQ(sprite->GetPixel(1, 1), R);
    sprite->DrawPixel(1, 1, kClear);  // checked below with the rest
    EXPECT_EQ(GetPixel(sprite->MainHDC(), 1, 1), 0u);
    // The back colour is the top-left colour, so all of it is transparent; shapes make their
    // pixels opaque, the pen's outline included, and no fill leaves the inside.
    sprite->DrawRectangleDeluxe(0, 0, 4, 4, kNone, 1, W);
    ExpectPixels(*sprite, [](int x, int y) {
        return (x == 0 || x == 3 || y == 0 || y == 3) && x < 4 && y < 4 ? W : kClear;
    });

    const auto plain = Surface(false, 5, 5, B, "", -1);
    plain->DrawPixel(1, 1, kClear);
    ExpectPixels(*plain, [](int, int) { return B; });
    plain->SetBackColor(G);  // refills the whole surface
    ExpectPixels(*plain, [](int, int) { return G; });
}

TEST(kelSprite3, ErrorsAndTheWayBack) {
    kelSprite3 sprite;
    sprite.Initialize(true, 6, 4, R, "", -1);
    sprite.DrawPixel(2, 2, B);
    EXPECT_EQ(Raised([&] { sprite.SetSprite(false); }),
              "80040001 Can't reverse the sprite process!");
    // Refused: still a sprite, mask and pixels as they were.
    EXPECT_TRUE(sprite.Sprite() && sprite.MaskHDC() != nullptr);
    ExpectPixels(sprite, [](int x, int y) { return x == 2 && y == 2 ? B : kClear; });

    sprite.Initialize(false, 6, 4, G, "", -1);
    EXPECT_TRUE(!sprite.Sprite() && sprite.MaskHDC() == nullptr);
    EXPECT_EQ(sprite.GetPixel(2, 2), G);

    const std::string missing = "/nonexistent/qx folder/Dollar.bmp";
    EXPECT_EQ(Raised([&] { sprite.Initialize(false, -1, -1, -1, missing, 255); }),
              "80040001 Can't find file '" + missing + "'.");
    // A file that is no picture is refused with the loader's reason, also right after a good one.
    sprite.Initialize(true, -1, -1, -1, WriteBmp("qx_sprite_good.bmp", 4, 3, kPicture), G);
    const std::string junk = (std::filesystem::temp_directory_path() / "qx_junk.bmp").string();
    std::ofstream(junk) << "not a picture";
    EXPECT_EQ(Raised([&] { sprite.LoadPicture(junk, true); }),
              "80040001 Can't load picture '" + junk + "': not a BMP or GIF picture.");
    sprite.Initialize(false, 3, 3, W, "", -1);  // usable again
    EXPECT_EQ(sprite.GetPixel(1, 1), W);
}

TEST(kelSprite3, FrameSizeAndRoundedProperties) {
    kelSprite3 sheet;
    sheet.Initialize(false, 128, 30, 0, "", -1);
    EXPECT_EQ(Raised([&] { (void)sheet.WidthOne(); }).substr(0, 8), "80040001");
    EXPECT_EQ(Raised([&] { (void)sheet.HeightOne(); }).substr(0, 8), "80040001");
    sheet.NumberX = 3;
    sheet.NumberY = -4;
    EXPECT_EQ(sheet.WidthOne(), 42);   // truncated
    EXPECT_EQ(sheet.HeightOne(), -7);  // toward zero

    sheet.SetXB(2.5);
    sheet.SetYB(3.5);
    sheet.SetZS(-2.5);
    sheet.SetZ(-2.6);
    EXPECT_EQ(std::vector<double>({sheet.XB(), sheet.YB(), sheet.ZS(), sheet.Z()}),
              (std::vector<double>{2, 4, -2, -3}));

    sheet.Size(5, 2);  // rebuilt at the new size
    EXPECT_EQ(sheet.GetPixel(4, 1), K);
    EXPECT_EQ(sheet.GetPixel(5, 1), kNone);
}

TEST(kelSprite3, TextTakesTheFontSizeAngleAndRectangleAndLeavesTheMaskSound) {
    // A sprite keyed to its white back colour: the text's pixels are its opaque ones.
    const auto surface = Surface(true, 160, 100, W, "", W);
    surface->DrawText("Hello", 4, 4, R, 0);
    const auto plain = Ink(*surface);
    surface->Font("DejaVu Sans", 20, true, false);
    surface->DrawText("Hello", 4, 4, R, 0);
    const auto large = Ink(*surface);
    EXPECT_TRUE(plain.height() > 0 && large.height() > plain.height()) << large.height();
    surface->DrawText("Hello", 4, 4, R, 0, 0, 0, 0, 0, 60);  // a given height overrides
    EXPECT_GT(Ink(*surface).height(), large.height());

    // A quarter turn (radians) stands the line up.
    surface->DrawText("Hello", 40, 90, R, 0, 3.14159265358979 / 2);
    const auto turned = Ink(*surface);
    EXPECT_GT(turned.height(), turned.width());
    EXPECT_LE(turned.bottom, 91);

    // Right alignment: the default right edge is Width - pLeft, a given one is used as it is.
    surface->DrawText("Hi", 10, 4, R, static_cast<int32_t>(DT_RIGHT));
    const int32_t byDefault = Ink(*surface).right;
    surface->DrawText("Hi", 10, 4, R, static_cast<int32_t>(DT_RIGHT), 0, 80);
    const int32_t given = Ink(*surface).right;
    EXPECT_TRUE(byDefault > 140 && byDefault <= 150) << byDefault;
    EXPECT_TRUE(given > 70 && given <= 80) << given;

    // Refilled after text, the mask is rebuilt whole: a blit adds nothing.
    const COLORREF back = RGB(1, 2, 3);
    Target target(160, 100, back);
    surface->BitBlt(target.dc(), nullptr, 0, 0);
    EXPECT_EQ(target.count(back), 16000);
}
