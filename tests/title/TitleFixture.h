// The title window on the headless back end: a screen of the given size, the shared devices,
// the repository's images/ as the program's folder and a settings store of the test's own.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <memory>
#include <string>

#include "input/clsJoystick.h"
#include "input/clsKeyboard.h"
#include "main/Random.h"
#include "main/modMain.h"
#include "platform/files/ProgramFolder.h"
#include "platform/headless/Headless.h"
#include "platform/settings/SettingsStore.h"
#include "platform/window/Application.h"
#include "title/frmTitle.h"

class TitleTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string folder = (std::filesystem::temp_directory_path() / "qx-title-XXXXXX").string();
        config_ = ::mkdtemp(folder.data()) ? folder : std::string();
        ::setenv("XDG_CONFIG_HOME", config_.c_str(), 1);
        // tests/data lies two levels below the repository root (it need not exist).
        platform::SetProgramFolder(
            std::filesystem::path(QUADRIX_TEST_DATA).parent_path().parent_path());
        UseScreen(1280, 1024);
    }

    void TearDown() override {
        platform::Application::Get().Reset();
        gKeyboard = nullptr;
        gJoystick = nullptr;
        platform::SetProgramFolder("");
        ::unsetenv("XDG_CONFIG_HOME");
        std::error_code ignored;
        if (!config_.empty()) std::filesystem::remove_all(config_, ignored);
    }

    // A fresh back end and devices for a screen; with a pad plugged in when asked.
    void UseScreen(int32_t width, int32_t height, bool pad = false) {
        platform::Application::Get().Reset();
        headless = &platform::UseHeadless();
        headless->SetScreenSize(width, height);
        headless->SetPassLimit(20'000);
        if (pad) {
            JOYINFOEX rest;
            rest.dwXpos = rest.dwYpos = rest.dwZpos = rest.dwRpos = rest.dwUpos = 32767;
            headless->SetJoystick(0, {}, rest);
        }
        gScreenWidth = width;
        gScreenHeight = height;
        keyboard = std::make_unique<clsKeyboard>();
        joystick = std::make_unique<clsJoystick>();
        gKeyboard = keyboard.get();
        gJoystick = joystick.get();
        keyboard->Initialize();
        joystick->Initialize(0);
        quadrix::SharedRandom().Seed(7);
        for (platform::CheckBox* box : {&title.chkLevel2, &title.chkDisrupt, &title.chkSolid,
                                        &title.chkPieces, &title.chkSpeed})
            box->SetValue(0);
    }

    // Script lines for the message loop, by pass or time as the lines say.
    void Script(const std::string& text) {
        platform::HeadlessScript script;
        std::string error;
        ASSERT_TRUE(platform::HeadlessScript::Parse(text, script, &error)) << error;
        headless->Load(script);
    }

    static std::string StoredMouse() {
        return platform::GetSetting("Quadrix_1_1", "Main", "Mouse", "none");
    }

    frmTitle& title = TitleForm();
    platform::Headless* headless = nullptr;
    std::unique_ptr<clsKeyboard> keyboard;
    std::unique_ptr<clsJoystick> joystick;

  private:
    std::string config_;
};
