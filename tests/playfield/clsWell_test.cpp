
#include "playfield/clsWell.h"

#include <array>

#include "PlayfieldFixture.h"
#include "graphics/modGraphic.h"
#include "playfield/Backdrop.h"

constexpr COLORREF kOutside = RGB(1, 1, 1);

class WellTest : public PlayfieldFixture {
  protected:
    void SetUp() override {
        PlayfieldFixture::SetUp();
        FillPicture(kOutside);
    }
    clsWell well;
};

TEST_F(WellTest, BarsCloseTheWellExceptTheTwoPocketOpenings) {
    well.DrawBackground();
    const int32_t L = gWellLeft, T = gWellTop, R = gWellRight, B = gWellBottom;
    auto in = [](POINT p, int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
        return x1 <= p.x && p.x < x2 && y1 <= p.y && p.y < y2;
    };
    // Flood the path colour from the well's middle: both pockets, and nothing beyond.
    std::vector<bool> seen(static_cast<size_t>((W + LW) * (H + LH)));
    std::vector<POINT> todo{{(L + R) / 2, (T + B) / 2}};
    bool start = false, goal = false;
    while (!todo.empty()) {
        const POINT p = todo.back();
        todo.pop_back();
        if (!in(p, 0, 0, W + LW, H + LH) || seen[p.y * (W + LW) + p.x]) continue;
        if (Pixel(p.x, p.y) != gNormalColor1) continue;
        seen[p.y * (W + LW) + p.x] = true;
        ASSERT_TRUE(in(p, L, T, R, B) || in(p, L - CW, B - CH, L + CW, B + CH) ||
                    in(p, R - CW, T - CH, R + CW, T + CH))
            << p.x << "," << p.y;
        start = start || (p.x < L && p.y > B);
        goal = goal || (p.x > R && p.y < T);
        for (POINT n :
             {POINT{p.x + 1, p.y}, POINT{p.x - 1, p.y}, POINT{p.x, p.y + 1}, POINT{p.x, p.y - 1}})
            todo.push_back(n);
    }
    EXPECT_TRUE(start && goal);
    // The top bar stops a cell short; the bottom bar starts a cell in, clear of the start pocket.
    ExpectPixels({{R - CW + LW - 1, T, gNormalColor2},
                  {R - CW + LW, T, gNormalColor1},
                  {L + CW - 1, B, gNormalColor1},
                  {L + CW, B, gNormalColor2}});
}

TEST_F(WellTest, ColoursFollowTheGameState) {
    frmMain& form = MainForm();
    form.mMan->Hit = true;
    well.DrawBackground();
    ExpectPixels({{50, 50, gAltColor1}, {30, 30, gAltColor2}});
    // Won: fill and bars in new random colours; from tick 30 the inside is left alone.
    form.mState = GameState::Won;
    form.mStateCounter = 30;
    FillRectangle(Dc(), 50, 50, 55, 55, kOutside);
    well.DrawBackground();
    EXPECT_EQ(Pixel(50, 50), kOutside);
    EXPECT_NE(Pixel(30, 30), gAltColor2);
}

TEST_F(WellTest, DecorationFortyIsAClosedBlockOnTheBottomEdge) {
    // Cells 30 x 20: well (30, 20)-(570, 260), block (270, 180)-(510, 260).
    gColumns = 20;
    gRows = 14;
    gCellHeightLines = 4;
    ASSERT_TRUE(CompleteSettings());
    MainForm().picMain.Move(0, 0, 20 * CW + LW, 14 * 20 + LH);
    FillPicture(kOutside);
    gWellDecoration = 40;
    well.DrawBackground();
    // The block cuts through the bottom bar; the bars follow the rows' lines, not the columns'.
    const COLORREF fill = gNormalColor1, bar = gNormalColor2, inside = gNormalColor3;
    const Px want[] = {{270, 200, bar},      {300, 180, bar},  {275, 185, inside},
                       {300, 262, inside},   {265, 200, fill}, {100, 19, kOutside},
                       {100, 20, bar},       {100, 25, fill},  {100, 264, bar},
                       {100, 265, kOutside}, {570, 39, fill},  {570, 47, bar},
                       {30, 244, bar},       {30, 245, fill}};
    ExpectPixels(want);
}

TEST_F(WellTest, QueuedBoxesAnswerAsThePaintedPictureWill) {
    // Every mode's well under a playfield fill, over noise; one well also without the fill, and
    // on a picture that mixes. Boxes off the picture, inside out and empty come last.
    enum Variant { kFilled, kNoiseBeneath, kMixing };
    struct Case {
        int32_t screenW, screenH;
        GameMode mode;
        Variant variant;
    };
    std::vector<Case> cases;
    for (int m = 0; m < kGameModeCount; ++m)
        cases.push_back({640, 480, static_cast<GameMode>(m), kFilled});
    for (GameMode mode : {GameMode::Final, GameMode::Dont})
        cases.push_back({1280, 1024, mode, kFilled});
    cases.push_back({640, 480, GameMode::Casual, kNoiseBeneath});
    cases.push_back({640, 480, GameMode::Casual, kMixing});
    const std::vector<std::array<int32_t, 4>> odd = {
        {-5, -5, 3, 3}, {40, 30, 12, 9}, {7, 7, 7, 7}, {9, 9, 10, 10}, {2000, 5, -40, 6}};
    HDC dc = Dc();
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.screenW << "x" << c.screenH << " mode "
                                        << static_cast<int>(c.mode) << " variant " << c.variant);
        gScreenWidth = c.screenW;
        gScreenHeight = c.screenH;
        UseMode(c.mode, {});
        const int32_t w = gCellWidth * gColumns + gLineWidth;
        const int32_t h = gCellHeight * gRows + gLineHeight;
        MainForm().picMain.Move(0, 0, w, h);
        for (auto& p : MainForm().picMain.image()->pixels)
            p = RandomColor();
        Backdrop under;
        if (c.variant != kNoiseBeneath) under.Add(0, 0, w, h, gNormalColor3);
        well.QueueBackground(under);
        for (const auto& b : odd)
            under.Add(b[0], b[1], b[2], b[3], RandomColor() | 0x5000000u);
        const int previous = SetROP2(dc, c.variant == kMixing ? R2_XORPEN : R2_COPYPEN);
        std::vector<COLORREF> asked;
        for (int32_t y = -2; y < h + 2; ++y)
            for (int32_t x = -2; x < w + 2; ++x)
                asked.push_back(under.PixelAt(dc, x, y));
        EXPECT_EQ(under.Pending(), c.variant != kMixing);
        under.Paint(dc);
        SetROP2(dc, previous);
        size_t i = 0;
        for (int32_t y = -2; y < h + 2; ++y)
            for (int32_t x = -2; x < w + 2; ++x, ++i)
                ASSERT_EQ(asked[i], GetPixel(dc, x, y)) << "at " << x << "," << y;
    }
}
