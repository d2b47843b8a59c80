#include "platform/web/WebBackend.h"

#include <algorithm>
#include <cstdio>

#include "platform/Signals.h"
#include "platform/clock/SystemClock.h"
#include "platform/input/Keys.h"
#include "platform/input/PadMap.h"
#include "platform/web/WebInput.h"
#include "platform/web/WebPage.h"

namespace platform {

namespace {
// What qx_web_next_event reports in event[0].
enum EventKind : int32_t {
    kKeyDown = 1,
    kKeyUp = 2,
    kButtonDown = 3,  // event[1]: the virtual button, event[2], event[3]: where, in screen pixels
    kButtonUp = 4,
    kMoveTo = 5,  // the shown pointer, in screen pixels
    kMoveBy = 6,  // the hidden pointer's movement, in screen pixels
    kBlur = 7,    // the page lost the keyboard: its releases will not come
};
constexpr uint32_t kJoystickSlots = 16;  // ids the old driver knew; beyond that: bad id
constexpr int kMaxAxes = 8, kMaxButtons = 32;
}  // namespace

WebBackend::WebBackend() {
    qx_web_init();
    qx_web_screen(&screen_.width, &screen_.height);
    pendingMouse_.reserve(16);
}

uint32_t WebBackend::Now() {
    return SystemNowMs();
}

void WebBackend::Yield(uint32_t ms) {
    qx_web_sleep(ms);
    yielded_ = true;
}

// The page cannot block: a wait hands it to the browser, which paints and takes input meanwhile.
void WebBackend::Sleep(uint32_t ms) {
    Yield(ms);
}

uint32_t WebBackend::BeginPeriod(uint32_t) {
    return 0;
}

void WebBackend::GetKeys(uint8_t* table256) {
    keys_.Get(table256);
}

void WebBackend::SetKeys(const uint8_t* table256) {
    keys_.Set(table256);
}

int WebBackend::ShowCursor(bool show) {
    const bool wasHidden = cursorCount_ < 0;
    cursorCount_ += show ? 1 : -1;
    if (wasHidden != (cursorCount_ < 0)) qx_web_cursor(cursorCount_ < 0 ? 1 : 0);
    return cursorCount_;
}

// The browser cannot move the pointer: the cursor the game reads is ours, following the
// pointer while it shows and its movements while it is hidden, as relative mode on the desktop.
POINT WebBackend::CursorPos() {
    return cursor_;
}

void WebBackend::MoveCursorTo(int32_t x, int32_t y) {
    cursor_ = OnScreen(x, y, screen_);
}

void WebBackend::SetCursorPos(POINT at) {
    MoveCursorTo(at.x, at.y);
}

void WebBackend::MouseEvent(uint32_t flags, int32_t dx, int32_t dy) {
    if (flags & MOUSEEVENTF_MOVE) MoveCursorTo(cursor_.x + dx, cursor_.y + dy);
    ApplyMouseButtons(flags, keys_, pendingMouse_);
}

MMRESULT WebBackend::ReadGamepad(uint32_t id, JOYCAPSA* caps, JOYINFOEX* info) {
    if (id >= kJoystickSlots) return MMSYSERR_BADDEVICEID;
    if (id != 0) return JOYERR_UNPLUGGED;
    double axes[kMaxAxes], buttons[kMaxButtons];
    int32_t numAxes = kMaxAxes, numButtons = kMaxButtons;
    char name[32] = {};
    const int kind = qx_web_gamepad(axes, &numAxes, buttons, &numButtons, name, sizeof name);
    if (kind == 0) return JOYERR_UNPLUGGED;
    const web::GamepadReading pad{kind == 1, numAxes, numButtons, axes, buttons};
    if (pad.standard) {
        if (caps) *caps = PadCaps(name);
        if (info) *info = PadReport(web::PadOfStandard(pad));
    } else {
        const StickState stick = web::StickOfGamepad(pad);
        if (caps) *caps = StickCaps(name, stick);
        if (info) *info = StickReport(stick);
    }
    return JOYERR_NOERROR;
}

MMRESULT WebBackend::JoyCaps(uint32_t id, JOYCAPSA& caps) {
    return ReadGamepad(id, &caps, nullptr);
}

MMRESULT WebBackend::JoyPos(uint32_t id, JOYINFOEX& info) {
    const uint32_t size = info.dwSize, flags = info.dwFlags;
    const MMRESULT r = ReadGamepad(id, nullptr, &info);
    info.dwSize = size;
    info.dwFlags = flags;
    return r;
}

ScreenSize WebBackend::Screen() {
    // The page's size when the game first asks; the canvas keeps it after, scaled to fit.
    if (!screenAsked_) qx_web_screen(&screen_.width, &screen_.height);
    screenAsked_ = true;
    return screen_;
}

void WebBackend::Present(const FrameParts& parts) {
    if (parts.Empty()) return;
    const size_t size = static_cast<size_t>(parts.Width()) * parts.Height();
    if (rgba_.size() != size) rgba_.resize(size);
    ConvertFrame(parts, rgba_.data(), parts.Width(), PixelOrder::Rgba);
    qx_web_present(rgba_.data(), parts.Width(), parts.Height());
    yielded_ = false;
}

void WebBackend::PumpEvents(EventSink& sink) {
    // A loop that never waits (a slow machine, a long pass) still lets the browser show its
    // frame and deliver input once a pass.
    if (!yielded_) Yield(0);
    yielded_ = false;
    const size_t synthetic = pendingMouse_.size();
    for (size_t i = 0; i < synthetic; ++i)
        sink.MouseButton(pendingMouse_[i].vk, pendingMouse_[i].down, cursor_);
    pendingMouse_.erase(pendingMouse_.begin(),
                        pendingMouse_.begin() + static_cast<ptrdiff_t>(synthetic));
    int32_t e[4];
    char code[32];
    while (qx_web_next_event(e, code, sizeof code)) {
        switch (e[0]) {
            case kKeyDown:
            case kKeyUp:
                if (const int vk = web::VirtualKeyOfCode(code)) {
                    if (e[0] == kKeyDown)
                        keys_.Press(vk);
                    else
                        keys_.Release(vk);
                }
                break;
            case kButtonDown:
            case kButtonUp: {
                const bool down = e[0] == kButtonDown;
                if (cursorCount_ >= 0) MoveCursorTo(e[2], e[3]);
                if (down)
                    keys_.Press(e[1]);
                else
                    keys_.Release(e[1]);
                sink.MouseButton(e[1], down, cursor_);
                break;
            }
            case kMoveTo:
                MoveCursorTo(e[1], e[2]);
                sink.MouseMove(cursor_);
                break;
            case kMoveBy:
                MoveCursorTo(cursor_.x + e[1], cursor_.y + e[2]);
                sink.MouseMove(cursor_);
                break;
            case kBlur:
                for (int vk = 1; vk < 256; ++vk) {
                    if (keys_.Held(vk)) keys_.Release(vk);
                }
                break;
            default:
                break;
        }
    }
    if (pumpHook_) pumpHook_();
    if (QuitRequested()) sink.QuitRequest();
}

bool WebBackend::WaitEvents(uint32_t ms) {
    Yield(std::min<uint32_t>(ms, 10));
    return true;
}

MessageBoxAnswer WebBackend::ShowMessageBox(const std::string& title, const std::string& text,
                                            MessageBoxButtons buttons) {
    const bool yesNo = buttons == MessageBoxButtons::YesNo;
    qx_web_box_open(title.c_str(), text.c_str(), yesNo ? 1 : 0);
    // Modal: the program waits here while the page takes the answer.
    int answer = -1;
    while ((answer = qx_web_box_answer()) < 0)
        Yield(10);
    if (!yesNo) return MessageBoxAnswer::OK;
    return answer == 1 ? MessageBoxAnswer::Yes : MessageBoxAnswer::No;
}

void WebBackend::RestoreDesktop() {
    if (cursorCount_ < 0) {
        cursorCount_ = 0;
        qx_web_cursor(0);
    }
}

}  // namespace platform
