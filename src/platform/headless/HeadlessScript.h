// Scripted input for the headless back end, built in code or read from text.
//
// Text format: one event per line; blank lines and lines starting with '#' are skipped.
//   [at pass N | at ms T] EVENT
// Without a prefix an event belongs to pass 0 and is applied by the first pump. Passes count
// the pumps of pending events (each DoEvents and each turn of the message loop), from 1.
// "at ms T" means T milliseconds of virtual time since the back end was made. Events that
// fall due in the same pump are applied in script order, pass events before time events.
// EVENT is one of:
//   key down|up KEY            KEY: a virtual-key code (37) or a key name (Left, A, Escape)
//   cursor X Y                 moves the cursor to screen pixel (X, Y), reported as motion
//   mouse down|up left|right|middle
//   click NAME                 clicks the control of that name (buttons, check boxes, ...)
//   close [FORM] [user|tasklist|system|code]   a close request (no FORM: the active form)
//   answer ok|yes|no           the next message box's answer; without a prefix it is
//                              queued when the script is loaded
//   joystick ID plug [caps FLAGS] [buttons N]   a device appears (axes 0..65535)
//   joystick ID unplug
//   joystick ID [x V] [y V] [z V] [r V] [u V] [v V] [pov V] [buttons V]
//                              a position report; fields not named keep their value
//   warp X Y                   the game moved the cursor there itself (only warps that moved
//                              it are recorded): a replay keeps these as a record of what
//                              the game did; a playback applies nothing, as the game issues
//                              the same warp again, and counts the warps that differ
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/Backend.h"
#include "platform/input/Joystick.h"

namespace platform {

enum class ScriptEventKind {
    KeyDown,
    KeyUp,
    CursorMove,
    MouseDown,
    MouseUp,
    Click,
    Close,
    Answer,
    JoystickPlug,
    JoystickUnplug,
    JoystickReport,
    Warp,
};

// Which fields of a joystick report line were given.
enum JoyField : uint32_t {
    kJoyX = 1,
    kJoyY = 2,
    kJoyZ = 4,
    kJoyR = 8,
    kJoyU = 16,
    kJoyV = 32,
    kJoyPov = 64,
    kJoyButtons = 128,
};

struct ScriptEvent {
    bool atTime = false;  // false: `at` is a pass number; true: milliseconds
    uint64_t at = 0;
    ScriptEventKind kind = ScriptEventKind::KeyDown;
    int vk = 0;
    int32_t x = 0, y = 0;
    std::string name;
    UnloadMode mode = UnloadMode::User;
    MessageBoxAnswer answer = MessageBoxAnswer::OK;
    uint32_t joyId = 0;
    uint32_t joyFields = 0;
    JOYINFOEX joy;
    uint32_t joyCaps = 0;
};

class HeadlessScript {
  public:
    // Builder: events added after At/AtMs fall due then.
    HeadlessScript& At(uint64_t pass);
    HeadlessScript& AtMs(uint64_t ms);
    HeadlessScript& KeyDown(int vk);
    HeadlessScript& KeyUp(int vk);
    HeadlessScript& Cursor(int32_t x, int32_t y);
    HeadlessScript& Warp(int32_t x, int32_t y);
    HeadlessScript& MouseDown(int vk);
    HeadlessScript& MouseUp(int vk);
    HeadlessScript& Click(const std::string& control);
    HeadlessScript& Close(const std::string& form, UnloadMode mode = UnloadMode::User);
    HeadlessScript& Answer(MessageBoxAnswer answer);
    HeadlessScript& JoystickPlug(uint32_t id, uint32_t caps, uint32_t buttons);
    HeadlessScript& JoystickUnplug(uint32_t id);
    // Sets every field of the report.
    HeadlessScript& JoystickReport(uint32_t id, const JOYINFOEX& report);

    // Reads the text format; on a bad line returns false and names the line in *error.
    static bool Parse(const std::string& text, HeadlessScript& out, std::string* error);

    std::vector<ScriptEvent> events;

  private:
    ScriptEvent& Add(ScriptEventKind kind);
    bool atTime_ = false;
    uint64_t at_ = 0;
};

}  // namespace platform
