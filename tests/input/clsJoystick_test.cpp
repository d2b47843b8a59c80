#include "input/clsJoystick.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/headless/Headless.h"
#include "platform/input/Cursor.h"

namespace {

constexpr double kD = 0.707106781186547;

JOYINFOEX Centred() {
    JOYINFOEX r;
    r.dwXpos = r.dwYpos = r.dwZpos = r.dwRpos = r.dwUpos = r.dwVpos = 32767;
    r.dwPOV = JOY_POVCENTERED;
    return r;
}

struct ClickRecorder : platform::EventSink {
    void MouseButton(int vk, bool down, POINT at) override {
        events.push_back(std::string(down ? "down " : "up ") + std::to_string(vk) + " at " +
                         std::to_string(at.x) + "," + std::to_string(at.y));
    }
    void ClickControl(const std::string&) override {}
    void CloseRequest(const std::string&, platform::UnloadMode) override {}
    std::vector<std::string> events;
};

class JoystickTest : public ::testing::Test {
  protected:
    void SetUp() override { host = &platform::UseHeadless(); }
    void Plug(uint32_t caps, const JOYINFOEX& report = Centred()) {
        JOYCAPSA c;
        c.wCaps = caps;
        host->SetJoystick(0, c, report);
    }
    void Report(const JOYINFOEX& r) {
        host->SetJoystickReport(0, r);
        stick.Check();
    }
    platform::Headless* host = nullptr;
    clsJoystick stick;
};

TEST_F(JoystickTest, DeadZonesAndScaling) {
    Plug(JOYCAPS_HASR | JOYCAPS_HASU);
    ASSERT_TRUE(stick.Initialize(0));
    EXPECT_TRUE(stick.J1Enabled());
    EXPECT_TRUE(stick.J2Enabled());
    EXPECT_FALSE(stick.PadEnabled());
    // Rest at 32767 of 65535 is a hair below centre, inside the dead zone.
    EXPECT_EQ(stick.J1X(), 0);
    EXPECT_EQ(stick.J1Y(), 0);

    JOYINFOEX r = Centred();
    r.dwXpos = 49151;  // half right
    r.dwYpos = 32767;
    Report(r);
    EXPECT_NEAR(stick.J1X(), 0.5, 1e-4);
    EXPECT_NEAR(stick.J1Y(), 0.0, 1e-4);

    r.dwXpos = 39321;  // (0.2, 0.1): length 0.22 < 0.25
    r.dwYpos = 36044;
    Report(r);
    EXPECT_EQ(stick.J1X(), 0);
    EXPECT_EQ(stick.J1Y(), 0);

    // Second stick: U is x, R is y, with its own dead zone.
    r = Centred();
    r.dwUpos = 0;
    r.dwRpos = 65535;
    Report(r);
    EXPECT_DOUBLE_EQ(stick.J2X(), -1.0);
    EXPECT_DOUBLE_EQ(stick.J2Y(), 1.0);
    stick.SetJ2DeadZone(2.0);
    Report(r);
    EXPECT_EQ(stick.J2X(), 0);
    EXPECT_EQ(stick.J2Y(), 0);
}

TEST_F(JoystickTest, SecondStickNeedsBothAxes) {
    Plug(JOYCAPS_HASR);
    ASSERT_TRUE(stick.Initialize(0));
    EXPECT_FALSE(stick.J2Enabled());
    JOYINFOEX r = Centred();
    r.dwUpos = 65535;
    Report(r);
    EXPECT_EQ(stick.J2X(), 0);
}

TEST_F(JoystickTest, HatTable) {
    Plug(JOYCAPS_HASPOV);
    ASSERT_TRUE(stick.Initialize(0));
    ASSERT_TRUE(stick.PadEnabled());
    struct Case {
        uint32_t pov;
        double x, y;
    };
    const Case cases[] = {{0, 0, -1},    {4500, kD, -kD},  {9000, 1, 0},   {13500, kD, kD},
                          {18000, 0, 1}, {22500, -kD, kD}, {27000, -1, 0}, {31500, -kD, -kD},
                          {65535, 0, 0}, {4501, 0, 0},     {36000, 0, 0}};
    for (const Case& c : cases) {
        JOYINFOEX r = Centred();
        r.dwPOV = c.pov;
        Report(r);
        EXPECT_EQ(stick.PadX(), c.x) << c.pov;
        EXPECT_EQ(stick.PadY(), c.y) << c.pov;
    }
}

TEST_F(JoystickTest, LogicalButtonsAndEdges) {
    Plug(0);
    ASSERT_TRUE(stick.Initialize(0));
    // Device buttons 4, 1, 2, 3, 7, 8 are logical 0..5; 5 and 6 have none.
    const struct {
        uint32_t bit;
        int logical;
    } map[] = {{0x08, 0}, {0x01, 1}, {0x02, 2}, {0x04, 3}, {0x40, 4}, {0x80, 5}};
    for (const auto& m : map) {
        JOYINFOEX r = Centred();
        r.dwButtons = m.bit;
        Report(r);
        for (int i = 0; i < 6; ++i)
            EXPECT_EQ(stick.ButtonHold(i), i == m.logical) << m.bit;
        EXPECT_TRUE(stick.ButtonDown(m.logical));
        EXPECT_TRUE(stick.AnyKey());
        Report(Centred());
        EXPECT_TRUE(stick.ButtonUp(m.logical));
        Report(Centred());
        EXPECT_FALSE(stick.ButtonUp(m.logical));  // exactly one poll
    }
    JOYINFOEX r = Centred();
    r.dwButtons = 0x10 | 0x20;
    Report(r);
    for (int i = 0; i < 6; ++i)
        EXPECT_FALSE(stick.ButtonHold(i));
    EXPECT_TRUE(stick.AnyKey());
    // Bit 31 alone reads as a negative number: no key.
    r.dwButtons = 0x80000000u;
    Report(r);
    EXPECT_FALSE(stick.AnyKey());

    // The trigger axis: above centre is 6, below is 7, exactly 32767 is neither.
    r = Centred();
    Report(r);
    EXPECT_FALSE(stick.ButtonHold(6));
    EXPECT_FALSE(stick.ButtonHold(7));
    r.dwZpos = 65535;
    Report(r);
    EXPECT_TRUE(stick.ButtonHold(6));
    r.dwZpos = 0;
    Report(r);
    EXPECT_TRUE(stick.ButtonHold(7));
    EXPECT_TRUE(stick.ButtonUp(6));

    for (int bad : {-1, 101, 1 << 30}) {
        EXPECT_FALSE(stick.ButtonHold(bad));
        EXPECT_FALSE(stick.ButtonDown(bad));
        EXPECT_FALSE(stick.ButtonUp(bad));
    }
}

TEST_F(JoystickTest, DeadObjectAnswersNothingAndIsNeverRetried) {
    // No device 0.
    EXPECT_FALSE(stick.Initialize(0));
    EXPECT_TRUE(stick.Dead());
    Plug(JOYCAPS_HASPOV | JOYCAPS_HASR | JOYCAPS_HASU);
    EXPECT_FALSE(stick.Initialize(0));
    JOYINFOEX r = Centred();
    r.dwXpos = 65535;
    r.dwButtons = 0xFF;
    r.dwPOV = 9000;
    host->SetJoystickReport(0, r);
    stick.Check();
    EXPECT_EQ(stick.J1X(), 0);
    EXPECT_EQ(stick.PadX(), 0);
    EXPECT_FALSE(stick.AnyKey());
    EXPECT_FALSE(stick.ButtonHold(1));
    const POINT before = host->CursorPos();
    stick.JoystickMouse();
    EXPECT_EQ(host->CursorPos().x, before.x);
    EXPECT_EQ(host->CursorPos().y, before.y);
}

TEST_F(JoystickTest, AxisMaximumOfZeroReadsCentred) {
    JOYCAPSA c;
    c.wXmax = 0;
    c.wYmax = 0;
    JOYINFOEX r = Centred();
    r.dwXpos = 0;
    r.dwYpos = 0;
    host->SetJoystick(0, c, r);
    ASSERT_TRUE(stick.Initialize(0));
    EXPECT_EQ(stick.J1X(), 0);
    EXPECT_EQ(stick.J1Y(), 0);
}

TEST_F(JoystickTest, JoystickMouseMovesAndClicks) {
    Plug(JOYCAPS_HASPOV | JOYCAPS_HASR | JOYCAPS_HASU);
    ASSERT_TRUE(stick.Initialize(0));
    SetCursorPos(100, 100);
    JOYINFOEX r = Centred();
    r.dwXpos = 65535;
    r.dwUpos = 65535;
    r.dwPOV = 9000;
    Report(r);
    stick.JoystickMouse();
    EXPECT_EQ(host->CursorPos().x, 130);
    EXPECT_EQ(host->CursorPos().y, 100);

    // Button 1 released: a click (left down, then up), delivered with the next pump.
    r = Centred();
    r.dwButtons = 0x01;
    Report(r);
    stick.JoystickMouse();
    Report(Centred());
    ASSERT_TRUE(stick.ButtonUp(1));
    stick.JoystickMouse();
    EXPECT_EQ(host->CursorPos().x, 130);
    ClickRecorder sink;
    host->PumpEvents(sink);
    ASSERT_EQ(sink.events.size(), 2u);
    EXPECT_EQ(sink.events[0], "down 1 at 130,100");
    EXPECT_EQ(sink.events[1], "up 1 at 130,100");

    // Nothing released at the next poll: no click.
    Report(Centred());
    stick.JoystickMouse();
    ClickRecorder none;
    host->PumpEvents(none);
    EXPECT_TRUE(none.events.empty());
}

}  // namespace
