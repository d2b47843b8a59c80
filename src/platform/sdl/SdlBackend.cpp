#include "platform/sdl/SdlBackend.h"

#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <utility>

#include "platform/Signals.h"
#include "platform/clock/SystemClock.h"
#include "platform/input/Cursor.h"
#include "platform/input/Keys.h"
#include "platform/sdl/SdlInput.h"
#include "platform/sdl/SdlPixels.h"
#include "platform/sdl/SdlSignals.h"
#include "platform/sdl/SdlVideo.h"

namespace platform {

namespace {
constexpr uint32_t kInitFlags = SDL_INIT_VIDEO;

// Start-up is measured to the first frame shown: with QUADRIX_FIRST_FRAME_STAMP set, the
// monotonic clock's reading once that frame is handed to the display goes to stderr.
void StampFirstFrame() {
    static bool stamped = false;
    if (stamped) return;
    stamped = true;
    if (std::getenv("QUADRIX_FIRST_FRAME_STAMP") == nullptr) return;
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    std::fprintf(stderr, "quadrix: first frame at %lld.%09ld\n", static_cast<long long>(now.tv_sec),
                 now.tv_nsec);
    std::fflush(stderr);
}

bool DriverIs(const char* name) {
    const char* driver = SDL_GetCurrentVideoDriver();
    return driver && std::strcmp(driver, name) == 0;
}
}  // namespace

SdlBackend::SdlBackend(const SdlOptions& options) {
    // Closing the window arrives once, as a window event, not again as SDL_QUIT.
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    // A message box or another window must not minimise the game.
    SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
    // SDL's plain frame buffer where our own X11 path cannot be had: through Mesa's software
    // GL a 1920x1080 frame cost several times more (bench/present_bench).
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    // Signals are the program's (platform/Signals.h), not turned into SDL_QUIT by SDL.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    sdl::InitVideo(kInitFlags);
    // A controller is welcome, never required.
    if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0)
        std::fprintf(stderr, "quadrix: no game controllers: %s\n", SDL_GetError());
    else
        controllers_ = true;

    SDL_DisplayMode desktop{};
    if (SDL_GetDesktopDisplayMode(0, &desktop) != 0) FailAndClose("cannot read the display mode");
    window_ = SDL_CreateWindow(
        options.caption.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, desktop.w,
        desktop.h, SDL_WINDOW_FULLSCREEN_DESKTOP | SDL_WINDOW_ALLOW_HIGHDPI | SDL_WINDOW_RESIZABLE);
    if (!window_) FailAndClose("cannot open the game window");
    if (!options.iconPath.empty()) {
        if (SDL_Surface* icon = SDL_LoadBMP(options.iconPath.c_str())) {
            SDL_SetColorKey(icon, SDL_TRUE, SDL_MapRGB(icon->format, 0, 255, 0));
            SDL_SetWindowIcon(window_, icon);
            SDL_FreeSurface(icon);
        }
    }
    int w = 0, h = 0;
    SDL_GetWindowSizeInPixels(window_, &w, &h);
    screen_ = w > 0 && h > 0 ? ScreenSize{w, h} : ScreenSize{desktop.w, desktop.h};

    virtualCursor_ = options.virtualCursor || DriverIs("wayland");
    globalPointer_ = DriverIs("x11");
    SDL_StopTextInput();
    pendingMouse_.reserve(16);
    if (controllers_) gamepad_.OpenFirst();
    if (options.sharedMemory) shared_ = sdl::ShmPresenter::Open(window_);
    if (options.windowed) SetFullscreen(false);
}

SdlBackend::~SdlBackend() {
    Shutdown();
}

void SdlBackend::FailAndClose(const char* what) {
    const std::string text = std::string(what) + ": " + SDL_GetError();  // before SDL forgets it
    Shutdown();
    throw SdlError(text);
}

void SdlBackend::Shutdown() {
    shots_.Finish();
    gamepad_.Close();
    shared_.reset();
    if (source_) SDL_FreeSurface(source_);
    source_ = nullptr;
    if (window_) SDL_DestroyWindow(window_);
    window_ = nullptr;
    if (controllers_) SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
    controllers_ = false;
    SDL_QuitSubSystem(kInitFlags);
}

std::unique_ptr<Backend> MakeSdlBackend(const SdlOptions& options) {
    return std::make_unique<SdlBackend>(options);
}

void SdlBackend::SetCaption(const std::string& caption) {
    SDL_SetWindowTitle(window_, caption.c_str());
}

void SdlBackend::SetFullscreen(bool fullscreen) {
    if (fullscreen == fullscreen_) return;
    fullscreen_ = fullscreen;
    motionCarry_[0] = motionCarry_[1] = 0;
    warped_ = false;
    if (fullscreen) {
        SDL_SetWindowFullscreen(window_, SDL_WINDOW_FULLSCREEN_DESKTOP);
        return;
    }
    SDL_SetWindowFullscreen(window_, 0);
    SDL_Rect bounds{};
    const int display = std::max(0, SDL_GetWindowDisplayIndex(window_));
    if (SDL_GetDisplayUsableBounds(display, &bounds) == 0 && bounds.w > 0 && bounds.h > 0) {
        SDL_SetWindowSize(window_, bounds.w * 3 / 4, bounds.h * 3 / 4);
        SDL_SetWindowPosition(window_, SDL_WINDOWPOS_CENTERED_DISPLAY(display),
                              SDL_WINDOWPOS_CENTERED_DISPLAY(display));
    }
}

uint32_t SdlBackend::Now() {
    return SystemNowMs();
}

void SdlBackend::Sleep(uint32_t ms) {
    SystemSleepMs(ms);
}

uint32_t SdlBackend::BeginPeriod(uint32_t) {
    return 0;  // the system's sleep is fine-grained already
}

void SdlBackend::GetKeys(uint8_t* table256) {
    keys_.Get(table256);
}

void SdlBackend::SetKeys(const uint8_t* table256) {
    keys_.Set(table256);
}

sdl::ViewGeometry SdlBackend::Geometry() const {
    sdl::ViewGeometry g;
    SDL_GetWindowSize(window_, &g.windowW, &g.windowH);
    SDL_GetWindowSizeInPixels(window_, &g.pixelW, &g.pixelH);
    g.screenW = screen_.width;
    g.screenH = screen_.height;
    return g;
}

bool SdlBackend::VirtualCursorActive() const {
    return virtualCursor_ && cursorCount_ < 0;
}

void SdlBackend::ApplyCursorMode() {
    const bool hidden = cursorCount_ < 0;
    SDL_ShowCursor(hidden ? SDL_DISABLE : SDL_ENABLE);
    if (virtualCursor_ && hidden != (SDL_GetRelativeMouseMode() == SDL_TRUE)) {
        if (hidden) cursor_ = PointerPos();
        SDL_SetRelativeMouseMode(hidden ? SDL_TRUE : SDL_FALSE);
    }
}

int SdlBackend::ShowCursor(bool show) {
    cursorCount_ += show ? 1 : -1;
    ApplyCursorMode();
    return cursorCount_;
}

POINT SdlBackend::CursorPos() {
    return VirtualCursorActive() ? cursor_ : PointerPos();
}

POINT SdlBackend::PointerPos() {
    int x = 0, y = 0;
    if (globalPointer_) {
        // The pointer where it is now, not where the last event we read left it.
        int wx = 0, wy = 0;
        SDL_GetGlobalMouseState(&x, &y);
        SDL_GetWindowPosition(window_, &wx, &wy);
        x -= wx;
        y -= wy;
    } else {
        SDL_GetMouseState(&x, &y);
    }
    // A scaled window cannot place the pointer on every screen pixel: while the pointer stays
    // where we put it, it reads as the pixel asked for.
    if (warped_ && x == warpedWindow_.x && y == warpedWindow_.y) return warpedScreen_;
    warped_ = false;
    return sdl::WindowToScreen(Geometry(), x, y);
}

void SdlBackend::MoveCursorTo(int32_t x, int32_t y) {
    cursor_.x = std::clamp(x, 0, std::max(0, screen_.width - 1));
    cursor_.y = std::clamp(y, 0, std::max(0, screen_.height - 1));
}

void SdlBackend::SetCursorPos(POINT at) {
    MoveCursorTo(at.x, at.y);
    if (VirtualCursorActive()) return;
    warpedScreen_ = cursor_;
    warpedWindow_ = sdl::ScreenToWindow(Geometry(), cursor_);
    warped_ = true;
    SDL_WarpMouseInWindow(window_, warpedWindow_.x, warpedWindow_.y);
}

void SdlBackend::MouseEvent(uint32_t flags, int32_t dx, int32_t dy) {
    if (flags & MOUSEEVENTF_MOVE) {
        const POINT at = CursorPos();
        SetCursorPos({at.x + dx, at.y + dy});
    }
    ApplyMouseButtons(flags, keys_, pendingMouse_);
}

MMRESULT SdlBackend::JoyCaps(uint32_t id, JOYCAPSA& caps) {
    return gamepad_.Caps(id, caps);
}

MMRESULT SdlBackend::JoyPos(uint32_t id, JOYINFOEX& info) {
    return gamepad_.Pos(id, info);
}

ScreenSize SdlBackend::Screen() {
    return screen_;
}

void SdlBackend::Present(const Bitmap& frame) {
    if (frame.monochrome || frame.width <= 0 || frame.height <= 0) return;
    shots_.Expect(static_cast<size_t>(frame.width) * frame.height);
    if (!(fullscreen_ && shared_ && PresentShared(frame))) PresentSurface(frame);
    StampFirstFrame();
}

bool SdlBackend::PresentShared(const Bitmap& frame) {
    int w = 0, h = 0;
    SDL_GetWindowSizeInPixels(window_, &w, &h);
    if (w != frame.width || h != frame.height) return false;
    int32_t pitch = 0;
    uint32_t* pixels = shared_->Begin(w, h, pitch);
    if (!pixels) {
        shared_.reset();  // SDL's frame buffer from now on
        return false;
    }
    sdl::CopyPixels(frame.pixels.data(), frame.width, pixels, pitch, w, h,
                    shared_->RedLow() ? sdl::PixelOrder::RedLow : sdl::PixelOrder::RedHigh);
    shared_->Show();
    shown_ = Shown::Shared;
    return true;
}

void SdlBackend::PresentSurface(const Bitmap& frame) {
    SDL_Surface* target = SDL_GetWindowSurface(window_);
    if (!target) return;  // minimised or being rebuilt: the next frame follows within a pass
    const uint32_t format = target->format->format;
    const bool redHigh = format == SDL_PIXELFORMAT_XRGB8888 || format == SDL_PIXELFORMAT_ARGB8888;
    const bool redLow = format == SDL_PIXELFORMAT_XBGR8888 || format == SDL_PIXELFORMAT_ABGR8888;
    if (target->w == frame.width && target->h == frame.height && (redHigh || redLow) &&
        SDL_LockSurface(target) == 0) {
        sdl::CopyPixels(frame.pixels.data(), frame.width, static_cast<uint32_t*>(target->pixels),
                        target->pitch / 4, frame.width, frame.height,
                        redLow ? sdl::PixelOrder::RedLow : sdl::PixelOrder::RedHigh);
        SDL_UnlockSurface(target);
        SDL_UpdateWindowSurface(window_);
        shown_ = Shown::Surface;
        shownWidth_ = frame.width;
        shownHeight_ = frame.height;
        return;
    }
    // Scaled into the window, or an unusual frame buffer: SDL converts. From a copy of our
    // own, which the screenshot key reads back (next to scaling, copying costs little).
    if (!source_ || source_->w != frame.width || source_->h != frame.height) {
        if (source_) SDL_FreeSurface(source_);
        source_ = SDL_CreateRGBSurfaceWithFormat(0, frame.width, frame.height, 32,
                                                 SDL_PIXELFORMAT_XBGR8888);
        if (!source_) return;
    }
    sdl::CopyPixels(frame.pixels.data(), frame.width, static_cast<uint32_t*>(source_->pixels),
                    source_->pitch / 4, frame.width, frame.height, sdl::PixelOrder::RedLow);
    shown_ = Shown::Scaled;
    sdl::ViewGeometry g = Geometry();
    g.pixelW = target->w;
    g.pixelH = target->h;
    const sdl::ViewRect r = sdl::Letterbox(g);
    const SDL_Rect bars[] = {{0, 0, target->w, r.y},
                             {0, r.y + r.h, target->w, target->h - r.y - r.h},
                             {0, r.y, r.x, r.h},
                             {r.x + r.w, r.y, target->w - r.x - r.w, r.h}};
    SDL_FillRects(target, bars, 4, SDL_MapRGB(target->format, 0, 0, 0));
    SDL_Rect into{r.x, r.y, r.w, r.h};
    SDL_BlitScaled(source_, nullptr, target, &into);
    SDL_UpdateWindowSurface(window_);
}

void SdlBackend::ShowAgain() {
    if (shown_ == Shown::Shared && shared_)
        shared_->ShowAgain();
    else if (shown_ != Shown::Shared && SDL_GetWindowSurface(window_))
        SDL_UpdateWindowSurface(window_);
}

void SdlBackend::TakeScreenshot() {
    sdl::Shot shot;
    const std::time_t now = std::time(nullptr);
    localtime_r(&now, &shot.when);
    const uint32_t* pixels = nullptr;
    int32_t pitch = 0;
    sdl::PixelOrder order = sdl::PixelOrder::RedLow;
    if (shown_ == Shown::Shared && shared_) {
        pixels = shared_->Shown(shot.width, shot.height, pitch);
        order = shared_->RedLow() ? sdl::PixelOrder::RedLow : sdl::PixelOrder::RedHigh;
    } else if (shown_ == Shown::Scaled && source_) {
        pixels = static_cast<const uint32_t*>(source_->pixels);
        shot.width = source_->w;
        shot.height = source_->h;
        pitch = source_->pitch / 4;
    } else if (shown_ == Shown::Surface) {
        // A window resized since has a new surface that holds no frame yet.
        SDL_Surface* s = SDL_GetWindowSurface(window_);
        if (s && s->w == shownWidth_ && s->h == shownHeight_) {
            pixels = static_cast<const uint32_t*>(s->pixels);
            shot.width = s->w;
            shot.height = s->h;
            pitch = s->pitch / 4;
            const uint32_t format = s->format->format;
            const bool redLow =
                format == SDL_PIXELFORMAT_XBGR8888 || format == SDL_PIXELFORMAT_ABGR8888;
            order = redLow ? sdl::PixelOrder::RedLow : sdl::PixelOrder::RedHigh;
        }
    }
    if (!pixels || shot.width <= 0 || shot.height <= 0) {
        std::fputs("quadrix: screenshot not taken: no frame on screen\n", stderr);
        return;
    }
    // Swapping red and blue back is the same swap: the copy the screen got, undone.
    shot.pixels = shots_.Buffer(static_cast<size_t>(shot.width) * shot.height);
    sdl::CopyPixels(pixels, pitch, shot.pixels.get(), shot.width, shot.width, shot.height, order);
    shots_.Take(std::move(shot));
}

void SdlBackend::PumpEvents(EventSink& sink) {
    // Handlers may add synthetic input while these run; that waits for the next pump.
    const size_t synthetic = pendingMouse_.size();
    if (synthetic > 0) {
        const POINT at = CursorPos();
        for (size_t i = 0; i < synthetic; ++i)
            sink.MouseButton(pendingMouse_[i].vk, pendingMouse_[i].down, at);
        pendingMouse_.erase(pendingMouse_.begin(),
                            pendingMouse_.begin() + static_cast<ptrdiff_t>(synthetic));
    }
    SDL_PumpEvents();
    SDL_Event event;
    while (SDL_PeepEvents(&event, 1, SDL_GETEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) > 0)
        Handle(event, sink);
    if (QuitRequested()) sink.QuitRequest();
}

void SdlBackend::ReleaseAll() {
    for (int vk = 1; vk < 256; ++vk) {
        if (keys_.Held(vk)) keys_.Release(vk);
    }
}

void SdlBackend::Handle(const SDL_Event& e, EventSink& sink) {
    switch (e.type) {
        case SDL_KEYDOWN:
            if (e.key.repeat) return;
            if (sdl::IsWindowToggle(e.key)) {
                SetFullscreen(!fullscreen_);
                return;
            }
            if (sdl::IsScreenshotKey(e.key)) {
                TakeScreenshot();
                return;
            }
            keys_.Press(sdl::VirtualKeyOf(e.key.keysym));
            return;
        case SDL_KEYUP:
            // Their presses never reached the table.
            if (sdl::IsWindowToggle(e.key) || sdl::IsScreenshotKey(e.key)) return;
            keys_.Release(sdl::VirtualKeyOf(e.key.keysym));
            return;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP: {
            const int vk = sdl::VirtualButtonOf(e.button.button);
            if (vk == 0) return;
            const bool down = e.type == SDL_MOUSEBUTTONDOWN;
            const POINT at = VirtualCursorActive()
                                 ? cursor_
                                 : sdl::WindowToScreen(Geometry(), e.button.x, e.button.y);
            if (down)
                keys_.Press(vk);
            else
                keys_.Release(vk);
            sink.MouseButton(vk, down, at);
            return;
        }
        case SDL_MOUSEMOTION:
            if (VirtualCursorActive()) {
                const POINT d =
                    sdl::MotionToScreen(Geometry(), e.motion.xrel, e.motion.yrel, motionCarry_);
                MoveCursorTo(cursor_.x + d.x, cursor_.y + d.y);
                sink.MouseMove(cursor_);
            } else {
                sink.MouseMove(sdl::WindowToScreen(Geometry(), e.motion.x, e.motion.y));
            }
            return;
        case SDL_QUIT:
            // The session ends (the window's close button comes as a window event).
            RequestQuit();
            return;
        case SDL_WINDOWEVENT:
            if (e.window.event == SDL_WINDOWEVENT_CLOSE) sink.CloseRequest("", UnloadMode::User);
            // An uncovered window shows its last frame again, as the old persistent images did.
            if (e.window.event == SDL_WINDOWEVENT_EXPOSED) ShowAgain();
            // Releases that happen in another window never reach us.
            if (e.window.event == SDL_WINDOWEVENT_FOCUS_LOST) ReleaseAll();
            return;
        case SDL_JOYDEVICEADDED:
            gamepad_.Added(e.jdevice.which);
            return;
        case SDL_CONTROLLERDEVICEADDED:
            gamepad_.Added(e.cdevice.which);
            return;
        case SDL_JOYDEVICEREMOVED:
            gamepad_.Removed(e.jdevice.which);
            return;
        default:
            return;
    }
}

bool SdlBackend::WaitEvents(uint32_t ms) {
    SDL_WaitEventTimeout(nullptr, static_cast<int>(std::min<uint32_t>(ms, INT32_MAX)));
    return true;
}

MessageBoxAnswer SdlBackend::ShowMessageBox(const std::string& title, const std::string& text,
                                            MessageBoxButtons buttons) {
    const bool yesNo = buttons == MessageBoxButtons::YesNo;
    // A box that would come up while the program ends is dismissed at once: No, or OK.
    if (QuitRequested()) return yesNo ? MessageBoxAnswer::No : MessageBoxAnswer::OK;
    // The box needs a visible pointer that moves freely.
    SDL_SetRelativeMouseMode(SDL_FALSE);
    SDL_SetWindowGrab(window_, SDL_FALSE);
    SDL_ShowCursor(SDL_ENABLE);
    const SDL_MessageBoxButtonData ok[] = {
        {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT | SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, 1,
         "OK"}};
    const SDL_MessageBoxButtonData yesNoButtons[] = {
        {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, 1, "Yes"},
        {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, 0, "No"}};
    const SDL_MessageBoxData box{SDL_MESSAGEBOX_INFORMATION | SDL_MESSAGEBOX_BUTTONS_LEFT_TO_RIGHT,
                                 window_,
                                 title.c_str(),
                                 text.c_str(),
                                 yesNo ? 2 : 1,
                                 yesNo ? yesNoButtons : ok,
                                 nullptr};
    int hit = -1;
    sdl::BoxDismisser dismisser;
    if (SDL_ShowMessageBox(&box, &hit) != 0 || dismisser.Dismissed() || QuitRequested()) {
        if (!dismisser.Dismissed() && !QuitRequested())
            std::fprintf(stderr, "quadrix: message box failed (%s): %s\n", SDL_GetError(),
                         text.c_str());
        hit = -1;
    }
    ApplyCursorMode();
    if (!yesNo) return MessageBoxAnswer::OK;
    // A box that could not be shown, or was closed, answers No: nothing is done unasked.
    return hit == 1 ? MessageBoxAnswer::Yes : MessageBoxAnswer::No;
}

void SdlBackend::RestoreDesktop() {
    if (cursorCount_ < 0) cursorCount_ = 0;
    if (!window_) return;
    SDL_SetRelativeMouseMode(SDL_FALSE);
    SDL_SetWindowGrab(window_, SDL_FALSE);
    SDL_ShowCursor(SDL_ENABLE);
    SetFullscreen(false);
}

}  // namespace platform
