// A small known playfield for the playfield tests: 10 x 8 cells of 6 x 6 lines, lines 5 pixels
// thick, so W = 300, H = 240 and the picture is 305 x 245, centred on a 640 x 480 screen. Every
// test starts from the same settings, devices, man, boxes, game state and random seed, on a picture
// in the path colour.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>

#include "input/clsJoystick.h"
#include "input/clsKeyboard.h"
#include "main/GameSettings.h"
#include "main/frmMain.h"
#include "main/modMain.h"
#include "platform/Numbers.h"
#include "platform/Random.h"
#include "platform/files/ProgramFolder.h"
#include "platform/headless/Headless.h"
#include "platform/window/Application.h"
#include "playfield/clsBoxes.h"
#include "playfield/clsMan.h"
#include "playfield/clsWalls.h"
#include "program/Program.h"
#include "title/modModes.h"

// Reaches the wall set's private folding and placement from tests.
class clsWallsPeer {
  public:
    static int32_t WrapX(const clsWalls& w, int32_t x) { return w.WrapX(x); }
    static int32_t WrapY(const clsWalls& w, int32_t y) { return w.WrapY(y); }
    static bool AddWall(clsWalls& w, int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t dx,
                        int32_t dy) {
        return w.AddWall(x1, y1, x2, y2, dx, dy);
    }
    // The placement buckets, built for the walls as they stand.
    static void Index(clsWalls& w) {
        w.StartIndex();
        for (int32_t i = 0; i < w.WallCount(); ++i)
            w.IndexWall(i);
    }
    // The slot of the first wall of a kind with a corner at (x, y): by the buckets, and by
    // walking every wall.
    static std::pair<int32_t, int32_t> FindWall(clsWalls& w, int32_t x, int32_t y,
                                                const clsWalls::Wall& kind) {
        w.mIndexed = true;
        const int32_t byBuckets = w.FindWall(x, y, kind.DirX, kind.DirY, kind.Speed);
        w.mIndexed = false;
        return {byBuckets, w.FindWall(x, y, kind.DirX, kind.DirY, kind.Speed)};
    }
};

inline bool operator==(POINT a, POINT b) {
    return a.x == b.x && a.y == b.y;
}

class PlayfieldFixture : public ::testing::Test {
  protected:
    static constexpr int32_t LW = 5, LH = 5, CW = 30, CH = 30, W = 300, H = 240;
    static constexpr COLORREF kPath = RGB(20, 40, 60);
    static constexpr COLORREF kWhite = 0xFFFFFF;
    static constexpr COLORREF kBlack = 0;

    // The fixture's settings, devices and a game set up through the form's own Form_Load;
    // runs while the fixture is built so that `walls` can name the game's wall set.
    clsWalls& SetUpGame() {
        platform::UseHeadless().SetScreenSize(640, 480);
        ResetProgramState();
        gLineWidth = gLineHeight = LW;
        gCellWidthLines = gCellHeightLines = 6;
        gColumns = 10;
        gRows = 8;
        gWellMarginColumns = gWellMarginRows = 1;
        gWallLength = 3;
        gWallsPerRow = gWallsPerColumn = 1.0;
        gPiecesOff = true;
        gSpeedFactor = 1.0;
        gFrameMs = 50;
        gWallColorMode = 1;
        // Every colour setting distinct from the others and from black, white and pure hues.
        COLORREF* const colours[] = {
            &gNormalColor1,   &gNormalColor2,   &gNormalColor3,    &gNormalColor4,
            &gAltColor1,      &gAltColor2,      &gAltColor3,       &gAltColor4,
            &gWallLeftColorA, &gWallLeftColorB, &gWallRightColorA, &gWallRightColorB,
            &gWallUpColorA,   &gWallUpColorB,   &gWallDownColorA,  &gWallDownColorB,
            &gManColor1,      &gManColor2,      &gManColor3};
        for (int32_t i = 0; i < static_cast<int32_t>(std::size(colours)); ++i)
            *colours[i] = RGB(20 + 10 * i, 40 + 7 * i, 60 - 3 * i);
        gScreenWidth = 640;
        gScreenHeight = 480;

        keyboard.Initialize();
        joystick.Initialize(0);  // none attached
        gKeyboard = &keyboard;
        gJoystick = &joystick;
        // The repository's own images/ folder stands in for the program's folder; tests/data
        // lies two levels below the repository root (it need not exist).
        platform::SetProgramFolder(
            std::filesystem::path(QUADRIX_TEST_DATA).parent_path().parent_path());
        quadrix::SharedRandom().Seed(20240601);
        MainForm().Load();  // start (15, 225), goal marker (280, 10)
        return *MainForm().mWalls;
    }

    void SetUp() override {
        frmMain& form = MainForm();
        form.mState = form.mStateCounter = 0;
        form.tmrMain.SetEnabled(false);  // the game loop is not under test here
        walls.Clear(8);
        quadrix::SharedRandom().Seed(20240601);
        FillPicture();
    }

    void TearDown() override {
        ResetProgramState();
        platform::SetProgramFolder("");
    }

    // A game's settings for one mode and set of options on the current screen.
    static void UseMode(GameMode mode, const OptionFlags& flags) {
        ApplyMode(mode, ApplyOptionFlags(flags).level);
        ASSERT_TRUE(CompleteSettings());
    }
    // The wall capacity a game gives the current settings.
    static int32_t Capacity() {
        return Nearest(Int(gWallsPerColumn + 1) * gRows * gWallLength +
                       Int(gWallsPerRow + 1) * static_cast<double>(gColumns) * gWallLength);
    }

    static clsWalls::Wall LiveWall(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t dx,
                                   int32_t dy, int32_t speed = 1, COLORREF a = RGB(1, 2, 3),
                                   COLORREF b = RGB(4, 5, 6)) {
        return clsWalls::Wall{x1, y1, x2, y2, dx, dy, speed, a, b, true};
    }

    static HDC Dc() { return MainForm().picMain.hDC(); }
    static COLORREF Pixel(int32_t x, int32_t y) { return GetPixel(Dc(), x, y); }
    struct Px {
        int32_t x, y;
        COLORREF c;
    };
    template <size_t N>
    static void ExpectPixels(const Px (&want)[N]) {
        for (const Px& p : want)
            EXPECT_EQ(Pixel(p.x, p.y), p.c) << "at " << p.x << "," << p.y;
    }
    static void FillPicture(COLORREF color = kPath) {
        for (auto& p : MainForm().picMain.image()->pixels)
            p = color;
    }

    static clsMan& Man() { return *MainForm().mMan; }
    static POINT ManAt() { return POINT{Man().mX, Man().mY}; }
    static void Place(int32_t x, int32_t y) {
        Man().mX = x;
        Man().mY = y;
        Man().mMovedX = Man().mMovedY = false;
    }
    // Keys are copied in by value: a table of cases must own its key lists.
    void Hold(const std::vector<int>& keys) {
        keyboard.Initialize();
        for (int k : keys)
            keyboard.SetKeyHold(k, true);
    }

    clsKeyboard keyboard;
    clsJoystick joystick;
    clsWalls& walls = SetUpGame();
};
