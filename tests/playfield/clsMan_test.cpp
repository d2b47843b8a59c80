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
constexpr COLORREF kBlack = 0;
constexpr COLORREF kWall = RGB(1, 2, 3);

class ManTest : public PlayfieldFixture {
  protected:
    void SetUp() override {
        PlayfieldFixture::SetUp();
        headless = &platform::UseHeadless();
        keyboard = std::make_unique<clsKeyboard>();
        keyboard->Initialize();
        joystick = std::make_unique<clsJoystick>();
        joystick->Initialize(0);  // no device: every button reads as up
        gKeyboard = keyboard.get();
        gJoystick = joystick.get();
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
        keyboard->Initialize();
        for (int k : keys)
            keyboard->SetKeyHold(k, true);
    }
    void Place(int32_t x, int32_t y) {
        Man().mX = x;
        Man().mY = y;
        Man().mMovedX = Man().mMovedY = false;
    }
    void Block(int32_t x, int32_t y) { SetPixelV(Dc(), x, y, kWall); }
    POINT At() { return POINT{Man().mX, Man().mY}; }

    std::unique_ptr<clsKeyboard> keyboard;
    std::unique_ptr<clsJoystick> joystick;
    platform::Headless* headless = nullptr;
};

#define EXPECT_AT(ex, ey)        \
    do {                         \
        EXPECT_EQ(At().x, (ex)); \
        EXPECT_EQ(At().y, (ey)); \
    } while (0)

TEST_F(ManTest, InitializeStartsInTheStartPocketWithTheGoalInTheGoalPocket) {
    // Well (30, 30)-(270, 210): start pocket centred on (30, 210), goal pocket on (270, 30).
    EXPECT_FALSE(Man().Hit);
    EXPECT_AT(15, 225);
    EXPECT_EQ(Man().mGoalX, 280);
    EXPECT_EQ(Man().mGoalY, 10);

    gCellWidthLines = gCellHeightLines = 7;  // Int(3.5) = 3 lines
    CompleteDerived();
    Man().Hit = true;
    Man().Initialize();
    EXPECT_FALSE(Man().Hit);
    EXPECT_AT(3 * LW + gWellLeft - gCellWidth, 3 * LH + gWellBottom);
}

TEST_F(ManTest, MoveStepsOncePerAxisPerFrame) {
    Place(100, 100);
    Hold({});
    Man().Move();
    EXPECT_AT(100, 100);
    EXPECT_FALSE(Man().mMovedX || Man().mMovedY);

    Hold({'D'});
    Man().Move();
    EXPECT_AT(105, 100);
    Man().Move();  // the horizontal step of this frame is spent
    EXPECT_AT(105, 100);
    Hold({'D', 'S'});
    Man().Move();  // no diagonal either, but the vertical step is still free
    EXPECT_AT(105, 105);
    Man().DrawForeground();  // a new frame
    EXPECT_FALSE(Man().mMovedX || Man().mMovedY);
    FillPicture();
    Man().Move();
    EXPECT_AT(110, 110);

    // Both keys of an axis: right and down win.
    Place(100, 100);
    Hold({VK_LEFT, VK_RIGHT, VK_UP, VK_DOWN});
    Man().Move();
    EXPECT_AT(105, 105);
    EXPECT_EQ(Man().DirX(), 1);
    EXPECT_EQ(Man().DirY(), 1);
    Place(100, 100);
    Hold({'A', 'W'});
    Man().Move();
    EXPECT_AT(95, 95);
}

TEST_F(ManTest, MoveTriesDiagonalThenDoubleDiagonalThenHorizontalThenVertical) {
    Hold({'D', 'S'});
    Block(105, 105);  // the diagonal: hop over it
    Place(100, 100);
    Man().Move();
    EXPECT_AT(110, 110);

    Block(110, 110);  // both diagonals: slide horizontally first
    Place(100, 100);
    Man().Move();
    EXPECT_AT(105, 100);

    Block(105, 100);  // and vertically when that is blocked too
    Place(100, 100);
    Man().Move();
    EXPECT_AT(100, 105);

    Block(100, 105);
    Place(100, 100);
    Man().Move();
    EXPECT_AT(100, 100);

    // A live wall blocks a probe as well as a painted pixel.
    FillPicture();
    clsWalls::Wall w;
    w.X1 = 105;
    w.Y1 = 105;
    w.X2 = 110;
    w.Y2 = 110;
    w.DirX = 1;
    w.Speed = 1;
    w.Alive = true;
    MainForm().mWalls->SetWall(0, w);
    Place(100, 100);
    Man().Move();
    EXPECT_AT(110, 110);
}

TEST_F(ManTest, WonManWalksThroughAnythingButTheScreenEdge) {
    MainForm().mState = 2;
    FillPicture(kWall);
    Hold({'D'});
    Place(100, 100);
    Man().Move();
    EXPECT_AT(105, 100);
    EXPECT_TRUE(Man().mMovedX);
    EXPECT_TRUE(Man().mMovedY);  // set even with no vertical steering
    Man().Move();                // the flags are not consulted
    EXPECT_AT(110, 100);

    // Screen 640 wide: the step must land strictly inside (LW, 640 - 2 LW).
    Place(620, 100);
    Man().Move();
    EXPECT_AT(625, 100);
    Man().Move();
    EXPECT_AT(625, 100);
    MainForm().picMain.Move(100, 50, W + LW, H + LH);  // window-relative position counts
    Place(520, 100);
    Man().Move();
    EXPECT_AT(525, 100);
    Man().Move();
    EXPECT_AT(525, 100);
    Hold({'A', 'W'});
    Place(-85, -35);  // px = 10, py = 10
    Man().Move();
    EXPECT_AT(-90, -40);
    Man().Move();  // px = 5 and py = 5: not above LW
    EXPECT_AT(-90, -40);
}

TEST_F(ManTest, DiesOnlyWhenAWallIsDrawnOverHim) {
    frmMain& form = MainForm();
    Place(100, 100);
    Man().DrawForeground();
    FillPicture();  // the well's repaint
    Man().DrawForeground();
    EXPECT_EQ(form.mState, 0);
    EXPECT_FALSE(Man().Hit);
    EXPECT_EQ(Pixel(100, 100), gManColor2);  // the eye, at his own square when not steering
    EXPECT_EQ(Pixel(95, 95), gManColor1);    // the brush

    FillPicture();
    FillRectangle(Dc(), 100, 100, 105, 105, kWall);
    form.mStateCounter = 7;
    Man().DrawForeground();
    EXPECT_EQ(form.mState, 1);
    EXPECT_EQ(form.mStateCounter, 0);
    EXPECT_TRUE(Man().Hit);
    const Box& box = form.mBoxes->BoxAt(0);
    EXPECT_TRUE(box.Alive);
    EXPECT_EQ(box.X, 100);
    EXPECT_EQ(box.Y, 100);
    EXPECT_EQ(box.Color, gManColor3);
    // Still drawn normally in that call: the touched wall makes the eye flicker white.
    EXPECT_EQ(Man().TouchedCount(), 1);
    EXPECT_EQ(Pixel(100, 100), kWhite);

    // Dead: a blinking block, one frame each way.
    Man().DrawForeground();
    EXPECT_FALSE(Man().Blink());
    EXPECT_EQ(Pixel(95, 95), kBlack);
    EXPECT_EQ(Pixel(100, 100), kWhite);
    Man().DrawForeground();
    EXPECT_EQ(Pixel(95, 95), kWhite);
    EXPECT_EQ(Pixel(100, 100), kBlack);
    EXPECT_FALSE(form.mBoxes->BoxAt(1).Alive);

    // After a win nothing kills him.
    Man().Initialize();
    form.mState = 2;
    Place(100, 100);
    FillPicture(kWall);
    Man().DrawForeground();
    EXPECT_EQ(form.mState, 2);
    EXPECT_FALSE(Man().Hit);
}

TEST_F(ManTest, GoalBandSnapsToTheMarkerCentre) {
    frmMain& form = MainForm();
    // Goal marker at (280, 10): the band is 275..295 by 5..25.
    const POINT inside[] = {{275, 5}, {295, 25}, {280, 20}};
    for (POINT p : inside) {
        form.mState = 0;
        form.SetBackColor(kBlack);
        FillPicture();
        Place(p.x, p.y);
        Man().DrawForeground();
        EXPECT_EQ(form.mState, 2) << p.x << "," << p.y;
        EXPECT_EQ(form.mStateCounter, -1);
        EXPECT_AT(285, 15);
        EXPECT_EQ(form.BackColor(), kWhite);
    }
    const POINT outside[] = {{270, 10}, {300, 10}, {280, 0}, {280, 30}};
    for (POINT p : outside) {
        form.mState = 0;
        FillPicture();
        Place(p.x, p.y);
        Man().DrawForeground();
        EXPECT_EQ(form.mState, 0) << p.x << "," << p.y;
        EXPECT_AT(p.x, p.y);
    }
    // Q wins from anywhere.
    keyboard->SetKeyDown('Q', true);
    Place(100, 100);
    Man().DrawForeground();
    EXPECT_EQ(form.mState, 2);
    EXPECT_AT(285, 15);
}

TEST_F(ManTest, GoalMarkerColoursTravelClockwise) {
    const int32_t gx = Man().mGoalX;
    const int32_t gy = Man().mGoalY;
    const COLORREF top[] = {0x0000FF, 0xFF0000, 0x00FFFF, gNormalColor2, 0x0000FF, 0xFF0000};
    for (int frame = 0; frame < 6; ++frame) {
        FillPicture();  // the well's repaint, or his own eye would kill him
        Man().DrawForeground();
        EXPECT_EQ(Pixel(gx, gy), top[frame]) << frame;
        EXPECT_EQ(Man().GoalColor(0), top[frame]);
        if (frame >= 1) {
            EXPECT_EQ(Pixel(gx + 2 * LW, gy + LH), top[frame - 1]);  // right
        }
        if (frame >= 2) {
            EXPECT_EQ(Pixel(gx + LW, gy + 2 * LH), top[frame - 2]);  // bottom
        }
        if (frame >= 3) {
            EXPECT_EQ(Pixel(gx, gy + LH), top[frame - 3]);  // left
        }
    }
}

TEST_F(ManTest, BrushSizeComesFromTheButtonPairs) {
    struct Case {
        std::initializer_list<int> keys;
        int32_t reach;  // lines of brush beyond the man's own square
        COLORREF brush;
    };
    const Case cases[] = {
        {{}, 1, gManColor1},
        {{VK_RBUTTON}, 0, kPath},            // first of a pair: a one-line man
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
            const COLORREF want = k <= c.reach ? c.brush : kPath;
            EXPECT_EQ(Pixel(100 - k * LW, 100 - k * LH), want) << k;
            EXPECT_EQ(Pixel(100 + k * LW, 100 + k * LH), want) << k;
        }
    }
}

TEST_F(ManTest, JoystickButtonsMixTheColours) {
    JOYCAPSA caps;
    caps.wNumButtons = 8;
    JOYINFOEX report;
    report.dwZpos = 32767;           // triggers at rest
    report.dwButtons = 0x02 | 0x04;  // logical buttons 2 and 3
    headless->SetJoystick(0, caps, report);
    joystick = std::make_unique<clsJoystick>();
    ASSERT_TRUE(joystick->Initialize(0));
    gJoystick = joystick.get();
    Hold({'D'});
    Place(100, 100);
    Man().Move();
    Man().DrawForeground();
    EXPECT_EQ(Pixel(100, 100), RGB(255, 0, 255));  // brush A
    EXPECT_EQ(Pixel(112, 102), RGB(191, 0, 191));  // eye B, one line ahead

    report.dwButtons |= 0x08;  // button 0 darkens
    headless->SetJoystick(0, caps, report);
    joystick = std::make_unique<clsJoystick>();
    ASSERT_TRUE(joystick->Initialize(0));
    gJoystick = joystick.get();
    FillPicture();
    Man().DrawForeground();
    EXPECT_EQ(Pixel(100, 100), RGB(127, 0, 127));
    EXPECT_EQ(Pixel(112, 102), RGB(63, 0, 63));
}

TEST_F(ManTest, TouchTableKeepsAtMost200Points) {
    // Cells of 30 lines with the large brush put 29 x 29 lattice points under it.
    gCellWidthLines = gCellHeightLines = 30;
    CompleteDerived();
    Hold({VK_MBUTTON});
    FillPicture(kWall);
    Place(100, 100);
    Man().DrawForeground();
    ASSERT_EQ(Man().TouchedCount(), clsMan::kMaxTouched);
    // Outer loop over x, inner over y.
    EXPECT_EQ(Man().Touched(0).x, 100 - 14 * LW);
    EXPECT_EQ(Man().Touched(0).y, 100 - 14 * LH);
    EXPECT_EQ(Man().Touched(29).x, 100 - 13 * LW);
    EXPECT_EQ(Man().Touched(29).y, 100 - 14 * LH);
    EXPECT_EQ(Man().Touched(199).x, 100 - 8 * LW);
    EXPECT_EQ(Man().Touched(199).y, 100 + 11 * LH);
    EXPECT_EQ(Man().GoalColor(0), 0x0000FFu);  // nothing beyond the table was overwritten
}

TEST_F(ManTest, SplotchDrawsInTheGivenOrder) {
    quadrix::SharedRandom().Seed(77);
    Man().DrawSplotch(100, 100);
    quadrix::SharedRandom().Seed(77);
    for (int32_t x = 95; x <= 105; x += LW) {
        for (int32_t y = 95; y <= 105; y += LH) {
            const COLORREF want = Rnd() < 0.25 ? RandomColor() : kPath;
            EXPECT_EQ(Pixel(x + 2, y + 4), want) << x << "," << y;
        }
    }
}

}  // namespace
