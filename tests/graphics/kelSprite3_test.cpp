#include "graphics/kelSprite3.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "SpriteTestSupport.h"
#include "platform/Error.h"

namespace {

using spritetest::Target;
using spritetest::WriteBmp;

constexpr COLORREF G = RGB(0, 255, 0);
constexpr COLORREF R = RGB(255, 0, 0);
constexpr COLORREF B = RGB(0, 0, 255);
constexpr COLORREF W = RGB(255, 255, 255);
constexpr COLORREF K = RGB(0, 0, 0);

// 4 x 3, green is the key colour of the first picture; the top-left pixel is red in the second.
const std::vector<COLORREF> kPicture = {G, R, R, G,  //
                                        B, G, W, B,  //
                                        G, G, R, G};

std::string ErrorText(const std::function<void()>& f, uint32_t* number = nullptr) {
    try {
        f();
    } catch (const platform::Error& e) {
        if (number) *number = e.Number();
        return e.what();
    }
    return "(no error)";
}

}  // namespace

TEST(kelSprite3, PictureSpriteMasksItsTransparentColour) {
    const std::string path = WriteBmp("qx_sprite_key.bmp", 4, 3, kPicture);
    kelSprite3 sprite;
    sprite.Initialize(true, -1, -1, -1, path, static_cast<kelSprite3::Color>(G));
    ASSERT_EQ(sprite.Width(), 4);
    ASSERT_EQ(sprite.Height(), 3);
    ASSERT_NE(sprite.MaskHDC(), nullptr);
    for (int32_t y = 0; y < 3; ++y) {
        for (int32_t x = 0; x < 4; ++x) {
            const COLORREF c = kPicture[static_cast<size_t>(y * 4 + x)];
            const bool transparent = c == G;
            EXPECT_EQ(GetPixel(sprite.MainHDC(), x, y), transparent ? K : c) << x << "," << y;
            EXPECT_EQ(GetPixel(sprite.MaskHDC(), x, y), transparent ? W : K) << x << "," << y;
            EXPECT_EQ(sprite.GetPixel(x, y), transparent ? kelSprite3::kTransparentPixel
                                                         : static_cast<kelSprite3::Color>(c));
        }
    }

    // A fixed size scales the picture; the same file loaded plain keeps every colour.
    kelSprite3 plain;
    plain.Initialize(false, 8, 6, -1, path, -1);
    EXPECT_EQ(plain.MaskHDC(), nullptr);
    EXPECT_EQ(plain.GetPixel(2, 0), static_cast<kelSprite3::Color>(R));
    EXPECT_EQ(plain.GetPixel(0, 0), static_cast<kelSprite3::Color>(G));
    EXPECT_EQ(plain.GetPixel(7, 5), static_cast<kelSprite3::Color>(G));
}

TEST(kelSprite3, NoTransparentColourTakesTheTopLeftPixel) {
    std::vector<COLORREF> picture = kPicture;
    picture[0] = R;  // red is now top-left
    const std::string path = WriteBmp("qx_sprite_topleft.bmp", 4, 3, picture);
    kelSprite3 sprite;
    sprite.Initialize(true, -1, -1, -1, path, kelSprite3::kNoColor);
    EXPECT_EQ(sprite.TransparentColor(), static_cast<kelSprite3::Color>(R));
    EXPECT_EQ(sprite.GetPixel(0, 0), kelSprite3::kTransparentPixel);
    EXPECT_EQ(sprite.GetPixel(1, 0), kelSprite3::kTransparentPixel);
    EXPECT_EQ(sprite.GetPixel(3, 0), static_cast<kelSprite3::Color>(G));
    EXPECT_EQ(sprite.GetPixel(2, 2), kelSprite3::kTransparentPixel);
}

TEST(kelSprite3, SpriteBlitsKeepTheDestinationUnderTransparentPixels) {
    const std::string path = WriteBmp("qx_sprite_blit.bmp", 4, 3, kPicture);
    kelSprite3 sprite;
    sprite.Initialize(true, -1, -1, -1, path, static_cast<kelSprite3::Color>(G));

    Target plain(6, 5, RGB(10, 20, 30));
    sprite.BitBlt(plain.dc(), nullptr, 1, 1);
    for (int32_t y = 0; y < 5; ++y) {
        for (int32_t x = 0; x < 6; ++x) {
            COLORREF expected = RGB(10, 20, 30);
            if (x >= 1 && x < 5 && y >= 1 && y < 4) {
                const COLORREF c = kPicture[static_cast<size_t>((y - 1) * 4 + (x - 1))];
                if (c != G) expected = c;
            }
            EXPECT_EQ(plain.at(x, y), expected) << x << "," << y;
        }
    }

    // Into a sprite pair: opaque pixels join the destination mask; outside it stays as it was.
    kelSprite3 pair;
    pair.Initialize(true, 6, 5, 0, "", 0);
    sprite.BitBlt(pair.MainHDC(), pair.MaskHDC(), 2, 1);
    EXPECT_EQ(pair.GetPixel(3, 1), static_cast<kelSprite3::Color>(R));
    EXPECT_EQ(pair.GetPixel(2, 1), kelSprite3::kTransparentPixel);
    EXPECT_EQ(pair.GetPixel(2, 2), static_cast<kelSprite3::Color>(B));
    EXPECT_EQ(pair.GetPixel(0, 0), kelSprite3::kTransparentPixel);

    // A plain surface blitted into the pair becomes opaque there, black included.
    kelSprite3 block;
    block.Initialize(false, 2, 2, 0, "", -1);
    block.BitBlt(pair.MainHDC(), pair.MaskHDC(), 0, 3);
    EXPECT_EQ(pair.GetPixel(0, 3), 0);
    EXPECT_EQ(pair.GetPixel(1, 4), 0);
    EXPECT_EQ(pair.GetPixel(2, 4), kelSprite3::kTransparentPixel);

    // Scaled twice as large onto a plain target.
    Target big(8, 6, B);
    sprite.StretchBlt(big.dc(), nullptr, 0, 0, 8, 6);
    EXPECT_EQ(big.at(0, 0), B);
    EXPECT_EQ(big.at(1, 1), B);
    EXPECT_EQ(big.at(2, 0), R);
    EXPECT_EQ(big.at(5, 1), R);
    EXPECT_EQ(big.at(5, 2), W);
    EXPECT_EQ(big.at(6, 2), B);

    // The deluxe blit of a plain surface uses the given raster operation.
    Target inverted(2, 2, W);
    block.BitBltDeluxe(inverted.dc(), nullptr, 0, 0, 2, 2, 0, 0, NOTSRCCOPY);
    EXPECT_EQ(inverted.at(1, 1), W);
    block.BitBltDeluxe(inverted.dc(), nullptr, 0, 0, 1, 1, 0, 0, SRCCOPY);
    EXPECT_EQ(inverted.at(0, 0), K);
    EXPECT_EQ(inverted.at(1, 0), W);
}

TEST(kelSprite3, TransparentPixelsExistOnlyOnSprites) {
    kelSprite3 sprite;
    sprite.Initialize(true, 5, 5, static_cast<kelSprite3::Color>(B), "", -1);
    // The back colour is the top-left colour: all of it is transparent.
    EXPECT_EQ(sprite.GetPixel(4, 4), kelSprite3::kTransparentPixel);
    sprite.DrawPixel(1, 1, static_cast<kelSprite3::Color>(R));
    EXPECT_EQ(sprite.GetPixel(1, 1), static_cast<kelSprite3::Color>(R));
    sprite.DrawPixel(1, 1, kelSprite3::kTransparentPixel);
    EXPECT_EQ(sprite.GetPixel(1, 1), kelSprite3::kTransparentPixel);
    EXPECT_EQ(GetPixel(sprite.MainHDC(), 1, 1), K);
    // Shapes make their pixels opaque, with the pen's outline included.
    sprite.DrawRectangleDeluxe(0, 0, 4, 4, kelSprite3::kNoColor, 1,
                               static_cast<kelSprite3::Color>(W));
    EXPECT_EQ(sprite.GetPixel(0, 0), static_cast<kelSprite3::Color>(W));
    EXPECT_EQ(sprite.GetPixel(3, 3), static_cast<kelSprite3::Color>(W));
    EXPECT_EQ(sprite.GetPixel(2, 2), kelSprite3::kTransparentPixel);  // no fill
    EXPECT_EQ(sprite.GetPixel(4, 4), kelSprite3::kTransparentPixel);

    kelSprite3 plain;
    plain.Initialize(false, 5, 5, static_cast<kelSprite3::Color>(B), "", -1);
    plain.DrawPixel(1, 1, kelSprite3::kTransparentPixel);
    plain.DrawRectangle(2, 2, 4, 4, static_cast<kelSprite3::Color>(R));
    for (int32_t y = 0; y < 5; ++y) {
        for (int32_t x = 0; x < 5; ++x) {
            const bool inRect = x >= 2 && x < 4 && y >= 2 && y < 4;
            EXPECT_EQ(plain.GetPixel(x, y), static_cast<kelSprite3::Color>(inRect ? R : B));
        }
    }
    // Cls and a new back colour refill the whole surface.
    plain.SetBackColor(static_cast<kelSprite3::Color>(G));
    EXPECT_EQ(plain.GetPixel(3, 3), static_cast<kelSprite3::Color>(G));
}

TEST(kelSprite3, MaskRebuildStaysBlackAfterText) {
    kelSprite3 sprite;
    sprite.Initialize(true, 40, 20, static_cast<kelSprite3::Color>(W), "",
                      static_cast<kelSprite3::Color>(W));
    sprite.DrawText("Hi", 2, 2, static_cast<kelSprite3::Color>(R), 0, 0, 0, 0, 0, 14);
    // Mask and main surface agree: whatever the text coloured is opaque.
    int opaque = 0;
    for (int32_t y = 0; y < 20; ++y) {
        for (int32_t x = 0; x < 40; ++x) {
            if (sprite.GetPixel(x, y) != kelSprite3::kTransparentPixel) ++opaque;
            if (GetPixel(sprite.MainHDC(), x, y) != K) {
                EXPECT_NE(sprite.GetPixel(x, y), kelSprite3::kTransparentPixel) << x << "," << y;
            }
        }
    }
    EXPECT_GT(opaque, 0);
    // Refilled: every pixel transparent again and black in the main surface, so a blit adds
    // nothing to the destination.
    sprite.Cls();
    Target target(40, 20, RGB(1, 2, 3));
    sprite.BitBlt(target.dc(), nullptr, 0, 0);
    for (int32_t y = 0; y < 20; ++y) {
        for (int32_t x = 0; x < 40; ++x) {
            ASSERT_EQ(GetPixel(sprite.MainHDC(), x, y), K) << x << "," << y;
            ASSERT_EQ(target.at(x, y), RGB(1, 2, 3)) << x << "," << y;
        }
    }
}

TEST(kelSprite3, ErrorsAndTheWayBack) {
    kelSprite3 sprite;
    sprite.Initialize(true, 6, 4, static_cast<kelSprite3::Color>(R), "", -1);
    sprite.DrawPixel(2, 2, static_cast<kelSprite3::Color>(B));
    uint32_t number = 0;
    EXPECT_EQ(ErrorText([&] { sprite.SetSprite(false); }, &number),
              "Can't reverse the sprite process!");
    EXPECT_EQ(number, 0x80040001u);
    // Refused: still a sprite, mask and pixels as they were.
    EXPECT_TRUE(sprite.Sprite());
    EXPECT_NE(sprite.MaskHDC(), nullptr);
    EXPECT_EQ(sprite.GetPixel(2, 2), static_cast<kelSprite3::Color>(B));
    EXPECT_EQ(sprite.GetPixel(0, 0), kelSprite3::kTransparentPixel);

    sprite.Initialize(false, 6, 4, static_cast<kelSprite3::Color>(G), "", -1);
    EXPECT_FALSE(sprite.Sprite());
    EXPECT_EQ(sprite.MaskHDC(), nullptr);
    EXPECT_EQ(sprite.GetPixel(2, 2), static_cast<kelSprite3::Color>(G));

    const std::string missing = "/nonexistent/qx folder/Dollar.bmp";
    number = 0;
    EXPECT_EQ(ErrorText([&] { sprite.Initialize(false, -1, -1, -1, missing, 255); }, &number),
              "Can't find file '" + missing + "'.");
    EXPECT_EQ(number, 0x80040001u);
    // A file that is no picture is missing as far as the surface can tell, also right after
    // a good picture was loaded.
    sprite.Initialize(false, -1, -1, -1, WriteBmp("qx_sprite_good.bmp", 4, 3, kPicture), -1);
    const std::string junk = (std::filesystem::temp_directory_path() / "qx_junk.bmp").string();
    std::ofstream(junk) << "not a picture";
    EXPECT_EQ(ErrorText([&] { sprite.LoadPicture(junk, true); }),
              "Can't find file '" + junk + "'.");
    // Usable again after the failures.
    sprite.Initialize(false, 3, 3, static_cast<kelSprite3::Color>(W), "", -1);
    EXPECT_EQ(sprite.GetPixel(1, 1), static_cast<kelSprite3::Color>(W));
}

TEST(kelSprite3, FrameSizeAndRoundedProperties) {
    kelSprite3 sheet;
    sheet.Initialize(false, 128, 30, 0, "", -1);
    uint32_t number = 0;
    EXPECT_NE(ErrorText([&] { (void)sheet.WidthOne(); }, &number), "(no error)");
    EXPECT_EQ(number, 0x80040001u);
    EXPECT_NE(ErrorText([&] { (void)sheet.HeightOne(); }), "(no error)");
    sheet.NumberX = 3;
    sheet.NumberY = -4;
    EXPECT_EQ(sheet.WidthOne(), 42);   // truncated
    EXPECT_EQ(sheet.HeightOne(), -7);  // toward zero

    sheet.SetXB(2.5);
    sheet.SetYB(3.5);
    sheet.SetZS(-2.5);
    sheet.SetZ(-2.6);
    EXPECT_EQ(sheet.XB(), 2);
    EXPECT_EQ(sheet.YB(), 4);
    EXPECT_EQ(sheet.ZS(), -2);
    EXPECT_EQ(sheet.Z(), -3);

    // Resizing rebuilds the bitmap at the new size.
    sheet.Size(5, 2);
    EXPECT_EQ(sheet.GetPixel(4, 1), 0);
    EXPECT_EQ(sheet.GetPixel(5, 1), kelSprite3::kNoColor);  // outside
}

namespace {

struct Box {
    int32_t left = 1 << 30, top = 1 << 30, right = -1, bottom = -1;
    int32_t width() const { return right - left; }
    int32_t height() const { return bottom - top; }
};

// Bounds of the pixels that are not the back colour; the surface is cleared afterwards.
Box Ink(kelSprite3& surface) {
    Box box;
    for (int32_t y = 0; y < surface.Height(); ++y) {
        for (int32_t x = 0; x < surface.Width(); ++x) {
            if (surface.GetPixel(x, y) == surface.BackColor()) continue;
            box.left = std::min(box.left, x);
            box.top = std::min(box.top, y);
            box.right = std::max(box.right, x + 1);
            box.bottom = std::max(box.bottom, y + 1);
        }
    }
    surface.Cls();
    return box;
}

}  // namespace

TEST(kelSprite3, TextTakesTheSurfaceFontSizeAngleAndRectangle) {
    kelSprite3 surface;
    surface.Initialize(false, 160, 100, 0, "", -1);
    const kelSprite3::Color white = static_cast<kelSprite3::Color>(W);

    surface.Font("DejaVu Sans", 8, false, false);
    surface.DrawText("Hello", 4, 4, white, 0);
    const Box small = Ink(surface);
    ASSERT_GT(small.height(), 0);
    surface.Font("DejaVu Sans", 20, true, false);
    surface.DrawText("Hello", 4, 4, white, 0);
    const Box large = Ink(surface);
    EXPECT_GT(large.height(), small.height());
    EXPECT_GT(large.width(), small.width());
    // A given height overrides the font's (a cell of 60 pixels).
    surface.DrawText("Hello", 4, 4, white, 0, 0, 0, 0, 0, 60);
    EXPECT_GT(Ink(surface).height(), large.height());

    // A quarter turn (radians) stands the line up.
    surface.DrawText("Hello", 40, 90, white, 0, 3.14159265358979 / 2);
    const Box turned = Ink(surface);
    EXPECT_GT(turned.height(), turned.width());
    EXPECT_LE(turned.bottom, 91);

    // Right alignment: the default right edge is Width - pLeft, a given one is used as it is.
    surface.DrawText("Hi", 10, 4, white, static_cast<int32_t>(DT_RIGHT));
    const Box right = Ink(surface);
    EXPECT_LE(right.right, 150);
    EXPECT_GT(right.right, 140);
    surface.DrawText("Hi", 10, 4, white, static_cast<int32_t>(DT_RIGHT), 0, 80);
    const Box given = Ink(surface);
    EXPECT_LE(given.right, 80);
    EXPECT_GT(given.right, 70);

    // The font's size as the auxiliary form measures it grows with the text.
    EXPECT_GT(surface.FontWidth("Hello, world"), surface.FontWidth("Hello"));
    EXPECT_GT(surface.FontHeight("Hello"), 0.0f);
}
