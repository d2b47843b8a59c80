// The back end with no display: a virtual clock, a scripted input feed and frame capture.
// Tests, the simulator and the benchmarks run on it.
#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/Backend.h"
#include "platform/headless/HeadlessScript.h"
#include "platform/input/Cursor.h"
#include "platform/input/KeyTable.h"

namespace platform {

// Thrown from the event pump when a run passes its pass limit, so a runaway session in a
// test ends instead of spinning for ever.
class HeadlessLimit : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

struct ShownMessageBox {
    std::string title;
    std::string text;
    MessageBoxButtons buttons;
    MessageBoxAnswer answer;
};

class Headless : public Backend {
  public:
    Headless();

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
    void Present(const FrameParts& frame) override;
    void PumpEvents(EventSink& sink) override;
    bool WaitEvents(uint32_t ms) override;
    MessageBoxAnswer ShowMessageBox(const std::string& title, const std::string& text,
                                    MessageBoxButtons buttons) override;
    void RestoreDesktop() override;

    // Clock. Time is kept in microseconds; every read of the clock first advances it by the
    // read step (default 100 us), so a loop that spins on the clock always gets out.
    void SetTime(uint32_t ms);
    void Advance(uint32_t ms);
    void SetReadStepMicroseconds(uint32_t us) { readStepUs_ = us; }
    // Virtual time since this back end was made, unwrapped.
    uint64_t ElapsedMicroseconds() const { return elapsedUs_; }
    uint32_t PeriodAsked() const { return period_; }

    // Direct input, applied at once.
    void SetKey(int vk, bool down);
    void SetScreenSize(int32_t width, int32_t height);
    int CursorCount() const { return cursorCount_; }
    // A device for this id (an absent id fails to open).
    void SetJoystick(uint32_t id, const JOYCAPSA& caps, const JOYINFOEX& report);
    void SetJoystickReport(uint32_t id, const JOYINFOEX& report);
    void RemoveJoystick(uint32_t id);
    void QueueAnswer(MessageBoxAnswer answer) { answers_.push_back(answer); }
    const std::vector<ShownMessageBox>& MessageBoxes() const { return shown_; }

    // Scripted input: each event is applied at the pump of its pass or time.
    void Load(const HeadlessScript& script);
    // Applies one event at once, as its pump would.
    void ApplyNow(const ScriptEvent& event, EventSink& sink) { Apply(event, sink); }
    bool ScriptFinished() const { return passScript_.empty() && timeScript_.empty(); }
    // Passes are numbered from 1: the first PumpEvents is pass 1.
    uint64_t Pass() const { return pass_; }
    void SetPassLimit(uint64_t passes) { passLimit_ = passes; }

    // Frames. Every Present records the frame's FNV-1a hash and keeps the last frame.
    const std::vector<uint64_t>& FrameHashes() const { return hashes_; }
    const Bitmap* LastFrame() const { return last_.get(); }
    // Writes every presented frame as frame-NNNNNN.bmp into the folder; "" stops it.
    void SetDumpFolder(const std::string& folder) { dumpFolder_ = folder; }
    bool DumpLastFrame(const std::string& path) const;

  private:
    struct Joystick {
        JOYCAPSA caps;
        JOYINFOEX report;
    };
    void AdvanceMicroseconds(uint64_t us);
    void Apply(const ScriptEvent& event, EventSink& sink);
    void MoveCursorTo(int32_t x, int32_t y);

    uint64_t elapsedUs_ = 0;
    uint64_t clockUs_ = 0;  // what timeGetTime shows, before the 32-bit wrap
    uint32_t readStepUs_ = 100;
    uint32_t period_ = 0;

    KeyTable keys_;
    int cursorCount_ = 0;
    POINT cursor_{};
    ScreenSize screen_{1280, 1024};
    std::map<uint32_t, Joystick> joysticks_;

    std::vector<MouseButtonChange> pendingMouse_;
    std::deque<MessageBoxAnswer> answers_;
    std::vector<ShownMessageBox> shown_;

    std::deque<ScriptEvent> passScript_;
    std::deque<ScriptEvent> timeScript_;
    uint64_t pass_ = 0;
    uint64_t passLimit_ = 0;

    std::vector<uint64_t> hashes_;
    std::unique_ptr<Bitmap> last_;
    std::string dumpFolder_;
};

// Makes a fresh headless back end the current one and returns it for scripting.
Headless& UseHeadless();

}  // namespace platform
