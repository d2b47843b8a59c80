// The browser's keys and gamepads in the desktop's terms.
#include <gtest/gtest.h>

#include <string_view>
#include <utility>

#include "platform/input/KeyMap.h"
#include "platform/input/Keys.h"
#include "platform/web/WebInput.h"

namespace {

using namespace platform;

TEST(WebInput, KeyCodesMeetTheDesktopsTable) {
    const std::pair<std::string_view, int> codes[] = {
        {"KeyW", 'W'},
        {"KeyA", 'A'},
        {"Digit7", '7'},
        {"ArrowLeft", VK_LEFT},
        {"ArrowDown", VK_DOWN},
        {"Escape", VK_ESCAPE},
        {"Enter", VK_RETURN},
        {"NumpadEnter", VK_RETURN},
        {"Space", VK_SPACE},
        {"ShiftLeft", VK_LSHIFT},
        {"ControlRight", VK_RCONTROL},
        {"AltLeft", VK_LMENU},
        {"Numpad5", 101},
        {"NumpadAdd", 107},
        {"F12", 123},
        {"Semicolon", 186},
        {"Backslash", 220},
        {"PageUp", 33},
        // Keys the table does not know, and near misses, are no key.
        {"MetaLeft", 0},
        {"KeyWW", 0},
        {"Key", 0},
        {"Numpad", 0},
        {"", 0},
        {"a", 0},
    };
    for (const auto& [code, vk] : codes)
        EXPECT_EQ(web::VirtualKeyOfCode(code), vk) << code;
}

TEST(WebInput, GamepadsReportAsOnTheDesktop) {
    // The standard layout: left stick full left and down, the left trigger half pulled, A,
    // Start and the d-pad's up and right held: the desktop's report for the same pad.
    const double axes[] = {-1, 1, 0.5, 0};
    double buttons[17] = {};
    buttons[0] = buttons[9] = buttons[12] = buttons[15] = 1;
    buttons[6] = 0.5;
    const JOYINFOEX pad = PadReport(web::PadOfStandard({true, 4, 17, axes, buttons}));
    EXPECT_EQ(pad.dwXpos, 0u);
    EXPECT_EQ(pad.dwYpos, 65535u);
    EXPECT_EQ(pad.dwUpos, 49152u);
    EXPECT_EQ(pad.dwRpos, 32768u);
    EXPECT_EQ(pad.dwZpos, 32767u + 16384u);
    EXPECT_EQ(pad.dwButtons, 1u | 1u << 7);  // A and Start
    EXPECT_EQ(pad.dwPOV, 4500u);
    // A short report leaves the rest at rest.
    const JOYINFOEX idle = PadReport(web::PadOfStandard({true, 1, 2, axes, buttons}));
    EXPECT_EQ(idle.dwYpos, 32768u);
    EXPECT_EQ(idle.dwZpos, 32767u);
    EXPECT_EQ(idle.dwPOV, JOY_POVCENTERED);

    // Any other layout is a plain joystick: six axes at most, its buttons as bits, no hat.
    const double many[] = {1, -1, 0, 0, 0, 0, 1, 1};
    const StickState stick = web::StickOfGamepad({false, 8, 3, many, buttons});
    const JOYINFOEX plain = StickReport(stick);
    EXPECT_EQ(stick.numAxes, 6);
    EXPECT_EQ(plain.dwXpos, 65535u);
    EXPECT_EQ(plain.dwYpos, 0u);
    EXPECT_EQ(plain.dwButtons, 1u);
    EXPECT_EQ(StickCaps("pad", stick).wCaps & JOYCAPS_HASPOV, 0u);
}

}  // namespace
