#include "title/modModes.h"

#include <gtest/gtest.h>

#include <climits>

#include "main/GameSettings.h"
#include "main/Random.h"
#include "main/modMain.h"

namespace {

void Screen(int32_t w, int32_t h) {
    gScreenWidth = w;
    gScreenHeight = h;
}

TEST(modModes, ScaleAndFitExamples) {
    Screen(1280, 1024);
    EXPECT_EQ(ScaleToScreen(5), 5);
    EXPECT_EQ(FitColumns(5, 6), 42);
    EXPECT_EQ(FitRows(5, 6), 32);
    Screen(1024, 768);
    EXPECT_EQ(ScaleToScreen(5), 3);
    EXPECT_EQ(FitColumns(3, 6), 56);
    EXPECT_EQ(FitRows(3, 6), 42);
    Screen(640, 480);
    EXPECT_EQ(ScaleToScreen(2), 0);  // why every mode clamps its lines
    EXPECT_EQ(ScaleToScreen(5), 2);
    // The narrower ratio wins.
    Screen(1920, 1080);
    EXPECT_EQ(ScaleToScreen(5), 5);
    EXPECT_EQ(ScaleToScreen(23), 24);
}

TEST(modModes, FitRefusesWhatCannotFit) {
    Screen(100, 100);
    EXPECT_EQ(FitColumns(0, 6), 0);
    EXPECT_EQ(FitColumns(-5, 6), 0);
    EXPECT_EQ(FitColumns(5, 0), 0);
    EXPECT_EQ(FitColumns(200, 1), 0);  // not even the closing line fits
    EXPECT_EQ(FitColumns(99, 1), 0);
    EXPECT_EQ(FitRows(1, 33), 2);
    // Products and differences beyond 32 bits are computed, not wrapped.
    Screen(INT32_MAX, INT32_MAX);
    EXPECT_EQ(FitColumns(INT32_MAX, INT32_MAX), 0);
    EXPECT_EQ(FitColumns(1, 1), INT32_MAX - 1);
    EXPECT_EQ(FitColumns(-1, -1), 0);  // 2^31 columns do not fit the result
    EXPECT_EQ(FitRows(INT32_MIN, -1), 0);
}

struct Geometry {
    GameMode mode;
    int32_t level;
    int32_t screenW, screenH;
    int32_t line, cellLines, columns, rows, marginColumns, marginRows, wallLength;
    double perRow, perColumn;
    int32_t frameMs;
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
        const std::string what = std::string(ModeControlName(g.mode)) + " level " +
                                 std::to_string(g.level) + " at " + std::to_string(g.screenW);
        EXPECT_EQ(gLineWidth, g.line) << what;
        EXPECT_EQ(gLineHeight, g.line) << what;
        EXPECT_EQ(gCellWidthLines, g.cellLines) << what;
        EXPECT_EQ(gCellHeightLines, g.cellLines) << what;
        EXPECT_EQ(gColumns, g.columns) << what;
        EXPECT_EQ(gRows, g.rows) << what;
        EXPECT_EQ(gWellMarginColumns, g.marginColumns) << what;
        EXPECT_EQ(gWellMarginRows, g.marginRows) << what;
        EXPECT_EQ(gWallLength, g.wallLength) << what;
        EXPECT_DOUBLE_EQ(gWallsPerRow, g.perRow) << what;
        EXPECT_DOUBLE_EQ(gWallsPerColumn, g.perColumn) << what;
        EXPECT_EQ(gFrameMs, g.frameMs) << what;
        EXPECT_EQ(gRandomDirections, g.mode == GameMode::NoRules) << what;
        EXPECT_EQ(gElectric, g.mode == GameMode::Electric) << what;
        EXPECT_EQ(gWallColorMode, g.mode == GameMode::Dont ? 2 : 1) << what;
        EXPECT_EQ(gWellDecoration, g.mode == GameMode::Final ? 20 * g.level : 0) << what;
    }
}

TEST(modModes, RowsOfBrokenPromisesFollowTheWidth) {
    for (int32_t h : {600, 1024, 1200}) {
        Screen(1920, h);
        ApplyMode(GameMode::NoRules, 1);
        EXPECT_EQ(gRows, 17);
        Screen(1024, h);
        ApplyMode(GameMode::NoRules, 2);
        EXPECT_EQ(gRows, 10);
    }
}

struct Colours {
    GameMode mode;
    COLORREF n1, n4, alt1, alt2, alt3, alt4, leftA, rightB, upA, downB, man1, man3;
};

const COLORREF kWhite = RGB(255, 255, 255);
const Colours kColours[] = {
    {GameMode::Casual, RGB(255, 162, 255), kWhite, RGB(255, 162, 255), kWhite, RGB(224, 33, 224),
     kWhite, RGB(64, 192, 0), RGB(32, 100, 0), RGB(248, 170, 68), kWhite, kWhite, kWhite},
    {GameMode::Electric, RGB(127, 127, 127), kWhite, RGB(127, 127, 127), RGB(255, 255, 128),
     RGB(128, 128, 128), RGB(255, 255, 128), RGB(128, 128, 128), RGB(255, 255, 128),
     RGB(128, 128, 128), RGB(255, 255, 128), kWhite, RGB(255, 255, 128)},
    {GameMode::Final, RGB(0, 0, 0), RGB(255, 0, 0), RGB(0, 0, 0), RGB(0, 255, 0), RGB(64, 64, 64),
     RGB(0, 255, 0), kWhite, RGB(255, 0, 0), kWhite, RGB(255, 0, 0), kWhite, RGB(255, 0, 0)},
    {GameMode::Fun, kWhite, kWhite, kWhite, RGB(128, 64, 32), RGB(64, 128, 192), kWhite,
     RGB(224, 224, 92), RGB(64, 64, 32), RGB(92, 92, 224), RGB(0, 0, 92), RGB(0, 128, 64),
     RGB(0, 128, 64)},
    {GameMode::Mini, RGB(64, 64, 64), RGB(223, 0, 191), RGB(192, 192, 192), kWhite, RGB(0, 0, 0),
     kWhite, RGB(127, 191, 127), RGB(223, 0, 191), RGB(128, 64, 128), RGB(32, 0, 64),
     RGB(63, 255, 63), kWhite},
    {GameMode::NoRules, RGB(128, 128, 128), RGB(255, 192, 0), kWhite, RGB(192, 0, 0),
     RGB(128, 64, 64), kWhite, RGB(255, 128, 64), RGB(128, 64, 0), RGB(255, 64, 64),
     RGB(128, 64, 0), RGB(64, 255, 32), kWhite},
    {GameMode::Ouch, RGB(160, 224, 160), kWhite, kWhite, RGB(255, 255, 0), RGB(64, 192, 128),
     kWhite, RGB(64, 255, 64), RGB(0, 128, 0), RGB(64, 160, 64), RGB(0, 128, 0), kWhite,
     RGB(64, 255, 64)},
    {GameMode::Ridiculous, RGB(192, 64, 32), kWhite, RGB(192, 64, 32), kWhite, RGB(64, 64, 64),
     kWhite, RGB(64, 64, 64), kWhite, RGB(0, 0, 0), kWhite, RGB(64, 64, 64), RGB(128, 128, 128)},
    {GameMode::Speedy, RGB(192, 192, 224), kWhite, RGB(192, 192, 255), kWhite, RGB(192, 192, 224),
     kWhite, RGB(192, 192, 255), RGB(224, 224, 224), RGB(255, 192, 192), RGB(224, 224, 224),
     RGB(128, 128, 192), RGB(64, 64, 128)},
    {GameMode::Vertigo, RGB(64, 64, 64), RGB(64, 64, 64), RGB(192, 192, 192), RGB(255, 255, 0),
     RGB(64, 64, 64), RGB(255, 255, 0), RGB(255, 128, 64), RGB(32, 32, 32), RGB(255, 64, 64),
     RGB(0, 0, 64), RGB(64, 255, 32), kWhite},
    {GameMode::Work, kWhite, kWhite, kWhite, RGB(192, 0, 0), RGB(128, 64, 64), kWhite,
     RGB(224, 224, 32), RGB(64, 64, 0), RGB(32, 32, 224), RGB(0, 0, 64), RGB(128, 0, 0),
     RGB(255, 0, 0)},
};

TEST(modModes, ColoursDoNotDependOnTheLevel) {
    Screen(1280, 1024);
    for (const Colours& c : kColours) {
        for (int32_t level : {1, 2}) {
            ApplyMode(c.mode, level);
            const std::string what =
                std::string(ModeControlName(c.mode)) + " level " + std::to_string(level);
            EXPECT_EQ(gNormalColor1, c.n1) << what;
            EXPECT_EQ(gNormalColor4, c.n4) << what;
            EXPECT_EQ(gAltColor1, c.alt1) << what;
            EXPECT_EQ(gAltColor2, c.alt2) << what;
            EXPECT_EQ(gAltColor3, c.alt3) << what;
            EXPECT_EQ(gAltColor4, c.alt4) << what;
            EXPECT_EQ(gWallLeftColorA, c.leftA) << what;
            EXPECT_EQ(gWallRightColorB, c.rightB) << what;
            EXPECT_EQ(gWallUpColorA, c.upA) << what;
            EXPECT_EQ(gWallDownColorB, c.downB) << what;
            EXPECT_EQ(gManColor1, c.man1) << what;
            EXPECT_EQ(gManColor3, c.man3) << what;
        }
    }
    // Vertigo's pairs differ by direction.
    ApplyMode(GameMode::Vertigo, 1);
    EXPECT_EQ(gWallRightColorA, RGB(224, 224, 32));
    EXPECT_EQ(gWallDownColorA, RGB(32, 32, 224));
    EXPECT_EQ(gWallLeftColorB, RGB(128, 64, 0));
}

TEST(modModes, DontDrawsTwelveRandomChannelsInOrder) {
    Screen(1280, 1024);
    for (int32_t level : {1, 2}) {
        quadrix::SharedRandom().Seed(77);
        ApplyMode(GameMode::Dont, level);
        const COLORREF got[4] = {gAltColor1, gAltColor2, gAltColor3, gAltColor4};
        const double next = Rnd();

        quadrix::SharedRandom().Seed(77);
        for (COLORREF c : got) {
            const int r = static_cast<int>(std::floor(Rnd() * 256));
            const int g = static_cast<int>(std::floor(Rnd() * 256));
            const int b = static_cast<int>(std::floor(Rnd() * 256));
            EXPECT_EQ(c, RGB(r, g, b));
        }
        EXPECT_EQ(Rnd(), next);  // exactly twelve draws
        // Everything else stays at the defaults.
        EXPECT_EQ(gNormalColor3, RGB(128, 128, 128));
        EXPECT_EQ(gWallUpColorA, RGB(32, 32, 224));
        EXPECT_EQ(gManColor1, RGB(128, 0, 0));
    }
    // Other modes draw nothing.
    quadrix::SharedRandom().Seed(5);
    const double first = Rnd();
    quadrix::SharedRandom().Seed(5);
    for (int m = 0; m < kGameModeCount; ++m) {
        if (static_cast<GameMode>(m) != GameMode::Dont) ApplyMode(static_cast<GameMode>(m), 2);
    }
    EXPECT_EQ(Rnd(), first);
}

TEST(modModes, SmallScreenLinesAreAtLeastOnePixel) {
    for (auto [w, h] : {std::pair{640, 480}, std::pair{320, 200}, std::pair{1, 1}}) {
        Screen(w, h);
        for (int m = 0; m < kGameModeCount; ++m) {
            for (int32_t level : {1, 2}) {
                ApplyMode(static_cast<GameMode>(m), level);
                const std::string what = std::string(ModeControlName(static_cast<GameMode>(m))) +
                                         " at " + std::to_string(w);
                EXPECT_GE(gLineWidth, 1) << what;
                EXPECT_GE(gLineHeight, 1) << what;
                ASSERT_TRUE(CompleteSettings()) << what;
                EXPECT_GT(gCellWidth, 0) << what;
                EXPECT_GT(gCellHeight, 0) << what;
                EXPECT_FALSE(std::isnan(gWallsPerColumn)) << what;
            }
        }
    }
    Screen(640, 480);
    ApplyMode(GameMode::Final, 1);
    EXPECT_EQ(gLineWidth, 1);
    ApplyMode(GameMode::Mini, 1);
    EXPECT_EQ(gLineWidth, 1);
    ApplyMode(GameMode::Dont, 1);
    EXPECT_EQ(gLineWidth, 1);  // S(2) + 1
}

TEST(modModes, OptionsSetTheirFieldsAndButtonColour) {
    struct Case {
        OptionFlags flags;
        int32_t level;
        COLORREF button;
    };
    const Case cases[] = {
        {{}, 1, RGB(64, 96, 192)},
        {{.ouch = true}, 2, RGB(64, 192, 96)},
        {{.anarchy = true}, 1, RGB(192, 96, 96)},
        {{.ouch = true, .anarchy = true}, 2, RGB(192, 192, 0)},
        {{.solid = true}, 1, RGB(126, 152, 232)},
        {{.ouch = true, .solid = true}, 2, RGB(126, 232, 152)},
        {{.anarchy = true, .solid = true}, 1, RGB(233, 157, 157)},
        {{.ouch = true, .anarchy = true, .solid = true}, 2, RGB(255, 255, 39)},
    };
    for (const Case& c : cases) {
        const OptionEffect e = ApplyOptionFlags(c.flags);
        EXPECT_EQ(e.level, c.level);
        EXPECT_EQ(e.buttonColor, c.button);
        EXPECT_EQ(gAnarchy, c.flags.anarchy);
        EXPECT_EQ(gSolid, c.flags.solid);
    }
    ApplyOptionFlags({.speed = true});
    EXPECT_EQ(gSpeedFactor, 1.1);
    EXPECT_TRUE(gPiecesOff);
    ApplyOptionFlags({.pieces = true});
    EXPECT_EQ(gSpeedFactor, 1.0);
    EXPECT_FALSE(gPiecesOff);

    // Modes leave the option fields alone.
    ApplyOptionFlags({.anarchy = true, .solid = true, .speed = true, .pieces = true});
    Screen(1280, 1024);
    for (int m = 0; m < kGameModeCount; ++m)
        ApplyMode(static_cast<GameMode>(m), 1);
    EXPECT_TRUE(gAnarchy);
    EXPECT_TRUE(gSolid);
    EXPECT_EQ(gSpeedFactor, 1.1);
    EXPECT_FALSE(gPiecesOff);
}

TEST(modModes, ControlNames) {
    for (int m = 0; m < kGameModeCount; ++m) {
        const auto mode = static_cast<GameMode>(m);
        EXPECT_EQ(ModeFromControlName(ModeControlName(mode)), mode);
    }
    EXPECT_EQ(ModeControlName(GameMode::Ridiculous), "cmdRidiculous");
    EXPECT_FALSE(ModeFromControlName("cmdcasual").has_value());
    EXPECT_FALSE(ModeFromControlName("").has_value());
}

}  // namespace
