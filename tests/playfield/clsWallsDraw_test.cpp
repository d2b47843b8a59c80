// Wall drawing: outline style with its mix mode, wrapped pieces, and solid-style stacking.

#include "PlayfieldFixture.h"
#include "graphics/modGraphic.h"
#include "playfield/Backdrop.h"

constexpr COLORREF kFillA = RGB(10, 200, 30);
constexpr COLORREF kLineB = RGB(200, 10, 130);

class WallsDrawTest : public PlayfieldFixture {
  protected:
    void Draw(COLORREF under) {
        FillPicture(under);
        walls.DrawBackground();
        walls.DrawForeground();
    }
};

TEST_F(WallsDrawTest, OutlineStyleMixesWithWhatLiesBeneath) {
    walls.SetWall(0, LiveWall(100, 60, 195, 95, 1, 0, 1, kFillA, kLineB));
    // Over white: pen OR NOT white keeps the colours.
    FillPicture(kWhite);
    walls.DrawBackground();
    EXPECT_EQ(GetROP2(Dc()), R2_COPYPEN) << "mode restored";
    // The outline's pen is round: its outermost corner pixels keep what lies beneath.
    ExpectPixels({{105, 65, kFillA},
                  {104, 75, kLineB},
                  {193, 94, kLineB},
                  {195, 75, kWhite},
                  {194, 94, kWhite}});
    // Over black everything the wall covers turns white; the foreground then redraws the
    // outlines in the picture's own copying mode.
    FillPicture(kBlack);
    walls.DrawBackground();
    ExpectPixels({{120, 75, kWhite}, {101, 60, kWhite}, {100, 60, kBlack}});
    walls.DrawForeground();
    ExpectPixels({{101, 60, kLineB}, {120, 75, kWhite}, {100, 60, kBlack}});
    // A second wall's fill over the first one's is mixed with it.
    constexpr COLORREF kFill2 = RGB(0, 50, 200);
    walls.SetWall(1, LiveWall(130, 30, 165, 125, 0, 1, 1, kFill2, kLineB));
    FillPicture(kWhite);
    walls.DrawBackground();
    EXPECT_EQ(Pixel(140, 75), (kFill2 | (~kFillA & 0xFFFFFFu)));
}

TEST_F(WallsDrawTest, SolidStyleStacksRightMoversOnTop) {
    gSolid = true;
    constexpr COLORREF kRightA = RGB(0, 255, 0), kRightB = RGB(0, 100, 0);
    constexpr COLORREF kUpA = RGB(0, 0, 255), kUpB = RGB(0, 0, 100);
    walls.SetWall(0, LiveWall(100, 60, 195, 95, 1, 0, 1, kRightA, kRightB));
    walls.SetWall(1, LiveWall(120, 30, 155, 125, 0, -1, 1, kUpA, kUpB));
    // Opaque: the same over black as over white, and the foreground adds nothing. The right
    // mover lies over the up mover; shadows are shifted one line right and down, not grown.
    for (COLORREF under : {kWhite, kBlack}) {
        Draw(under);
        const Px want[] = {{125, 70, kRightA}, {125, 40, kUpA},    {150, 110, kUpB},
                           {192, 80, kRightB}, {150, 92, kRightB}, {100, 92, under}};
        ExpectPixels(want);
    }
    // An X-wrapped solid wall: face from the left edge, shadow up to the picture's edge.
    walls.Clear(8);
    walls.SetWall(0, LiveWall(250, 60, 45, 95, 1, 0, 1, kRightA, kRightB));
    Draw(kWhite);
    ExpectPixels({{0, 70, kRightA}, {42, 70, kRightB}, {W + 2, 70, kRightB}});
}

// The outline style drawn call by call as the rules give it: frames, then fills, per wall.
static void ReferenceOutlineBackground(const clsWalls& walls) {
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
    for (GameMode mode : {GameMode::Dont, GameMode::Final, GameMode::Vertigo}) {
        for (bool anarchy : {false, true}) {
            SCOPED_TRACE(testing::Message()
                         << "mode " << static_cast<int>(mode) << " anarchy " << anarchy);
            UseMode(mode, OptionFlags{.anarchy = anarchy});
            gWallColorMode = 2;
            const int32_t w = gCellWidth * gColumns + gLineWidth;
            const int32_t h = gCellHeight * gRows + gLineHeight;
            MainForm().picMain.Move(0, 0, w, h);
            clsWalls layout;
            layout.Initialize(Capacity());
            ASSERT_GT(layout.LiveCount(), 0);
            std::vector<uint32_t> noise(static_cast<size_t>(w) * h);
            for (auto& p : noise)
                p = RandomColor();
            std::vector<uint32_t>& pixels = MainForm().picMain.image()->pixels;
            for (int step = 0; step < 12; ++step) {
                pixels = noise;
                layout.DrawBackground();
                const std::vector<uint32_t> fast = pixels;
                pixels = noise;
                ReferenceOutlineBackground(layout);
                ASSERT_TRUE(fast == pixels) << "step " << step;
                // Both layers in one call: the same pixels in either style.
                for (bool solid : {false, true}) {
                    gSolid = solid;
                    pixels = noise;
                    layout.DrawBackground();
                    layout.DrawForeground();
                    const std::vector<uint32_t> layers = pixels;
                    pixels = noise;
                    layout.Draw();
                    ASSERT_TRUE(layers == pixels) << "solid " << solid << " step " << step;
                    // What lies beneath, painted first by the same call: the walls' bands take
                    // it band by band.
                    Backdrop under;
                    under.Add(0, 0, w, h, RandomColor());
                    under.Add(w / 3, -4, w / 2, h + 4, RandomColor());
                    under.Add(40, h - 7, 10, 30, RandomColor());
                    Backdrop first = under;
                    pixels = noise;
                    first.Paint(MainForm().picMain.hDC());
                    layout.DrawBackground();
                    layout.DrawForeground();
                    const std::vector<uint32_t> beneath = pixels;
                    pixels = noise;
                    layout.Draw(&under);
                    ASSERT_TRUE(beneath == pixels) << "solid " << solid << " step " << step;
                    EXPECT_FALSE(under.Pending());
                }
                gSolid = false;
                for (int k = 0; k < 5; ++k)
                    layout.Move(1);
            }
        }
    }
}
