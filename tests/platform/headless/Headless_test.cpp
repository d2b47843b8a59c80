#include "platform/headless/Headless.h"

#include <gtest/gtest.h>

#include "platform/clock/Clock.h"
#include "platform/input/Cursor.h"
#include "platform/input/Joystick.h"
#include "platform/input/KeyMap.h"
#include "platform/input/Keys.h"
#include "support/RecordingSink.h"

class HeadlessTest : public ::testing::Test {
  protected:
    void SetUp() override { headless = &platform::UseHeadless(); }
    static BYTE Key(int vk) {
        BYTE table[256];
        GetKeyboardState(table);
        return table[vk];
    }
    // A key goes down or up; then the table's entry for `read` (or the key itself).
    BYTE Press(int vk, bool down, int read = 0) {
        headless->SetKey(vk, down);
        return Key(read ? read : vk);
    }
    platform::Headless* headless = nullptr;
};

TEST_F(HeadlessTest, CursorCounterAndPosition) {
    // Hide twice, show once: still hidden; the game's forcing loops then step one at a time.
    const std::pair<bool, int> steps[] = {{false, -1}, {false, -2}, {true, -1},
                                          {true, 0},   {true, 1},   {true, 2},
                                          {false, 1},  {false, 0},  {false, -1}};
    for (const auto& [show, count] : steps)
        EXPECT_EQ(ShowCursor(show), count);
    headless->RestoreDesktop();  // as a fatal error leaves: the cursor shows
    EXPECT_EQ(ShowCursor(false), -1);

    // The cursor stays on the screen.
    headless->SetScreenSize(640, 480);
    SetCursorPos(-5, 900);
    POINT p;
    ASSERT_TRUE(GetCursorPos(&p));
    EXPECT_EQ(std::pair(p.x, p.y), std::pair(0, 479));
    mouse_event(MOUSEEVENTF_MOVE, 10, -20, 0, 0);
    GetCursorPos(&p);
    EXPECT_EQ(std::pair(p.x, p.y), std::pair(10, 459));
    mouse_event(MOUSEEVENTF_MOVE, 1000, 0, 0, 0);
    GetCursorPos(&p);
    EXPECT_EQ(p.x, 639);
}

TEST_F(HeadlessTest, KeyTableTogglesOncePerPress) {
    EXPECT_EQ(Press(VK_LEFT, true), 0x81);
    EXPECT_EQ(Press(VK_LEFT, true), 0x81);  // a repeat of a held key is no new press
    EXPECT_EQ(Press(VK_LEFT, false), 0x01);
    EXPECT_EQ(Press(VK_LEFT, true), 0x80);
    // Either Shift holds the side-neutral code until both are up.
    EXPECT_TRUE(Press(platform::VK_LSHIFT, true, VK_SHIFT) & 0x80);
    EXPECT_TRUE(Press(platform::VK_RSHIFT, true, VK_SHIFT) & 0x80);
    EXPECT_TRUE(Press(platform::VK_LSHIFT, false, VK_SHIFT) & 0x80);
    EXPECT_FALSE(Press(platform::VK_RSHIFT, false, VK_SHIFT) & 0x80);

    // Setting the table overwrites it whole; the next press toggles from there.
    BYTE written[256] = {};
    written[static_cast<uint8_t>('D')] = 0x80;
    ASSERT_TRUE(SetKeyboardState(written));
    EXPECT_EQ(Key(VK_LEFT), 0x00);
    EXPECT_EQ(Key('D'), 0x80);
    EXPECT_EQ(Press('A', true), 0x81);

    EXPECT_EQ(platform::VirtualKeyFromName("w"), 'W');
    EXPECT_EQ(platform::VirtualKeyFromName("Left Ctrl"), platform::VK_LCONTROL);
    EXPECT_EQ(platform::NameOfVirtualKey(VK_DOWN), "Down");
}

TEST_F(HeadlessTest, VirtualClockWraps) {
    EXPECT_EQ(timeBeginPeriod(1), 0u);
    EXPECT_EQ(headless->PeriodAsked(), 1u);
    headless->SetReadStepMicroseconds(0);
    headless->SetTime(0xFFFFFFF0u);
    EXPECT_EQ(timeGetTime(), 0xFFFFFFF0u);
    Sleep(0x20);
    EXPECT_EQ(timeGetTime(), 0x10u);
    EXPECT_EQ(headless->ElapsedMicroseconds(), 0x20u * 1000);
}

TEST_F(HeadlessTest, AbsentJoystickFailsToOpen) {
    JOYCAPSA caps{.wXmax = 1234};
    JOYINFOEX info{.dwXpos = 77};
    EXPECT_EQ(joyGetDevCapsA(0, &caps, 404), JOYERR_UNPLUGGED);
    EXPECT_EQ(joyGetDevCapsA(99, &caps, 404), MMSYSERR_BADDEVICEID);
    EXPECT_EQ(joyGetPosEx(0, &info), JOYERR_UNPLUGGED);
    EXPECT_EQ(std::pair(caps.wXmax, info.dwXpos), std::pair(1234u, 77u));  // untouched

    headless->SetJoystick(0, {.wCaps = JOYCAPS_HASPOV}, {.dwXpos = 65535, .dwButtons = 0x40});
    EXPECT_EQ(joyGetDevCapsA(0, &caps, 404), JOYERR_NOERROR);
    EXPECT_EQ(caps.wCaps, JOYCAPS_HASPOV);
    info.dwSize = 64;  // the caller's header stays
    info.dwFlags = 255;
    EXPECT_EQ(joyGetPosEx(0, &info), JOYERR_NOERROR);
    EXPECT_EQ(std::tuple(info.dwXpos, info.dwButtons, info.dwSize), std::tuple(65535u, 0x40u, 64u));
    headless->RemoveJoystick(0);
    EXPECT_EQ(joyGetPosEx(0, &info), JOYERR_UNPLUGGED);
}

TEST_F(HeadlessTest, TextScriptIsAppliedAtItsPassesAndTimes) {
    platform::HeadlessScript script;
    std::string error;
    ASSERT_TRUE(
        platform::HeadlessScript::Parse("# a short session\n"
                                        "answer yes\n"
                                        "at pass 2 key down Left\n"
                                        "at pass 2 cursor 30 40\n"
                                        "at pass 2 warp 5 6\n"  // a record only
                                        "at pass 3 mouse down left\n"
                                        "at pass 3 mouse up left\n"
                                        "at ms 50 key up 37\n"
                                        "at pass 4 click cmdCasual\n"
                                        "at pass 4 close frmMain tasklist\n"
                                        "at pass 4 close\n"
                                        "at pass 5 joystick 0 plug\n"
                                        "at pass 6 joystick 0 x 65535 buttons 128\n",
                                        script, &error))
        << error;
    headless->Load(script);
    RecordingSink sink;
    JOYINFOEX info;
    // Per pass: Left's table entry, the first joystick's X (0 while unplugged).
    const std::pair<BYTE, uint32_t> passes[] = {{0, 0},    {0x81, 0},     {0x81, 0},
                                                {0x81, 0}, {0x81, 32767}, {0x81, 65535}};
    for (size_t i = 0; i < std::size(passes); ++i) {
        SCOPED_TRACE(i + 1);
        info.dwXpos = 0;
        headless->PumpEvents(sink);
        EXPECT_EQ(Key(VK_LEFT), passes[i].first);
        joyGetPosEx(0, &info);
        EXPECT_EQ(info.dwXpos, passes[i].second);
    }
    EXPECT_EQ(sink.log,
              (std::vector<std::string>{"move 30,40", "mouse 1 down 30,40", "mouse 1 up 30,40",
                                        "click cmdCasual", "close frmMain 3", "close  0"}));
    EXPECT_EQ(std::pair(info.dwYpos, info.dwButtons), std::pair(32767u, 128u));

    // The time event waits for 50 ms of virtual time.
    EXPECT_TRUE(headless->WaitEvents(60));
    headless->PumpEvents(sink);
    EXPECT_EQ(Key(VK_LEFT), 0x01);
    EXPECT_TRUE(headless->ScriptFinished());
    EXPECT_FALSE(headless->WaitEvents(1));

    // The answer was queued when the script was loaded.
    EXPECT_EQ(headless->ShowMessageBox("t", "q", platform::MessageBoxButtons::YesNo),
              platform::MessageBoxAnswer::Yes);

    for (const char* bad : {"at pass x key down 37", "key down NoSuchKey", "jump", "cursor 1",
                            "at pass 3", "close a b c", "joystick 0 x", "mouse down sideways",
                            "key sideways Left", "key down 256", "warp 1"}) {
        platform::HeadlessScript ignored;
        EXPECT_FALSE(platform::HeadlessScript::Parse(bad, ignored, &error)) << bad;
        EXPECT_NE(error.find("line 1"), std::string::npos);
    }

    headless->SetPassLimit(headless->Pass() + 1);
    headless->PumpEvents(sink);
    EXPECT_THROW(headless->PumpEvents(sink), platform::HeadlessLimit);
}
