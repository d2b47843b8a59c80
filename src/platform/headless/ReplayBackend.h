// Back ends that stand between the game and a real back end to record or play back a game.
// Both keep the devices the game reads in a headless model: the recorder writes what it sees
// on the real devices as script lines, reads each line back through the script parser and
// hands the game the parsed value, so a playback feeds the game exactly what it had.
//
// Passes: window 0 is the game's load; window 1 starts when its loop starts
// (LoopStarts) and every event pump after that opens the next one. The recorder samples a
// device at most once a window, at its first read, so a second read in the same window gets
// the same answer as it will in a playback, where the window's events are applied up front.
#pragma once

#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/Backend.h"
#include "platform/headless/Headless.h"
#include "platform/headless/HeadlessScript.h"

namespace platform {

// Forwards everything to an inner back end; the recorder and the player override the devices.
class BackendDecorator : public Backend {
  public:
    explicit BackendDecorator(std::unique_ptr<Backend> inner) : inner_(std::move(inner)) {}
    Backend& Inner() { return *inner_; }

    uint32_t Now() override { return inner_->Now(); }
    void Sleep(uint32_t ms) override { inner_->Sleep(ms); }
    uint32_t BeginPeriod(uint32_t ms) override { return inner_->BeginPeriod(ms); }
    void GetKeys(uint8_t* table256) override { inner_->GetKeys(table256); }
    void SetKeys(const uint8_t* table256) override { inner_->SetKeys(table256); }
    int ShowCursor(bool show) override { return inner_->ShowCursor(show); }
    POINT CursorPos() override { return inner_->CursorPos(); }
    void SetCursorPos(POINT at) override { inner_->SetCursorPos(at); }
    void MouseEvent(uint32_t flags, int32_t dx, int32_t dy) override {
        inner_->MouseEvent(flags, dx, dy);
    }
    MMRESULT JoyCaps(uint32_t id, JOYCAPSA& caps) override { return inner_->JoyCaps(id, caps); }
    MMRESULT JoyPos(uint32_t id, JOYINFOEX& info) override { return inner_->JoyPos(id, info); }
    ScreenSize Screen() override { return inner_->Screen(); }
    void Present(const FrameParts& frame) override { inner_->Present(frame); }
    void PumpEvents(EventSink& sink) override { inner_->PumpEvents(sink); }
    bool WaitEvents(uint32_t ms) override { return inner_->WaitEvents(ms); }
    MessageBoxAnswer ShowMessageBox(const std::string& title, const std::string& text,
                                    MessageBoxButtons buttons) override {
        return inner_->ShowMessageBox(title, text, buttons);
    }
    void RestoreDesktop() override { inner_->RestoreDesktop(); }

  protected:
    std::unique_ptr<Backend> inner_;
};

class ReplayRecorder : public BackendDecorator {
  public:
    using BackendDecorator::BackendDecorator;

    // A game is loading: the model takes the keys and the cursor as they are now and, when
    // joystick >= 0, that joystick with these capability flags, all as window-0 lines.
    void Begin(int joystick, uint32_t joystickCaps);
    void LoopStarts();
    // Stops recording and returns the script lines.
    std::string End();
    bool Recording() const { return recording_; }
    // Adds a line that is not an event (a check of the game's state) as it is.
    void Note(const std::string& line);
    uint64_t Window() const { return window_; }

    void GetKeys(uint8_t* table256) override;
    void SetKeys(const uint8_t* table256) override;
    POINT CursorPos() override;
    void SetCursorPos(POINT at) override;
    MMRESULT JoyCaps(uint32_t id, JOYCAPSA& caps) override;
    MMRESULT JoyPos(uint32_t id, JOYINFOEX& info) override;
    void PumpEvents(EventSink& sink) override;

  private:
    class Sink;
    // Writes one line for the current window, parses it and applies the parsed event.
    void Emit(const std::string& event);
    void EmitTo(const std::string& event, EventSink& sink);
    void SampleKeys();
    void SampleCursor();
    void SampleJoystick(uint32_t id);
    void JoystickLines(uint32_t id, const JOYINFOEX& from, const JOYINFOEX& to);

    bool recording_ = false;
    bool counting_ = false;
    uint64_t window_ = 0;
    std::unique_ptr<Headless> model_;
    std::string lines_;
    bool keysSampled_ = false, cursorSampled_ = false;
    std::set<uint32_t> joysticksSampled_;
};

class ReplayPlayer : public BackendDecorator {
  public:
    // Window-0 events are applied at once, so the program's start and the game's load read
    // them; the rest fall due with their windows. The game sees the recorded screen size,
    // whatever the inner back end has; its frames are scaled to that one's window.
    ReplayPlayer(std::unique_ptr<Backend> inner, const HeadlessScript& script, ScreenSize screen);

    void LoopStarts();
    // The game is over: what it does on its way out is not part of the replay.
    void Finish() { counting_ = checking_ = false; }
    uint64_t Window() const { return window_; }
    // The player stopped the game early (Escape on the real keyboard, a close request or a
    // request to end the program).
    bool Stopped() const { return stopped_; }
    // Cursor warps the game issued that differ from the recorded ones, and the first window.
    uint64_t WarpMismatches() const { return warpMismatches_; }
    uint64_t FirstWarpMismatch() const { return firstWarpMismatch_; }

    void GetKeys(uint8_t* table256) override;
    void SetKeys(const uint8_t* table256) override;
    POINT CursorPos() override;
    void SetCursorPos(POINT at) override;
    void MouseEvent(uint32_t flags, int32_t dx, int32_t dy) override;
    MMRESULT JoyCaps(uint32_t id, JOYCAPSA& caps) override;
    MMRESULT JoyPos(uint32_t id, JOYINFOEX& info) override;
    ScreenSize Screen() override { return screen_; }
    void PumpEvents(EventSink& sink) override;

  private:
    Headless model_;
    ScreenSize screen_;
    bool counting_ = false;
    bool stopped_ = false;
    bool checking_ = true;
    uint64_t window_ = 0;
    std::vector<ScriptEvent> warps_;
    size_t nextWarp_ = 0;
    uint64_t warpMismatches_ = 0, firstWarpMismatch_ = 0;
};

}  // namespace platform
