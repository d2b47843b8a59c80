// What a pump hands the program, one line an event: "mouse 1 down 10,20" (the button's virtual
// key), "move 7,9", "click cmdCasual", "close frmMain 3" (the unload mode), "quit".
#pragma once

#include <string>
#include <vector>

#include "platform/Backend.h"

struct RecordingSink : platform::EventSink {
    static std::string Where(POINT p) { return std::to_string(p.x) + "," + std::to_string(p.y); }
    void MouseButton(int vk, bool down, POINT at) override {
        log.push_back("mouse " + std::to_string(vk) + (down ? " down " : " up ") + Where(at));
    }
    void MouseMove(POINT at) override { log.push_back("move " + Where(at)); }
    void ClickControl(const std::string& name) override { log.push_back("click " + name); }
    void CloseRequest(const std::string& form, platform::UnloadMode mode) override {
        log.push_back("close " + form + " " + std::to_string(static_cast<int>(mode)));
    }
    void QuitRequest() override { log.push_back("quit"); }
    std::vector<std::string> log;
};
