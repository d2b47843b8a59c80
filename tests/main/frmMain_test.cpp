
#include "GameFixture.h"
#include "platform/headless/FrameFile.h"
#include "platform/input/Keys.h"

using platform::HeadlessScript;

// The game's pass P dispatches its events in pump P + 1.
static HeadlessScript& AtPass(HeadlessScript& s, uint64_t pass) {
    return s.At(pass + 1);
}

TEST_F(GameFixture, StartFlashThenCentredCursorAndMouseFromPassSixteen) {
    const POINT centre{320, 240};
    SetCursorPos(10, 20);
    HeadlessScript s;
    AtPass(s, 14).Cursor(centre.x + 100, centre.y);  // seen from pass 15 on
    AtPass(s, 16).KeyDown(VK_ESCAPE);
    AtPass(s, 17).KeyUp(VK_ESCAPE);
    Play(s);
    ASSERT_EQ(passes.size(), 18u);  // the release is seen at pass 18, which ends the game
    for (int32_t p = 1; p <= 14; ++p) {
        SCOPED_TRACE(p);
        const PassRecord& r = passes[p - 1];
        EXPECT_EQ(r.counter, p);
        EXPECT_EQ(r.fill == kNormal3, p % 2 == 0 || p == 14);
    }
    EXPECT_NE(passes[12].cursor.x, centre.x);
    EXPECT_EQ(passes[13].cursor.x, centre.x);  // pass 14 centres it
    // Pass 15 began at counter 14: no steering yet. Pass 16 steers right and puts the cursor
    // back at Int(100 / 2 + 1) = 51 to the right.
    EXPECT_EQ(passes[14].cursor.x, centre.x + 100);
    EXPECT_FALSE(passes[14].heldD);
    EXPECT_EQ(std::pair(passes[15].cursor.x, passes[15].cursor.y),
              std::pair(centre.x + 51, centre.y));
    EXPECT_TRUE(passes[15].heldD);
    // The game gives the cursor back where it found it.
    POINT after{};
    GetCursorPos(&after);
    EXPECT_EQ(std::pair(after.x, after.y), std::pair(10, 20));
    EXPECT_GE(headless->CursorCount(), 0);
    EXPECT_TRUE(TitleForm().Loaded());
}

TEST_F(GameFixture, DeathLeavesABoxAndRespawnsWithoutAFlash) {
    gElectric = true;  // a wall that cannot push him is painted over him
    beforePass = [](int32_t pass) {
        clsWalls& walls = *MainForm().mWalls;
        if (pass == 14) walls.Clear(1);  // gone before he is drawn again
        if (pass != 1) return;
        const clsMan& man = *MainForm().mMan;
        walls.Clear(1);
        walls.SetWall(0, clsWalls::Wall{man.mX - 5, man.mY - 5, man.mX + 10, man.mY + 5, 0, 0, 0,
                                        RGB(9, 9, 9), RGB(8, 8, 8), true});
    };
    stopAfter = 20;
    Play();
    const int32_t L = 6;
    ASSERT_GE(passes.size(), 2u * L + 2);
    EXPECT_EQ(passes[0].state, 1);
    EXPECT_EQ(passes[0].counter, 0);
    for (int32_t p = 2; p < 2 * L + 1; ++p)
        EXPECT_EQ(passes[p - 1].counter, p - 1) << p;
    // The state's own box comes at counter L + 1, not before.
    EXPECT_EQ(passes[L].boxes, passes[L - 1].boxes);
    EXPECT_EQ(passes[L + 1].boxes, passes[L].boxes + 1);
    const PassRecord& respawn = passes[2 * L];  // counter 2L
    EXPECT_EQ(std::pair(int32_t{respawn.state}, respawn.counter), std::pair(0, 14));
    EXPECT_EQ(passes[2 * L + 1].counter, 15);
    EXPECT_EQ(passes[2 * L + 1].fill, kNormal3);  // no flash after a respawn
}

TEST_F(GameFixture, WinEndsTheGameByItselfAtSixteenMsTicks) {
    gWallsPerRow = gWallsPerColumn = 1.0;
    HeadlessScript s;
    std::vector<std::vector<int32_t>> corners;  // the walls' as passes 320 to 322 begin
    beforePass = [&](int32_t pass) {
        if (pass < 320 || pass > 322) return;
        const clsWalls& walls = *MainForm().mWalls;
        corners.emplace_back();
        for (int32_t i = 0; i < walls.WallCount(); ++i)
            corners.back().insert(corners.back().end(), {walls.GetWall(i).X1, walls.GetWall(i).Y1});
    };
    AtPass(s, 19).KeyDown('Q');
    AtPass(s, 20).KeyUp('Q');
    Play(s);
    // Pass 320 (counter 299) still moves the walls, pass 321 (counter 300) no longer.
    ASSERT_EQ(corners.size(), 3u);
    EXPECT_NE(corners[0], corners[1]);
    EXPECT_EQ(corners[1], corners[2]);
    ASSERT_EQ(passes.size(), 20u + 402u);
    EXPECT_EQ(std::pair(int32_t{passes[19].state}, passes[19].counter), std::pair(2, -1));
    EXPECT_EQ(passes[20].counter, 0);
    EXPECT_EQ(passes.back().counter, 401);
    EXPECT_EQ(gFrameMs, 16);
    EXPECT_EQ(passes[300].startMs - passes[299].startMs, 16u);
    EXPECT_GT(passes.back().boxes, 20);  // one every 15 passes, and some in cells
}

// Escape is the start-flash test's way out; the pad's buttons 7 and 8 end the game as it does,
// released (held from pass 11 to 20, seen released at 21), and a close request at the next pass.
TEST_F(GameFixture, ExitButtonsAndCloseRequestEndTheGame) {
    for (const uint32_t button : {0x40u, 0x80u, 0u}) {
        SCOPED_TRACE(button);
        SetUp();
        const JOYINFOEX up{.dwXpos = 32767, .dwYpos = 32767, .dwZpos = 32767};
        JOYINFOEX down = up;
        down.dwButtons = button;
        PlugJoystick();
        HeadlessScript s;
        if (button)
            AtPass(s, 10).JoystickReport(0, down).At(21).JoystickReport(0, up);
        else
            AtPass(s, 20).Close("frmMain", platform::UnloadMode::User);
        Play(s);
        EXPECT_EQ(passes.size(), button ? 21u : 20u);
        EXPECT_TRUE(button || (MainForm().mState == 4 && !MainForm().Loaded()));
        TearDown();
        passes.clear();
    }
}

TEST_F(GameFixture, SecondGameReplacesEveryObjectAndSameSeedGivesSamePasses) {
    auto run = [this] {
        headless = &platform::UseHeadless();  // the script counts passes from here
        headless->SetScreenSize(640, 480);
        gKeyboard->Initialize();  // a new key table: no toggles to read as taps
        quadrix::SharedRandom().Seed(99);
        gWallsPerRow = gWallsPerColumn = 1.0;
        gFrameMs = 50;
        passes.clear();
        // The first game brought the title back; its loop would run before the next game.
        TitleForm().tmrMain.SetEnabled(false);
        HeadlessScript s;
        AtPass(s, 5).KeyDown('D');
        AtPass(s, 60).KeyDown(VK_ESCAPE);
        AtPass(s, 61).KeyUp(VK_ESCAPE).KeyUp('D');
        Play(s);
        std::vector<std::tuple<int16_t, int32_t, int32_t, int32_t, int32_t>> trace;
        for (const PassRecord& r : passes)
            trace.emplace_back(r.state, r.counter, r.man.x, r.man.y, r.boxes);
        return std::make_pair(trace, platform::FrameHash(*MainForm().picMain.image()));
    };
    const auto first = run();
    // Leftovers of the first game that a new set-up must not keep.
    MainForm().mBoxes->Add(100, 100, RGB(1, 2, 3));
    MainForm().mMan->mX = 12345;
    const auto second = run();
    EXPECT_EQ(first, second);
    EXPECT_GT(first.first.back(), first.first.front());  // he moved
    EXPECT_EQ(std::get<4>(second.first.front()), 0);
}

// A far deadline is given up, a near one kept; across both wraps of the 32-bit clock.
TEST_F(GameFixture, PacingKeepsDeadlinesAcrossClockWraps) {
    for (const uint32_t start : {0u, 0x7FFFFFF0u, 0xFFFFFFF0u}) {
        SCOPED_TRACE(start);
        headless->SetTime(start);
        int32_t next = static_cast<int32_t>(start + 1000);  // left over from a longer tick
        WaitForFrame(next, 16, 10);
        EXPECT_LT(platform::ClockDiff(timeGetTime(), start), 2);
        for (int i = 0; i < 5; ++i) {
            const uint32_t deadline = static_cast<uint32_t>(next);
            WaitForFrame(next, 16, 10);
            const int32_t late = platform::ClockDiff(timeGetTime(), deadline);
            EXPECT_GE(late, 0);
            EXPECT_LE(late, 1);
        }
    }
}

// Steering tables: the keys held and where the cursor is put back (V = gMouse).
TEST_F(GameFixture, MouseAndJoystickSteering) {
    frmMain& form = MainForm();
    form.Load();
    form.tmrMain.SetEnabled(false);
    form.CentreFromScreen();
    const POINT c = form.Centre();
    struct Mouse {
        int32_t v, dx, dy;
        const char* keys;
        int32_t backX, backY;  // relative to the centre
        bool left = false;
    };
    const Mouse mouse[] = {
        {20, 10, 0, "", 10, 0},  // exactly V / 2 away: strict, nothing
        {20, 11, 0, "D", 11, 0},      {21, 11, 0, "D", 11, 0},       {20, 30, -30, "WD", 8, -8},
        {100, -60, 0, "A", -51, 0},   {100, -40, 70, "SA", -25, 44}, {0, 0, 1, "S", 0, 1},
        {100, 90, 0, "", 0, 0, true},  // holding the left button parks the stick in the centre
    };
    auto held = [] {
        std::string keys;
        for (int k : {'W', 'S', 'A', 'D'})
            if (gKeyboard->KeyHold(k)) keys += static_cast<char>(k);
        return keys;
    };
    for (const Mouse& m : mouse) {
        SCOPED_TRACE(testing::Message() << m.v << " " << m.dx << "," << m.dy);
        gMouse = m.v;
        gKeyboard->Initialize();
        headless->SetKey(VK_LBUTTON, m.left);
        gKeyboard->Check();
        SetCursorPos(c.x + m.dx, c.y + m.dy);
        form.ApplyMouseSteering();
        EXPECT_EQ(held(), m.keys);
        POINT at{};
        GetCursorPos(&at);
        EXPECT_EQ(std::pair(at.x - c.x, at.y - c.y), std::pair(m.backX, m.backY));
    }

    struct Stick {
        uint32_t x, y, pov;
        int32_t v;
        const char* keys;
    };
    // Axes up to 400, so that 200 is exactly the centre and a step is 1/200.
    const Stick sticks[] = {
        {400, 200, JOY_POVCENTERED, 199, "D"},
        {300, 200, JOY_POVCENTERED, 100, ""},  // 100 is not above 100
        {301, 200, JOY_POVCENTERED, 100, "D"},
        {400, 0, JOY_POVCENTERED, 199, "WD"},
        {300, 200, 27000, 150, "A"},  // the pad outweighs half a stick
        {400, 200, 27000, 150, "D"},  // equal magnitudes: the stick stays
    };
    PlugJoystick({.wXmax = 400, .wYmax = 400, .wNumButtons = 8, .wCaps = JOYCAPS_HASPOV});
    for (const Stick& s : sticks) {
        SCOPED_TRACE(testing::Message() << s.x << "," << s.y << " pov " << s.pov);
        headless->SetJoystickReport(
            0, {.dwXpos = s.x, .dwYpos = s.y, .dwZpos = 32767, .dwPOV = s.pov});
        gJoystick->Check();
        gKeyboard->Initialize();
        gMouse = s.v;
        form.ApplyJoystickSteering();
        EXPECT_EQ(held(), s.keys);
    }
}
