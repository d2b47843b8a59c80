// The back end on SDL's dummy video driver: events pushed into SDL's queue reach the key table
// and the sink, frames reach the window's frame buffer, a virtual controller comes and goes.
#include "platform/sdl/SdlBackend.h"

#include <gtest/gtest.h>

#include <SDL.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "platform/input/Cursor.h"
#include "platform/input/KeyMap.h"
#include "platform/input/Keys.h"

namespace {

struct Recorded {
    enum Kind { Button, Move, Close } kind;
    int vk = 0;
    bool down = false;
    POINT at{};
    platform::UnloadMode mode = platform::UnloadMode::Code;
};

struct RecordingSink : platform::EventSink {
    void MouseButton(int vk, bool down, POINT at) override {
        events.push_back({Recorded::Button, vk, down, at});
    }
    void MouseMove(POINT at) override { events.push_back({Recorded::Move, 0, false, at}); }
    void ClickControl(const std::string&) override {}
    void CloseRequest(const std::string& form, platform::UnloadMode mode) override {
        EXPECT_EQ(form, "");
        events.push_back({Recorded::Close, 0, false, {}, mode});
    }
    std::vector<Recorded> events;
};

class SdlBackendTest : public ::testing::Test {
  protected:
    void SetUp() override { Open({}); }

    void Open(const platform::SdlOptions& options) {
        sdl.reset();
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        // The dummy window never has the focus that SDL otherwise wants for pad input.
        SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
        try {
            sdl = std::make_unique<platform::SdlBackend>(options);
        } catch (const platform::SdlError& e) {
            GTEST_SKIP() << e.what();
        }
        sdl->PumpEvents(sink);  // whatever SDL queued on opening
        sink.events.clear();
    }

    void Key(SDL_EventType type, SDL_Keycode sym, SDL_Scancode code, uint16_t mod = 0,
             uint8_t repeat = 0) {
        SDL_Event e{};
        e.type = type;
        e.key.windowID = SDL_GetWindowID(sdl->Window());
        e.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
        e.key.repeat = repeat;
        e.key.keysym.sym = sym;
        e.key.keysym.scancode = code;
        e.key.keysym.mod = mod;
        SDL_PushEvent(&e);
    }
    void Window(SDL_WindowEventID id) {
        SDL_Event e{};
        e.type = SDL_WINDOWEVENT;
        e.window.windowID = SDL_GetWindowID(sdl->Window());
        e.window.event = id;
        SDL_PushEvent(&e);
    }
    void Button(SDL_EventType type, uint8_t button, int x, int y) {
        SDL_Event e{};
        e.type = type;
        e.button.windowID = SDL_GetWindowID(sdl->Window());
        e.button.button = button;
        e.button.state = type == SDL_MOUSEBUTTONDOWN ? SDL_PRESSED : SDL_RELEASED;
        e.button.x = x;
        e.button.y = y;
        SDL_PushEvent(&e);
    }
    void Motion(int x, int y, int dx, int dy) {
        SDL_Event e{};
        e.type = SDL_MOUSEMOTION;
        e.motion.windowID = SDL_GetWindowID(sdl->Window());
        e.motion.x = x;
        e.motion.y = y;
        e.motion.xrel = dx;
        e.motion.yrel = dy;
        SDL_PushEvent(&e);
    }
    uint8_t Table(int vk) {
        uint8_t table[256];
        sdl->GetKeys(table);
        return table[vk];
    }
    void Pump() { sdl->PumpEvents(sink); }

    std::unique_ptr<platform::SdlBackend> sdl;
    RecordingSink sink;
};

TEST_F(SdlBackendTest, KeysReachTheTable) {
    const struct {
        SDL_EventType type;
        SDL_Keycode sym;
        SDL_Scancode code;
        uint16_t mod;
        uint8_t repeat;
        int vk;
        uint8_t entry;  // the table's byte for vk after the pump
    } steps[] = {
        {SDL_KEYDOWN, SDLK_w, SDL_SCANCODE_W, 0, 0, 'W', 0x81},
        {SDL_KEYUP, SDLK_w, SDL_SCANCODE_W, 0, 0, 'W', 0x01},
        {SDL_KEYDOWN, SDLK_w, SDL_SCANCODE_W, 0, 1, 'W', 0x01},  // a repeat: ignored
        {SDL_KEYDOWN, SDLK_w, SDL_SCANCODE_W, 0, 0, 'W', 0x80},
        {SDL_KEYDOWN, SDLK_LSHIFT, SDL_SCANCODE_LSHIFT, 0, 0, VK_SHIFT, 0x81},
        {SDL_KEYUP, SDLK_LSHIFT, SDL_SCANCODE_LSHIFT, 0, 0, platform::VK_LSHIFT, 0x01},
        // Alt+Enter switches the window and never reaches the game as Return.
        {SDL_KEYDOWN, SDLK_RETURN, SDL_SCANCODE_RETURN, KMOD_LALT, 0, VK_RETURN, 0x00},
        {SDL_KEYUP, SDLK_RETURN, SDL_SCANCODE_RETURN, KMOD_LALT, 0, VK_RETURN, 0x00},
        {SDL_KEYDOWN, SDLK_RETURN, SDL_SCANCODE_RETURN, 0, 0, VK_RETURN, 0x81},
        {SDL_KEYDOWN, SDLK_F5, SDL_SCANCODE_F5, 0, 0, 116, 0x81},
    };
    for (const auto& s : steps) {
        Key(s.type, s.sym, s.code, s.mod, s.repeat);
        Pump();
        EXPECT_EQ(Table(s.vk), s.entry) << "vk " << s.vk << " type " << s.type;
    }
    EXPECT_FALSE(sdl->Fullscreen());
    EXPECT_EQ(sdl->Screen().width, 1024);  // the game's screen stays what it was
    EXPECT_EQ(sdl->Screen().height, 768);

    // Keys released in another window never come back as releases: focus lost lets go.
    Window(SDL_WINDOWEVENT_FOCUS_LOST);
    Pump();
    EXPECT_EQ(Table('W'), 0x00);
    EXPECT_EQ(Table(VK_RETURN), 0x01);
    EXPECT_TRUE(sink.events.empty());
}

TEST_F(SdlBackendTest, MouseAndClose) {
    Button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 10, 20);
    Button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_RIGHT, 30, 40);
    Button(SDL_MOUSEBUTTONUP, SDL_BUTTON_X1, 0, 0);
    Button(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT, 11, 21);
    Pump();
    EXPECT_EQ(Table(VK_LBUTTON), 0x01);
    EXPECT_EQ(Table(VK_RBUTTON), 0x81);
    ASSERT_EQ(sink.events.size(), 3u);
    const struct {
        int vk;
        bool down;
        int32_t x, y;
    } want[] = {
        {VK_LBUTTON, true, 10, 20}, {VK_RBUTTON, true, 30, 40}, {VK_LBUTTON, false, 11, 21}};
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(sink.events[i].kind, Recorded::Button);
        EXPECT_EQ(sink.events[i].vk, want[i].vk);
        EXPECT_EQ(sink.events[i].down, want[i].down);
        EXPECT_EQ(sink.events[i].at.x, want[i].x);
        EXPECT_EQ(sink.events[i].at.y, want[i].y);
    }
    sink.events.clear();

    // Synthetic clicks press at once and reach the sink with the next pump, at the cursor.
    sdl->SetCursorPos({300, 200});
    sdl->MouseEvent(MOUSEEVENTF_LEFTDOWN | MOUSEEVENTF_LEFTUP, 0, 0);
    EXPECT_EQ(Table(VK_LBUTTON), 0x00);
    EXPECT_TRUE(sink.events.empty());
    Pump();
    size_t buttons = 0;
    for (const Recorded& r : sink.events) {
        if (r.kind != Recorded::Button) continue;
        EXPECT_EQ(r.at.x, 300);
        EXPECT_EQ(r.at.y, 200);
        EXPECT_EQ(r.down, buttons++ == 0);
    }
    EXPECT_EQ(buttons, 2u);
    sink.events.clear();

    // The close button and the session's quit both ask the game to close, once each.
    Window(SDL_WINDOWEVENT_CLOSE);
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    SDL_PushEvent(&quit);
    Pump();
    ASSERT_EQ(sink.events.size(), 2u);
    for (const Recorded& r : sink.events) {
        EXPECT_EQ(r.kind, Recorded::Close);
        EXPECT_EQ(r.mode, platform::UnloadMode::User);
    }
}

TEST_F(SdlBackendTest, CursorAndDesktop) {
    EXPECT_EQ(sdl->ShowCursor(false), -1);
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE);
    EXPECT_EQ(sdl->ShowCursor(false), -2);
    EXPECT_EQ(sdl->ShowCursor(true), -1);
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE);

    const struct {
        POINT set, read;
    } moves[] = {{{100, 200}, {100, 200}}, {{-5, 99999}, {0, 767}}, {{5000, 3}, {1023, 3}}};
    for (bool windowed : {false, true}) {
        // In the smaller window a screen pixel has no window point of its own; reading back
        // still gives the pixel the game put the cursor on.
        sdl->SetFullscreen(!windowed);
        for (const auto& m : moves) {
            sdl->SetCursorPos(m.set);
            Pump();
            const POINT at = sdl->CursorPos();
            EXPECT_EQ(at.x, m.read.x) << windowed;
            EXPECT_EQ(at.y, m.read.y) << windowed;
        }
    }

    // A box that cannot be shown answers No, and the hidden cursor stays hidden after it.
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    using platform::MessageBoxAnswer, platform::MessageBoxButtons;
    EXPECT_EQ(sdl->ShowMessageBox("Quadrix", "Sure?", MessageBoxButtons::YesNo),
              MessageBoxAnswer::No);
    EXPECT_EQ(sdl->ShowMessageBox("Quadrix", "Done.", MessageBoxButtons::OK), MessageBoxAnswer::OK);
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE);

    sdl->SetFullscreen(true);
    sdl->RestoreDesktop();
    EXPECT_FALSE(sdl->Fullscreen());
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_ENABLE);
    EXPECT_EQ(sdl->ShowCursor(false), -1);  // the counter starts again from shown
}

TEST_F(SdlBackendTest, VirtualCursorWhereThePointerCannotBeWarped) {
    platform::SdlOptions options;
    options.virtualCursor = true;
    Open(options);
    sdl->SetCursorPos({500, 400});
    ASSERT_EQ(sdl->ShowCursor(false), -1);  // from here on the cursor is ours
    const struct {
        int dx, dy;
        int32_t x, y;
    } moves[] = {{30, -10, 530, 390}, {5000, 0, 1023, 390}, {-2000, -2000, 0, 0}, {7, 9, 7, 9}};
    for (const auto& m : moves) {
        Motion(0, 0, m.dx, m.dy);  // the absolute position means nothing in relative mode
        Pump();
        ASSERT_FALSE(sink.events.empty());
        EXPECT_EQ(sink.events.back().kind, Recorded::Move);
        EXPECT_EQ(sink.events.back().at.x, m.x);
        EXPECT_EQ(sink.events.back().at.y, m.y);
        EXPECT_EQ(sdl->CursorPos().x, m.x);
        EXPECT_EQ(sdl->CursorPos().y, m.y);
    }
    sdl->SetCursorPos({512, 384});
    Button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 1, 1);
    Pump();
    EXPECT_EQ(sink.events.back().kind, Recorded::Button);
    EXPECT_EQ(sink.events.back().at.x, 512);
    EXPECT_EQ(sink.events.back().at.y, 384);
    EXPECT_EQ(sdl->ShowCursor(true), 0);
}

TEST_F(SdlBackendTest, FramesReachTheWindow) {
    const platform::ScreenSize size = sdl->Screen();
    Bitmap frame(size.width, size.height, false);
    for (int32_t y = 0; y < size.height; ++y) {
        for (int32_t x = 0; x < size.width; ++x)
            frame.row(y)[x] = x < size.width / 2 ? RGB(255, 0, 0) : RGB(0, 0, 255);
    }
    auto colour = [&](int x, int y) {
        SDL_Surface* s = SDL_GetWindowSurface(sdl->Window());
        uint32_t pixel = 0;
        std::memcpy(&pixel, static_cast<uint8_t*>(s->pixels) + y * s->pitch + x * 4, 4);
        uint8_t r = 0, g = 0, b = 0;
        SDL_GetRGB(pixel, s->format, &r, &g, &b);
        return RGB(r, g, b);
    };
    sdl->Present(frame);
    EXPECT_EQ(colour(0, 0), RGB(255, 0, 0));
    EXPECT_EQ(colour(size.width - 1, size.height - 1), RGB(0, 0, 255));

    // A window of another shape shows the whole frame between black bars.
    sdl->SetFullscreen(false);
    SDL_SetWindowSize(sdl->Window(), 400, 600);
    sdl->Present(frame);
    EXPECT_EQ(colour(0, 0), RGB(0, 0, 0));
    EXPECT_EQ(colour(399, 599), RGB(0, 0, 0));
    EXPECT_EQ(colour(0, 300), RGB(255, 0, 0));
    EXPECT_EQ(colour(399, 300), RGB(0, 0, 255));
}

TEST_F(SdlBackendTest, ControllerComesAndGoes) {
    JOYCAPSA caps;
    JOYINFOEX info;
    const auto plug = [] {
        const int index =
            SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, SDL_CONTROLLER_AXIS_MAX,
                                      SDL_CONTROLLER_BUTTON_MAX, 0);
        return index >= 0 ? SDL_JoystickOpen(index) : nullptr;
    };
    for (int round = 0; round < 2; ++round) {
        EXPECT_EQ(sdl->JoyCaps(0, caps), JOYERR_UNPLUGGED);
        EXPECT_EQ(sdl->JoyPos(0, info), JOYERR_UNPLUGGED);
        SDL_Joystick* stick = plug();
        ASSERT_NE(stick, nullptr) << SDL_GetError();
        Pump();
        ASSERT_EQ(sdl->JoyCaps(0, caps), JOYERR_NOERROR);
        EXPECT_NE(caps.wCaps & JOYCAPS_HASPOV, 0u);
        EXPECT_EQ(sdl->JoyCaps(1, caps), JOYERR_UNPLUGGED);
        EXPECT_EQ(sdl->JoyCaps(16, caps), MMSYSERR_BADDEVICEID);

        // The virtual device's mapping follows SDL's button and axis order.
        SDL_JoystickSetVirtualButton(stick, SDL_CONTROLLER_BUTTON_START, 1);
        SDL_JoystickSetVirtualButton(stick, SDL_CONTROLLER_BUTTON_DPAD_LEFT, 1);
        SDL_JoystickSetVirtualAxis(stick, SDL_CONTROLLER_AXIS_LEFTX, 32767);
        SDL_JoystickSetVirtualAxis(stick, SDL_CONTROLLER_AXIS_TRIGGERLEFT, -32768);
        SDL_JoystickSetVirtualAxis(stick, SDL_CONTROLLER_AXIS_TRIGGERRIGHT, -32768);
        Pump();
        info.dwSize = 64;
        info.dwFlags = JOY_RETURNALL;
        ASSERT_EQ(sdl->JoyPos(0, info), JOYERR_NOERROR);
        EXPECT_EQ(info.dwSize, 64u);
        EXPECT_EQ(info.dwButtons, 0x80u);
        EXPECT_EQ(info.dwPOV, 27000u);
        EXPECT_EQ(info.dwXpos, 65535u);
        EXPECT_EQ(info.dwZpos, 32767u);

        SDL_JoystickClose(stick);
        SDL_JoystickDetachVirtual(0);
        Pump();
    }
    EXPECT_EQ(sdl->JoyCaps(0, caps), JOYERR_UNPLUGGED);
}

}  // namespace
