// The twelve game modes: each fills the settings record with one complete configuration
// (grid, line thickness, walls, tick and colours). Also the option check boxes' effect on the
// record, so that the title screen and the simulator set a game up the same way.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "platform/raster/gdi.h"

enum class GameMode {
    Casual,
    Dont,
    Electric,
    Final,
    Fun,
    Mini,
    NoRules,
    Ouch,
    Ridiculous,
    Speedy,
    Vertigo,
    Work,
};
inline constexpr int kGameModeCount = 12;

// The mode's button name on the title window, e.g. "cmdCasual".
std::string_view ModeControlName(GameMode mode);
std::optional<GameMode> ModeFromControlName(std::string_view name);
// The caption a player reads on the mode's button ("Fast & Faded", "Vertigo"); "" for Mini.
std::string_view ModeCaption(GameMode mode);

// A length designed for 1280 x 1024, scaled to the screen (the smaller of both ratios).
int32_t ScaleToScreen(int32_t n);
// Largest even count of cells (plus one closing line) that fits the screen width / height.
// Returns 0 when no cell fits or the sizes are not positive.
int32_t FitColumns(int32_t lineWidth, int32_t cellLines);
int32_t FitRows(int32_t lineHeight, int32_t cellLines);

// Writes the default of every mode-dependent field; leaves options and derived fields alone.
void ResetSettings();
// ResetSettings, then the mode's own fields for level 1 or 2 ("Ouch"). "Don't" draws its
// four hit colours from the shared random source (twelve draws).
void ApplyMode(GameMode mode, int32_t level);

struct OptionFlags {
    bool ouch = false;
    bool anarchy = false;
    bool solid = false;
    bool speed = false;
    bool pieces = false;
};
struct OptionEffect {
    int32_t level;         // mLevel
    COLORREF buttonColor;  // back colour of the mode buttons
};
// Sets gAnarchy, gSolid, gSpeedFactor and gPiecesOff as the ticked boxes say and returns the
// level and the button colour that show the combination.
OptionEffect ApplyOptionFlags(const OptionFlags& flags);
