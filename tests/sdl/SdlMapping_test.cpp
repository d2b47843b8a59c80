// The SDL back end's mappings, against SDL's own event structs and constants; no display.
#include <gtest/gtest.h>

#include <array>
#include <cstring>

#include "platform/input/KeyMap.h"
#include "platform/input/Keys.h"
#include "platform/sdl/SdlInput.h"
#include "platform/sdl/SdlJoyMap.h"
#include "platform/sdl/SdlView.h"

using namespace platform::sdl;
using XY = std::pair<int32_t, int32_t>;
using Axes = std::array<uint32_t, 6>;     // X, Y, Z, R, U, V
constexpr uint32_t M = 32768, C = 32767;  // a centred stick; the middle of a missing axis

XY At(POINT p) {
    return {p.x, p.y};
}
Axes AxesOf(const JOYINFOEX& r) {
    return {r.dwXpos, r.dwYpos, r.dwZpos, r.dwRpos, r.dwUpos, r.dwVpos};
}

TEST(SdlKeys, VirtualKeyCodes) {
    using platform::VK_LMENU, platform::VK_LSHIFT, platform::VK_RCONTROL;
    const std::pair<SDL_Keycode, int> keys[] = {
        {SDLK_a, 'A'},         {SDLK_UP, VK_UP},       {SDLK_RETURN, VK_RETURN},
        {SDLK_z, 'Z'},         {SDLK_TAB, VK_TAB},     {SDLK_ESCAPE, VK_ESCAPE},
        {SDLK_0, '0'},         {SDLK_LEFT, VK_LEFT},   {SDLK_BACKSPACE, VK_BACK},
        {SDLK_9, '9'},         {SDLK_DOWN, VK_DOWN},   {SDLK_KP_ENTER, VK_RETURN},
        {SDLK_F1, 112},        {SDLK_RIGHT, VK_RIGHT}, {SDLK_LALT, VK_LMENU},
        {SDLK_F12, 123},       {SDLK_SPACE, VK_SPACE}, {SDLK_LSHIFT, VK_LSHIFT},
        {SDLK_KP_5, 101},      {SDLK_BACKSLASH, 220},  {SDLK_RCTRL, VK_RCONTROL},
        {SDLK_SEMICOLON, 186},
    };
    for (const auto& [sym, vk] : keys)
        EXPECT_EQ(VirtualKeyOf({SDL_GetScancodeFromKey(sym), sym, 0, 0}), vk)
            << SDL_GetKeyName(sym);
    // AZERTY: the key where Q sits on a US board types A, and counts as A. A Cyrillic layout:
    // the key in W's place still reads as W.
    EXPECT_EQ(VirtualKeyOf({SDL_SCANCODE_Q, SDLK_a, 0, 0}), 'A');
    EXPECT_EQ(VirtualKeyOf({SDL_SCANCODE_W, 0x0446, 0, 0}), 'W');
    EXPECT_EQ(VirtualKeyOf({SDL_SCANCODE_APPLICATION, SDLK_APPLICATION, 0, 0}), 0);
    EXPECT_EQ(VirtualKeyOf({SDL_SCANCODE_UNKNOWN, SDLK_UNKNOWN, 0, 0}), 0);

    // Alt and Enter, either of each, switch the window; Num Lock does not get in the way.
    const std::tuple<SDL_Keycode, uint16_t, bool> toggles[] = {
        {SDLK_RETURN, KMOD_LALT, true},  {SDLK_KP_ENTER, KMOD_RALT, true},
        {SDLK_RETURN, KMOD_NONE, false}, {SDLK_RETURN, KMOD_LCTRL, false},
        {SDLK_a, KMOD_LALT, false},      {SDLK_RETURN, KMOD_LALT | KMOD_NUM, true},
    };
    for (const auto& [sym, mod, toggle] : toggles) {
        SDL_KeyboardEvent e{};
        e.keysym = {SDL_GetScancodeFromKey(sym), sym, mod, 0};
        EXPECT_EQ(IsWindowToggle(e), toggle) << sym << " mod " << mod;
    }
}

TEST(SdlJoystick, ControllerReport) {
    // Each row moves one axis from rest; every other field must stay where it was.
    const std::tuple<SDL_GameControllerAxis, int16_t, Axes> axes[] = {
        {SDL_CONTROLLER_AXIS_LEFTX, 0, {M, M, C, M, M, C}},  // at rest no trigger is held
        {SDL_CONTROLLER_AXIS_LEFTX, -32768, {0, M, C, M, M, C}},
        {SDL_CONTROLLER_AXIS_LEFTX, 32767, {65535, M, C, M, M, C}},
        {SDL_CONTROLLER_AXIS_LEFTY, -32768, {M, 0, C, M, M, C}},
        {SDL_CONTROLLER_AXIS_RIGHTX, 32767, {M, M, C, M, 65535, C}},
        {SDL_CONTROLLER_AXIS_RIGHTY, -32768, {M, M, C, 0, M, C}},
        {SDL_CONTROLLER_AXIS_TRIGGERLEFT, 32767, {M, M, 65535, M, M, C}},
        {SDL_CONTROLLER_AXIS_TRIGGERLEFT, 1, {M, M, 32768, M, M, C}},
        {SDL_CONTROLLER_AXIS_TRIGGERRIGHT, 32767, {M, M, 0, M, M, C}},
        {SDL_CONTROLLER_AXIS_TRIGGERRIGHT, 1, {M, M, 32766, M, M, C}},
    };
    for (const auto& [axis, value, want] : axes) {
        PadState pad;
        pad.axes[axis] = value;
        const JOYINFOEX r = PadReport(pad);
        EXPECT_EQ(AxesOf(r), want) << "axis " << axis << " = " << value;
        EXPECT_EQ(std::pair(r.dwPOV, r.dwButtons), std::pair(JOY_POVCENTERED, 0u));
    }
    PadState both;
    both.axes[SDL_CONTROLLER_AXIS_TRIGGERLEFT] = both.axes[SDL_CONTROLLER_AXIS_TRIGGERRIGHT] =
        32767;
    EXPECT_EQ(PadReport(both).dwZpos, 32768u);

    // The report's bit for each button in SDL's order: A, B, X, Y, Back, Guide, Start, the
    // sticks, the shoulders; the arrows and the rest have none.
    const int bits[] = {0, 1, 2, 3, 6, -1, 7, 8, 9, 4, 5};
    for (int button = 0; button < SDL_CONTROLLER_BUTTON_MAX; ++button) {
        PadState pad;
        pad.buttons[button] = true;
        const JOYINFOEX report = PadReport(pad);
        const uint32_t bit =
            button < int(std::size(bits)) && bits[button] >= 0 ? 1u << bits[button] : 0u;
        EXPECT_EQ(std::pair(report.dwButtons, report.dwButtonNumber), std::pair(bit, bit ? 1u : 0u))
            << "button " << button;
    }

    const JOYCAPSA caps = PadCaps("Pad");
    EXPECT_STREQ(caps.szPname, "Pad");
    // The second stick and the pad are only used when the device claims them.
    EXPECT_EQ(caps.wCaps & (JOYCAPS_HASR | JOYCAPS_HASU | JOYCAPS_HASPOV),
              JOYCAPS_HASR | JOYCAPS_HASU | JOYCAPS_HASPOV);
    EXPECT_STREQ(PadCaps(nullptr).szPname, "");
}

// Arrows held, on a pad's buttons or a stick's hat, as Up, Down, Left and Right; opposite
// arrows cancel out.
TEST(SdlJoystick, ArrowsGiveTheView) {
    constexpr uint32_t kCentred = JOY_POVCENTERED;
    const std::pair<const char*, uint32_t> arrows[] = {
        {"U", 0},       {"UR", 4500},     {"R", 9000},      {"DR", 13500},
        {"D", 18000},   {"DL", 22500},    {"L", 27000},     {"UL", 31500},
        {"UDL", 27000}, {"UD", kCentred}, {"LR", kCentred}, {"", kCentred},
    };
    const std::tuple<char, SDL_GameControllerButton, uint8_t> inputs[] = {
        {'U', SDL_CONTROLLER_BUTTON_DPAD_UP, SDL_HAT_UP},
        {'D', SDL_CONTROLLER_BUTTON_DPAD_DOWN, SDL_HAT_DOWN},
        {'L', SDL_CONTROLLER_BUTTON_DPAD_LEFT, SDL_HAT_LEFT},
        {'R', SDL_CONTROLLER_BUTTON_DPAD_RIGHT, SDL_HAT_RIGHT},
    };
    for (const auto& [held, pov] : arrows) {
        PadState pad;
        uint8_t hat = SDL_HAT_CENTERED;
        for (const auto& [arrow, button, bit] : inputs) {
            pad.buttons[button] = std::strchr(held, arrow) != nullptr;
            if (pad.buttons[button]) hat |= bit;
        }
        EXPECT_EQ(PadReport(pad).dwPOV, pov) << held;
        EXPECT_EQ(PovOfHat(hat), pov) << held;
    }
}

TEST(SdlJoystick, PlainJoystickReport) {
    // Two axes (a third value not on the device), a hat, twelve buttons (bit 12 beyond them):
    // the missing axes rest in the middle.
    const StickState small{2, {32767, -32768, 32767}, 1, SDL_HAT_RIGHTUP, 12, 0x801 | 0x1000};
    JOYINFOEX r = StickReport(small);
    EXPECT_EQ(AxesOf(r), (Axes{65535, 0, C, C, C, C}));
    EXPECT_EQ(std::pair(r.dwPOV, r.dwButtons), std::pair(4500u, 0x801u));
    JOYCAPSA caps = StickCaps("Stick", small);
    EXPECT_EQ(caps.wCaps, JOYCAPS_HASPOV | JOYCAPS_POV4DIR);
    EXPECT_EQ(std::pair(caps.wNumAxes, caps.wNumButtons), std::pair(2u, 12u));

    // Six axes in report order X, Y, Z, R, U, V; no hat; 32 buttons all kept.
    const StickState full{6, {-32768, -32767, -32766, -32765, -32764, -32763}, 0, 0, 40, ~0u};
    r = StickReport(full);
    EXPECT_EQ(AxesOf(r), (Axes{0, 1, 2, 3, 4, 5}));
    EXPECT_EQ(std::pair(r.dwPOV, r.dwButtons), std::pair(JOY_POVCENTERED, ~0u));
    const std::string longName(80, 'x');
    caps = StickCaps(longName.c_str(), full);
    EXPECT_EQ(caps.wCaps, JOYCAPS_HASZ | JOYCAPS_HASR | JOYCAPS_HASU | JOYCAPS_HASV);
    EXPECT_EQ(caps.wNumButtons, 32u);
    EXPECT_EQ(std::strlen(caps.szPname), sizeof caps.szPname - 1);
}

TEST(SdlView, WindowPointsToScreenPixels) {
    const ViewGeometry full{1920, 1080, 1920, 1080, 1920, 1080};
    const ViewGeometry hidpi{960, 540, 1920, 1080, 1920, 1080};     // two pixels per point
    const ViewGeometry square{1000, 1000, 1000, 1000, 1920, 1080};  // bars above and below
    const ViewGeometry wide{2000, 1000, 2000, 1000, 1920, 1080};    // bars left and right
    const ViewGeometry half{960, 540, 960, 540, 1920, 1080};        // the window at half size

    const std::pair<const ViewGeometry&, std::array<int32_t, 4>> boxes[] = {
        {full, {0, 0, 1920, 1080}},
        {square, {0, 219, 1000, 562}},
        {wide, {111, 0, 1777, 1000}},
        {half, {0, 0, 960, 540}},
    };
    for (const auto& [g, box] : boxes) {
        const ViewRect r = Letterbox(g);
        EXPECT_EQ((std::array{r.x, r.y, r.w, r.h}), box);
    }

    // Outside the window and on a bar: the nearest screen edge.
    const std::tuple<const ViewGeometry&, XY, XY> points[] = {
        {full, {100, 200}, {100, 200}},     {full, {-5, -5}, {0, 0}},
        {full, {5000, 5000}, {1919, 1079}}, {hidpi, {100, 50}, {200, 100}},
        {square, {500, 500}, {960, 540}},   {square, {500, 10}, {960, 0}},
        {square, {999, 999}, {1918, 1079}}, {wide, {111, 0}, {0, 0}},
        {wide, {110, 500}, {0, 540}},       {half, {480, 270}, {960, 540}},
    };
    for (const auto& [g, window, screen] : points)
        EXPECT_EQ(At(WindowToScreen(g, window.first, window.second)), screen)
            << window.first << "," << window.second;

    // Warping lands on the pixel asked for wherever a point is no larger than a pixel; on the
    // HiDPI window a point covers two pixels.
    const ViewGeometry up{4000, 2000, 4000, 2000, 1920, 1080};  // scaled up, with bars
    for (const ViewGeometry* g : {&full, &hidpi, &up}) {
        const int32_t unit = g == &hidpi ? 2 : 1;
        for (POINT at : {POINT{0, 0}, POINT{961, 539}, POINT{1919, 1079}, POINT{-3, 2000}}) {
            const POINT w = ScreenToWindow(*g, at);
            const POINT back = WindowToScreen(*g, w.x, w.y);
            EXPECT_EQ(XY(back.x / unit, back.y / unit),
                      XY(std::clamp(at.x, 0, 1919) / unit, std::clamp(at.y, 0, 1079) / unit));
        }
    }

    // Relative motion: a point of a half-size window is two screen pixels; fractions add up.
    double carry[2] = {};
    EXPECT_EQ(At(MotionToScreen(half, 3, -4, carry)), XY(6, -8));
    const ViewGeometry big{3840, 2160, 3840, 2160, 1920, 1080};
    EXPECT_EQ(At(MotionToScreen(big, 1, -1, carry)), XY(0, 0));
    EXPECT_EQ(At(MotionToScreen(big, 1, -1, carry)), XY(1, -1));
}
