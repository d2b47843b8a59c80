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

// A window of a common size that fits on the desktop with room for its frame, so it shows
// whole with or without a window manager: 1600x900 on a 1920x1080 desktop. The title lays out
// any size from 800x600 up; a desktop smaller than that gets all of itself.
SDL_Point WindowedSize(SDL_Window* window, int desktopW, int desktopH) {
    SDL_Rect bounds{0, 0, desktopW, desktopH};
    const int display = window ? std::max(0, SDL_GetWindowDisplayIndex(window)) : 0;
    if (SDL_GetDisplayUsableBounds(display, &bounds) != 0 || bounds.w <= 0 || bounds.h <= 0)
        bounds = SDL_Rect{0, 0, desktopW, desktopH};
    static constexpr SDL_Point kSizes[] = {{2560, 1440}, {1920, 1080}, {1600, 900}, {1366, 768},
                                           {1280, 720},  {1024, 768},  {800, 600}};
    for (const SDL_Point& size : kSizes) {
        if (size.x < bounds.w && size.y < bounds.h) return size;
    }
    return {std::max(1, bounds.w), std::max(1, bounds.h)};
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
    desktop_ = ScreenSize{desktop.w, desktop.h};
    // A window from the start, never full screen first: the game plays at its size.
    fullscreen_ = !options.windowed;
    const SDL_Point size =
        fullscreen_ ? SDL_Point{desktop.w, desktop.h} : WindowedSize(nullptr, desktop.w, desktop.h);
    window_ = SDL_CreateWindow(options.caption.c_str(), SDL_WINDOWPOS_CENTERED,
                               SDL_WINDOWPOS_CENTERED, size.x, size.y,
                               (fullscreen_ ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0) |
                                   SDL_WINDOW_ALLOW_HIGHDPI | SDL_WINDOW_RESIZABLE);
    if (!window_) FailAndClose("cannot open the game window");
    if (!options.iconPath.empty()) {
        if (SDL_Surface* icon = SDL_LoadBMP(options.iconPath.c_str())) {
            SDL_SetColorKey(icon, SDL_TRUE, SDL_MapRGB(icon->format, 0, 255, 0));
            SDL_SetWindowIcon(window_, icon);
            SDL_FreeSurface(icon);
        }
    }
    FollowWindow();

    virtualCursor_ = options.virtualCursor || DriverIs("wayland");
    globalPointer_ = DriverIs("x11");
    SDL_StopTextInput();
    pendingMouse_.reserve(16);
    if (controllers_) gamepad_.OpenFirst();
    if (options.sharedMemory) shared_ = sdl::ShmPresenter::Open(window_);
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
    helper_.Finish();  // a frame still being sent needs the shared image
    shared_.reset();
    if (converted_) SDL_FreeSurface(converted_);
    converted_ = nullptr;
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
        sdl::CoverDisplayWithoutManager(window_);
    } else {
        SDL_SetWindowFullscreen(window_, 0);
        const SDL_Point size = WindowedSize(window_, desktop_.width, desktop_.height);
        const int display = std::max(0, SDL_GetWindowDisplayIndex(window_));
        SDL_SetWindowSize(window_, size.x, size.y);
        SDL_SetWindowPosition(window_, SDL_WINDOWPOS_CENTERED_DISPLAY(display),
                              SDL_WINDOWPOS_CENTERED_DISPLAY(display));
    }
    FollowWindow();
}

void SdlBackend::FollowWindow() {
    // Until the game has asked for its screen's size, that size is the window's.
    if (screenAsked_) return;
    int w = 0, h = 0;
    SDL_GetWindowSizeInPixels(window_, &w, &h);
    screen_ = w > 0 && h > 0 ? ScreenSize{w, h} : desktop_;
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
    cursor_ = OnScreen(x, y, screen_);
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
    screenAsked_ = true;
    return screen_;
}

void SdlBackend::Present(const FrameParts& parts) {
    if (parts.Empty()) return;
    helper_.Finish();  // the last frame is on its way before this one takes an image
    const FrameParts before = updated_;
    updated_ = FrameParts{};
    if (!(shared_ && PresentShared(parts, before))) PresentSurface(parts);
    StampFirstFrame();
}

void SdlBackend::Draw(const FrameParts& parts, uint32_t* pixels, int32_t pitch, int32_t w,
                      int32_t h, PixelOrder order) {
    if (w == parts.Width() && h == parts.Height()) {
        ConvertFrame(parts, pixels, pitch, order);
        placed_ = FitRect{0, 0, w, h};
    } else {
        DrawScaled(parts, pixels, pitch, w, h, order, nullptr);
    }
}

void SdlBackend::DrawScaled(const FrameParts& parts, uint32_t* pixels, int32_t pitch, int32_t w,
                            int32_t h, PixelOrder order, sdl::ShmPresenter* show) {
    scaler_.Prepare(parts, w, h);
    placed_ = scaler_.Placed();
    frame_.scaler = &scaler_;
    frame_.parts = parts;
    frame_.pixels = pixels;
    frame_.pitch = pitch;
    frame_.width = w;
    frame_.order = order;
    frame_.show = show;
    frame_.showBox = ChangedBox{0, 0, w, h};
    helper_.Run(frame_, h);
}

void SdlBackend::ShowShared(const ChangedBox& box) {
    // Nothing to send needs no helper.
    if (box.Empty()) return shared_->Show(0, 0, 0, 0);
    frame_.show = shared_.get();
    frame_.showBox = box;
    helper_.Hand(frame_);
}

void SdlBackend::FrameJob::Rows(int32_t top, int32_t bottom, int lane) {
    scaler->DrawRows(parts, pixels, pitch, width, top, bottom, order, scratch[lane]);
}

void SdlBackend::FrameJob::Then() {
    if (show) show->Show(showBox.left, showBox.top, showBox.right, showBox.bottom);
}

bool SdlBackend::PresentShared(const FrameParts& parts, const FrameParts& before) {
    int w = 0, h = 0;
    SDL_GetWindowSizeInPixels(window_, &w, &h);
    if (w <= 0 || h <= 0) return true;  // minimised: nothing to draw into
    int32_t pitch = 0;
    uint32_t* pixels = shared_->Begin(w, h, pitch);
    if (!pixels) {
        shared_.reset();  // SDL's frame buffer from now on
        return false;
    }
    const PixelOrder order = shared_->RedLow() ? PixelOrder::RedLow : PixelOrder::RedHigh;
    if (w == parts.Width() && h == parts.Height()) {
        // The image holds an earlier frame: only what differs from it is written, which in a
        // game is a small part, and on the title nothing. Where it holds the frame on screen,
        // only the box around what changed is sent; where that frame had the same base, the
        // playfield alone is looked at.
        const bool holdsShown = shared_->HoldsShown();
        FrameParts update = parts;
        update.baseAsLast = parts.baseAsLast && holdsShown && SameLayout(parts, before);
        const ChangedBox changed = UpdateFrame(update, pixels, pitch, order);
        updated_ = parts;
        placed_ = FitRect{0, 0, w, h};
        ShowShared(holdsShown ? changed : ChangedBox{0, 0, w, h});
    } else {
        DrawScaled(parts, pixels, pitch, w, h, order, shared_.get());
    }
    shown_ = Shown::Shared;
    return true;
}

void SdlBackend::PresentSurface(const FrameParts& parts) {
    SDL_Surface* target = SDL_GetWindowSurface(window_);
    if (!target) return;  // minimised or being rebuilt: the next frame follows within a pass
    const uint32_t format = target->format->format;
    const bool redHigh = format == SDL_PIXELFORMAT_XRGB8888 || format == SDL_PIXELFORMAT_ARGB8888;
    const bool redLow = format == SDL_PIXELFORMAT_XBGR8888 || format == SDL_PIXELFORMAT_ABGR8888;
    if ((redHigh || redLow) && SDL_LockSurface(target) == 0) {
        Draw(parts, static_cast<uint32_t*>(target->pixels), target->pitch / 4, target->w, target->h,
             redLow ? PixelOrder::RedLow : PixelOrder::RedHigh);
        SDL_UnlockSurface(target);
        SDL_UpdateWindowSurface(window_);
        shown_ = Shown::Surface;
        shownWidth_ = target->w;
        shownHeight_ = target->h;
        return;
    }
    // An unusual frame buffer: SDL converts, from a picture of our own at the window's size.
    if (!converted_ || converted_->w != target->w || converted_->h != target->h) {
        if (converted_) SDL_FreeSurface(converted_);
        converted_ =
            SDL_CreateRGBSurfaceWithFormat(0, target->w, target->h, 32, SDL_PIXELFORMAT_XBGR8888);
        if (!converted_) return;
    }
    Draw(parts, static_cast<uint32_t*>(converted_->pixels), converted_->pitch / 4, target->w,
         target->h, PixelOrder::RedLow);
    SDL_BlitSurface(converted_, nullptr, target, nullptr);
    SDL_UpdateWindowSurface(window_);
    shown_ = Shown::Converted;
}

void SdlBackend::ShowAgain() {
    helper_.Finish();
    if (shown_ == Shown::Shared && shared_)
        shared_->ShowAgain();
    else if (shown_ != Shown::Shared && SDL_GetWindowSurface(window_))
        SDL_UpdateWindowSurface(window_);
}

void SdlBackend::TakeScreenshot() {
    helper_.Finish();
    sdl::Shot shot;
    const std::time_t now = std::time(nullptr);
    localtime_r(&now, &shot.when);
    const uint32_t* pixels = nullptr;
    int32_t pitch = 0, width = 0, height = 0;
    PixelOrder order = PixelOrder::RedLow;
    if (shown_ == Shown::Shared && shared_) {
        pixels = shared_->Shown(width, height, pitch);
        order = shared_->RedLow() ? PixelOrder::RedLow : PixelOrder::RedHigh;
    } else if (shown_ == Shown::Converted && converted_) {
        pixels = static_cast<const uint32_t*>(converted_->pixels);
        width = converted_->w;
        height = converted_->h;
        pitch = converted_->pitch / 4;
    } else if (shown_ == Shown::Surface) {
        // A window resized since has a new surface that holds no frame yet.
        SDL_Surface* s = SDL_GetWindowSurface(window_);
        if (s && s->w == shownWidth_ && s->h == shownHeight_) {
            pixels = static_cast<const uint32_t*>(s->pixels);
            width = s->w;
            height = s->h;
            pitch = s->pitch / 4;
            const uint32_t format = s->format->format;
            const bool redLow =
                format == SDL_PIXELFORMAT_XBGR8888 || format == SDL_PIXELFORMAT_ABGR8888;
            order = redLow ? PixelOrder::RedLow : PixelOrder::RedHigh;
        }
    }
    // The picture as shown, without the bars around a scaled one.
    const FitRect r = placed_;
    if (!pixels || r.w <= 0 || r.h <= 0 || r.x + r.w > width || r.y + r.h > height) {
        std::fputs("quadrix: screenshot not taken: no frame on screen\n", stderr);
        return;
    }
    shot.width = r.w;
    shot.height = r.h;
    // Swapping red and blue back is the same swap: the copy the screen got, undone.
    // Not filled with zeros: the copy below writes every pixel.
    shot.pixels =
        std::make_unique_for_overwrite<uint32_t[]>(static_cast<size_t>(shot.width) * shot.height);
    CopyPixels(pixels + int64_t{r.y} * pitch + r.x, pitch, shot.pixels.get(), shot.width,
               shot.width, shot.height, order);
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
