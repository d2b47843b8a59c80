// A small known playfield for the playfield tests: 10 x 8 cells of 6 x 6 lines, lines 5 pixels
// thick, so W = 300, H = 240 and the picture is 305 x 245. Every test starts from the same
// settings, game state and random seed.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>

#include "main/Random.h"
#include "main/frmMain.h"
#include "main/modMain.h"
#include "platform/raster/gdi.h"
#include "playfield/clsWalls.h"

// Reaches the wall set's private helpers (folding, look-up, placement, colours) from tests.
class clsWallsPeer {
  public:
    static int32_t WrapX(const clsWalls& w, int32_t x) { return w.WrapX(x); }
    static int32_t WrapY(const clsWalls& w, int32_t y) { return w.WrapY(y); }
    static int32_t FindWall(const clsWalls& w, int32_t x, int32_t y, int32_t dx, int32_t dy,
                            int32_t speed) {
        return w.FindWall(x, y, dx, dy, speed);
    }
    static bool AddWall(clsWalls& w, int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t dx,
                        int32_t dy) {
        return w.AddWall(x1, y1, x2, y2, dx, dy);
    }
};

class PlayfieldFixture : public ::testing::Test {
  protected:
    static constexpr int32_t LW = 5;
    static constexpr int32_t LH = 5;
    static constexpr int32_t CW = 30;
    static constexpr int32_t CH = 30;
    static constexpr int32_t W = 300;  // CW x 10 columns
    static constexpr int32_t H = 240;  // CH x 8 rows

    static constexpr COLORREF kPath = RGB(20, 40, 60);

    void SetUp() override {
        gWellDecoration = 0;
        gLineWidth = LW;
        gLineHeight = LH;
        gCellWidthLines = 6;
        gCellHeightLines = 6;
        gColumns = 10;
        gRows = 8;
        gWellMarginColumns = 1;
        gWellMarginRows = 1;
        gWallLength = 3;
        gWallsPerRow = 1.0;
        gWallsPerColumn = 1.0;
        gRandomDirections = false;
        gFrameMs = 20;
        gElectric = false;
        gAnarchy = false;
        gSolid = false;
        gSpeedFactor = 1.0;
        gPiecesOff = true;
        gNormalColor1 = kPath;
        gNormalColor2 = RGB(200, 200, 40);
        gNormalColor3 = RGB(90, 10, 10);
        gNormalColor4 = RGB(10, 90, 10);
        gAltColor1 = RGB(70, 0, 70);
        gAltColor2 = RGB(0, 70, 70);
        gAltColor3 = RGB(120, 120, 0);
        gAltColor4 = RGB(0, 0, 120);
        gWallColorMode = 1;
        gWallLeftColorA = RGB(255, 0, 0);
        gWallLeftColorB = RGB(128, 0, 0);
        gWallRightColorA = RGB(0, 255, 0);
        gWallRightColorB = RGB(0, 128, 0);
        gWallUpColorA = RGB(0, 0, 255);
        gWallUpColorB = RGB(0, 0, 128);
        gWallDownColorA = RGB(255, 255, 0);
        gWallDownColorB = RGB(128, 128, 0);
        gManColor1 = RGB(250, 250, 250);
        gManColor2 = RGB(5, 5, 5);
        gManColor3 = RGB(200, 100, 50);
        gScreenWidth = 640;
        gScreenHeight = 480;
        CompleteDerived();

        frmMain& form = MainForm();
        form.mState = 0;
        form.mStateCounter = 0;
        form.picMain.Move(0, 0, W + LW, H + LH);
        form.picMain.SetBackColor(RGB(255, 255, 255));

        // The repository's own images/ folder stands in for the program's folder.
        clsWalls::SetProgramFolder(RepositoryFolder());
        quadrix::SharedRandom().Seed(20240601);
    }

    void TearDown() override {
        clsWalls::SetProgramFolder("");
        MainForm().mState = 0;
    }

    // The derived fields of game set-up, from the independent ones.
    static void CompleteDerived() {
        gCellWidth = gCellWidthLines * gLineWidth;
        gCellHeight = gCellHeightLines * gLineHeight;
        gWellLeft = gWellMarginColumns * gCellWidth;
        gWellTop = gWellMarginRows * gCellHeight;
        gWellRight = (gColumns - gWellMarginColumns) * gCellWidth;
        gWellBottom = (gRows - gWellMarginRows) * gCellHeight;
    }

    // tests/data lies two levels below the repository root (it need not exist).
    static std::string RepositoryFolder() {
        return std::filesystem::path(QUADRIX_TEST_DATA).parent_path().parent_path().string();
    }

    // A live wall of speed 1 unless told otherwise.
    static clsWalls::Wall LiveWall(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t dx,
                                   int32_t dy, int32_t speed = 1, COLORREF a = RGB(1, 2, 3),
                                   COLORREF b = RGB(4, 5, 6)) {
        clsWalls::Wall w;
        w.X1 = x1;
        w.Y1 = y1;
        w.X2 = x2;
        w.Y2 = y2;
        w.DirX = dx;
        w.DirY = dy;
        w.Speed = speed;
        w.ColorA = a;
        w.ColorB = b;
        w.Alive = true;
        return w;
    }

    static HDC Dc() { return MainForm().picMain.hDC(); }
    static COLORREF Pixel(int32_t x, int32_t y) { return GetPixel(Dc(), x, y); }

    // Paints the whole picture in one colour (the path colour by default).
    static void FillPicture(COLORREF color = kPath) {
        Bitmap* image = MainForm().picMain.image();
        for (auto& p : image->pixels)
            p = color;
    }
};
