#include "platform/headless/Headless.h"

#include <algorithm>
#include <cstdio>

#include "platform/Signals.h"
#include "platform/headless/FrameFile.h"
#include "platform/input/Cursor.h"
#include "platform/input/Keys.h"

namespace platform {

namespace {
constexpr uint32_t kJoystickSlots = 16;  // ids the old driver knew; beyond that: bad id
}

Headless::Headless() = default;

void Headless::AdvanceMicroseconds(uint64_t us) {
    elapsedUs_ += us;
    clockUs_ += us;
}

uint32_t Headless::Now() {
    AdvanceMicroseconds(readStepUs_);
    return static_cast<uint32_t>(clockUs_ / 1000);
}

// As the real clock's sleep: until the millisecond clock has moved on by ms.
void Headless::Sleep(uint32_t ms) {
    if (ms > 0) AdvanceMicroseconds(uint64_t{ms} * 1000 - clockUs_ % 1000);
}

uint32_t Headless::BeginPeriod(uint32_t ms) {
    period_ = ms;
    return 0;
}

void Headless::SetTime(uint32_t ms) {
    clockUs_ = uint64_t{ms} * 1000;
}

void Headless::Advance(uint32_t ms) {
    AdvanceMicroseconds(uint64_t{ms} * 1000);
}

void Headless::GetKeys(uint8_t* table256) {
    keys_.Get(table256);
}

void Headless::SetKeys(const uint8_t* table256) {
    keys_.Set(table256);
}

void Headless::SetKey(int vk, bool down) {
    if (down)
        keys_.Press(vk);
    else
        keys_.Release(vk);
}

void Headless::RestoreDesktop() {
    if (cursorCount_ < 0) cursorCount_ = 0;
}

int Headless::ShowCursor(bool show) {
    cursorCount_ += show ? 1 : -1;
    return cursorCount_;
}

POINT Headless::CursorPos() {
    return cursor_;
}

void Headless::MoveCursorTo(int32_t x, int32_t y) {
    cursor_ = OnScreen(x, y, screen_);
}

void Headless::SetCursorPos(POINT at) {
    MoveCursorTo(at.x, at.y);
}

void Headless::MouseEvent(uint32_t flags, int32_t dx, int32_t dy) {
    if (flags & MOUSEEVENTF_MOVE) MoveCursorTo(cursor_.x + dx, cursor_.y + dy);
    ApplyMouseButtons(flags, keys_, pendingMouse_);
}

MMRESULT Headless::JoyCaps(uint32_t id, JOYCAPSA& caps) {
    if (id >= kJoystickSlots) return MMSYSERR_BADDEVICEID;
    auto it = joysticks_.find(id);
    if (it == joysticks_.end()) return JOYERR_UNPLUGGED;
    caps = it->second.caps;
    return JOYERR_NOERROR;
}

MMRESULT Headless::JoyPos(uint32_t id, JOYINFOEX& info) {
    if (id >= kJoystickSlots) return MMSYSERR_BADDEVICEID;
    auto it = joysticks_.find(id);
    if (it == joysticks_.end()) return JOYERR_UNPLUGGED;
    const uint32_t size = info.dwSize, flags = info.dwFlags;
    info = it->second.report;
    info.dwSize = size;
    info.dwFlags = flags;
    return JOYERR_NOERROR;
}

void Headless::SetJoystick(uint32_t id, const JOYCAPSA& caps, const JOYINFOEX& report) {
    joysticks_[id] = Joystick{caps, report};
}

void Headless::SetJoystickReport(uint32_t id, const JOYINFOEX& report) {
    auto it = joysticks_.find(id);
    if (it != joysticks_.end()) it->second.report = report;
}

void Headless::RemoveJoystick(uint32_t id) {
    joysticks_.erase(id);
}

ScreenSize Headless::Screen() {
    return screen_;
}

void Headless::SetScreenSize(int32_t width, int32_t height) {
    screen_ = {width, height};
    MoveCursorTo(cursor_.x, cursor_.y);
}

void Headless::Present(const FrameParts& parts) {
    if (parts.Empty()) return;
    if (!last_) last_ = std::make_unique<Bitmap>(0, 0, false);
    ComposeFrame(parts, *last_);
    const Bitmap& frame = *last_;
    hashes_.push_back(FrameHash(frame));
    if (!dumpFolder_.empty()) {
        char name[32];
        std::snprintf(name, sizeof name, "/frame-%06zu.bmp", hashes_.size());
        WriteBmp(frame, dumpFolder_ + name);
    }
}

bool Headless::DumpLastFrame(const std::string& path) const {
    return last_ && WriteBmp(*last_, path);
}

void Headless::Load(const HeadlessScript& script) {
    std::vector<ScriptEvent> passEvents, timeEvents;
    for (const ScriptEvent& e : script.events) {
        if (e.kind == ScriptEventKind::Answer && !e.atTime && e.at == 0) {
            answers_.push_back(e.answer);
            continue;
        }
        (e.atTime ? timeEvents : passEvents).push_back(e);
    }
    auto byWhen = [](const ScriptEvent& a, const ScriptEvent& b) { return a.at < b.at; };
    std::stable_sort(passEvents.begin(), passEvents.end(), byWhen);
    std::stable_sort(timeEvents.begin(), timeEvents.end(), byWhen);
    // Merge into the queues already waiting, keeping each kind in order.
    for (ScriptEvent& e : passEvents)
        passScript_.push_back(std::move(e));
    for (ScriptEvent& e : timeEvents)
        timeScript_.push_back(std::move(e));
    std::stable_sort(passScript_.begin(), passScript_.end(), byWhen);
    std::stable_sort(timeScript_.begin(), timeScript_.end(), byWhen);
}

void Headless::Apply(const ScriptEvent& e, EventSink& sink) {
    switch (e.kind) {
        case ScriptEventKind::KeyDown:
            keys_.Press(e.vk);
            break;
        case ScriptEventKind::KeyUp:
            keys_.Release(e.vk);
            break;
        case ScriptEventKind::CursorMove:
            MoveCursorTo(e.x, e.y);
            sink.MouseMove(cursor_);
            break;
        case ScriptEventKind::MouseDown:
        case ScriptEventKind::MouseUp: {
            const bool down = e.kind == ScriptEventKind::MouseDown;
            SetKey(e.vk, down);
            sink.MouseButton(e.vk, down, cursor_);
            break;
        }
        case ScriptEventKind::Click:
            sink.ClickControl(e.name);
            break;
        case ScriptEventKind::Close:
            sink.CloseRequest(e.name, e.mode);
            break;
        case ScriptEventKind::Answer:
            answers_.push_back(e.answer);
            break;
        case ScriptEventKind::JoystickPlug: {
            JOYCAPSA caps;
            caps.wCaps = e.joyCaps;
            caps.wNumButtons = caps.wMaxButtons = 32;
            caps.wNumAxes = caps.wMaxAxes = 6;
            JOYINFOEX report;
            report.dwXpos = report.dwYpos = report.dwZpos = 32767;
            report.dwRpos = report.dwUpos = report.dwVpos = 32767;
            report.dwButtons = e.joy.dwButtons;
            SetJoystick(e.joyId, caps, report);
            break;
        }
        case ScriptEventKind::JoystickUnplug:
            RemoveJoystick(e.joyId);
            break;
        case ScriptEventKind::Warp:
            break;
        case ScriptEventKind::JoystickReport: {
            auto it = joysticks_.find(e.joyId);
            if (it == joysticks_.end()) break;
            JOYINFOEX& r = it->second.report;
            if (e.joyFields & kJoyX) r.dwXpos = e.joy.dwXpos;
            if (e.joyFields & kJoyY) r.dwYpos = e.joy.dwYpos;
            if (e.joyFields & kJoyZ) r.dwZpos = e.joy.dwZpos;
            if (e.joyFields & kJoyR) r.dwRpos = e.joy.dwRpos;
            if (e.joyFields & kJoyU) r.dwUpos = e.joy.dwUpos;
            if (e.joyFields & kJoyV) r.dwVpos = e.joy.dwVpos;
            if (e.joyFields & kJoyPov) r.dwPOV = e.joy.dwPOV;
            if (e.joyFields & kJoyButtons) r.dwButtons = e.joy.dwButtons;
            break;
        }
    }
}

void Headless::PumpEvents(EventSink& sink) {
    ++pass_;
    if (passLimit_ != 0 && pass_ > passLimit_)
        throw HeadlessLimit("headless run passed its limit of " + std::to_string(passLimit_) +
                            " passes");
    // Handlers may add more synthetic input while these run; that waits for the next pump.
    std::vector<MouseButtonChange> mouse;
    mouse.swap(pendingMouse_);
    for (const MouseButtonChange& m : mouse)
        sink.MouseButton(m.vk, m.down, cursor_);
    while (!passScript_.empty() && passScript_.front().at <= pass_) {
        const ScriptEvent e = std::move(passScript_.front());
        passScript_.pop_front();
        Apply(e, sink);
    }
    const uint64_t elapsedMs = elapsedUs_ / 1000;
    while (!timeScript_.empty() && timeScript_.front().at <= elapsedMs) {
        const ScriptEvent e = std::move(timeScript_.front());
        timeScript_.pop_front();
        Apply(e, sink);
    }
    if (QuitRequested()) sink.QuitRequest();
}

bool Headless::WaitEvents(uint32_t ms) {
    Advance(ms);
    return !ScriptFinished() || !pendingMouse_.empty();
}

MessageBoxAnswer Headless::ShowMessageBox(const std::string& title, const std::string& text,
                                          MessageBoxButtons buttons) {
    // Every box takes the next scripted answer; without one, OK or No. A box up when the
    // program is asked to end is dismissed, as if closed, and its answer waits.
    MessageBoxAnswer given = MessageBoxAnswer::No;
    if (!answers_.empty() && !QuitRequested()) {
        given = answers_.front();
        answers_.pop_front();
    }
    MessageBoxAnswer answer = MessageBoxAnswer::OK;
    if (buttons == MessageBoxButtons::YesNo)
        answer = given == MessageBoxAnswer::Yes ? MessageBoxAnswer::Yes : MessageBoxAnswer::No;
    shown_.push_back({title, text, buttons, answer});
    return answer;
}

}  // namespace platform
