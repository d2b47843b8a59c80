#include "WindowTest.h"
#include "platform/input/Cursor.h"

using platform::Application;
using platform::UnloadMode;

TEST_F(WindowTest, TimerIsNeverReenteredWhileItsHandlerRuns) {
    SideForm side;
    int depth = 0, maxDepth = 0, calls = 0;
    headless->SetReadStepMicroseconds(0);
    // Does not disable itself: time passes and DoEvents runs while it is still due.
    side.Run(10, [&] {
        ++calls;
        maxDepth = std::max(maxDepth, ++depth);
        for (int i = 0; i < 5 && calls < 3; ++i) {
            Sleep(20);
            platform::DoEvents();
        }
        --depth;
        if (calls >= 3) side.Unload();
    });
    // Enabling restarts the count; due as soon as exactly its interval has passed.
    headless->Advance(9);
    side.tmrSide.SetEnabled(true);
    headless->Advance(9);
    platform::DoEvents();
    EXPECT_EQ(calls, 0);
    headless->Advance(1);
    platform::DoEvents();
    EXPECT_EQ(calls, 1);
    EXPECT_TRUE(Application::Get().RunMessageLoop());
    EXPECT_EQ(calls, 3);
    EXPECT_EQ(maxDepth, 1);
}

TEST_F(WindowTest, MessageLoopEndsWithTheLastFormOrWhenNothingCanHappen) {
    SideForm a, b;
    a.Load();
    // b's timer unloads a, then itself: the loop ends when none is left.
    b.Run(50, [&] { a.Loaded() ? a.Unload() : b.Unload(); });
    EXPECT_TRUE(Application::Get().RunMessageLoop());
    EXPECT_EQ(Application::Get().FormCount(), 0u);
    EXPECT_GE(headless->ElapsedMicroseconds(), 100'000u);

    // A loaded form with no timer and no script left: the headless loop gives up.
    SideForm idle;
    idle.Show();
    EXPECT_FALSE(Application::Get().RunMessageLoop());
    EXPECT_TRUE(idle.Loaded());
}

TEST_F(WindowTest, MouseClickFiresOnReleaseOverTheSameControl) {
    LoopForm form("frmLoop", log);
    form.tmrMain.OnTimer = nullptr;
    form.Show();
    int clicks = 0;
    form.cmdStop.OnClick = [&] { ++clicks; };
    // The next pass's scripted events.
    auto next = [&] { return platform::HeadlessScript().At(headless->Pass() + 1); };

    // Press and release over the button (synthetic input, as the joystick's menu click),
    // delivered with the next dispatch.
    SetCursorPos(20, 15);
    mouse_event(MOUSEEVENTF_LEFTDOWN, 0, 0, 0, 0);
    mouse_event(MOUSEEVENTF_LEFTUP, 0, 0, 0, 0);
    EXPECT_EQ(clicks, 0);
    platform::DoEvents();
    EXPECT_EQ(clicks, 1);

    // Pressed over it, released elsewhere: no click.
    headless->Load(next().MouseDown(1).Cursor(200, 200).MouseUp(1));
    platform::DoEvents();
    EXPECT_EQ(clicks, 1);

    // Hidden controls are not hit.
    form.cmdStop.Visible = false;
    SetCursorPos(20, 15);
    mouse_event(MOUSEEVENTF_LEFTDOWN | MOUSEEVENTF_LEFTUP, 0, 0, 0, 0);
    platform::DoEvents();
    EXPECT_EQ(clicks, 1);

    // A scripted click by name reaches the handler whatever the cursor does.
    headless->Load(next().Click("cmdStop").Click("noSuchControl"));
    platform::DoEvents();
    EXPECT_EQ(clicks, 2);

    // A refused close keeps the form; unloading it stops its timer.
    EXPECT_FALSE(Application::Get().Unload(form, UnloadMode::System));
    EXPECT_TRUE(form.Loaded());
    EXPECT_TRUE(form.tmrMain.Enabled());
    EXPECT_TRUE(form.Unload());
    EXPECT_FALSE(form.tmrMain.Enabled());
}
