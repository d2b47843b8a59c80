// The window system: the loaded forms, their order on screen, timers, pending events,
// DoEvents and the message loop. One instance for the program.
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "platform/Backend.h"
#include "platform/raster/gdi.h"

namespace platform {

class Control;
class Form;
class Timer;

class Application : public EventSink {
  public:
    static Application& Get();

    // Loading runs Form_Load; showing loads first, raises the form and activates it.
    void Load(Form& form);
    void Show(Form& form);
    void Hide(Form& form);
    // Asks Form_QueryUnload (which may cancel), runs Form_Unload, then drops the form.
    // Returns false when cancelled.
    bool Unload(Form& form, UnloadMode mode);
    size_t FormCount() const { return loaded_.size(); }
    const std::vector<Form*>& LoadedForms() const { return loaded_; }
    // The visible form on top (the active window), or nullptr.
    Form* ActiveForm() const;

    // Dispatches every pending event and fires due timers; handlers run inside.
    void DoEvents();
    // Runs until no form is loaded (true), or until nothing can ever happen again in a
    // headless run with no timer left (false).
    bool RunMessageLoop();

    // Presents the form (its image, then its visible controls in order) when it is the form
    // on top.
    void Present(Form& form);

    // Drops a destroyed form or control from every list.
    void Forget(Form& form);
    void Forget(Control& control);
    // Unloads nothing: forgets every form (a test's clean slate).
    void Reset();

    // EventSink.
    void MouseButton(int vk, bool down, POINT at) override;
    void MouseMove(POINT at) override;
    void ClickControl(const std::string& name) override;
    void CloseRequest(const std::string& formName, UnloadMode mode) override;
    // Closes the forms as the system does when the session ends: the one on top first, hidden
    // ones once none is shown, until one refuses (its QueryUnload ends its own loop, and it is
    // asked again at the next pump). From then on no form is activated, so none starts its
    // loop again, and once the loops have run out none is left.
    void QuitRequest() override;

  private:
    Application() = default;
    void Activate();
    void FireDueTimers();
    // Milliseconds until the next enabled timer of a loaded form is due; UINT32_MAX for none.
    uint32_t NextTimerDue();
    Control* ControlAt(Form& form, POINT at) const;
    // Hands the keys pressed since the last pump to the focused control.
    void DeliverKeys();
    Form* FindForm(const std::string& name) const;
    void DropFrame();

    std::vector<Form*> loaded_;  // load order
    std::vector<Form*> zorder_;  // visible forms, top last
    Form* active_ = nullptr;
    bool quitting_ = false;
    Control* pressed_ = nullptr;       // where the left button went down
    Control* focus_ = nullptr;         // gets the keys
    std::array<uint8_t, 256> keys_{};  // the key table as the last pump left it
    Bitmap* frame_ = nullptr;
    HDC frameDC_ = nullptr;
    const Bitmap* lastBase_ = nullptr;  // the base of the frame handed over last

    struct TimerScan {
        std::vector<Form*> forms;
        std::vector<Control*> controls;
    };
    std::deque<TimerScan> scans_;  // one per nesting level of FireDueTimers; stable addresses
    size_t scanDepth_ = 0;
};

// Dispatches pending events from inside a handler (the old DoEvents).
void DoEvents();

}  // namespace platform
