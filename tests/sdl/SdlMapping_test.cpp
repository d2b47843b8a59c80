// The SDL back end's mappings, against SDL's own event structs and constants; no display.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/input/KeyMap.h"
#include "platform/input/Keys.h"
#include "platform/sdl/SdlInput.h"
#include "platform/sdl/SdlJoyMap.h"
#include "platform/sdl/SdlPixels.h"
#include "platform/sdl/SdlView.h"

namespace {

using namespace platform::sdl;

SDL_Keysym Sym(SDL_Keycode sym, SDL_Scancode scancode, uint16_t mod = KMOD_NONE) {
    SDL_Keysym k{};
    k.sym = sym;
    k.scancode = scancode;
    k.mod = mod;
    return k;
}

TEST(SdlKeys, VirtualKeyCodes) {
    const struct {
        SDL_Keycode sym;
        SDL_Scancode scancode;
        int vk;
    } rows[] = {
        {SDLK_a, SDL_SCANCODE_A, 'A'},
        {SDLK_z, SDL_SCANCODE_Z, 'Z'},
        {SDLK_0, SDL_SCANCODE_0, '0'},
        {SDLK_9, SDL_SCANCODE_9, '9'},
        {SDLK_LEFT, SDL_SCANCODE_LEFT, VK_LEFT},
        {SDLK_UP, SDL_SCANCODE_UP, VK_UP},
        {SDLK_RIGHT, SDL_SCANCODE_RIGHT, VK_RIGHT},
        {SDLK_DOWN, SDL_SCANCODE_DOWN, VK_DOWN},
        {SDLK_ESCAPE, SDL_SCANCODE_ESCAPE, VK_ESCAPE},
        {SDLK_RETURN, SDL_SCANCODE_RETURN, VK_RETURN},
        {SDLK_KP_ENTER, SDL_SCANCODE_KP_ENTER, VK_RETURN},
        {SDLK_SPACE, SDL_SCANCODE_SPACE, VK_SPACE},
        {SDLK_TAB, SDL_SCANCODE_TAB, VK_TAB},
        {SDLK_BACKSPACE, SDL_SCANCODE_BACKSPACE, VK_BACK},
        {SDLK_LSHIFT, SDL_SCANCODE_LSHIFT, platform::VK_LSHIFT},
        {SDLK_RCTRL, SDL_SCANCODE_RCTRL, platform::VK_RCONTROL},
        {SDLK_LALT, SDL_SCANCODE_LALT, platform::VK_LMENU},
        {SDLK_F1, SDL_SCANCODE_F1, 112},
        {SDLK_F12, SDL_SCANCODE_F12, 123},
        {SDLK_KP_5, SDL_SCANCODE_KP_5, 101},
        {SDLK_SEMICOLON, SDL_SCANCODE_SEMICOLON, 186},
        {SDLK_BACKSLASH, SDL_SCANCODE_BACKSLASH, 220},
        // AZERTY: the key where Q sits on a US board types A, and counts as A.
        {SDLK_a, SDL_SCANCODE_Q, 'A'},
        // A Cyrillic layout: the key in W's place still reads as W.
        {0x0446, SDL_SCANCODE_W, 'W'},
        {SDLK_APPLICATION, SDL_SCANCODE_APPLICATION, 0},
        {SDLK_UNKNOWN, SDL_SCANCODE_UNKNOWN, 0},
    };
    for (const auto& r : rows)
        EXPECT_EQ(VirtualKeyOf(Sym(r.sym, r.scancode)), r.vk) << SDL_GetKeyName(r.sym);

    EXPECT_EQ(VirtualButtonOf(SDL_BUTTON_LEFT), VK_LBUTTON);
    EXPECT_EQ(VirtualButtonOf(SDL_BUTTON_RIGHT), VK_RBUTTON);
    EXPECT_EQ(VirtualButtonOf(SDL_BUTTON_MIDDLE), VK_MBUTTON);
    EXPECT_EQ(VirtualButtonOf(SDL_BUTTON_X1), 0);
    EXPECT_EQ(VirtualButtonOf(SDL_BUTTON_X2), 0);

    const struct {
        SDL_Keysym key;
        bool toggle;
    } toggles[] = {
        {Sym(SDLK_RETURN, SDL_SCANCODE_RETURN, KMOD_LALT), true},
        {Sym(SDLK_KP_ENTER, SDL_SCANCODE_KP_ENTER, KMOD_RALT), true},
        {Sym(SDLK_RETURN, SDL_SCANCODE_RETURN, KMOD_LALT | KMOD_NUM), true},
        {Sym(SDLK_RETURN, SDL_SCANCODE_RETURN, KMOD_LCTRL), false},
        {Sym(SDLK_RETURN, SDL_SCANCODE_RETURN), false},
        {Sym(SDLK_a, SDL_SCANCODE_A, KMOD_LALT), false},
    };
    for (const auto& t : toggles) {
        SDL_KeyboardEvent e{};
        e.type = SDL_KEYDOWN;
        e.keysym = t.key;
        EXPECT_EQ(IsWindowToggle(e), t.toggle) << t.key.sym << " mod " << t.key.mod;
    }
}

TEST(SdlJoystick, ControllerReport) {
    PadState rest;
    JOYINFOEX r = PadReport(rest);
    EXPECT_EQ(r.dwXpos, 32768u);
    EXPECT_EQ(r.dwYpos, 32768u);
    EXPECT_EQ(r.dwUpos, 32768u);
    EXPECT_EQ(r.dwRpos, 32768u);
    EXPECT_EQ(r.dwZpos, 32767u);  // triggers at rest hold neither logical trigger button
    EXPECT_EQ(r.dwPOV, JOY_POVCENTERED);
    EXPECT_EQ(r.dwButtons, 0u);

    const struct {
        SDL_GameControllerAxis axis;
        int16_t value;
        uint32_t JOYINFOEX::*field;
        uint32_t expected;
    } axes[] = {
        {SDL_CONTROLLER_AXIS_LEFTX, -32768, &JOYINFOEX::dwXpos, 0},
        {SDL_CONTROLLER_AXIS_LEFTX, 32767, &JOYINFOEX::dwXpos, 65535},
        {SDL_CONTROLLER_AXIS_LEFTY, -32768, &JOYINFOEX::dwYpos, 0},
        {SDL_CONTROLLER_AXIS_RIGHTX, 32767, &JOYINFOEX::dwUpos, 65535},
        {SDL_CONTROLLER_AXIS_RIGHTX, 32767, &JOYINFOEX::dwRpos, 32768},
        {SDL_CONTROLLER_AXIS_RIGHTY, -32768, &JOYINFOEX::dwRpos, 0},
        {SDL_CONTROLLER_AXIS_RIGHTY, -32768, &JOYINFOEX::dwUpos, 32768},
        {SDL_CONTROLLER_AXIS_TRIGGERLEFT, 32767, &JOYINFOEX::dwZpos, 65535},
        {SDL_CONTROLLER_AXIS_TRIGGERLEFT, 1, &JOYINFOEX::dwZpos, 32768},
        {SDL_CONTROLLER_AXIS_TRIGGERRIGHT, 32767, &JOYINFOEX::dwZpos, 0},
        {SDL_CONTROLLER_AXIS_TRIGGERRIGHT, 1, &JOYINFOEX::dwZpos, 32766},
    };
    for (const auto& a : axes) {
        PadState pad;
        pad.axes[a.axis] = a.value;
        EXPECT_EQ(PadReport(pad).*a.field, a.expected) << "axis " << a.axis << " = " << a.value;
    }
    PadState both;
    both.axes[SDL_CONTROLLER_AXIS_TRIGGERLEFT] = both.axes[SDL_CONTROLLER_AXIS_TRIGGERRIGHT] =
        32767;
    EXPECT_EQ(PadReport(both).dwZpos, 32768u);

    const struct {
        SDL_GameControllerButton button;
        uint32_t bit;
    } buttons[] = {
        {SDL_CONTROLLER_BUTTON_A, 0x1},
        {SDL_CONTROLLER_BUTTON_B, 0x2},
        {SDL_CONTROLLER_BUTTON_X, 0x4},
        {SDL_CONTROLLER_BUTTON_Y, 0x8},
        {SDL_CONTROLLER_BUTTON_LEFTSHOULDER, 0x10},
        {SDL_CONTROLLER_BUTTON_RIGHTSHOULDER, 0x20},
        {SDL_CONTROLLER_BUTTON_BACK, 0x40},
        {SDL_CONTROLLER_BUTTON_START, 0x80},
        {SDL_CONTROLLER_BUTTON_LEFTSTICK, 0x100},
        {SDL_CONTROLLER_BUTTON_RIGHTSTICK, 0x200},
        {SDL_CONTROLLER_BUTTON_GUIDE, 0},
        {SDL_CONTROLLER_BUTTON_DPAD_UP, 0},
    };
    for (const auto& b : buttons) {
        PadState pad;
        pad.buttons[b.button] = true;
        const JOYINFOEX report = PadReport(pad);
        EXPECT_EQ(report.dwButtons, b.bit) << "button " << b.button;
        EXPECT_EQ(report.dwButtonNumber, b.bit ? 1u : 0u);
    }

    const struct {
        bool up, down, left, right;
        uint32_t pov;
    } pads[] = {
        {1, 0, 0, 0, 0},
        {1, 0, 0, 1, 4500},
        {0, 0, 0, 1, 9000},
        {0, 1, 0, 1, 13500},
        {0, 1, 0, 0, 18000},
        {0, 1, 1, 0, 22500},
        {0, 0, 1, 0, 27000},
        {1, 0, 1, 0, 31500},
        {1, 1, 0, 0, JOY_POVCENTERED},
        {0, 0, 1, 1, JOY_POVCENTERED},
        {1, 1, 1, 0, 27000},
    };
    for (const auto& p : pads) {
        PadState pad;
        pad.buttons[SDL_CONTROLLER_BUTTON_DPAD_UP] = p.up;
        pad.buttons[SDL_CONTROLLER_BUTTON_DPAD_DOWN] = p.down;
        pad.buttons[SDL_CONTROLLER_BUTTON_DPAD_LEFT] = p.left;
        pad.buttons[SDL_CONTROLLER_BUTTON_DPAD_RIGHT] = p.right;
        EXPECT_EQ(PadReport(pad).dwPOV, p.pov) << p.up << p.down << p.left << p.right;
    }

    const JOYCAPSA caps = PadCaps("Pad");
    EXPECT_STREQ(caps.szPname, "Pad");
    // The second stick and the pad are only used when the device claims them.
    EXPECT_EQ(caps.wCaps & (JOYCAPS_HASR | JOYCAPS_HASU | JOYCAPS_HASPOV),
              JOYCAPS_HASR | JOYCAPS_HASU | JOYCAPS_HASPOV);
    EXPECT_EQ(caps.wXmax, 65535u);
    EXPECT_EQ(caps.wUmax, 65535u);
    EXPECT_EQ(caps.wRmax, 65535u);
    EXPECT_STREQ(PadCaps(nullptr).szPname, "");
}

TEST(SdlJoystick, PlainJoystickReport) {
    const struct {
        uint8_t hat;
        uint32_t pov;
    } hats[] = {{SDL_HAT_CENTERED, JOY_POVCENTERED},
                {SDL_HAT_UP, 0},
                {SDL_HAT_RIGHTUP, 4500},
                {SDL_HAT_RIGHT, 9000},
                {SDL_HAT_RIGHTDOWN, 13500},
                {SDL_HAT_DOWN, 18000},
                {SDL_HAT_LEFTDOWN, 22500},
                {SDL_HAT_LEFT, 27000},
                {SDL_HAT_LEFTUP, 31500}};
    for (const auto& h : hats)
        EXPECT_EQ(PovOfHat(h.hat), h.pov) << int(h.hat);

    // Two axes, a hat, twelve buttons: the missing axes rest in the middle.
    StickState small;
    small.numAxes = 2;
    small.axes[0] = 32767;
    small.axes[1] = -32768;
    small.axes[2] = 32767;  // not on this device
    small.numHats = 1;
    small.hat = SDL_HAT_RIGHTUP;
    small.numButtons = 12;
    small.buttons = 0x801 | 0x1000;  // bit 12 is beyond the device
    JOYINFOEX r = StickReport(small);
    EXPECT_EQ(r.dwXpos, 65535u);
    EXPECT_EQ(r.dwYpos, 0u);
    EXPECT_EQ(r.dwZpos, 32767u);
    EXPECT_EQ(r.dwRpos, 32767u);
    EXPECT_EQ(r.dwUpos, 32767u);
    EXPECT_EQ(r.dwVpos, 32767u);
    EXPECT_EQ(r.dwPOV, 4500u);
    EXPECT_EQ(r.dwButtons, 0x801u);
    JOYCAPSA caps = StickCaps("Stick", small);
    EXPECT_EQ(caps.wCaps, JOYCAPS_HASPOV | JOYCAPS_POV4DIR);
    EXPECT_EQ(caps.wNumAxes, 2u);
    EXPECT_EQ(caps.wNumButtons, 12u);

    // Six axes in report order X, Y, Z, R, U, V; no hat; 32 buttons all kept.
    StickState full;
    full.numAxes = 6;
    for (int i = 0; i < 6; ++i)
        full.axes[i] = static_cast<int16_t>(-32768 + i);
    full.numButtons = 40;
    full.buttons = 0xFFFFFFFFu;
    r = StickReport(full);
    EXPECT_EQ(r.dwXpos, 0u);
    EXPECT_EQ(r.dwYpos, 1u);
    EXPECT_EQ(r.dwZpos, 2u);
    EXPECT_EQ(r.dwRpos, 3u);
    EXPECT_EQ(r.dwUpos, 4u);
    EXPECT_EQ(r.dwVpos, 5u);
    EXPECT_EQ(r.dwPOV, JOY_POVCENTERED);
    EXPECT_EQ(r.dwButtons, 0xFFFFFFFFu);
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

    const struct {
        const ViewGeometry& g;
        ViewRect box;
    } boxes[] = {{full, {0, 0, 1920, 1080}},
                 {square, {0, 219, 1000, 562}},
                 {wide, {111, 0, 1777, 1000}},
                 {half, {0, 0, 960, 540}}};
    for (const auto& b : boxes) {
        const ViewRect r = Letterbox(b.g);
        EXPECT_EQ(r.x, b.box.x);
        EXPECT_EQ(r.y, b.box.y);
        EXPECT_EQ(r.w, b.box.w);
        EXPECT_EQ(r.h, b.box.h);
    }

    const struct {
        const ViewGeometry& g;
        int32_t x, y;
        int32_t sx, sy;
    } points[] = {
        {full, 100, 200, 100, 200},
        {full, -5, -5, 0, 0},  // outside the window: the nearest
                               // screen edge
        {full, 5000, 5000, 1919, 1079},
        {hidpi, 100, 50, 200, 100},
        {square, 500, 500, 960, 540},
        {square, 500, 10, 960, 0},  // on a bar
        {square, 999, 999, 1918, 1079},
        {wide, 111, 0, 0, 0},
        {wide, 110, 500, 0, 540},
        {half, 480, 270, 960, 540},
    };
    for (const auto& p : points) {
        const POINT s = WindowToScreen(p.g, p.x, p.y);
        EXPECT_EQ(s.x, p.sx) << p.x << "," << p.y;
        EXPECT_EQ(s.y, p.sy) << p.x << "," << p.y;
    }

    // Warping lands on the pixel asked for wherever a point is no larger than a pixel.
    const ViewGeometry up{4000, 2000, 4000, 2000, 1920, 1080};  // scaled up, with bars
    for (const ViewGeometry* g : {&full, &hidpi, &up}) {
        for (POINT at : {POINT{0, 0}, POINT{961, 539}, POINT{1919, 1079}, POINT{-3, 2000}}) {
            const POINT w = ScreenToWindow(*g, at);
            const POINT back = WindowToScreen(*g, w.x, w.y);
            const int32_t wantX = std::clamp(at.x, 0, 1919), wantY = std::clamp(at.y, 0, 1079);
            if (g == &hidpi) {  // a point covers two pixels
                EXPECT_EQ(back.x / 2, wantX / 2);
                EXPECT_EQ(back.y / 2, wantY / 2);
            } else {
                EXPECT_EQ(back.x, wantX);
                EXPECT_EQ(back.y, wantY);
            }
        }
    }

    // Relative motion: a point of a half-size window is two screen pixels; fractions add up.
    double carry[2] = {};
    POINT d = MotionToScreen(half, 3, -4, carry);
    EXPECT_EQ(d.x, 6);
    EXPECT_EQ(d.y, -8);
    const ViewGeometry big{3840, 2160, 3840, 2160, 1920, 1080};
    d = MotionToScreen(big, 1, -1, carry);
    EXPECT_EQ(d.x, 0);
    EXPECT_EQ(d.y, 0);
    d = MotionToScreen(big, 1, -1, carry);
    EXPECT_EQ(d.x, 1);
    EXPECT_EQ(d.y, -1);
}

TEST(SdlPixels, CopiesRowsInEitherOrder) {
    // Nine pixels a row (vectors' worth and one left over) between padded rows, into a buffer
    // aligned for streaming stores and into one that is not.
    constexpr int32_t kW = 9, kH = 2, kSrcPitch = 10, kDstPitch = 12;
    uint32_t src[kSrcPitch * kH];
    for (int i = 0; i < kSrcPitch * kH; ++i)
        src[i] = 0xAA000000u | static_cast<uint32_t>(RGB(i, 0x80 + i, 0xF0 - i));
    for (PixelOrder order : {PixelOrder::RedLow, PixelOrder::RedHigh}) {
        for (int offset : {0, 1}) {
            alignas(16) uint32_t buffer[kDstPitch * kH + 1];
            std::fill(std::begin(buffer), std::end(buffer), 0x12345678u);
            uint32_t* dst = buffer + offset;
            CopyPixels(src, kSrcPitch, dst, kDstPitch, kW, kH, order);
            for (int y = 0; y < kH; ++y) {
                for (int x = 0; x < kDstPitch; ++x) {
                    const uint32_t p = dst[y * kDstPitch + x];
                    if (x >= kW) {
                        EXPECT_EQ(p, 0x12345678u) << "padding written at " << x << "," << y;
                        continue;
                    }
                    const int i = y * kSrcPitch + x;
                    const uint32_t red = i, green = 0x80 + i, blue = 0xF0 - i;
                    const uint32_t want = order == PixelOrder::RedLow
                                              ? red | green << 8 | blue << 16
                                              : blue | green << 8 | red << 16;
                    EXPECT_EQ(p, want) << x << "," << y << " offset " << offset;
                }
            }
        }
    }
}

}  // namespace
