#include "input/clsJoystick.h"

#include <gtest/gtest.h>

#include "platform/headless/Headless.h"
#include "platform/input/Cursor.h"

namespace {

constexpr double kD = 0.707106781186547;

JOYINFOEX Centred() {
    JOYINFOEX r;
    r.dwXpos = r.dwYpos = r.dwZpos = r.dwRpos = r.dwUpos = 32767;
    return r;
}

struct MouseLog : platform::EventSink {
    void MouseButton(int vk, bool down, POINT) override {
        log += (down ? "D" : "U") + std::to_string(vk);
    }
    void ClickControl(const std::string&) override {}
    void CloseRequest(const std::string&, platform::UnloadMode) override {}
    std::string log;
};

class JoystickTest : public ::testing::Test {
  protected:
    void Plug(uint32_t caps) {
        JOYCAPSA c;
        c.wCaps = caps;
        host.SetJoystick(0, c, Centred());
        ASSERT_TRUE(stick.Initialize(0));
    }
    void Poll(const JOYINFOEX& r) {
        host.SetJoystickReport(0, r);
        stick.Check();
    }
    platform::Headless& host = platform::UseHeadless();
    clsJoystick stick;
};

TEST_F(JoystickTest, AxesDeadZonesAndHat) {
    Plug(JOYCAPS_HASR | JOYCAPS_HASU | JOYCAPS_HASPOV);
    EXPECT_TRUE(stick.J2Enabled() && stick.PadEnabled());
    EXPECT_EQ(stick.J1X(), 0);  // rest at 32767 / 65535 lies in the dead zone
    JOYINFOEX r = Centred();
    r.dwXpos = 49151;  // half right
    r.dwUpos = 0;      // second stick: U is x, R is y
    r.dwRpos = 65535;
    Poll(r);
    EXPECT_NEAR(stick.J1X(), 0.5, 1e-4);
    EXPECT_EQ(stick.J2X(), -1.0);
    EXPECT_EQ(stick.J2Y(), 1.0);
    r.dwXpos = 39321;  // (0.2, 0.1) is inside 0.25
    r.dwYpos = 36044;
    Poll(r);
    EXPECT_EQ(stick.J1X(), 0);
    EXPECT_EQ(stick.J1Y(), 0);

    for (uint32_t pov : {13500u, 31500u, 65535u, 4501u}) {
        r = Centred();
        r.dwPOV = pov;
        Poll(r);
        const double d = pov == 13500 ? kD : pov == 31500 ? -kD : 0;  // others are centred
        EXPECT_EQ(stick.PadX(), d) << pov;
        EXPECT_EQ(stick.PadY(), d) << pov;
    }

    // No second stick without both U and R; a zero axis maximum reads centred, not NaN.
    JOYCAPSA c;
    c.wCaps = JOYCAPS_HASR;
    c.wXmax = 0;
    host.SetJoystick(1, c, Centred());
    clsJoystick other;
    ASSERT_TRUE(other.Initialize(1));
    EXPECT_FALSE(other.J2Enabled());
    EXPECT_EQ(other.J1X(), 0);
}

TEST_F(JoystickTest, ButtonsAndEdges) {
    Plug(0);
    // Device buttons 4, 1, 2, 3, 7, 8 are logical 0..5; releasing is an edge for one poll.
    const uint32_t bits[] = {0x08, 0x01, 0x02, 0x04, 0x40, 0x80};
    for (int i = 0; i < 6; ++i) {
        JOYINFOEX r = Centred();
        r.dwButtons = bits[i];
        Poll(r);
        for (int j = 0; j < 6; ++j)
            EXPECT_EQ(stick.ButtonHold(j), i == j) << i;
        EXPECT_TRUE(stick.ButtonDown(i) && stick.AnyKey());
        Poll(Centred());
        EXPECT_TRUE(stick.ButtonUp(i));
        Poll(Centred());
        EXPECT_FALSE(stick.ButtonUp(i));
    }
    JOYINFOEX r = Centred();
    r.dwButtons = 0x80000000u;  // negative as the old signed value: no key
    r.dwZpos = 65535;           // trigger axis above centre is button 6
    Poll(r);
    EXPECT_FALSE(stick.AnyKey());
    EXPECT_TRUE(stick.ButtonHold(6) && !stick.ButtonHold(7));
    r.dwZpos = 0;
    Poll(r);
    EXPECT_TRUE(stick.ButtonHold(7) && stick.ButtonUp(6));
    EXPECT_FALSE(stick.ButtonHold(-1) || stick.ButtonDown(101) || stick.ButtonUp(1 << 30));
}

TEST_F(JoystickTest, DeadObjectNeverRetriesAndMouse) {
    clsJoystick dead;
    EXPECT_FALSE(dead.Initialize(0));  // nothing plugged yet
    Plug(JOYCAPS_HASR | JOYCAPS_HASU | JOYCAPS_HASPOV);
    EXPECT_FALSE(dead.Initialize(0));
    JOYINFOEX r = Centred();
    r.dwXpos = r.dwUpos = 65535;
    r.dwPOV = 9000;
    r.dwButtons = 0xFF;
    host.SetJoystickReport(0, r);
    dead.Check();
    EXPECT_TRUE(dead.Dead());
    EXPECT_FALSE(dead.J1X() != 0 || dead.PadX() != 0 || dead.AnyKey() || dead.ButtonHold(1));

    // All three sources fully right: 30 pixels per call. Button 1 released: one click.
    SetCursorPos(100, 100);
    stick.Check();
    dead.JoystickMouse();
    stick.JoystickMouse();
    EXPECT_EQ(host.CursorPos().x, 130);
    EXPECT_EQ(host.CursorPos().y, 100);
    Poll(Centred());
    stick.JoystickMouse();
    MouseLog sink;
    host.PumpEvents(sink);
    EXPECT_EQ(sink.log, "D1U1");
    Poll(Centred());
    stick.JoystickMouse();
    MouseLog none;
    host.PumpEvents(none);
    EXPECT_EQ(none.log, "");
}

}  // namespace
