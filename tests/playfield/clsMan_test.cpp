
#include "PlayfieldFixture.h"
#include "graphics/modGraphic.h"
#include "platform/input/Keys.h"

constexpr COLORREF kWall = RGB(1, 2, 3);

class ManTest : public PlayfieldFixture {
  protected:
    // Where one Move from (100, 100) takes him.
    POINT MoveFrom100() {
        Place(100, 100);
        Man().Move();
        return ManAt();
    }
};

TEST_F(ManTest, MoveTriesDiagonalThenDoubleDiagonalThenHorizontalThenVertical) {
    EXPECT_TRUE(ManAt() == (POINT{15, 225}));  // the start pocket
    // Each case adds its blocked pixels to those of the case before.
    const std::tuple<std::vector<int>, POINT, POINT> cases[] = {
        {{}, {0, 0}, {100, 100}},
        {{VK_LEFT, VK_RIGHT, VK_UP, VK_DOWN}, {0, 0}, {105, 105}},  // right and down win
        {{'A', 'W'}, {0, 0}, {95, 95}},
        // Diagonal, double diagonal, horizontal, vertical, none.
        {{'D', 'S'}, {105, 105}, {110, 110}},
        {{'D', 'S'}, {110, 110}, {105, 100}},
        {{'D', 'S'}, {105, 100}, {100, 105}},
        {{'D', 'S'}, {100, 105}, {100, 100}}};
    for (const auto& [keys, block, end] : cases) {
        Hold(keys);
        SetPixelV(Dc(), block.x, block.y, kWall);
        EXPECT_TRUE(MoveFrom100() == end) << end.x << "," << end.y;
    }
    // After a win he walks through anything, but not within two lines of the screen's edge.
    MainForm().mState = GameState::Won;
    Hold({'D'});
    EXPECT_TRUE(MoveFrom100() == (POINT{105, 100}));
    // The playfield lies at x = 167 of a 640-wide screen: 625 < 630 may be entered, 630 not;
    // on the left 10 may, 5 may not.
    Place(453, 100);
    Man().Move();
    Man().Move();
    EXPECT_EQ(Man().mX, 458);
    Hold({'A'});
    Place(-152, 100);
    Man().Move();
    Man().Move();
    EXPECT_EQ(Man().mX, -157);
}

TEST_F(ManTest, MoveStepsOncePerAxisPerFrame) {
    for (const int first : {'D', 'S'}) {
        FillPicture();
        Hold({first});
        MoveFrom100();
        Man().Move();  // this frame's step on that axis is spent
        EXPECT_TRUE(ManAt() == (first == 'D' ? POINT{105, 100} : POINT{100, 105}));
        Hold({'D', 'S'});
        Man().Move();  // no diagonal, but the other axis's step is still free
        EXPECT_TRUE(ManAt() == (POINT{105, 105}));
        Man().DrawForeground();  // a new frame
    }
    FillPicture();
    Man().Move();
    EXPECT_TRUE(ManAt() == (POINT{110, 110}));
}

TEST_F(ManTest, DiesOnlyWhenAWallIsDrawnOverHim) {
    frmMain& form = MainForm();
    Place(100, 100);
    Man().DrawForeground();
    EXPECT_EQ(form.mState, 0);
    ExpectPixels({{95, 95, gManColor1}, {100, 100, gManColor2}});  // brush, eye
    EXPECT_TRUE(Man().Blink());

    FillPicture();
    Man().DrawForeground();  // blink off
    FillPicture();
    FillRectangle(Dc(), 100, 100, 105, 105, kWall);
    form.mStateCounter = 7;
    Man().DrawForeground();
    EXPECT_TRUE(form.mState == GameState::Hit && form.mStateCounter == 0 && Man().Hit);
    const Box& box = form.mBoxes->BoxAt(0);
    EXPECT_TRUE(box.Alive && box.X == 100 && box.Y == 100 && box.Color == gManColor3);
    EXPECT_EQ(Pixel(100, 100), kWhite);  // drawn normally, eye flickering on the wall

    Man().DrawForeground();  // dead: the blinking block
    ExpectPixels({{95, 95, kBlack}, {100, 100, kWhite}});

    Man().Initialize();  // after a win nothing kills him
    form.mState = GameState::Won;
    Place(100, 100);
    FillPicture(kWall);
    Man().DrawForeground();
    EXPECT_FALSE(Man().Hit);
}

TEST_F(ManTest, GoalBandSnapsToTheMarkerCentre) {
    frmMain& form = MainForm();
    EXPECT_TRUE((POINT{Man().mGoalX, Man().mGoalY} == POINT{280, 10}));
    for (POINT p :
         {POINT{275, 5}, {295, 25}, {280, 20}, {270, 10}, {300, 10}, {280, 0}, {280, 30}}) {
        SCOPED_TRACE(testing::Message() << p.x << "," << p.y);
        const bool wins = 275 <= p.x && p.x <= 295 && 5 <= p.y && p.y <= 25;
        form.mState = GameState::Playing;
        FillPicture();
        Place(p.x, p.y);
        Man().DrawForeground();
        EXPECT_EQ(form.mState, wins ? 2 : 0);
        EXPECT_TRUE(!wins || ManAt() == (POINT{285, 15}));
    }
    form.mState = GameState::Playing;
    form.SetBackColor(0);
    keyboard.SetKeyDown('Q', true);  // Q wins from anywhere
    Place(100, 100);
    Man().DrawForeground();
    EXPECT_TRUE(form.mState == GameState::Won && form.mStateCounter == -1 &&
                form.BackColor() == kWhite);
    EXPECT_TRUE(ManAt() == (POINT{285, 15}));
}

TEST_F(ManTest, GoalMarkerColoursTravelClockwise) {
    const int32_t gx = 280, gy = 10;
    const COLORREF top[] = {0x0000FF, 0xFF0000, 0x00FFFF, gNormalColor2, 0x0000FF, 0xFF0000};
    for (int f = 0; f < 6; ++f) {
        FillPicture();  // the well's repaint, or his own eye would kill him
        Man().DrawForeground();
        EXPECT_EQ(Pixel(gx, gy), top[f]) << f;
        if (f < 3) continue;
        // Right, bottom and left sides show the colours of one, two and three frames before.
        const Px want[] = {{gx + 2 * LW, gy + LH, top[f - 1]},
                           {gx + LW, gy + 2 * LH, top[f - 2]},
                           {gx, gy + LH, top[f - 3]}};
        ExpectPixels(want);
    }
}

TEST_F(ManTest, BrushSizeComesFromTheButtonPairs) {
    // Keys, brush lines beyond his own square, brush colour.
    const std::tuple<std::vector<int>, int32_t, COLORREF> cases[] = {
        {{}, 1, gManColor1},
        {{VK_RBUTTON}, 0, kPath},             // first of a pair: no brush
        {{VK_MBUTTON}, 2, gManColor1},        // second: Int(6 / 2) - 1 lines
        {{VK_SHIFT, VK_CONTROL}, 1, kPath},   // both: he paints path
        {{VK_SHIFT, VK_MBUTTON}, 0, kPath}};  // a first-only pair outranks a second-only one
    for (const auto& [keys, reach, brush] : cases) {
        FillPicture();
        Hold(keys);
        Place(100, 100);
        Man().DrawForeground();
        for (int32_t k = 1; k <= 3; ++k)
            EXPECT_EQ(Pixel(100 + k * LW, 100 + k * LH), k <= reach ? brush : kPath) << k;
    }
}

TEST_F(ManTest, TouchTableKeepsAtMost200Points) {
    // Cells of 30 lines and the large brush put 29 x 29 lattice points under it.
    gCellWidthLines = gCellHeightLines = 30;
    Hold({VK_MBUTTON});
    FillPicture(kWall);
    Place(100, 100);
    Man().DrawForeground();
    ASSERT_EQ(Man().TouchedCount(), clsMan::kMaxTouched);
    EXPECT_TRUE(Man().Touched(0) == (POINT{30, 30}));  // x outer, y inner
    EXPECT_TRUE(Man().Touched(29) == (POINT{35, 30}));
    EXPECT_TRUE(Man().Touched(199) == (POINT{60, 155}));
    EXPECT_EQ(Man().GoalColor(0), 0x0000FFu);  // the fields after the table are intact
}
