#include "platform/headless/HeadlessScript.h"

#include <charconv>
#include <sstream>

#include "platform/input/KeyMap.h"
#include "platform/input/Keys.h"

namespace platform {

ScriptEvent& HeadlessScript::Add(ScriptEventKind kind) {
    ScriptEvent& e = events.emplace_back();
    e.atTime = atTime_;
    e.at = at_;
    e.kind = kind;
    return e;
}

HeadlessScript& HeadlessScript::At(uint64_t pass) {
    atTime_ = false;
    at_ = pass;
    return *this;
}

HeadlessScript& HeadlessScript::AtMs(uint64_t ms) {
    atTime_ = true;
    at_ = ms;
    return *this;
}

HeadlessScript& HeadlessScript::KeyDown(int vk) {
    Add(ScriptEventKind::KeyDown).vk = vk;
    return *this;
}

HeadlessScript& HeadlessScript::KeyUp(int vk) {
    Add(ScriptEventKind::KeyUp).vk = vk;
    return *this;
}

HeadlessScript& HeadlessScript::Cursor(int32_t x, int32_t y) {
    ScriptEvent& e = Add(ScriptEventKind::CursorMove);
    e.x = x;
    e.y = y;
    return *this;
}

HeadlessScript& HeadlessScript::Warp(int32_t x, int32_t y) {
    ScriptEvent& e = Add(ScriptEventKind::Warp);
    e.x = x;
    e.y = y;
    return *this;
}

HeadlessScript& HeadlessScript::MouseDown(int vk) {
    Add(ScriptEventKind::MouseDown).vk = vk;
    return *this;
}

HeadlessScript& HeadlessScript::MouseUp(int vk) {
    Add(ScriptEventKind::MouseUp).vk = vk;
    return *this;
}

HeadlessScript& HeadlessScript::Click(const std::string& control) {
    Add(ScriptEventKind::Click).name = control;
    return *this;
}

HeadlessScript& HeadlessScript::Close(const std::string& form, UnloadMode mode) {
    ScriptEvent& e = Add(ScriptEventKind::Close);
    e.name = form;
    e.mode = mode;
    return *this;
}

HeadlessScript& HeadlessScript::Answer(MessageBoxAnswer answer) {
    Add(ScriptEventKind::Answer).answer = answer;
    return *this;
}

HeadlessScript& HeadlessScript::JoystickPlug(uint32_t id, uint32_t caps, uint32_t buttons) {
    ScriptEvent& e = Add(ScriptEventKind::JoystickPlug);
    e.joyId = id;
    e.joyCaps = caps;
    e.joy.dwButtons = buttons;
    return *this;
}

HeadlessScript& HeadlessScript::JoystickUnplug(uint32_t id) {
    Add(ScriptEventKind::JoystickUnplug).joyId = id;
    return *this;
}

HeadlessScript& HeadlessScript::JoystickReport(uint32_t id, const JOYINFOEX& report) {
    ScriptEvent& e = Add(ScriptEventKind::JoystickReport);
    e.joyId = id;
    e.joy = report;
    e.joyFields = kJoyX | kJoyY | kJoyZ | kJoyR | kJoyU | kJoyV | kJoyPov | kJoyButtons;
    return *this;
}

namespace {

template <typename T>
bool Number(const std::string& word, T& out) {
    const char* first = word.data();
    const char* last = first + word.size();
    auto [end, ec] = std::from_chars(first, last, out);
    return ec == std::errc() && end == last;
}

bool KeyCode(const std::string& word, int& vk) {
    if (Number(word, vk)) return vk > 0 && vk < 256;
    vk = VirtualKeyFromName(word);
    return vk != 0;
}

bool MouseButtonCode(const std::string& word, int& vk) {
    if (word == "left")
        vk = VK_LBUTTON;
    else if (word == "right")
        vk = VK_RBUTTON;
    else if (word == "middle")
        vk = VK_MBUTTON;
    else
        return false;
    return true;
}

bool Mode(const std::string& word, UnloadMode& mode) {
    if (word == "user")
        mode = UnloadMode::User;
    else if (word == "tasklist")
        mode = UnloadMode::TaskList;
    else if (word == "system")
        mode = UnloadMode::System;
    else if (word == "code")
        mode = UnloadMode::Code;
    else
        return false;
    return true;
}

// "down" or "up" of a key or mouse button: adds the matching event; anything else is refused.
bool Press(const std::string& direction, int vk, HeadlessScript& s,
           HeadlessScript& (HeadlessScript::*down)(int),
           HeadlessScript& (HeadlessScript::*up)(int)) {
    if (direction == "down")
        (s.*down)(vk);
    else if (direction == "up")
        (s.*up)(vk);
    else
        return false;
    return true;
}

// Parses one line's words after the optional "at" prefix.
bool ParseEvent(const std::vector<std::string>& w, size_t i, HeadlessScript& s) {
    const size_t n = w.size() - i;
    if (n == 0) return false;
    const std::string& verb = w[i];
    if (verb == "key" && n == 3) {
        int vk = 0;
        return KeyCode(w[i + 2], vk) &&
               Press(w[i + 1], vk, s, &HeadlessScript::KeyDown, &HeadlessScript::KeyUp);
    }
    if ((verb == "cursor" || verb == "warp") && n == 3) {
        int32_t x = 0, y = 0;
        if (!Number(w[i + 1], x) || !Number(w[i + 2], y)) return false;
        if (verb == "cursor")
            s.Cursor(x, y);
        else
            s.Warp(x, y);
        return true;
    }
    if (verb == "mouse" && n == 3) {
        int vk = 0;
        return MouseButtonCode(w[i + 2], vk) &&
               Press(w[i + 1], vk, s, &HeadlessScript::MouseDown, &HeadlessScript::MouseUp);
    }
    if (verb == "click" && n == 2) {
        s.Click(w[i + 1]);
        return true;
    }
    if (verb == "close" && n <= 3) {
        std::string form;
        UnloadMode mode = UnloadMode::User;
        for (size_t k = i + 1; k < w.size(); ++k) {
            if (!Mode(w[k], mode)) {
                if (!form.empty() || k != i + 1) return false;
                form = w[k];
            }
        }
        s.Close(form, mode);
        return true;
    }
    if (verb == "answer" && n == 2) {
        if (w[i + 1] == "ok")
            s.Answer(MessageBoxAnswer::OK);
        else if (w[i + 1] == "yes")
            s.Answer(MessageBoxAnswer::Yes);
        else if (w[i + 1] == "no")
            s.Answer(MessageBoxAnswer::No);
        else
            return false;
        return true;
    }
    if (verb == "joystick" && n >= 3) {
        uint32_t id = 0;
        if (!Number(w[i + 1], id)) return false;
        if (w[i + 2] == "unplug") {
            if (n != 3) return false;
            s.JoystickUnplug(id);
            return true;
        }
        if (w[i + 2] == "plug") {
            uint32_t caps = JOYCAPS_HASR | JOYCAPS_HASU | JOYCAPS_HASPOV, buttons = 0;
            for (size_t k = i + 3; k < w.size(); k += 2) {
                if (k + 1 >= w.size()) return false;
                uint32_t* target = w[k] == "caps" ? &caps : w[k] == "buttons" ? &buttons : nullptr;
                if (!target || !Number(w[k + 1], *target)) return false;
            }
            s.JoystickPlug(id, caps, buttons);
            return true;
        }
        JOYINFOEX report;
        uint32_t fields = 0;
        for (size_t k = i + 2; k < w.size(); k += 2) {
            if (k + 1 >= w.size()) return false;
            struct Field {
                const char* name;
                uint32_t bit;
                uint32_t* value;
            } const table[] = {
                {"x", kJoyX, &report.dwXpos},    {"y", kJoyY, &report.dwYpos},
                {"z", kJoyZ, &report.dwZpos},    {"r", kJoyR, &report.dwRpos},
                {"u", kJoyU, &report.dwUpos},    {"v", kJoyV, &report.dwVpos},
                {"pov", kJoyPov, &report.dwPOV}, {"buttons", kJoyButtons, &report.dwButtons},
            };
            const Field* f = nullptr;
            for (const Field& candidate : table) {
                if (w[k] == candidate.name) f = &candidate;
            }
            if (!f || !Number(w[k + 1], *f->value)) return false;
            fields |= f->bit;
        }
        s.JoystickReport(id, report);
        s.events.back().joyFields = fields;
        return true;
    }
    return false;
}

}  // namespace

bool HeadlessScript::Parse(const std::string& text, HeadlessScript& out, std::string* error) {
    std::istringstream lines(text);
    std::string line;
    int number = 0;
    while (std::getline(lines, line)) {
        ++number;
        std::istringstream words(line);
        std::vector<std::string> w;
        for (std::string word; words >> word;)
            w.push_back(word);
        if (w.empty() || w[0][0] == '#') continue;
        size_t i = 0;
        out.At(0);
        if (w[0] == "at") {
            uint64_t when = 0;
            if (w.size() < 4 || !Number(w[2], when) || (w[1] != "pass" && w[1] != "ms")) {
                if (error) *error = "line " + std::to_string(number) + ": " + line;
                return false;
            }
            if (w[1] == "pass")
                out.At(when);
            else
                out.AtMs(when);
            i = 3;
        }
        if (!ParseEvent(w, i, out)) {
            if (error) *error = "line " + std::to_string(number) + ": " + line;
            return false;
        }
    }
    return true;
}

}  // namespace platform
