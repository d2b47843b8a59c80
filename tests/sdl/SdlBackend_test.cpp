// The back end on SDL's dummy video driver: events pushed into SDL's queue reach the key table
// and the sink, frames reach the window's frame buffer, a virtual controller comes and goes.
#include "platform/sdl/SdlBackend.h"

#include <gtest/gtest.h>

#include <SDL.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

// Reads back the screenshots.
#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_STATIC
#define STBI_ONLY_PNG
#include <stb/stb_image.h>

#include "TempDir.h"
#include "platform/Signals.h"
#include "platform/frame/FrameScaler.h"
#include "platform/input/Cursor.h"
#include "platform/input/Keys.h"

std::string Where(POINT p) {
    return std::to_string(p.x) + "," + std::to_string(p.y);
}

// What reaches the game, one line an event: "left down 10,20", "move 7,9", "close".
struct RecordingSink : platform::EventSink {
    void MouseButton(int vk, bool down, POINT at) override {
        const std::string button = vk == VK_LBUTTON   ? "left"
                                   : vk == VK_RBUTTON ? "right"
                                   : vk == VK_MBUTTON ? "middle"
                                                      : std::to_string(vk);
        events.push_back(button + (down ? " down " : " up ") + Where(at));
    }
    void MouseMove(POINT at) override { events.push_back("move " + Where(at)); }
    void ClickControl(const std::string&) override {}
    void CloseRequest(const std::string& form, platform::UnloadMode mode) override {
        EXPECT_EQ(form, "");
        EXPECT_EQ(mode, platform::UnloadMode::User);
        events.push_back("close");
    }
    void QuitRequest() override { events.push_back("quit"); }
    std::vector<std::string> events;
};
using Events = std::vector<std::string>;

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
        Pumped();       // whatever SDL queued on opening
        sdl->Screen();  // the game asks at start-up, which fixes the size it plays at
    }

    // Queues an event for the game's window, which every window-bound event names in the same
    // place, after its type and time stamp.
    void Push(uint32_t type, const std::function<void(SDL_Event&)>& fill = {}) {
        SDL_Event e{};
        e.type = type;
        e.window.windowID = SDL_GetWindowID(sdl->Window());
        if (fill) fill(e);
        SDL_PushEvent(&e);
    }
    void Button(bool down, uint8_t button, int x, int y) {
        Push(down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP, [&](SDL_Event& e) {
            e.button.button = button;
            e.button.x = x;
            e.button.y = y;
        });
    }
    uint8_t Table(int vk) {
        uint8_t table[256];
        sdl->GetKeys(table);
        return table[vk];
    }
    // What a pump hands the sink, all of it or the lines that start as asked.
    Events Pumped(const std::string& only = "") {
        sdl->PumpEvents(sink);
        Events got;
        for (const std::string& line : sink.events)
            if (line.starts_with(only)) got.push_back(line);
        sink.events.clear();
        return got;
    }

    std::unique_ptr<platform::SdlBackend> sdl;
    RecordingSink sink;
};

TEST_F(SdlBackendTest, KeysReachTheTable) {
    // Down or up, the key, its modifiers, a repeat; then the table's byte for vk after the pump.
    const std::tuple<bool, SDL_Keycode, uint16_t, uint8_t, int, int> steps[] = {
        {true, SDLK_w, 0, 0, 'W', 0x81},
        {false, SDLK_w, 0, 0, 'W', 0x01},
        {true, SDLK_w, 0, 1, 'W', 0x01},  // a repeat: ignored
        // Alt+Enter switches the window and never reaches the game as Return.
        {true, SDLK_RETURN, KMOD_LALT, 0, VK_RETURN, 0x00},
        {false, SDLK_RETURN, KMOD_LALT, 0, VK_RETURN, 0x00},
        {true, SDLK_RETURN, 0, 0, VK_RETURN, 0x81},
        // F12 takes a screenshot (none here: nothing was shown yet) and never reaches the game.
        {true, SDLK_F12, 0, 0, 123, 0x00},
        {false, SDLK_F12, 0, 0, 123, 0x00},
    };
    for (const auto& [down, sym, mod, repeat, vk, entry] : steps) {
        Push(down ? SDL_KEYDOWN : SDL_KEYUP, [sym = sym, mod = mod, repeat = repeat](SDL_Event& e) {
            e.key.repeat = repeat;
            e.key.keysym = {SDL_GetScancodeFromKey(sym), sym, mod, 0};
        });
        EXPECT_EQ(Pumped(), Events{});
        EXPECT_EQ(Table(vk), entry) << "vk " << vk << " down " << down;
    }
    EXPECT_FALSE(sdl->Fullscreen());
    // The game's screen stays what it was.
    EXPECT_EQ(std::pair(sdl->Screen().width, sdl->Screen().height), std::pair(1024, 768));

    // Keys released in another window never come back as releases: focus lost lets go.
    Push(SDL_WINDOWEVENT, [](SDL_Event& e) { e.window.event = SDL_WINDOWEVENT_FOCUS_LOST; });
    EXPECT_EQ(Pumped(), Events{});
    EXPECT_EQ(Table(VK_RETURN), 0x01);
}

TEST_F(SdlBackendTest, MouseAndClose) {
    Button(true, SDL_BUTTON_LEFT, 10, 20);
    Button(true, SDL_BUTTON_RIGHT, 30, 40);
    Button(true, SDL_BUTTON_MIDDLE, 50, 60);
    Button(false, SDL_BUTTON_X1, 0, 0);  // no button of the game's
    Button(false, SDL_BUTTON_X2, 0, 0);
    Button(false, SDL_BUTTON_LEFT, 11, 21);
    EXPECT_EQ(Pumped(), (Events{"left down 10,20", "right down 30,40", "middle down 50,60",
                                "left up 11,21"}));
    EXPECT_EQ(Table(VK_LBUTTON), 0x01);
    EXPECT_EQ(Table(VK_RBUTTON), 0x81);

    // Synthetic clicks press at once and reach the sink with the next pump, at the cursor.
    sdl->SetCursorPos({300, 200});
    sdl->MouseEvent(MOUSEEVENTF_LEFTDOWN | MOUSEEVENTF_LEFTUP, 0, 0);
    EXPECT_EQ(Table(VK_LBUTTON), 0x00);
    EXPECT_TRUE(sink.events.empty());
    EXPECT_EQ(Pumped("left"), (Events{"left down 300,200", "left up 300,200"}));

    // The close button asks the game to close; the session's quit asks the program to end,
    // at every pump from then on.
    Push(SDL_WINDOWEVENT, [](SDL_Event& e) { e.window.event = SDL_WINDOWEVENT_CLOSE; });
    Push(SDL_QUIT);
    EXPECT_EQ(Pumped(), (Events{"close", "quit"}));
    EXPECT_EQ(Pumped(), (Events{"quit"}));
    platform::ForgetQuitRequest();
    EXPECT_EQ(Pumped(), Events{});
}

TEST_F(SdlBackendTest, CursorAndDesktop) {
    EXPECT_EQ(sdl->ShowCursor(false), -1);
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE);
    EXPECT_EQ(sdl->ShowCursor(false), -2);
    EXPECT_EQ(sdl->ShowCursor(true), -1);
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE);

    const std::pair<POINT, std::string> moves[] = {
        {{100, 200}, "100,200"}, {{-5, 99999}, "0,767"}, {{5000, 3}, "1023,3"}};
    for (bool windowed : {false, true}) {
        // In the smaller window a screen pixel has no window point of its own; reading back
        // still gives the pixel the game put the cursor on.
        sdl->SetFullscreen(!windowed);
        for (const auto& [set, read] : moves) {
            sdl->SetCursorPos(set);
            Pumped();
            EXPECT_EQ(Where(sdl->CursorPos()), read) << windowed;
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
    const std::pair<POINT, std::string> moves[] = {
        {{30, -10}, "530,390"}, {{5000, 0}, "1023,390"}, {{-2000, -2000}, "0,0"}, {{7, 9}, "7,9"}};
    for (const auto& [by, at] : moves) {
        // The absolute position means nothing in relative mode.
        Push(SDL_MOUSEMOTION, [by = by](SDL_Event& e) {
            e.motion.xrel = by.x;
            e.motion.yrel = by.y;
        });
        EXPECT_EQ(Pumped(), Events{"move " + at});
        EXPECT_EQ(Where(sdl->CursorPos()), at);
    }
    sdl->SetCursorPos({512, 384});
    Button(true, SDL_BUTTON_LEFT, 1, 1);
    EXPECT_EQ(Pumped("left"), Events{"left down 512,384"});
    EXPECT_EQ(sdl->ShowCursor(true), 0);
}

TEST_F(SdlBackendTest, FramesReachTheWindowAndTheScreenshots) {
    TempDir home;  // no user-dirs.dirs: ~/Pictures
    SavedEnv savedHome{"HOME"}, savedConfig{"XDG_CONFIG_HOME"};
    setenv("HOME", home.path().c_str(), 1);
    unsetenv("XDG_CONFIG_HOME");
    const platform::ScreenSize size = sdl->Screen();
    std::vector<std::vector<COLORREF>> shown;
    // The picture as the window shows it: the frame itself, or scaled without the bars.
    auto shoot = [&](uint32_t seed) {
        Bitmap frame(size.width, size.height, false);
        for (size_t i = 0; i < frame.pixels.size(); ++i)
            frame.pixels[i] = static_cast<COLORREF>((i * 2654435761u + seed) & 0xFFFFFF);
        const platform::FrameParts parts{&frame};
        sdl->Present(parts);
        const SDL_Surface* s = SDL_GetWindowSurface(sdl->Window());
        const int w = s->w, h = s->h;
        std::vector<COLORREF> window(static_cast<size_t>(w) * h), onWindow;
        platform::FrameScaler scaler;
        scaler.Draw(parts, window.data(), w, w, h, platform::PixelOrder::AsIs);
        for (int i = 0; i < w * h; ++i) {
            uint8_t r = 0, g = 0, b = 0;
            SDL_GetRGB(static_cast<const uint32_t*>(s->pixels)[i / w * s->pitch / 4 + i % w],
                       s->format, &r, &g, &b);
            onWindow.push_back(RGB(r, g, b));
        }
        EXPECT_TRUE(onWindow == window) << "the frame as the window shows it, bars and all";
        const platform::FitRect r =
            w == size.width && h == size.height ? platform::FitRect{0, 0, w, h} : scaler.Placed();
        std::vector<COLORREF>& picture = shown.emplace_back();
        for (int y = r.y; y < r.y + r.h; ++y)
            picture.insert(picture.end(), window.begin() + y * w + r.x,
                           window.begin() + y * w + r.x + r.w);
        for (bool down : {true, false}) {
            Push(down ? SDL_KEYDOWN : SDL_KEYUP, [](SDL_Event& e) {
                e.key.keysym = {SDL_SCANCODE_F12, SDLK_F12, 0, 0};
            });
        }
        EXPECT_EQ(Pumped(), Events{});
        EXPECT_EQ(Table(123), 0x00);
    };
    shoot(1);  // straight into the window's frame buffer
    sdl->SetFullscreen(false);
    SDL_SetWindowSize(sdl->Window(), 400, 600);
    shoot(2);     // scaled into the window
    sdl.reset();  // waits for the pictures

    std::vector<std::vector<COLORREF>> saved;
    for (const auto& entry : std::filesystem::directory_iterator(home.File("Pictures"))) {
        const std::string name = entry.path().filename().string();
        EXPECT_TRUE(name.starts_with("Quadrix ") && name.ends_with(".png")) << name;
        int w = 0, h = 0, channels = 0;
        stbi_uc* png = stbi_load(entry.path().c_str(), &w, &h, &channels, 3);
        ASSERT_NE(png, nullptr) << stbi_failure_reason();
        std::vector<COLORREF>& pixels = saved.emplace_back();
        for (size_t i = 0; i < static_cast<size_t>(w) * h; ++i)
            pixels.push_back(RGB(png[3 * i], png[3 * i + 1], png[3 * i + 2]));
        stbi_image_free(png);
    }
    std::sort(shown.begin(), shown.end());
    std::sort(saved.begin(), saved.end());
    EXPECT_TRUE(saved == shown) << saved.size() << " pictures";
}

TEST_F(SdlBackendTest, ControllerComesAndGoes) {
    JOYCAPSA caps;
    JOYINFOEX info;
    for (int round = 0; round < 2; ++round) {
        EXPECT_EQ(sdl->JoyCaps(0, caps), JOYERR_UNPLUGGED);
        EXPECT_EQ(sdl->JoyPos(0, info), JOYERR_UNPLUGGED);
        const int index =
            SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, SDL_CONTROLLER_AXIS_MAX,
                                      SDL_CONTROLLER_BUTTON_MAX, 0);
        SDL_Joystick* stick = index >= 0 ? SDL_JoystickOpen(index) : nullptr;
        ASSERT_NE(stick, nullptr) << SDL_GetError();
        Pumped();
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
        Pumped();
        info.dwSize = 64;
        info.dwFlags = JOY_RETURNALL;
        ASSERT_EQ(sdl->JoyPos(0, info), JOYERR_NOERROR);
        EXPECT_EQ((std::array{info.dwSize, info.dwButtons, info.dwPOV, info.dwXpos, info.dwZpos}),
                  (std::array{64u, 0x80u, 27000u, 65535u, 32767u}));

        SDL_JoystickClose(stick);
        SDL_JoystickDetachVirtual(0);
        Pumped();
    }
    EXPECT_EQ(sdl->JoyCaps(0, caps), JOYERR_UNPLUGGED);
}
