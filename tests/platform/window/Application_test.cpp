#include "platform/window/Application.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/clock/Clock.h"
#include "platform/headless/Headless.h"
#include "platform/input/Cursor.h"
#include "platform/window/CommandButton.h"
#include "platform/window/Form.h"
#include "platform/window/Timer.h"

namespace {

using platform::Application;
using platform::UnloadMode;

// A game-like form: its timer's first tick runs a loop that dispatches events once per pass
// until a button or a close request ends it, then unloads the form.
class LoopForm : public platform::Form {
  public:
    LoopForm() : Form("frmLoop"), cmdStop("cmdStop") {
        Add(tmrMain);
        Add(cmdStop);
        cmdStop.Move(10, 10, 50, 20);
        tmrMain.OnTimer = [this] { tmrMain_Timer(); };
        cmdStop.OnClick = [this] { log.push_back("click at pass " + std::to_string(passes)); };
    }
    void Form_Load() override {
        log.push_back("load");
        tmrMain.SetInterval(1);
        tmrMain.SetEnabled(true);
    }
    void Form_Activate() override { log.push_back("activate"); }
    void Form_QueryUnload(bool& cancel, UnloadMode mode) override {
        log.push_back("query " + std::to_string(static_cast<int>(mode)));
        if (mode != UnloadMode::Code) {
            cancel = true;
            state = 4;
        }
    }
    void Form_Unload() override { log.push_back("unload"); }
    void tmrMain_Timer() {
        tmrMain.SetEnabled(false);
        ++entries;
        while (state != 4) {
            ++passes;
            platform::DoEvents();
        }
        log.push_back("loop ends at pass " + std::to_string(passes));
        Unload();
    }

    platform::Timer tmrMain;
    platform::CommandButton cmdStop;
    int state = 0;
    int passes = 0;
    int entries = 0;
    std::vector<std::string> log;
};

// A second window with a slow timer, as the auxiliary form has.
class SideForm : public platform::Form {
  public:
    SideForm() : Form("frmSide") {
        Add(tmrSide);
        tmrSide.OnTimer = [this] { ++ticks; };
    }
    platform::Timer tmrSide;
    int ticks = 0;
};

class ApplicationTest : public ::testing::Test {
  protected:
    void SetUp() override {
        headless = &platform::UseHeadless();
        Application::Get().Reset();
    }
    void TearDown() override { Application::Get().Reset(); }
    platform::Headless* headless = nullptr;
};

TEST_F(ApplicationTest, LoopInsideTimerSeesClickAndCloseBetweenPasses) {
    LoopForm form;
    SideForm side;
    side.Load();
    side.tmrSide.SetInterval(10);
    side.tmrSide.SetEnabled(true);
    platform::HeadlessScript script;
    script.At(4).Click("cmdStop").At(9).Close("frmLoop", UnloadMode::User);
    headless->Load(script);
    headless->SetPassLimit(1000);

    form.Show();
    uint64_t entryPass = 0;
    // The loop sleeps 5 ms per pass so that the side timer comes due inside it.
    form.tmrMain.OnTimer = [&] {
        entryPass = headless->Pass();
        form.tmrMain.SetEnabled(false);
        ++form.entries;
        while (form.state != 4) {
            ++form.passes;
            platform::DoEvents();
            Sleep(5);
        }
        form.Unload();
        side.Unload();
    };
    EXPECT_TRUE(Application::Get().RunMessageLoop());

    EXPECT_EQ(form.entries, 1);
    ASSERT_GT(entryPass, 0u);
    ASSERT_LT(entryPass, 4u);
    // The click arrives in the loop's DoEvents of pump 4, the close request in pump 9, which
    // ends the loop on that pass.
    const std::vector<std::string> expected = {
        "load",    "activate", "click at pass " + std::to_string(4 - entryPass),
        "query 0", "query 1",  "unload"};
    EXPECT_EQ(form.log, expected);
    EXPECT_EQ(form.passes, static_cast<int>(9 - entryPass));
    EXPECT_GT(side.ticks, 0);  // other timers fire inside the loop's DoEvents
    EXPECT_EQ(Application::Get().FormCount(), 0u);
}

TEST_F(ApplicationTest, TimerIsNeverReenteredWhileItsHandlerRuns) {
    SideForm side;
    int depth = 0, maxDepth = 0, calls = 0;
    side.tmrSide.OnTimer = [&] {
        ++calls;
        maxDepth = std::max(maxDepth, ++depth);
        // Does not disable itself: time passes and DoEvents runs while it is still due.
        for (int i = 0; i < 5 && calls < 3; ++i) {
            Sleep(20);
            platform::DoEvents();
        }
        --depth;
        if (calls >= 3) side.Unload();
    };
    side.Load();
    side.tmrSide.SetInterval(10);
    side.tmrSide.SetEnabled(true);
    headless->SetPassLimit(1000);
    EXPECT_TRUE(Application::Get().RunMessageLoop());
    EXPECT_EQ(calls, 3);
    EXPECT_EQ(maxDepth, 1);
}

TEST_F(ApplicationTest, QueryUnloadCancelKeepsTheFormAndActivationReturns) {
    LoopForm game;
    int titleActivations = 0;
    struct Counting : SideForm {
        int* count;
        explicit Counting(int* c) : count(c) {}
        void Form_Activate() override { ++*count; }
    } counting(&titleActivations);
    counting.Show();
    EXPECT_EQ(titleActivations, 1);
    game.Show();
    EXPECT_EQ(Application::Get().ActiveForm(), &game);
    EXPECT_EQ(Application::Get().FormCount(), 2u);

    for (UnloadMode mode : {UnloadMode::User, UnloadMode::TaskList, UnloadMode::System}) {
        EXPECT_FALSE(Application::Get().Unload(game, mode));
        EXPECT_TRUE(game.Loaded());
    }
    EXPECT_EQ(game.state, 4);
    EXPECT_EQ(titleActivations, 1);
    EXPECT_TRUE(game.Unload());
    EXPECT_FALSE(game.Loaded());
    EXPECT_EQ(Application::Get().FormCount(), 1u);
    // The title comes back on top and is activated again.
    EXPECT_EQ(Application::Get().ActiveForm(), &counting);
    EXPECT_EQ(titleActivations, 2);
    // Its timer stopped with it.
    EXPECT_FALSE(game.tmrMain.Enabled());
}

TEST_F(ApplicationTest, MessageLoopEndsWithTheLastFormOrWhenNothingCanHappen) {
    SideForm a, b;
    a.Load();
    b.Load();
    b.tmrSide.SetInterval(50);
    b.tmrSide.SetEnabled(true);
    // b's timer unloads a, then itself: the loop ends when none is left.
    b.tmrSide.OnTimer = [&] {
        if (a.Loaded())
            a.Unload();
        else
            b.Unload();
    };
    EXPECT_TRUE(Application::Get().RunMessageLoop());
    EXPECT_EQ(Application::Get().FormCount(), 0u);
    EXPECT_GE(headless->ElapsedMicroseconds(), 100'000u);

    // A loaded form with no timer and no script left: the headless loop gives up.
    SideForm idle;
    idle.Show();
    EXPECT_FALSE(Application::Get().RunMessageLoop());
    EXPECT_TRUE(idle.Loaded());
}

TEST_F(ApplicationTest, MouseClickFiresOnReleaseOverTheSameControl) {
    LoopForm form;
    form.tmrMain.OnTimer = nullptr;
    form.Show();
    form.cmdStop.Visible = true;
    int clicks = 0;
    form.cmdStop.OnClick = [&] { ++clicks; };

    // Press and release over the button (synthetic input, as the joystick's menu click).
    SetCursorPos(20, 15);
    mouse_event(MOUSEEVENTF_LEFTDOWN, 0, 0, 0, 0);
    mouse_event(MOUSEEVENTF_LEFTUP, 0, 0, 0, 0);
    EXPECT_EQ(clicks, 0);  // delivered with the next dispatch
    platform::DoEvents();
    EXPECT_EQ(clicks, 1);

    // Pressed over it, released elsewhere: no click.
    platform::HeadlessScript script;
    script.At(headless->Pass() + 1).MouseDown(1).Cursor(200, 200).MouseUp(1);
    headless->Load(script);
    platform::DoEvents();
    EXPECT_EQ(clicks, 1);

    // Hidden controls are not hit.
    form.cmdStop.Visible = false;
    SetCursorPos(20, 15);
    mouse_event(MOUSEEVENTF_LEFTDOWN | MOUSEEVENTF_LEFTUP, 0, 0, 0, 0);
    platform::DoEvents();
    EXPECT_EQ(clicks, 1);

    // A scripted click by name reaches the handler whatever the cursor does.
    platform::HeadlessScript byName;
    byName.At(headless->Pass() + 1).Click("cmdStop").Click("noSuchControl");
    headless->Load(byName);
    platform::DoEvents();
    EXPECT_EQ(clicks, 2);
}

}  // namespace
