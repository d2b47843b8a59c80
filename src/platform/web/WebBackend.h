// The back end in a web browser: a canvas filling the page at the device's pixel size, the
// keyboard by physical key, the mouse as a virtual stick under Pointer Lock, the first gamepad
// and message boxes drawn inside the page. The game's blocking loops keep their shape: every
// wait hands the page back to the browser (Asyncify) until it is over.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "platform/Backend.h"
#include "platform/input/Cursor.h"
#include "platform/input/KeyTable.h"

namespace platform {

class WebBackend : public Backend {
  public:
    WebBackend();

    // Runs at every event pump, after the page's input is in (the program keeps its setting
    // and its replay where the page can reach them).
    void SetPumpHook(std::function<void()> hook) { pumpHook_ = std::move(hook); }

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
    void Yield(uint32_t ms);
    void MoveCursorTo(int32_t x, int32_t y);
    MMRESULT ReadGamepad(uint32_t id, JOYCAPSA* caps, JOYINFOEX* info);

    KeyTable keys_;
    int cursorCount_ = 0;
    POINT cursor_{};
    ScreenSize screen_{};
    bool screenAsked_ = false;
    std::vector<uint32_t> rgba_;
    bool yielded_ = true;  // the browser had the page since the last frame
    std::vector<MouseButtonChange> pendingMouse_;
    std::function<void()> pumpHook_;
};

}  // namespace platform
