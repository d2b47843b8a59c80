// Whole games on the headless back end: the real set-up and loop on a small known playfield
// (10 x 8 cells of 6 x 6 lines 5 pixels thick, no walls unless a test adds them) on a
// 640 x 480 screen, with every pass's state recorded as the loop runs.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>

#include "input/clsJoystick.h"
#include "input/clsKeyboard.h"
#include "main/frmMain.h"
#include "main/modMain.h"
#include "platform/Random.h"
#include "platform/clock/Clock.h"
#include "platform/files/ProgramFolder.h"
#include "platform/headless/Headless.h"
#include "platform/input/Cursor.h"
#include "platform/window/Application.h"
#include "playfield/clsBoxes.h"
#include "playfield/clsMan.h"
#include "playfield/clsWalls.h"
#include "program/Program.h"
#include "title/frmTitle.h"

class GameFixture : public ::testing::Test {
  protected:
    static constexpr COLORREF kNormal3 = RGB(10, 200, 30);

    struct PassRecord {
        int16_t state;
        int32_t counter;
        POINT man;
        int32_t boxes;
        COLORREF fill;  // between the border and the well
        POINT cursor;
        bool heldD;
        uint64_t startMs;  // virtual time the pass began
    };

    void SetUp() override {
        headless = &platform::UseHeadless();
        headless->SetScreenSize(640, 480);
        ResetProgramState();
        StartProgram();
        quadrix::SharedRandom().Seed(7);
        gLineWidth = gLineHeight = 5;
        gCellWidthLines = gCellHeightLines = 6;
        gColumns = 10;
        gRows = 8;
        gWellMarginColumns = gWellMarginRows = 1;
        gWallLength = 3;
        gPiecesOff = true;
        gSpeedFactor = 1.0;
        gFrameMs = 50;
        gWallColorMode = 1;
        gNormalColor1 = RGB(20, 40, 60);
        gNormalColor2 = RGB(30, 50, 70);
        gNormalColor3 = kNormal3;
        gNormalColor4 = RGB(40, 60, 80);
        gAltColor3 = RGB(200, 0, 0);
        gManColor1 = RGB(1, 1, 200);
        gManColor2 = RGB(2, 2, 200);
        gManColor3 = RGB(3, 3, 200);
        platform::SetProgramFolder(
            std::filesystem::path(QUADRIX_TEST_DATA).parent_path().parent_path());
        // The title is loaded before any game, as in the program; every game shows it again.
        TitleForm().Load();
        frmMain& form = MainForm();
        form.OnPassStart = [this] {
            started = headless->ElapsedMicroseconds() / 1000;
            if (beforePass) beforePass(static_cast<int32_t>(passes.size()) + 1);
        };
        form.OnPassEnd = [this, &form] {
            if (static_cast<int32_t>(passes.size()) >= stopAfter) form.mState = GameState::Over;
        };
        form.OnPassWorkDone = [this, &form] {
            POINT cursor{};
            GetCursorPos(&cursor);
            passes.push_back({form.mState,
                              form.mStateCounter,
                              {form.mMan->mX, form.mMan->mY},
                              form.mBoxes->LiveCount(),
                              GetPixel(form.picMain.hDC(), 7, 7),
                              cursor,
                              gKeyboard->KeyHold('D'),
                              started});
        };
    }

    void TearDown() override {
        frmMain& form = MainForm();
        form.OnPassStart = form.OnPassWorkDone = form.OnPassEnd = nullptr;
        ResetProgramState();
        platform::SetProgramFolder("");
    }

    // A joystick (all axes centred, no button) as device 0 of the game.
    void PlugJoystick(const JOYCAPSA& caps = {.wNumButtons = 8}) {
        headless->SetJoystick(0, caps, {.dwXpos = 32767, .dwYpos = 32767, .dwZpos = 32767});
        joystick = std::make_unique<clsJoystick>();
        joystick->Initialize(0);
        gJoystick = joystick.get();
    }

    // Loads the game form and runs the message loop until the game is over; a runaway game
    // ends the test at the pass limit.
    void Play(const platform::HeadlessScript& script = {}, uint64_t limit = 5000) {
        headless->Load(script);
        headless->SetPassLimit(limit);
        PlayGame();
    }

    platform::Headless* headless = nullptr;
    std::vector<PassRecord> passes;  // passes[0] is pass 1
    std::function<void(int32_t pass)> beforePass;
    int32_t stopAfter = 5000;
    std::unique_ptr<clsJoystick> joystick;
    uint64_t started = 0;
};
