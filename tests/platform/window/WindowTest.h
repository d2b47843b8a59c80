// Forms shaped like the game's, on the headless back end.
#pragma once

#include <gtest/gtest.h>

#include <random>

#include "platform/Backend.h"
#include "platform/clock/Clock.h"
#include "platform/headless/Headless.h"
#include "platform/window/Application.h"
#include "platform/window/CommandButton.h"
#include "platform/window/Form.h"
#include "platform/window/Timer.h"

using Log = std::vector<std::string>;

// A screen of the game: each activation enables its timer, whose first tick runs a loop that
// draws and dispatches events once per pass, `pace` ms apart, until a click on its button or a
// close request ends it; then `after` runs (by default the form unloads). Everything it lives
// through goes to the log.
class LoopForm : public platform::Form {
  public:
    LoopForm(std::string name, Log& log) : Form(std::move(name)), log_(log) {
        Add(tmrMain);
        Add(cmdStop);
        cmdStop.Move(10, 10, 50, 20);
        tmrMain.SetInterval(1);
        tmrMain.OnTimer = [this] { Loop(); };
        cmdStop.OnClick = [this] {
            Note("click at pass " + std::to_string(passes));
            quit = true;
        };
        after = [this] { Unload(); };
    }
    void Form_Load() override { Note("load"); }
    void Form_Activate() override {
        Note("activate");
        tmrMain.SetEnabled(true);
    }
    void Form_QueryUnload(bool& cancel, platform::UnloadMode mode) override {
        Note("query " + std::to_string(static_cast<int>(mode)));
        if (mode != platform::UnloadMode::Code) cancel = quit = true;
    }
    void Form_Unload() override { Note("unload"); }
    void Loop() {
        tmrMain.SetEnabled(false);
        entryPasses.push_back(dynamic_cast<platform::Headless&>(platform::CurrentBackend()).Pass());
        Note("enter with " + std::to_string(platform::Application::Get().FormCount()) + " forms");
        for (quit = false, passes = 0; !quit; Sleep(pace)) {
            ++passes;
            const uint32_t dot = random();  // each pass shows a dot: frames record the run
            SetPixelV(hDC(), static_cast<int32_t>(dot % 64), static_cast<int32_t>(dot / 64 % 48),
                      RGB(255, 0, 0));
            Refresh();
            platform::DoEvents();
        }
        after();
    }
    void Note(const std::string& what) { log_.push_back(Name() + " " + what); }

    platform::Timer tmrMain{"tmrMain"};
    platform::CommandButton cmdStop{"cmdStop"};
    std::function<void()> after;
    uint32_t pace = 5;
    std::mt19937 random;
    bool quit = false;
    int passes = 0;
    std::vector<uint64_t> entryPasses;

  private:
    Log& log_;
};

// A second window with its own timer, as the auxiliary form has.
struct SideForm : platform::Form {
    SideForm() : Form("frmSide") { Add(tmrSide); }
    void Run(uint32_t interval, std::function<void()> tick) {
        Load();
        tmrSide.OnTimer = std::move(tick);
        tmrSide.SetInterval(interval);
        tmrSide.SetEnabled(true);
    }
    platform::Timer tmrSide;
};

class WindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        headless = &platform::UseHeadless();
        headless->SetScreenSize(64, 48);
        headless->SetPassLimit(10'000);
        platform::Application::Get().Reset();
    }
    void TearDown() override { platform::Application::Get().Reset(); }
    // Script lines for the message loop; given a pass, every line comes at that pass.
    void Script(const std::string& text, uint64_t pass = 0) {
        platform::HeadlessScript script;
        std::string error;
        ASSERT_TRUE(platform::HeadlessScript::Parse(text, script, &error)) << error;
        for (platform::ScriptEvent& e : script.events)
            e.at = pass ? pass : e.at;
        headless->Load(script);
    }
    platform::Headless* headless = nullptr;
    Log log;
};
