// The one object behind every platform service that depends on the machine: clock, keyboard
// table, cursor, joystick, screen, presenting frames, native events and message boxes. A back
// end is installed once at start-up; using the platform before that is a programming error.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/Screen.h"
#include "platform/frame/FrameParts.h"
#include "platform/input/Joystick.h"
#include "platform/raster/gdi.h"

namespace platform {

// Why a form is being unloaded (the old QueryUnload reasons, same numbers).
enum class UnloadMode : int { User = 0, Code = 1, System = 2, TaskList = 3 };

enum class MessageBoxButtons { OK, YesNo };
enum class MessageBoxAnswer { OK, Yes, No };

// Where a back end delivers what the window system must act on. Key presses do not pass
// here: the back end keeps the key table itself.
class EventSink {
  public:
    virtual ~EventSink() = default;
    // A mouse button went down or up at a screen position (vk: 1 left, 2 right, 4 middle).
    virtual void MouseButton(int vk, bool down, POINT at) = 0;
    // The cursor moved to a screen position (drags on controls follow it).
    virtual void MouseMove(POINT at) { (void)at; }
    // A click on the control with this name, on whichever loaded form has it.
    virtual void ClickControl(const std::string& name) = 0;
    // The player, the task list or the system asks a form to close; an empty name means the
    // active form.
    virtual void CloseRequest(const std::string& formName, UnloadMode mode) = 0;
    // A signal or the session asks the whole program to end. Delivered with every pump from
    // then on.
    virtual void QuitRequest() {}
};

class Backend {
  public:
    virtual ~Backend() = default;

    // Millisecond clock, 32 bits, wraps.
    virtual uint32_t Now() = 0;
    virtual void Sleep(uint32_t ms) = 0;
    virtual uint32_t BeginPeriod(uint32_t ms) = 0;

    // The 256-byte virtual-key table (bit 7 held, bit 0 toggled per press).
    virtual void GetKeys(uint8_t* table256) = 0;
    virtual void SetKeys(const uint8_t* table256) = 0;

    // Cursor display counter; returns the new count.
    virtual int ShowCursor(bool show) = 0;
    virtual POINT CursorPos() = 0;
    virtual void SetCursorPos(POINT at) = 0;
    // Synthetic mouse input (MOUSEEVENTF_* flags), delivered with the next pump.
    virtual void MouseEvent(uint32_t flags, int32_t dx, int32_t dy) = 0;

    virtual MMRESULT JoyCaps(uint32_t id, JOYCAPSA& caps) = 0;
    virtual MMRESULT JoyPos(uint32_t id, JOYINFOEX& info) = 0;

    virtual ScreenSize Screen() = 0;

    // Shows a frame (32-bit COLORREF pixels), converted straight from its parts.
    virtual void Present(const FrameParts& frame) = 0;

    // Moves pending native input into the key table and the sink. Called once per DoEvents.
    virtual void PumpEvents(EventSink& sink) = 0;
    // Waits up to ms for input while the message loop is idle. Returns false when nothing can
    // ever arrive again (a finished script), so an idle loop can stop instead of hanging.
    virtual bool WaitEvents(uint32_t ms) = 0;

    // Modal: nothing else of the program runs until it is answered.
    virtual MessageBoxAnswer ShowMessageBox(const std::string& title, const std::string& text,
                                            MessageBoxButtons buttons) = 0;

    // Gives the desktop back before a fatal message: cursor shown, relative mouse mode and
    // full screen left. Must not throw.
    virtual void RestoreDesktop() {}
};

// Whether a back end has been installed.
bool HasBackend();

// The back end in use; aborts when none was installed.
Backend& CurrentBackend();
// Replaces the back end in use (start-up, or a test that wants a fresh one).
void InstallBackend(std::unique_ptr<Backend> backend);

}  // namespace platform
