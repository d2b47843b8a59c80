#include "graphics/kelSprite3.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <tuple>

#include "SpriteTestSupport.h"

namespace {

using spritetest::ExpectEach;
using spritetest::Target;
using spritetest::WriteBmp;
using Color = kelSprite3::Color;

constexpr Color G = RGB(0, 255, 0), R = RGB(255, 0, 0), B = RGB(0, 0, 255), W = RGB(255, 255, 255);
constexpr Color K = 0, kClear = kelSprite3::kTransparentPixel;
constexpr char kMissing[] = "80040001 Can't find file '";

// 4 x 3, green is the key colour.
const std::vector<COLORREF> kPicture = {G, R, R, G, B, G, W, B, G, G, R, G};

Color Pic(int32_t x, int32_t y) {
    return static_cast<Color>(kPicture[static_cast<size_t>(y * 4 + x)]);
}

// kPicture placed at (left, top) with green keyed out, over `under`.
Color Over(int32_t x, int32_t y, int32_t left, int32_t top, Color under) {
    const bool in = x >= left && x < left + 4 && y >= top && y < top + 3;
    return in && Pic(x - left, y - top) != G ? Pic(x - left, y - top) : under;
}

Color Main(const kelSprite3& s, int32_t x, int32_t y) {
    return static_cast<Color>(GetPixel(s.MainHDC(), x, y));
}

struct Box {
    int32_t left = 1 << 30, top = 1 << 30, right = -1, bottom = -1;
    int32_t width() const { return right - left; }
    int32_t height() const { return bottom - top; }
};

// Bounds of the pixels off the back colour; clears the surface.
Box Ink(kelSprite3& s) {
    Box box;
    for (int32_t y = 0; y < s.Height(); ++y) {
        for (int32_t x = 0; x < s.Width(); ++x) {
            if (s.GetPixel(x, y) == s.BackColor()) continue;
            box = {std::min(box.left, x), std::min(box.top, y), std::max(box.right, x + 1),
                   std::max(box.bottom, y + 1)};
        }
    }
    s.Cls();
    return box;
}

}  // namespace

TEST(kelSprite3, PictureSpriteMasksItsTransparentColour) {
    const std::string path = WriteBmp("qx_sprite_key.bmp", 4, 3, kPicture);
    // Green given as the key, or taken from the top-left pixel.
    for (const Color key : {G, kelSprite3::kNoColor}) {
        kelSprite3 sprite;
        sprite.Initialize(true, -1, -1, -1, path, key);
        ASSERT_TRUE(sprite.Width() == 4 && sprite.Height() == 3 && sprite.MaskHDC() != nullptr);
        EXPECT_EQ(sprite.TransparentColor(), G);
        ExpectEach(4, 3, [&](int32_t x, int32_t y) {
            const Color mask = static_cast<Color>(GetPixel(sprite.MaskHDC(), x, y));
            const Color c = Pic(x, y);
            return std::pair(std::tuple(Main(sprite, x, y), mask, sprite.GetPixel(x, y)),
                             c == G ? std::tuple(K, W, kClear) : std::tuple(c, K, c));
        });
    }
    // A fixed size scales the picture; loaded plain it keeps every colour.
    kelSprite3 plain;
    plain.Initialize(false, 8, 6, -1, path, -1);
    EXPECT_EQ(plain.MaskHDC(), nullptr);
    ExpectEach(8, 6, [&](int32_t x, int32_t y) {
        return std::pair(plain.GetPixel(x, y), Pic(x / 2, y / 2));
    });
}

TEST(kelSprite3, SpriteBlitsKeepTheDestinationUnderTransparentPixels) {
    kelSprite3 sprite;
    sprite.Initialize(true, -1, -1, -1, WriteBmp("qx_sprite_blit.bmp", 4, 3, kPicture), G);
    const Color back = RGB(10, 20, 30);
    Target plain(6, 5, back);
    sprite.BitBlt(plain.dc(), nullptr, 1, 1);
    ExpectEach(6, 5, [&](int32_t x, int32_t y) {
        return std::pair(plain.color(x, y), Over(x, y, 1, 1, back));
    });
    Target big(8, 6, B);
    sprite.StretchBlt(big.dc(), nullptr, 0, 0, 8, 6);
    ExpectEach(8, 6, [&](int32_t x, int32_t y) {
        return std::pair(big.color(x, y), Over(x / 2, y / 2, 0, 0, B));
    });

    // Into a sprite pair opaque pixels join its mask; a plain surface is opaque, black included.
    kelSprite3 pair;
    pair.Initialize(true, 6, 5, 0, "", 0);
    sprite.BitBlt(pair.MainHDC(), pair.MaskHDC(), 2, 1);
    kelSprite3 block;
    block.Initialize(false, 2, 2, 0, "", -1);
    block.BitBlt(pair.MainHDC(), pair.MaskHDC(), 0, 3);
    ExpectEach(6, 5, [&](int32_t x, int32_t y) {
        return std::pair(pair.GetPixel(x, y), x < 2 && y >= 3 ? K : Over(x, y, 2, 1, kClear));
    });

    // The deluxe blit of a plain surface uses the given raster operation.
    Target inverted(2, 2, W);
    block.BitBltDeluxe(inverted.dc(), nullptr, 0, 0, 2, 2, 0, 0, NOTSRCCOPY);
    block.BitBltDeluxe(inverted.dc(), nullptr, 0, 0, 1, 1, 0, 0, SRCCOPY);
    EXPECT_EQ(inverted.count(W), 3);
    EXPECT_EQ(inverted.color(0, 0), K);
}

TEST(kelSprite3, TransparentPixelsExistOnlyOnSprites) {
    kelSprite3 sprite;
    sprite.Initialize(true, 5, 5, B, "", -1);
    sprite.DrawPixel(1, 1, R);
    EXPECT_EQ(sprite.GetPixel(1, 1), R);
    sprite.DrawPixel(1, 1, kClear);
    EXPECT_EQ(sprite.GetPixel(1, 1), kClear);
    EXPECT_EQ(Main(sprite, 1, 1), K);
    // The back colour is the top-left colour, so all of it is transparent; shapes make their
    // pixels opaque, the pen's outline included, and no fill leaves the inside.
    sprite.DrawRectangleDeluxe(0, 0, 4, 4, kelSprite3::kNoColor, 1, W);
    ExpectEach(5, 5, [&](int32_t x, int32_t y) {
        const bool outline = (x == 0 || x == 3 || y == 0 || y == 3) && x < 4 && y < 4;
        return std::pair(sprite.GetPixel(x, y), outline ? W : kClear);
    });

    kelSprite3 plain;
    plain.Initialize(false, 5, 5, B, "", -1);
    plain.DrawPixel(1, 1, kClear);
    plain.DrawRectangle(2, 2, 4, 4, R);
    ExpectEach(5, 5, [&](int32_t x, int32_t y) {
        return std::pair(plain.GetPixel(x, y), x >= 2 && x < 4 && y >= 2 && y < 4 ? R : B);
    });
    plain.SetBackColor(G);  // refills the whole surface
    EXPECT_EQ(plain.GetPixel(3, 3), G);
}

TEST(kelSprite3, MaskRebuildStaysBlackAfterText) {
    kelSprite3 sprite;
    sprite.Initialize(true, 40, 20, W, "", W);
    sprite.DrawText("Hi", 2, 2, R, 0, 0, 0, 0, 0, 14);
    int opaque = 0;
    ExpectEach(40, 20, [&](int32_t x, int32_t y) {
        const bool clear = sprite.GetPixel(x, y) == kClear;
        opaque += clear ? 0 : 1;
        return std::pair(clear && Main(sprite, x, y) != K, false);  // text pixels are opaque
    });
    EXPECT_GT(opaque, 0);
    // Refilled: all transparent and black in the main surface, so a blit adds nothing.
    sprite.Cls();
    const COLORREF back = RGB(1, 2, 3);
    Target target(40, 20, back);
    sprite.BitBlt(target.dc(), nullptr, 0, 0);
    EXPECT_EQ(target.count(back), 800);
}

TEST(kelSprite3, ErrorsAndTheWayBack) {
    kelSprite3 sprite;
    sprite.Initialize(true, 6, 4, R, "", -1);
    sprite.DrawPixel(2, 2, B);
    EXPECT_EQ(Raised([&] { sprite.SetSprite(false); }),
              "80040001 Can't reverse the sprite process!");
    // Refused: still a sprite, mask and pixels as they were.
    EXPECT_TRUE(sprite.Sprite() && sprite.MaskHDC() != nullptr);
    EXPECT_EQ(sprite.GetPixel(2, 2), B);
    EXPECT_EQ(sprite.GetPixel(0, 0), kClear);

    sprite.Initialize(false, 6, 4, G, "", -1);
    EXPECT_TRUE(!sprite.Sprite() && sprite.MaskHDC() == nullptr);
    EXPECT_EQ(sprite.GetPixel(2, 2), G);

    const std::string missing = "/nonexistent/qx folder/Dollar.bmp";
    EXPECT_EQ(Raised([&] { sprite.Initialize(false, -1, -1, -1, missing, 255); }),
              kMissing + missing + "'.");
    // A file that is no picture is missing too, also right after a good picture.
    sprite.Initialize(true, -1, -1, -1, WriteBmp("qx_sprite_good.bmp", 4, 3, kPicture), G);
    const std::string junk = (std::filesystem::temp_directory_path() / "qx_junk.bmp").string();
    std::ofstream(junk) << "not a picture";
    EXPECT_EQ(Raised([&] { sprite.LoadPicture(junk, true); }), kMissing + junk + "'.");
    sprite.Initialize(false, 3, 3, W, "", -1);  // usable again
    EXPECT_EQ(sprite.GetPixel(1, 1), W);
}

TEST(kelSprite3, FrameSizeAndRoundedProperties) {
    kelSprite3 sheet;
    sheet.Initialize(false, 128, 30, 0, "", -1);
    EXPECT_EQ(Raised([&] { (void)sheet.WidthOne(); }).substr(0, 8), "80040001");
    EXPECT_NE(Raised([&] { (void)sheet.HeightOne(); }), "(no error)");
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
    EXPECT_EQ(sheet.GetPixel(5, 1), kelSprite3::kNoColor);
}

TEST(kelSprite3, TextTakesTheSurfaceFontSizeAngleAndRectangle) {
    kelSprite3 surface;
    surface.Initialize(false, 160, 100, 0, "", -1);
    surface.Font("DejaVu Sans", 8, false, false);
    surface.DrawText("Hello", 4, 4, W, 0);
    const auto small = Ink(surface);
    ASSERT_GT(small.height(), 0);
    surface.Font("DejaVu Sans", 20, true, false);
    surface.DrawText("Hello", 4, 4, W, 0);
    const auto large = Ink(surface);
    EXPECT_TRUE(large.height() > small.height() && large.width() > small.width());
    surface.DrawText("Hello", 4, 4, W, 0, 0, 0, 0, 0, 60);  // a given height overrides
    EXPECT_GT(Ink(surface).height(), large.height());

    // A quarter turn (radians) stands the line up.
    surface.DrawText("Hello", 40, 90, W, 0, 3.14159265358979 / 2);
    const auto turned = Ink(surface);
    EXPECT_GT(turned.height(), turned.width());
    EXPECT_LE(turned.bottom, 91);

    // Right alignment: the default right edge is Width - pLeft, a given one is used as it is.
    surface.DrawText("Hi", 10, 4, W, static_cast<int32_t>(DT_RIGHT));
    const int32_t byDefault = Ink(surface).right;
    surface.DrawText("Hi", 10, 4, W, static_cast<int32_t>(DT_RIGHT), 0, 80);
    const int32_t given = Ink(surface).right;
    EXPECT_TRUE(byDefault > 140 && byDefault <= 150) << byDefault;
    EXPECT_TRUE(given > 70 && given <= 80) << given;
}
