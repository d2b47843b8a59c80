#include "title/modModes.h"

#include <gtest/gtest.h>

#include <climits>

#include "main/GameSettings.h"
#include "main/modMain.h"
#include "platform/Numbers.h"
#include "platform/Random.h"

static void Screen(int32_t w, int32_t h) {
    gScreenWidth = w;
    gScreenHeight = h;
}

TEST(modModes, ScaleAndFit) {
    Screen(1024, 768);
    EXPECT_EQ(ScaleToScreen(5), 3);  // the narrower ratio wins
    EXPECT_EQ(FitColumns(3, 6), 56);
    EXPECT_EQ(FitRows(3, 6), 42);
    Screen(640, 480);
    EXPECT_EQ(ScaleToScreen(2), 0);  // why every mode clamps its lines
    EXPECT_EQ(FitColumns(0, 6), 0);  // no cell size: nothing fits, no division by zero
    EXPECT_EQ(FitColumns(-5, 6), 0);
    EXPECT_EQ(FitColumns(640, 1), 0);  // not even the closing line fits
    // Differences and products beyond 32 bits are computed, not wrapped.
    Screen(INT32_MAX, INT32_MAX);
    EXPECT_EQ(FitColumns(INT32_MAX, INT32_MAX), 0);
    EXPECT_EQ(FitColumns(1, 1), INT32_MAX - 1);
    EXPECT_EQ(FitRows(INT32_MIN, -1), 0);  // negative sizes, however they multiply

    // "Broken Promises" takes its rows from the width alone.
    Screen(1920, 600);
    ApplyMode(GameMode::NoRules, 1);
    EXPECT_EQ(gRows, 17);
}

struct Geometry {
    GameMode mode;
    int32_t level;
    int32_t screenW, screenH;
    int32_t line, cellLines, columns, rows, marginColumns, marginRows, wallLength;
    double perRow, perColumn;
    int32_t frameMs;
    bool operator==(const Geometry&) const = default;
};

// 1280 x 1024 and 1024 x 768: lines 5 / 3, default grid 42 x 32 / 56 x 42.
const Geometry kGeometry[] = {
    {GameMode::Casual, 1, 1280, 1024, 5, 6, 42, 12, 3, 2, 5, 0.2, 0.1, 100},
    {GameMode::Casual, 2, 1280, 1024, 5, 6, 42, 12, 3, 2, 5, 0.0, 0.0, 100},
    {GameMode::Casual, 1, 1024, 768, 3, 6, 56, 12, 3, 2, 5, 0.2, 0.1, 100},
    {GameMode::Casual, 2, 1024, 768, 3, 6, 56, 12, 3, 2, 5, 0.0, 0.0, 100},
    {GameMode::Dont, 1, 1280, 1024, 3, 6, 42, 32, 2, 2, 1, 42 / 6.25, 42 / 6.25 * 32 / 42, 100},
    {GameMode::Dont, 2, 1280, 1024, 5, 6, 42, 32, 2, 2, 2, 42 / 7.5, 42 / 7.5 * 32 / 42, 100},
    {GameMode::Dont, 1, 1024, 768, 2, 6, 56, 42, 2, 2, 1, 56 / 6.25, 56 / 6.25 * 42 / 56, 100},
    {GameMode::Dont, 2, 1024, 768, 3, 6, 56, 42, 2, 2, 2, 56 / 7.5, 56 / 7.5 * 42 / 56, 100},
    {GameMode::Electric, 1, 1280, 1024, 5, 6, 42, 12, 3, 2, 3, 3.0, 0.9, 100},
    {GameMode::Electric, 2, 1024, 768, 3, 6, 42, 12, 3, 2, 3, 3.0, 0.9, 100},
    {GameMode::Final, 1, 1280, 1024, 2, 6, 106, 84, 5, 5, 3, 10.0, 84.0 / 106 * 10, 100},
    {GameMode::Final, 2, 1024, 768, 1, 6, 106, 84, 5, 5, 3, 10.0, 84.0 / 106 * 10, 100},
    {GameMode::Fun, 1, 1280, 1024, 5, 6, 42, 12, 3, 2, 3, 42 / 15.0, 0.65, 100},
    {GameMode::Fun, 2, 1280, 1024, 5, 4, 62, 12, 2, 2, 3, 62 / 7.0, 0.75, 100},
    {GameMode::Fun, 1, 1024, 768, 3, 6, 56, 12, 3, 2, 3, 56 / 15.0, 0.65, 100},
    {GameMode::Fun, 2, 1024, 768, 3, 4, 84, 12, 2, 2, 3, 12.0, 0.75, 100},
    {GameMode::Mini, 1, 1280, 1024, 2, 4, 10, 10, 2, 2, 2, 1.25, 1.25, 100},
    {GameMode::Mini, 2, 1280, 1024, 23, 4, 10, 10, 2, 2, 2, 1.25, 1.25, 100},
    {GameMode::Mini, 1, 1024, 768, 1, 4, 10, 10, 2, 2, 2, 1.25, 1.25, 100},
    {GameMode::Mini, 2, 1024, 768, 17, 4, 10, 10, 2, 2, 2, 1.25, 1.25, 100},
    {GameMode::NoRules, 1, 1280, 1024, 5, 6, 42, 12, 3, 2, 3, 4.0, 1.1, 100},
    {GameMode::NoRules, 2, 1280, 1024, 5, 4, 62, 12, 3, 2, 2, 15.5, 0.0, 100},
    {GameMode::NoRules, 1, 1024, 768, 3, 6, 56, 10, 3, 2, 3, 56 / 10.5, 1.1, 100},
    {GameMode::NoRules, 2, 1024, 768, 3, 4, 84, 10, 3, 2, 2, 21.0, 0.0, 100},
    {GameMode::Ouch, 1, 1280, 1024, 5, 6, 42, 12, 3, 2, 2, 42 / 9.25, 1.1, 100},
    {GameMode::Ouch, 2, 1280, 1024, 5, 12, 20, 10, 2, 2, 2, 5.0, 1.5, 100},
    {GameMode::Ouch, 1, 1024, 768, 3, 6, 56, 12, 3, 2, 2, 56 / 9.25, 1.1, 100},
    {GameMode::Ouch, 2, 1024, 768, 3, 12, 28, 10, 2, 2, 2, 7.0, 1.5, 100},
    {GameMode::Ridiculous, 1, 1280, 1024, 5, 14, 14, 14, 2, 2, 4, 14 / 12.75, 14 / 12.75, 16},
    {GameMode::Ridiculous, 2, 1280, 1024, 5, 6, 32, 32, 3, 3, 4, 32 / 21.25, 32 / 21.25, 16},
    {GameMode::Ridiculous, 1, 1024, 768, 3, 14, 18, 18, 2, 2, 4, 18 / 12.75, 18 / 12.75, 16},
    {GameMode::Ridiculous, 2, 1024, 768, 3, 6, 42, 42, 3, 3, 4, 42 / 21.25, 42 / 21.25, 16},
    {GameMode::Speedy, 1, 1280, 1024, 5, 6, 42, 16, 3, 2, 3, 2.9, 0.9, 50},
    {GameMode::Speedy, 2, 1024, 768, 3, 6, 42, 16, 3, 2, 3, 2.9, 0.9, 50},
    {GameMode::Vertigo, 1, 1280, 1024, 5, 6, 12, 32, 2, 2, 3, 0.9, 32 / 14.25, 100},
    {GameMode::Vertigo, 2, 1280, 1024, 4, 4, 8, 62, 2, 2, 3, 0.6, 62 / 14.5, 100},
    {GameMode::Vertigo, 1, 1024, 768, 3, 6, 12, 42, 2, 2, 3, 0.9, 42 / 14.25, 100},
    {GameMode::Vertigo, 2, 1024, 768, 3, 4, 8, 62, 2, 2, 3, 0.6, 62 / 14.5, 100},
    {GameMode::Work, 1, 1280, 1024, 5, 6, 42, 12, 3, 2, 3, 42 / 13.0, 0.9, 100},
    {GameMode::Work, 2, 1280, 1024, 5, 6, 42, 12, 3, 2, 3, 6.0, 1.1, 100},
    {GameMode::Work, 1, 1024, 768, 3, 6, 56, 12, 3, 2, 3, 56 / 13.0, 0.9, 100},
    {GameMode::Work, 2, 1024, 768, 3, 6, 56, 12, 3, 2, 3, 8.0, 1.1, 100},
};

TEST(modModes, GeometryOfEveryModeAtBothLevels) {
    for (const Geometry& g : kGeometry) {
        Screen(g.screenW, g.screenH);
        ApplyMode(g.mode, g.level);
        const Geometry got{g.mode,          g.level,     g.screenW,
                           g.screenH,       gLineWidth,  gCellWidthLines,
                           gColumns,        gRows,       gWellMarginColumns,
                           gWellMarginRows, gWallLength, gWallsPerRow,
                           gWallsPerColumn, gFrameMs};
        EXPECT_EQ(got, g) << ModeControlName(g.mode) << " level " << g.level << " at " << g.screenW;
        EXPECT_TRUE(gLineHeight == gLineWidth && gCellHeightLines == gCellWidthLines);
        EXPECT_EQ(gRandomDirections, g.mode == GameMode::NoRules);
        EXPECT_EQ(gElectric, g.mode == GameMode::Electric);
        EXPECT_EQ(gWallColorMode, g.mode == GameMode::Dont ? 2 : 1);
        EXPECT_EQ(gWellDecoration, g.mode == GameMode::Final ? 20 * g.level : 0);
    }
}

TEST(modModes, ColoursFollowTheirReferencesAtBothLevels) {
    Screen(1280, 1024);
    for (int32_t level : {1, 2}) {
        ApplyMode(GameMode::Speedy, level);  // "=N3, =N2, =N1"
        EXPECT_EQ(gAltColor1, RGB(192, 192, 255));
        EXPECT_EQ(gAltColor3, RGB(192, 192, 224));
        ApplyMode(GameMode::Vertigo, level);  // pairs differ by direction
        EXPECT_EQ(gWallRightColorB, RGB(32, 32, 32));
        EXPECT_EQ(gWallDownColorA, RGB(32, 32, 224));
        ApplyMode(GameMode::Casual, level);
        EXPECT_EQ(gAltColor3, RGB(224, 33, 224));
    }
}

TEST(modModes, DontDrawsTwelveChannelsInOrder) {
    Screen(1280, 1024);
    quadrix::SharedRandom().Seed(77);
    ApplyMode(GameMode::Dont, 2);
    const COLORREF got[4] = {gAltColor1, gAltColor2, gAltColor3, gAltColor4};
    const double next = Rnd();
    quadrix::SharedRandom().Seed(77);
    for (COLORREF c : got) {
        const int r = Int(Rnd() * 256), g = Int(Rnd() * 256), b = Int(Rnd() * 256);
        EXPECT_EQ(c, RGB(r, g, b));
    }
    EXPECT_EQ(Rnd(), next);  // exactly twelve draws; no other mode draws at all
    quadrix::SharedRandom().Seed(5);
    for (int m = 0; m < kGameModeCount; ++m) {
        if (static_cast<GameMode>(m) != GameMode::Dont) ApplyMode(static_cast<GameMode>(m), 2);
    }
    const double first = Rnd();
    quadrix::SharedRandom().Seed(5);
    EXPECT_EQ(Rnd(), first);
}

TEST(modModes, SmallScreenLinesAreAtLeastOnePixel) {
    for (auto [w, h] : {std::pair{640, 480}, std::pair{1, 1}}) {
        Screen(w, h);
        for (int m = 0; m < 2 * kGameModeCount; ++m) {  // every mode at both levels
            ApplyMode(static_cast<GameMode>(m / 2), m % 2 + 1);
            EXPECT_TRUE(gLineWidth >= 1 && gLineHeight >= 1) << m << " at " << w;
            EXPECT_TRUE(CompleteSettings());
            EXPECT_FALSE(std::isnan(gWallsPerColumn)) << m << " at " << w;
        }
    }
    Screen(640, 480);
    ApplyMode(GameMode::Final, 1);
    EXPECT_EQ(gLineWidth, 1);
}

TEST(modModes, OptionsSetTheirFieldsAndButtonColour) {
    // No option, and anarchy alone: checked by the title's option clicks.
    EXPECT_EQ(ApplyOptionFlags({.solid = true}).buttonColor, RGB(126, 152, 232));
    const OptionEffect all =
        ApplyOptionFlags({.ouch = true, .anarchy = true, .solid = true, .speed = true});
    EXPECT_EQ(all.level, 2);
    EXPECT_EQ(all.buttonColor, RGB(255, 255, 39));
    EXPECT_TRUE(gAnarchy && gSolid && gPiecesOff);
    EXPECT_EQ(gSpeedFactor, 1.1);
    // Modes leave the option fields alone.
    ApplyOptionFlags({.pieces = true});
    for (int m = 0; m < kGameModeCount; ++m)
        ApplyMode(static_cast<GameMode>(m), 1);
    EXPECT_FALSE(gAnarchy || gSolid || gPiecesOff);
    EXPECT_EQ(gSpeedFactor, 1.0);
}
