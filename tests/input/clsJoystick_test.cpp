#include "input/clsJoystick.h"

#include <gtest/gtest.h>

#include "platform/headless/Headless.h"
#include "platform/input/Keys.h"

constexpr uint32_t kMid = 32767, kMax = 65535, kNoHat = JOY_POVCENTERED;
constexpr double kD = 0.707106781186547;

TEST(clsJoystick, AxesHatButtonsDeadObjectAndMouse) {
    platform::Headless& host = platform::UseHeadless();
    host.SetJoystick(0, {.wCaps = JOYCAPS_HASR | JOYCAPS_HASU | JOYCAPS_HASPOV}, {});
    clsJoystick stick;
    ASSERT_TRUE(stick.Initialize(0));
    const auto poll = [&](uint32_t pov = kNoHat, uint32_t x = kMid, uint32_t u = kMid,
                          uint32_t r = kMid, uint32_t buttons = 0, uint32_t z = kMid,
                          uint32_t y = kMid) {
        JOYINFOEX info;
        info.dwXpos = x, info.dwYpos = y, info.dwZpos = z, info.dwRpos = r, info.dwUpos = u;
        info.dwButtons = buttons, info.dwPOV = pov;
        host.SetJoystickReport(0, info);
        stick.Check();
    };
    poll();  // the rest at 32767 of 65535 lies in the dead zone
    EXPECT_TRUE(stick.J2Enabled() && stick.PadEnabled() && stick.J1X() == 0 && stick.J1Y() == 0);
    poll(kNoHat, 49151, 0, kMax);  // half right; the second stick's x is U, its y R
    EXPECT_TRUE(stick.J1X() == 2.0 * 49151 / kMax - 1 && stick.J2X() == -1 && stick.J2Y() == 1);
    poll(kNoHat, 39321, kMid, kMid, 0, kMid, 36044);  // (0.2, 0.1) is inside 0.25
    EXPECT_TRUE(stick.J1X() == 0 && stick.J1Y() == 0);
    // Hat in hundredths of a degree; values off the eight directions are centred.
    const double hats[][3] = {{4500, kD, -kD}, {13500, kD, kD}, {31500, -kD, -kD},
                              {27000, -1, 0},  {65535, 0, 0},   {4501, 0, 0}};
    for (const auto& [pov, x, y] : hats) {
        poll(static_cast<uint32_t>(pov));
        EXPECT_TRUE(stick.PadX() == x && stick.PadY() == y) << pov;
    }
    // No second stick without both U and R; a zero axis maximum reads centred, not NaN; 5 of
    // 8 is 0.25, just out of the dead zone.
    host.SetJoystick(1, {.wXmax = 0, .wYmax = 8, .wCaps = JOYCAPS_HASR}, {.dwYpos = 5});
    clsJoystick other;
    EXPECT_TRUE(other.Initialize(1) && !other.J2Enabled() && other.J1X() == 0);
    EXPECT_EQ(other.J1Y(), 0.25);

    // Device buttons 4, 1, 2, 3, 7, 8 are logical 0..5; releasing is an edge for one poll.
    const uint32_t bits[] = {0x08, 0x01, 0x02, 0x04, 0x40, 0x80};
    for (int i = 0; i < 6; ++i) {
        poll(kNoHat, kMid, kMid, kMid, bits[i]);
        for (int j = 0; j < 8; ++j)  // the idle trigger (32767) holds neither 6 nor 7
            EXPECT_EQ(stick.ButtonHold(j), i == j) << i;
        EXPECT_TRUE(stick.ButtonDown(i) && stick.AnyKey());
        poll();
        EXPECT_TRUE(stick.ButtonUp(i));
        poll();
        EXPECT_FALSE(stick.ButtonUp(i));
    }
    // Negative as the old signed value: no key. The trigger axis above centre is button 6.
    poll(kNoHat, kMid, kMid, kMid, 0x80000000u, kMax);
    EXPECT_TRUE(!stick.AnyKey() && stick.ButtonHold(6) && !stick.ButtonHold(7));
    poll(kNoHat, kMid, kMid, kMid, 0x80000000u, 0);
    EXPECT_TRUE(stick.ButtonHold(7) && stick.ButtonUp(6));
    EXPECT_FALSE(stick.ButtonHold(-1) || stick.ButtonDown(101) || stick.ButtonUp(1 << 30));

    // A failed device is never asked again, and answers nothing.
    clsJoystick dead;
    EXPECT_FALSE(dead.Initialize(2));
    host.SetJoystick(2, {}, {.dwButtons = 0xFF, .dwPOV = 9000});
    EXPECT_FALSE(dead.Initialize(2));
    dead.Check();
    EXPECT_TRUE(dead.Dead() && dead.J1X() == 0 && dead.PadX() == 0 && !dead.AnyKey() &&
                !dead.ButtonHold(1));
    // All three sources fully right: 30 pixels per call, and no click while buttons are held.
    const auto leftButton = [] {
        BYTE keys[256];
        GetKeyboardState(keys);
        return keys[VK_LBUTTON];
    };
    const BYTE before = leftButton();
    poll(9000, kMax, kMax, kMid, 0xFF);
    host.SetCursorPos({100, 100});
    dead.JoystickMouse();
    stick.JoystickMouse();
    EXPECT_TRUE(host.CursorPos().x == 130 && host.CursorPos().y == 100 && leftButton() == before);
    // Releasing button 7 does not click; button 8, then button 1, click once each: a press and
    // release of the left button, which leaves only its toggle bit changed.
    const std::pair<uint32_t, int> releases[] = {{0xBF, 0}, {0x01, 1}, {0, 0}, {0, 0}};
    for (const auto& [held, toggled] : releases) {
        poll(kNoHat, kMid, kMid, kMid, held);
        stick.JoystickMouse();
        EXPECT_EQ(leftButton(), before ^ toggled) << held;
    }
}
