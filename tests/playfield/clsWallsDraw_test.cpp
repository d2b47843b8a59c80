// Wall drawing: outline style with its mix mode, wrapped pieces, and solid-style stacking.
#include <gtest/gtest.h>

#include <vector>

#include "graphics/modGraphic.h"
#include "main/GameSettings.h"
#include "main/Random.h"
#include "main/modMain.h"
#include "platform/Numbers.h"
#include "playfield/PlayfieldFixture.h"
#include "playfield/clsWalls.h"
#include "title/modModes.h"

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);

class WallsDrawTest : public PlayfieldFixture {
  protected:
    void SetUp() override {
        PlayfieldFixture::SetUp();
        walls.Clear(8);
        SetROP2(Dc(), R2_COPYPEN);
    }
    clsWalls walls;
};

constexpr COLORREF kFillA = RGB(10, 200, 30);
constexpr COLORREF kLineB = RGB(200, 10, 130);

TEST_F(WallsDrawTest, OutlineStyleMixesWithWhatLiesBeneath) {
    walls.SetWall(0, LiveWall(100, 60, 195, 95, 1, 0, 1, kFillA, kLineB));
    // Over white: pen OR NOT white keeps the colours.
    FillPicture(kWhite);
    walls.DrawBackground();
    EXPECT_EQ(GetROP2(Dc()), R2_COPYPEN) << "mode restored";
    EXPECT_EQ(Pixel(105, 65), kFillA);
    EXPECT_EQ(Pixel(104, 75), kLineB);
    EXPECT_EQ(Pixel(194, 94), kLineB);
    EXPECT_EQ(Pixel(195, 75), kWhite);
    // Over black everything the wall covers turns white; the foreground then redraws the
    // outlines in the picture's own copying mode.
    FillPicture(kBlack);
    walls.DrawBackground();
    EXPECT_EQ(Pixel(120, 75), kWhite);
    EXPECT_EQ(Pixel(100, 60), kWhite);
    walls.DrawForeground();
    EXPECT_EQ(Pixel(100, 60), kLineB);
    EXPECT_EQ(Pixel(120, 75), kWhite);
    // A second wall's fill over the first one's is mixed with it.
    constexpr COLORREF kFill2 = RGB(0, 50, 200);
    walls.SetWall(1, LiveWall(130, 30, 165, 125, 0, 1, 1, kFill2, kLineB));
    FillPicture(kWhite);
    walls.DrawBackground();
    EXPECT_EQ(Pixel(140, 75), (kFill2 | (~kFillA & 0xFFFFFFu)));
}

TEST_F(WallsDrawTest, WrappedWallsShowTwoPieces) {
    FillPicture(kWhite);
    walls.SetWall(0, LiveWall(250, 60, 45, 95, 1, 0, 1, kFillA, kLineB));  // X-wrapped
    walls.DrawBackground();
    EXPECT_EQ(Pixel(0, 75), kLineB) << "left piece touches the left edge";
    EXPECT_EQ(Pixel(5, 75), kFillA);
    EXPECT_EQ(Pixel(W + LW - 1, 75), kLineB) << "right piece runs to the picture's edge";
    EXPECT_EQ(Pixel(299, 75), kFillA);
    // Y-wrapped: the top piece shows its cut edge, the lower piece's bottom is off the picture.
    FillPicture(kWhite);
    walls.SetWall(0, LiveWall(150, 210, 185, 35, 0, 1, 1, kFillA, kLineB));
    walls.DrawBackground();
    walls.DrawForeground();
    EXPECT_EQ(Pixel(160, 2), kLineB);
    EXPECT_EQ(Pixel(160, 230), kFillA);
    EXPECT_EQ(Pixel(160, H + 2), kWhite);
    EXPECT_EQ(Pixel(151, H + 2), kLineB) << "side outlines run on";
}

TEST_F(WallsDrawTest, SolidStyleStacksRightMoversOnTop) {
    gSolid = true;
    constexpr COLORREF kRightA = RGB(0, 255, 0), kRightB = RGB(0, 100, 0);
    constexpr COLORREF kUpA = RGB(0, 0, 255), kUpB = RGB(0, 0, 100);
    walls.SetWall(0, LiveWall(100, 60, 195, 95, 1, 0, 1, kRightA, kRightB));
    walls.SetWall(1, LiveWall(120, 30, 155, 125, 0, -1, 1, kUpA, kUpB));
    // Opaque: the same over black as over white, and the foreground adds nothing.
    for (COLORREF under : {kWhite, kBlack}) {
        FillPicture(under);
        walls.DrawBackground();
        walls.DrawForeground();
        EXPECT_EQ(Pixel(125, 70), kRightA) << "right mover over the up mover";
        EXPECT_EQ(Pixel(125, 40), kUpA);
        EXPECT_EQ(Pixel(150, 110), kUpB) << "up mover's shadow";
        EXPECT_EQ(Pixel(192, 80), kRightB) << "shadow one line to the right";
        EXPECT_EQ(Pixel(150, 92), kRightB) << "and one line down";
        EXPECT_EQ(Pixel(100, 92), under) << "the shadow is shifted, not grown";
    }
    // An X-wrapped solid wall: face from the left edge, shadow up to the picture's edge.
    FillPicture(kWhite);
    walls.Clear(8);
    walls.SetWall(0, LiveWall(250, 60, 45, 95, 1, 0, 1, kRightA, kRightB));
    walls.DrawBackground();
    EXPECT_EQ(Pixel(0, 70), kRightA);
    EXPECT_EQ(Pixel(42, 70), kRightB);
    EXPECT_EQ(Pixel(W + 2, 70), kRightB);
}

// The outline style drawn call by call as the rules give it: frames, then fills, per wall.
void ReferenceOutlineBackground(const clsWalls& walls) {
    HDC hdc = MainForm().picMain.hDC();
    const int32_t lw = gLineWidth, lh = gLineHeight;
    const int32_t W = gCellWidth * gColumns, H = gCellHeight * gRows;
    const int previous = SetROP2(hdc, R2_MERGEPENNOT);
    for (int32_t i = 0; i < walls.WallCount(); ++i) {
        const clsWalls::Wall& w = walls.GetWall(i);
        if (!w.Alive) continue;
        if (w.X2 < w.X1) {
            FrameRectangle(hdc, 0, w.Y1, w.X2, w.Y2, w.ColorB, lw);
            FrameRectangle(hdc, w.X1, w.Y1, W + lw, w.Y2, w.ColorB, lw);
            FillRectangle(hdc, lw, w.Y1 + lh, w.X2 - lw, w.Y2 - lh, w.ColorA);
            FillRectangle(hdc, w.X1 + lw, w.Y1 + lh, W, w.Y2 - lh, w.ColorA);
        } else if (w.Y2 < w.Y1) {
            FrameRectangle(hdc, w.X1, 0, w.X2, w.Y2, w.ColorB, lw);
            FrameRectangle(hdc, w.X1, w.Y1, w.X2, H + w.Y2 + lh, w.ColorB, lw);
            FillRectangle(hdc, w.X1 + lw, lh, w.X2 - lw, w.Y2 - lh, w.ColorA);
            FillRectangle(hdc, w.X1 + lw, w.Y1 + lh, w.X2 - lw, H, w.ColorA);
        } else {
            FrameRectangle(hdc, w.X1, w.Y1, w.X2, w.Y2, w.ColorB, lw);
            FillRectangle(hdc, w.X1 + lw, w.Y1 + lh, w.X2 - lw, w.Y2 - lh, w.ColorA);
        }
    }
    SetROP2(hdc, previous);
}

TEST_F(WallsDrawTest, OutlineStyleMatchesFramesThenFillsOnRealLayouts) {
    // Dense layouts with random colours, moved until walls wrap on both axes, drawn over noise.
    gScreenWidth = 1280;
    gScreenHeight = 1024;
    const GameMode modes[] = {GameMode::Dont, GameMode::Final, GameMode::Vertigo};
    for (GameMode mode : modes) {
        for (bool anarchy : {false, true}) {
            OptionFlags flags;
            flags.anarchy = anarchy;
            ApplyOptionFlags(flags);
            ApplyMode(mode, 1);
            gWallColorMode = 2;
            ASSERT_TRUE(CompleteSettings());
            const int32_t w = gCellWidth * gColumns + gLineWidth;
            const int32_t h = gCellHeight * gRows + gLineHeight;
            MainForm().picMain.Move(0, 0, w, h);
            clsWalls walls;
            walls.Initialize(
                Nearest(Int(gWallsPerColumn + 1) * gRows * gWallLength +
                        Int(gWallsPerRow + 1) * static_cast<double>(gColumns) * gWallLength));
            ASSERT_GT(walls.LiveCount(), 0);
            std::vector<uint32_t> noise(static_cast<size_t>(w) * h);
            for (auto& p : noise)
                p = RandomColor();
            for (int step = 0; step < 12; ++step) {
                Bitmap* image = MainForm().picMain.image();
                image->pixels = noise;
                walls.DrawBackground();
                const std::vector<uint32_t> fast = image->pixels;
                image->pixels = noise;
                ReferenceOutlineBackground(walls);
                ASSERT_TRUE(fast == image->pixels) << "mode " << static_cast<int>(mode)
                                                   << " anarchy " << anarchy << " step " << step;
                for (int k = 0; k < 5; ++k)
                    walls.Move(1);
            }
        }
    }
}

}  // namespace
