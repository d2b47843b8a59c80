#include <memory>

#include "PlayfieldFixture.h"
#include "graphics/modGraphic.h"
#include "input/clsJoystick.h"
#include "input/clsKeyboard.h"
#include "platform/headless/Headless.h"
#include "platform/input/Keys.h"
#include "playfield/clsBoxes.h"
#include "playfield/clsMan.h"

namespace {

constexpr COLORREF kWhite = 0xFFFFFF;
constexpr COLORREF kWall = RGB(1, 2, 3);

// Start (15, 225), goal marker at (280, 10) on the fixture's playfield.
class ManTest : public PlayfieldFixture {
  protected:
    void SetUp() override {
        PlayfieldFixture::SetUp();
        platform::UseHeadless();
        keyboard.Initialize();
        joystick.Initialize(0);  // none attached
        gKeyboard = &keyboard;
        gJoystick = &joystick;
        frmMain& form = MainForm();
        form.mWalls = std::make_unique<clsWalls>();
        form.mWalls->Clear(4);
        form.mBoxes = std::make_unique<clsBoxes>();
        form.mBoxes->Initialize(50);
        form.mMan = std::make_unique<clsMan>();
        form.mMan->Initialize();
        FillPicture();
    }
    void TearDown() override {
        gKeyboard = nullptr;
        gJoystick = nullptr;
        PlayfieldFixture::TearDown();
    }

    clsMan& Man() { return *MainForm().mMan; }
    void Hold(std::initializer_list<int> keys) {
        keyboard.Initialize();
        for (int k : keys)
            keyboard.SetKeyHold(k, true);
    }
    void Place(int32_t x, int32_t y) {
        Man().mX = x;
        Man().mY = y;
        Man().mMovedX = Man().mMovedY = false;
    }
    // Where one Move from (100, 100) takes him.
    POINT MoveFrom100() {
        Place(100, 100);
        Man().Move();
        return POINT{Man().mX, Man().mY};
    }

    clsKeyboard keyboard;
    clsJoystick joystick;
};

bool operator==(POINT a, POINT b) {
    return a.x == b.x && a.y == b.y;
}

TEST_F(ManTest, InitializePlacesManAndGoalInThePockets) {
    EXPECT_FALSE(Man().Hit);
    EXPECT_TRUE((POINT{Man().mX, Man().mY} == POINT{15, 225}));
    EXPECT_TRUE((POINT{Man().mGoalX, Man().mGoalY} == POINT{280, 10}));
}

TEST_F(ManTest, MoveStepsOncePerAxisPerFrame) {
    Hold({});
    EXPECT_TRUE((MoveFrom100() == POINT{100, 100}));
    Hold({VK_LEFT, VK_RIGHT, VK_UP, VK_DOWN});  // right and down win
    EXPECT_TRUE((MoveFrom100() == POINT{105, 105}));
    Hold({'A', 'W'});
    EXPECT_TRUE((MoveFrom100() == POINT{95, 95}));

    Hold({'D'});
    MoveFrom100();
    Man().Move();
    EXPECT_EQ(Man().mX, 105);  // this frame's horizontal step is spent
    Hold({'D', 'S'});
    Man().Move();  // no diagonal, but the vertical step is still free
    EXPECT_TRUE((POINT{Man().mX, Man().mY} == POINT{105, 105}));
    Man().DrawForeground();  // a new frame
    FillPicture();
    Man().Move();
    EXPECT_TRUE((POINT{Man().mX, Man().mY} == POINT{110, 110}));
}

TEST_F(ManTest, MoveTriesDiagonalThenDoubleDiagonalThenHorizontalThenVertical) {
    Hold({'D', 'S'});
    const POINT blocks[] = {{105, 105}, {110, 110}, {105, 100}, {100, 105}};
    const POINT ends[] = {{110, 110}, {105, 100}, {100, 105}, {100, 100}};
    for (int i = 0; i < 4; ++i) {
        SetPixelV(Dc(), blocks[i].x, blocks[i].y, kWall);
        EXPECT_TRUE((MoveFrom100() == ends[i])) << i;
    }
    // After a win he walks through anything, but not within two lines of the screen's edge.
    MainForm().mState = 2;
    Hold({'D'});
    EXPECT_TRUE((MoveFrom100() == POINT{105, 100}));
    Place(620, 100);  // 640 wide: 625 < 630 may be entered, 630 may not
    Man().Move();
    Man().Move();
    EXPECT_EQ(Man().mX, 625);
}

TEST_F(ManTest, DiesOnlyWhenAWallIsDrawnOverHim) {
    frmMain& form = MainForm();
    Place(100, 100);
    Man().DrawForeground();
    EXPECT_EQ(form.mState, 0);
    EXPECT_EQ(Pixel(95, 95), gManColor1);    // brush
    EXPECT_EQ(Pixel(100, 100), gManColor2);  // eye
    EXPECT_TRUE(Man().Blink());

    FillPicture();
    Man().DrawForeground();  // blink off
    FillPicture();
    FillRectangle(Dc(), 100, 100, 105, 105, kWall);
    form.mStateCounter = 7;
    Man().DrawForeground();
    EXPECT_EQ(form.mState, 1);
    EXPECT_EQ(form.mStateCounter, 0);
    EXPECT_TRUE(Man().Hit);
    const Box& box = form.mBoxes->BoxAt(0);
    EXPECT_TRUE(box.Alive && box.X == 100 && box.Y == 100 && box.Color == gManColor3);
    EXPECT_EQ(Pixel(100, 100), kWhite);  // drawn normally, eye flickering on the wall

    Man().DrawForeground();  // dead: the blinking block
    EXPECT_EQ(Pixel(95, 95), 0u);
    EXPECT_EQ(Pixel(100, 100), kWhite);

    Man().Initialize();  // after a win nothing kills him
    form.mState = 2;
    Place(100, 100);
    FillPicture(kWall);
    Man().DrawForeground();
    EXPECT_FALSE(Man().Hit);
}

TEST_F(ManTest, GoalBandSnapsToTheMarkerCentre) {
    frmMain& form = MainForm();
    const POINT inside[] = {{275, 5}, {295, 25}, {280, 20}};  // band 275..295 by 5..25
    const POINT outside[] = {{270, 10}, {300, 10}, {280, 0}, {280, 30}};
    for (POINT p : inside) {
        form.mState = 0;
        form.SetBackColor(0);
        Place(p.x, p.y);
        Man().DrawForeground();
        EXPECT_EQ(form.mState, 2);
        EXPECT_EQ(form.mStateCounter, -1);
        EXPECT_EQ(form.BackColor(), kWhite);
        EXPECT_TRUE((POINT{Man().mX, Man().mY} == POINT{285, 15}));
        FillPicture();
    }
    for (POINT p : outside) {
        form.mState = 0;
        Place(p.x, p.y);
        Man().DrawForeground();
        EXPECT_EQ(form.mState, 0) << p.x << "," << p.y;
        FillPicture();
    }
    keyboard.SetKeyDown('Q', true);  // Q wins from anywhere
    Place(100, 100);
    Man().DrawForeground();
    EXPECT_EQ(form.mState, 2);
    EXPECT_EQ(Man().mX, 285);
}

TEST_F(ManTest, GoalMarkerColoursTravelClockwise) {
    const int32_t gx = 280, gy = 10;
    const COLORREF top[] = {0x0000FF, 0xFF0000, 0x00FFFF, gNormalColor2, 0x0000FF, 0xFF0000};
    for (int f = 0; f < 6; ++f) {
        FillPicture();  // the well's repaint, or his own eye would kill him
        Man().DrawForeground();
        EXPECT_EQ(Pixel(gx, gy), top[f]) << f;
        if (f >= 3) {
            EXPECT_EQ(Pixel(gx + 2 * LW, gy + LH), top[f - 1]);  // right
            EXPECT_EQ(Pixel(gx + LW, gy + 2 * LH), top[f - 2]);  // bottom
            EXPECT_EQ(Pixel(gx, gy + LH), top[f - 3]);           // left
        }
    }
}

TEST_F(ManTest, BrushSizeComesFromTheButtonPairs) {
    struct Case {
        std::initializer_list<int> keys;
        int32_t reach;  // brush lines beyond his own square
        COLORREF brush;
    } const cases[] = {
        {{}, 1, gManColor1},
        {{VK_RBUTTON}, 0, kPath},            // first of a pair: no brush
        {{VK_MBUTTON}, 2, gManColor1},       // second: Int(6 / 2) - 1 lines
        {{VK_SHIFT, VK_CONTROL}, 1, kPath},  // both: he paints path
        {{VK_SHIFT, VK_MBUTTON}, 0, kPath},  // a first-only pair outranks a second-only one
    };
    for (const Case& c : cases) {
        FillPicture();
        Hold(c.keys);
        Place(100, 100);
        Man().DrawForeground();
        for (int32_t k = 1; k <= 3; ++k) {
            EXPECT_EQ(Pixel(100 + k * LW, 100 + k * LH), k <= c.reach ? c.brush : kPath) << k;
        }
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
    EXPECT_TRUE((Man().Touched(0) == POINT{30, 30}));  // x outer, y inner
    EXPECT_TRUE((Man().Touched(29) == POINT{35, 30}));
    EXPECT_TRUE((Man().Touched(199) == POINT{60, 155}));
    EXPECT_EQ(Man().GoalColor(0), 0x0000FFu);  // the fields after the table are intact
}

}  // namespace
