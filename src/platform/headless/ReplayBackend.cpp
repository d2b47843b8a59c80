#include "platform/headless/ReplayBackend.h"

#include <cstring>
#include <stdexcept>

#include "platform/input/KeyMap.h"
#include "platform/input/Keys.h"

namespace platform {

namespace {

constexpr uint32_t kJoystickSlots = 16;

class NullSink : public EventSink {
  public:
    void MouseButton(int, bool, POINT) override {}
    void ClickControl(const std::string&) override {}
    void CloseRequest(const std::string&, UnloadMode) override {}
};
NullSink gNullSink;

// Only close and quit requests get through: a playback takes no other input from the real
// devices. Either stops the playback (*stopped, when given).
class CloseOnly : public EventSink {
  public:
    explicit CloseOnly(EventSink& to, bool* stopped = nullptr) : to_(to), stopped_(stopped) {}
    void MouseButton(int, bool, POINT) override {}
    void ClickControl(const std::string&) override {}
    void CloseRequest(const std::string& form, UnloadMode mode) override {
        if (stopped_) *stopped_ = true;
        to_.CloseRequest(form, mode);
    }
    void QuitRequest() override {
        if (stopped_) *stopped_ = true;
        to_.QuitRequest();
    }

  private:
    EventSink& to_;
    bool* stopped_;
};

std::string KeyWord(int vk) {
    const std::string_view name = NameOfVirtualKey(vk);
    if (!name.empty() && name.find(' ') == std::string_view::npos && VirtualKeyFromName(name) == vk)
        return std::string(name);
    return std::to_string(vk);
}

const char* ModeWord(UnloadMode mode) {
    switch (mode) {
        case UnloadMode::Code:
            return "code";
        case UnloadMode::System:
            return "system";
        case UnloadMode::TaskList:
            return "tasklist";
        case UnloadMode::User:
            break;
    }
    return "user";
}

// The presses and releases that take one table byte (bit 7 held, bit 0 toggled) to another.
std::vector<bool> KeySteps(uint8_t from, uint8_t to) {
    const bool heldFrom = from & 0x80, heldTo = to & 0x80, flip = (from ^ to) & 1;
    if (!heldFrom && heldTo) return flip ? std::vector<bool>{true} : std::vector{true, false, true};
    if (heldFrom && !heldTo) return flip ? std::vector{false, true, false} : std::vector{false};
    if (!flip) return {};
    return heldFrom ? std::vector{false, true} : std::vector{true, false};
}

}  // namespace

class ReplayRecorder::Sink : public EventSink {
  public:
    Sink(ReplayRecorder& recorder, EventSink& to) : recorder_(recorder), to_(to) {}
    void MouseButton(int vk, bool down, POINT at) override { to_.MouseButton(vk, down, at); }
    void MouseMove(POINT at) override { to_.MouseMove(at); }
    void ClickControl(const std::string& name) override { to_.ClickControl(name); }
    // Not a line of the recording: the game it ends stops at that pass, as the end line says.
    void QuitRequest() override { to_.QuitRequest(); }
    void CloseRequest(const std::string& form, UnloadMode mode) override {
        std::string line = "close ";
        if (!form.empty() && form.find(' ') == std::string::npos) line += form + " ";
        line += ModeWord(mode);
        recorder_.EmitTo(line, to_);
    }

  private:
    ReplayRecorder& recorder_;
    EventSink& to_;
};

void ReplayRecorder::Begin(int joystick, uint32_t joystickCaps) {
    recording_ = true;
    counting_ = false;
    window_ = 0;
    lines_.clear();
    model_ = std::make_unique<Headless>();
    const ScreenSize screen = inner_->Screen();
    model_->SetScreenSize(screen.width, screen.height);
    keysSampled_ = cursorSampled_ = false;
    joysticksSampled_.clear();
    SampleKeys();
    SampleCursor();
    if (joystick >= 0 && static_cast<uint32_t>(joystick) < kJoystickSlots) {
        const uint32_t id = static_cast<uint32_t>(joystick);
        JOYINFOEX real;
        if (inner_->JoyPos(id, real) == JOYERR_NOERROR) {
            Emit("joystick " + std::to_string(id) + " plug caps " + std::to_string(joystickCaps) +
                 " buttons " + std::to_string(real.dwButtons));
            JOYINFOEX plugged;
            model_->JoyPos(id, plugged);
            JoystickLines(id, plugged, real);
        }
    }
}

void ReplayRecorder::LoopStarts() {
    if (!recording_) return;
    counting_ = true;
    window_ = 1;
    keysSampled_ = cursorSampled_ = false;
    joysticksSampled_.clear();
}

std::string ReplayRecorder::End() {
    recording_ = counting_ = false;
    model_.reset();
    return std::move(lines_);
}

void ReplayRecorder::EmitTo(const std::string& event, EventSink& sink) {
    const std::string line =
        window_ == 0 ? event : "at pass " + std::to_string(window_) + " " + event;
    HeadlessScript parsed;
    std::string error;
    if (!HeadlessScript::Parse(line, parsed, &error) || parsed.events.size() != 1)
        throw std::logic_error("replay recorder wrote a line it cannot read: " + line);
    lines_ += line;
    lines_ += '\n';
    model_->ApplyNow(parsed.events.front(), sink);
}

void ReplayRecorder::Note(const std::string& line) {
    if (!recording_) return;
    lines_ += line;
    lines_ += '\n';
}

void ReplayRecorder::Emit(const std::string& event) {
    EmitTo(event, gNullSink);
}

void ReplayRecorder::SampleKeys() {
    if (keysSampled_) return;
    keysSampled_ = true;
    uint8_t real[256], model[256];
    inner_->GetKeys(real);
    for (int vk = 1; vk < 256; ++vk) {
        model_->GetKeys(model);
        for (const bool down : KeySteps(model[vk], real[vk]))
            Emit(std::string("key ") + (down ? "down " : "up ") + KeyWord(vk));
    }
}

void ReplayRecorder::SampleCursor() {
    if (cursorSampled_) return;
    cursorSampled_ = true;
    const POINT real = inner_->CursorPos(), model = model_->CursorPos();
    if (real.x != model.x || real.y != model.y)
        Emit("cursor " + std::to_string(real.x) + " " + std::to_string(real.y));
}

void ReplayRecorder::JoystickLines(uint32_t id, const JOYINFOEX& from, const JOYINFOEX& to) {
    std::string fields;
    auto field = [&](const char* name, uint32_t a, uint32_t b) {
        if (a != b) fields += std::string(" ") + name + " " + std::to_string(b);
    };
    field("x", from.dwXpos, to.dwXpos);
    field("y", from.dwYpos, to.dwYpos);
    field("z", from.dwZpos, to.dwZpos);
    field("r", from.dwRpos, to.dwRpos);
    field("u", from.dwUpos, to.dwUpos);
    field("v", from.dwVpos, to.dwVpos);
    field("pov", from.dwPOV, to.dwPOV);
    field("buttons", from.dwButtons, to.dwButtons);
    if (!fields.empty()) Emit("joystick " + std::to_string(id) + fields);
}

void ReplayRecorder::SampleJoystick(uint32_t id) {
    if (id >= kJoystickSlots || !joysticksSampled_.insert(id).second) return;
    JOYINFOEX real, model;
    const bool realThere = inner_->JoyPos(id, real) == JOYERR_NOERROR;
    const bool modelThere = model_->JoyPos(id, model) == JOYERR_NOERROR;
    if (!realThere) {
        if (modelThere) Emit("joystick " + std::to_string(id) + " unplug");
        return;
    }
    if (!modelThere) {
        JOYCAPSA caps;
        inner_->JoyCaps(id, caps);
        Emit("joystick " + std::to_string(id) + " plug caps " + std::to_string(caps.wCaps) +
             " buttons " + std::to_string(real.dwButtons));
        model_->JoyPos(id, model);
    }
    JoystickLines(id, model, real);
}

void ReplayRecorder::GetKeys(uint8_t* table256) {
    if (!recording_) return inner_->GetKeys(table256);
    if (counting_) SampleKeys();
    model_->GetKeys(table256);
}

void ReplayRecorder::SetKeys(const uint8_t* table256) {
    inner_->SetKeys(table256);
    if (recording_) model_->SetKeys(table256);
}

POINT ReplayRecorder::CursorPos() {
    if (!recording_) return inner_->CursorPos();
    if (counting_) SampleCursor();
    return model_->CursorPos();
}

void ReplayRecorder::SetCursorPos(POINT at) {
    inner_->SetCursorPos(at);
    if (!recording_) return;
    const POINT before = model_->CursorPos();
    model_->SetCursorPos(at);
    const POINT now = model_->CursorPos();
    // A warp to where the cursor is changes nothing: steering issues one every pass.
    if (now.x != before.x || now.y != before.y)
        Emit("warp " + std::to_string(now.x) + " " + std::to_string(now.y));
    cursorSampled_ = true;
}

MMRESULT ReplayRecorder::JoyCaps(uint32_t id, JOYCAPSA& caps) {
    if (!recording_) return inner_->JoyCaps(id, caps);
    if (counting_) SampleJoystick(id);
    return model_->JoyCaps(id, caps);
}

MMRESULT ReplayRecorder::JoyPos(uint32_t id, JOYINFOEX& info) {
    if (!recording_) return inner_->JoyPos(id, info);
    if (counting_) SampleJoystick(id);
    return model_->JoyPos(id, info);
}

void ReplayRecorder::PumpEvents(EventSink& sink) {
    if (!recording_) return inner_->PumpEvents(sink);
    if (counting_) {
        ++window_;
        keysSampled_ = cursorSampled_ = false;
        joysticksSampled_.clear();
    }
    Sink recorded(*this, sink);
    inner_->PumpEvents(recorded);
}

ReplayPlayer::ReplayPlayer(std::unique_ptr<Backend> inner, const HeadlessScript& script,
                           ScreenSize screen)
    : BackendDecorator(std::move(inner)), screen_(screen) {
    model_.SetScreenSize(screen.width, screen.height);
    HeadlessScript later;
    for (const ScriptEvent& e : script.events) {
        if (e.kind == ScriptEventKind::Warp) warps_.push_back(e);
        if (!e.atTime && e.at == 0)
            model_.ApplyNow(e, gNullSink);
        else
            later.events.push_back(e);
    }
    model_.Load(later);
}

void ReplayPlayer::LoopStarts() {
    counting_ = true;
    window_ = 1;
    model_.PumpEvents(gNullSink);
}

void ReplayPlayer::GetKeys(uint8_t* table256) {
    model_.GetKeys(table256);
}

void ReplayPlayer::SetKeys(const uint8_t* table256) {
    model_.SetKeys(table256);
}

POINT ReplayPlayer::CursorPos() {
    return model_.CursorPos();
}

void ReplayPlayer::SetCursorPos(POINT at) {
    const POINT before = model_.CursorPos();
    model_.SetCursorPos(at);
    const POINT now = model_.CursorPos();
    if (!checking_ || (now.x == before.x && now.y == before.y)) return;
    const bool expected = nextWarp_ < warps_.size() && warps_[nextWarp_].at == window_ &&
                          warps_[nextWarp_].x == now.x && warps_[nextWarp_].y == now.y;
    if (!expected && warpMismatches_++ == 0) firstWarpMismatch_ = window_;
    ++nextWarp_;
}

void ReplayPlayer::MouseEvent(uint32_t flags, int32_t dx, int32_t dy) {
    model_.MouseEvent(flags, dx, dy);
}

MMRESULT ReplayPlayer::JoyCaps(uint32_t id, JOYCAPSA& caps) {
    return model_.JoyCaps(id, caps);
}

MMRESULT ReplayPlayer::JoyPos(uint32_t id, JOYINFOEX& info) {
    return model_.JoyPos(id, info);
}

void ReplayPlayer::PumpEvents(EventSink& sink) {
    CloseOnly closes(sink, &stopped_);
    inner_->PumpEvents(closes);
    uint8_t real[256];
    inner_->GetKeys(real);
    if ((real[VK_ESCAPE] & 0x80) && !stopped_) {
        stopped_ = true;
        sink.CloseRequest("", UnloadMode::User);
    }
    if (!counting_) return;
    ++window_;
    CloseOnly scripted(sink);
    model_.PumpEvents(scripted);
}

}  // namespace platform
