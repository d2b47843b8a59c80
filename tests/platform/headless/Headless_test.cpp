#include "platform/headless/Headless.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "platform/clock/Clock.h"
#include "platform/input/Cursor.h"
#include "platform/input/Joystick.h"
#include "platform/input/KeyMap.h"
#include "platform/input/Keys.h"

namespace {

class HeadlessTest : public ::testing::Test {
  protected:
    void SetUp() override { headless = &platform::UseHeadless(); }
    platform::Headless* headless = nullptr;
};

// The game's forcing loops, written against the counter as the game writes them.
int ForceShow() {
    int n = ShowCursor(1);
    while (n < 1)
        n = ShowCursor(1);
    return n;
}
int ForceHide() {
    int n = ShowCursor(0);
    while (n > -1)
        n = ShowCursor(0);
    return n;
}

TEST_F(HeadlessTest, CursorCounterAndPosition) {
    EXPECT_EQ(ShowCursor(0), -1);
    EXPECT_EQ(ShowCursor(0), -2);
    EXPECT_EQ(ShowCursor(1), -1);  // hide twice, show once: still hidden
    EXPECT_EQ(ForceShow(), 1);
    EXPECT_EQ(ShowCursor(1), 2);
    EXPECT_EQ(ForceHide(), -1);
    EXPECT_EQ(headless->CursorCount(), -1);

    // The cursor stays on the screen.
    headless->SetScreenSize(640, 480);
    SetCursorPos(-5, 900);
    POINT p;
    ASSERT_TRUE(GetCursorPos(&p));
    EXPECT_EQ(p.x, 0);
    EXPECT_EQ(p.y, 479);
    mouse_event(MOUSEEVENTF_MOVE, 10, -20, 0, 0);
    GetCursorPos(&p);
    EXPECT_EQ(p.x, 10);
    EXPECT_EQ(p.y, 459);
}

TEST_F(HeadlessTest, KeyTableTogglesOncePerPress) {
    BYTE table[256];
    headless->SetKey(VK_LEFT, true);
    GetKeyboardState(table);
    EXPECT_EQ(table[VK_LEFT], 0x81);
    headless->SetKey(VK_LEFT, true);  // a repeat of a held key is no new press
    GetKeyboardState(table);
    EXPECT_EQ(table[VK_LEFT], 0x81);
    headless->SetKey(VK_LEFT, false);
    GetKeyboardState(table);
    EXPECT_EQ(table[VK_LEFT], 0x01);
    headless->SetKey(VK_LEFT, true);
    headless->SetKey(VK_LEFT, false);
    GetKeyboardState(table);
    EXPECT_EQ(table[VK_LEFT], 0x00);

    // Either Shift holds the side-neutral code until both are up.
    headless->SetKey(platform::VK_LSHIFT, true);
    headless->SetKey(platform::VK_RSHIFT, true);
    headless->SetKey(platform::VK_LSHIFT, false);
    GetKeyboardState(table);
    EXPECT_TRUE(table[VK_SHIFT] & 0x80);
    headless->SetKey(platform::VK_RSHIFT, false);
    GetKeyboardState(table);
    EXPECT_FALSE(table[VK_SHIFT] & 0x80);

    // Setting the table overwrites it whole; the next press toggles from there.
    BYTE written[256] = {};
    written['D'] = 0x80;
    ASSERT_TRUE(SetKeyboardState(written));
    GetKeyboardState(table);
    EXPECT_EQ(table[VK_LEFT], 0x00);
    EXPECT_EQ(table['D'], 0x80);
    headless->SetKey('A', true);
    GetKeyboardState(table);
    EXPECT_EQ(table['A'], 0x81);

    EXPECT_EQ(platform::VirtualKeyFromName("w"), 'W');
    EXPECT_EQ(platform::VirtualKeyFromName("Escape"), VK_ESCAPE);
    EXPECT_EQ(platform::VirtualKeyFromName("Left Ctrl"), platform::VK_LCONTROL);
    EXPECT_EQ(platform::VirtualKeyFromName("NoSuchKey"), 0);
    EXPECT_EQ(platform::NameOfVirtualKey(VK_DOWN), "Down");
}

// The game's frame pacing, with its signed comparisons taken as wrapping differences (a plain
// signed "t1 >= next" would spin for 24 days when the clock crosses 2^31).
int32_t Since(uint32_t a, uint32_t b) {
    return static_cast<int32_t>(a - b);
}
uint32_t Pace(uint32_t next, int32_t f) {
    for (;;) {
        const uint32_t t1 = timeGetTime();
        const uint32_t t2 = timeGetTime();
        if (Since(next, t2) >= f + 10 || Since(t1, next) >= 0) break;
        if (Since(next, timeGetTime()) <= 5) continue;
        Sleep(static_cast<uint32_t>(Since(next, timeGetTime()) - 5));
    }
    return timeGetTime() + static_cast<uint32_t>(f);
}

TEST_F(HeadlessTest, VirtualClockWrapsWithoutHanging) {
    EXPECT_EQ(timeBeginPeriod(1), 0u);
    EXPECT_EQ(headless->PeriodAsked(), 1u);
    headless->SetReadStepMicroseconds(0);
    headless->SetTime(0xFFFFFFF0u);
    EXPECT_EQ(timeGetTime(), 0xFFFFFFF0u);
    Sleep(0x20);
    EXPECT_EQ(timeGetTime(), 0x10u);
    EXPECT_EQ(headless->ElapsedMicroseconds(), 0x20u * 1000);

    // Pacing across both wraps (unsigned at 2^32, signed at 2^31): every pass waits its
    // 20 ms and none hangs.
    headless->SetReadStepMicroseconds(100);
    for (uint32_t start : {0xFFFFFF00u, 0x7FFFFF00u}) {
        headless->SetTime(start);
        uint32_t next = start + 0x40000000u;  // a target far ahead: abandoned, no wait
        uint64_t before = headless->ElapsedMicroseconds();
        next = Pace(next, 20);
        EXPECT_LT(headless->ElapsedMicroseconds() - before, 2000u);
        for (int pass = 0; pass < 30; ++pass) {
            before = headless->ElapsedMicroseconds();
            next = Pace(next, 20);
            const uint64_t waited = headless->ElapsedMicroseconds() - before;
            EXPECT_GE(waited, 19'000u) << "pass " << pass;
            EXPECT_LE(waited, 21'000u) << "pass " << pass;
        }
        EXPECT_LT(timeGetTime() - (start + 0x100u), 0x1000u);  // we did cross the wrap
    }
}

TEST_F(HeadlessTest, AbsentJoystickFailsToOpen) {
    JOYCAPSA caps;
    caps.wXmax = 1234;
    EXPECT_EQ(joyGetDevCapsA(0, &caps, 404), JOYERR_UNPLUGGED);
    EXPECT_EQ(joyGetDevCapsA(99, &caps, 404), MMSYSERR_BADDEVICEID);
    EXPECT_EQ(caps.wXmax, 1234u);  // untouched
    JOYINFOEX info;
    info.dwXpos = 77;
    EXPECT_EQ(joyGetPosEx(0, &info), JOYERR_UNPLUGGED);
    EXPECT_EQ(info.dwXpos, 77u);

    JOYCAPSA plugged;
    plugged.wCaps = JOYCAPS_HASPOV;
    JOYINFOEX report;
    report.dwXpos = 65535;
    report.dwButtons = 0x40;
    headless->SetJoystick(0, plugged, report);
    EXPECT_EQ(joyGetDevCapsA(0, &caps, 404), JOYERR_NOERROR);
    EXPECT_EQ(caps.wCaps, JOYCAPS_HASPOV);
    info.dwSize = 64;
    info.dwFlags = 255;
    EXPECT_EQ(joyGetPosEx(0, &info), JOYERR_NOERROR);
    EXPECT_EQ(info.dwXpos, 65535u);
    EXPECT_EQ(info.dwButtons, 0x40u);
    EXPECT_EQ(info.dwSize, 64u);  // the caller's header stays
    headless->RemoveJoystick(0);
    EXPECT_EQ(joyGetPosEx(0, &info), JOYERR_UNPLUGGED);
}

struct Recorder : platform::EventSink {
    void MouseButton(int vk, bool down, POINT at) override {
        log.push_back("mouse " + std::to_string(vk) + (down ? " down " : " up ") +
                      std::to_string(at.x) + "," + std::to_string(at.y));
    }
    void ClickControl(const std::string& name) override { log.push_back("click " + name); }
    void CloseRequest(const std::string& form, platform::UnloadMode mode) override {
        log.push_back("close " + form + " " + std::to_string(static_cast<int>(mode)));
    }
    std::vector<std::string> log;
};

TEST_F(HeadlessTest, TextScriptIsAppliedAtItsPassesAndTimes) {
    const std::string text =
        "# a short session\n"
        "answer yes\n"
        "at pass 2 key down Left\n"
        "at pass 2 cursor 30 40\n"
        "at pass 3 mouse down left\n"
        "at pass 3 mouse up left\n"
        "at ms 50 key up 37\n"
        "at pass 4 click cmdCasual\n"
        "at pass 4 close frmMain tasklist\n"
        "at pass 4 close\n"
        "at pass 5 joystick 0 plug\n"
        "at pass 6 joystick 0 x 65535 buttons 128\n";
    platform::HeadlessScript script;
    std::string error;
    ASSERT_TRUE(platform::HeadlessScript::Parse(text, script, &error)) << error;
    headless->Load(script);
    Recorder sink;
    BYTE table[256];

    headless->PumpEvents(sink);  // pass 1: nothing yet
    GetKeyboardState(table);
    EXPECT_EQ(table[VK_LEFT], 0);
    headless->PumpEvents(sink);  // pass 2
    GetKeyboardState(table);
    EXPECT_EQ(table[VK_LEFT], 0x81);
    headless->PumpEvents(sink);
    headless->PumpEvents(sink);
    const std::vector<std::string> expected = {"mouse 1 down 30,40", "mouse 1 up 30,40",
                                               "click cmdCasual", "close frmMain 3", "close  0"};
    EXPECT_EQ(sink.log, expected);
    JOYINFOEX info;
    headless->PumpEvents(sink);
    EXPECT_EQ(joyGetPosEx(0, &info), JOYERR_NOERROR);
    EXPECT_EQ(info.dwXpos, 32767u);
    headless->PumpEvents(sink);
    joyGetPosEx(0, &info);
    EXPECT_EQ(info.dwXpos, 65535u);
    EXPECT_EQ(info.dwYpos, 32767u);
    EXPECT_EQ(info.dwButtons, 128u);

    // The time event waits for 50 ms of virtual time.
    GetKeyboardState(table);
    EXPECT_TRUE(table[VK_LEFT] & 0x80);
    EXPECT_TRUE(headless->WaitEvents(60));
    headless->PumpEvents(sink);
    GetKeyboardState(table);
    EXPECT_FALSE(table[VK_LEFT] & 0x80);
    EXPECT_TRUE(headless->ScriptFinished());
    EXPECT_FALSE(headless->WaitEvents(1));

    // The answer was queued when the script was loaded.
    EXPECT_EQ(headless->ShowMessageBox("t", "q", platform::MessageBoxButtons::YesNo),
              platform::MessageBoxAnswer::Yes);

    for (const char* bad : {"at pass x key down 37", "key down NoSuchKey", "jump", "cursor 1",
                            "at pass 3", "close a b c", "joystick 0 x", "mouse down sideways"}) {
        platform::HeadlessScript ignored;
        EXPECT_FALSE(platform::HeadlessScript::Parse(bad, ignored, &error)) << bad;
        EXPECT_NE(error.find("line 1"), std::string::npos);
    }

    headless->SetPassLimit(headless->Pass() + 1);
    headless->PumpEvents(sink);
    EXPECT_THROW(headless->PumpEvents(sink), platform::HeadlessLimit);
}

}  // namespace
