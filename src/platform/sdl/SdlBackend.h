// The real back end: one full-screen-desktop SDL2 window at the display's pixel size, frames
// through X11 shared memory or SDL's window surface, keyboard, mouse and the first game
// controller.
#pragma once

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/Backend.h"
#include "platform/frame/FrameScaler.h"
#include "platform/input/Cursor.h"
#include "platform/input/KeyTable.h"
#include "platform/sdl/SdlJoystick.h"
#include "platform/sdl/SdlRowHelper.h"
#include "platform/sdl/SdlScreenshot.h"
#include "platform/sdl/SdlView.h"
#include "platform/sdl/SdlX11.h"

namespace platform {

// SDL could not give us what the game needs (no display, say); the text is SDL's.
class SdlError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

struct SdlOptions {
    // Start in a window of a common size that fits the desktop, played at that size.
    bool windowed = false;
    std::string caption = "Quadrix";
    // A BMP whose pure green (0, 255, 0) is transparent; empty or unreadable: no icon.
    std::string iconPath;
    // Full-screen frames through the X server's shared memory where it has some.
    bool sharedMemory = true;
    // Keep the hidden cursor ourselves, moved by relative motion. Chosen anyway where the
    // pointer cannot be warped (Wayland).
    bool virtualCursor = false;
};

class SdlBackend : public Backend {
  public:
    // Throws SdlError when no window can be opened.
    explicit SdlBackend(const SdlOptions& options);
    ~SdlBackend() override;
    SdlBackend(const SdlBackend&) = delete;
    SdlBackend& operator=(const SdlBackend&) = delete;

    void SetCaption(const std::string& caption);
    // Full screen, or a window of a common size that fits the desktop. Once the game has
    // asked for its screen's size, that size stays and frames are scaled to fit.
    void SetFullscreen(bool fullscreen);
    bool Fullscreen() const { return fullscreen_; }
    SDL_Window* Window() const { return window_; }

    // Backend.
    uint32_t Now() override;
    void Sleep(uint32_t ms) override;
    uint32_t BeginPeriod(uint32_t ms) override;
    void GetKeys(uint8_t* table256) override;
    void SetKeys(const uint8_t* table256) override;
    int ShowCursor(bool show) override;
    POINT CursorPos() override;
    void SetCursorPos(POINT at) override;
    void MouseEvent(uint32_t flags, int32_t dx, int32_t dy) override;
    MMRESULT JoyCaps(uint32_t id, JOYCAPSA& caps) override;
    MMRESULT JoyPos(uint32_t id, JOYINFOEX& info) override;
    ScreenSize Screen() override;
    void Present(const FrameParts& parts) override;
    void PumpEvents(EventSink& sink) override;
    bool WaitEvents(uint32_t ms) override;
    MessageBoxAnswer ShowMessageBox(const std::string& title, const std::string& text,
                                    MessageBoxButtons buttons) override;
    void RestoreDesktop() override;

  private:
    void Shutdown();
    [[noreturn]] void FailAndClose(const char* what);
    bool PresentShared(const FrameParts& parts, const FrameParts& before);
    void PresentSurface(const FrameParts& parts);
    // The frame into a display image of w x h pixels, scaled where the sizes differ.
    void Draw(const FrameParts& parts, uint32_t* pixels, int32_t pitch, int32_t w, int32_t h,
              PixelOrder order);
    // Scaled, by two threads where there are two; then handed on by show where it is set.
    void DrawScaled(const FrameParts& parts, uint32_t* pixels, int32_t pitch, int32_t w, int32_t h,
                    PixelOrder order, sdl::ShmPresenter* show);
    // A box of the shared image to the X server, sent by the helper: the server's copy then
    // runs beside the game, not in its way.
    void ShowShared(const ChangedBox& box);
    // The game's screen is the window until the game asks for its size.
    void FollowWindow();
    void ShowAgain();
    // Copies the frame last shown and hands it to the writer.
    void TakeScreenshot();
    void Handle(const SDL_Event& event, EventSink& sink);
    void ApplyCursorMode();
    bool VirtualCursorActive() const;
    // Where the system's pointer is, as a screen pixel.
    POINT PointerPos();
    void MoveCursorTo(int32_t x, int32_t y);
    sdl::ViewGeometry Geometry() const;
    void ReleaseAll();

    SDL_Window* window_ = nullptr;
    SDL_Surface* converted_ = nullptr;  // the frame for SDL to convert into an odd frame buffer
    std::unique_ptr<sdl::ShmPresenter> shared_;
    FrameScaler scaler_;
    // A frame being scaled, and the box of the shared image to send after.
    struct FrameJob final : sdl::RowHelper::Job {
        void Rows(int32_t top, int32_t bottom, int lane) override;
        void Then() override;
        const FrameScaler* scaler = nullptr;
        FrameParts parts;
        uint32_t* pixels = nullptr;
        int32_t pitch = 0, width = 0;
        PixelOrder order = PixelOrder::AsIs;
        sdl::ShmPresenter* show = nullptr;  // sends where set
        ChangedBox showBox;
        FrameScaler::Scratch scratch[2];
    } frame_;
    // Where the frame on screen came through, and so where its pixels are read back from.
    enum class Shown { Nothing, Shared, Surface, Converted } shown_ = Shown::Nothing;
    int32_t shownWidth_ = 0, shownHeight_ = 0;  // of a frame shown through the surface
    FitRect placed_;                            // where in the window the last frame went
    FrameParts updated_;  // the frame last updated one to one into the shared image, if it was last
    bool controllers_ = false;
    ScreenSize screen_{};
    ScreenSize desktop_{};
    bool screenAsked_ = false;
    bool fullscreen_ = true;
    // Where the pointer cannot be warped (Wayland) the hidden cursor is ours, moved by
    // relative motion.
    bool virtualCursor_ = false;
    bool globalPointer_ = false;  // the system tells where the pointer is now (X11)
    double motionCarry_[2] = {};

    KeyTable keys_;
    int cursorCount_ = 0;
    POINT cursor_{};  // the virtual cursor
    bool warped_ = false;
    POINT warpedScreen_{};  // our last warp, asked for and as it landed in the window
    POINT warpedWindow_{};

    std::vector<MouseButtonChange> pendingMouse_;
    sdl::Gamepad gamepad_;
    sdl::ShotWriter shots_;
    // Last: stopped first, while the shared image it may still be sending exists.
    sdl::RowHelper helper_;
};

// The factory the game program installs with InstallBackend.
std::unique_ptr<Backend> MakeSdlBackend(const SdlOptions& options);

}  // namespace platform
