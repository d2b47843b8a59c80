#include "title/modModes.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "main/modMain.h"
#include "platform/Numbers.h"
#include "platform/Random.h"
#include "playfield/modColor.h"

namespace {

constexpr std::array<std::string_view, kGameModeCount> kControlNames = {
    "cmdCasual",  "cmdDont", "cmdElectric",   "cmdFinal",  "cmdFun",     "cmdMini",
    "cmdNoRules", "cmdOuch", "cmdRidiculous", "cmdSpeedy", "cmdVertigo", "cmdWork",
};
constexpr std::array<std::string_view, kGameModeCount> kCaptions = {
    "Casual",
    "Don't",
    "Electric Youth",
    "FIN",
    "Junk Food",
    "",
    "Broken Promises",
    "Soylent Green",
    "60",
    "Fast & Faded",
    "Vertigo",
    "Complete Nutritional Meal including 8 Essential Vitamins",
};

// A line thickness for the screen. On small screens the scaled length can round down to 0,
// which would make cells of no size; a line is always at least one pixel.
int32_t Line(int32_t n) {
    return std::max(1, ScaleToScreen(n));
}

int32_t Fit(int32_t screen, int32_t line, int32_t cellLines) {
    if (line <= 0 || cellLines <= 0) return 0;
    // 64-bit, so neither the subtraction nor the product can overflow; the count is then at
    // most the available pixels, which fit 32 bits.
    const int64_t available = static_cast<int64_t>(screen) - line;
    const int64_t cell = static_cast<int64_t>(line) * cellLines;
    if (available < 0) return 0;
    return 2 * Int(static_cast<double>(available) / static_cast<double>(cell) / 2);
}

// Per-row or per-column wall density from the column count; no columns means no walls.
double PerColumn(double perRow, int32_t rows, int32_t columns) {
    return columns == 0 ? 0.0 : perRow * rows / columns;
}

void Lines(int32_t thickness) {
    gLineWidth = thickness;
    gLineHeight = thickness;
}

void Cells(int32_t lines) {
    gCellWidthLines = lines;
    gCellHeightLines = lines;
}

void Margins(int32_t columns, int32_t rows) {
    gWellMarginColumns = columns;
    gWellMarginRows = rows;
}

void Walls(int32_t length, double perRow, double perColumn) {
    gWallLength = length;
    gWallsPerRow = perRow;
    gWallsPerColumn = perColumn;
}

// Lowers the larger of columns and rows to the smaller: a square grid.
void Square() {
    const int32_t m = std::min(gColumns, gRows);
    gColumns = m;
    gRows = m;
}

void Normal(COLORREF c1, COLORREF c2, COLORREF c3, COLORREF c4) {
    gNormalColor1 = c1;
    gNormalColor2 = c2;
    gNormalColor3 = c3;
    gNormalColor4 = c4;
}

void Alt(COLORREF c1, COLORREF c2, COLORREF c3, COLORREF c4) {
    gAltColor1 = c1;
    gAltColor2 = c2;
    gAltColor3 = c3;
    gAltColor4 = c4;
}

void Horizontal(COLORREF leftA, COLORREF leftB, COLORREF rightA, COLORREF rightB) {
    gWallLeftColorA = leftA;
    gWallLeftColorB = leftB;
    gWallRightColorA = rightA;
    gWallRightColorB = rightB;
}

void Vertical(COLORREF upA, COLORREF upB, COLORREF downA, COLORREF downB) {
    gWallUpColorA = upA;
    gWallUpColorB = upB;
    gWallDownColorA = downA;
    gWallDownColorB = downB;
}

void Man(COLORREF c1, COLORREF c2, COLORREF c3) {
    gManColor1 = c1;
    gManColor2 = c2;
    gManColor3 = c3;
}

void Casual(bool two) {
    gRows = 12;
    Margins(3, 2);
    if (two) {
        Walls(5, 0.0, 0.0);
    } else {
        Walls(5, 0.2, 0.1);
    }
    Normal(RGB(255, 162, 255), RGB(0, 0, 0), RGB(224, 33, 224), RGB(255, 255, 255));
    Horizontal(RGB(64, 192, 0), RGB(32, 100, 0), RGB(64, 192, 0), RGB(32, 100, 0));
    Vertical(RGB(248, 170, 68), RGB(255, 255, 255), RGB(248, 170, 68), RGB(255, 255, 255));
    Alt(gNormalColor1, RGB(255, 255, 255), gNormalColor3, gNormalColor4);
    Man(RGB(255, 255, 255), RGB(224, 33, 224), RGB(255, 255, 255));
}

void Dont(bool two) {
    // Level 1 keeps the column and row counts fitted for the default lines, so its thicker
    // lines make a grid that does not fill the screen.
    if (two) {
        Margins(2, 2);
        gWallLength = 2;
        gWallsPerRow = gColumns / 7.5;
    } else {
        Lines(std::max(1, ScaleToScreen(2) + 1));
        Cells(6);
        Margins(2, 2);
        gWallLength = 1;
        gWallsPerRow = gColumns / 6.25;
    }
    gWallsPerColumn = PerColumn(gWallsPerRow, gRows, gColumns);
    gWallColorMode = 2;
    gAltColor1 = RandomColor();
    gAltColor2 = RandomColor();
    gAltColor3 = RandomColor();
    gAltColor4 = RandomColor();
}

void Electric() {
    gColumns = 42;
    gRows = 12;
    Margins(3, 2);
    Walls(3, 3.0, 0.9);
    gElectric = true;
    Normal(RGB(127, 127, 127), RGB(255, 255, 255), RGB(128, 128, 128), RGB(255, 255, 255));
    Horizontal(RGB(128, 128, 128), RGB(255, 255, 128), RGB(128, 128, 128), RGB(255, 255, 128));
    Vertical(RGB(128, 128, 128), RGB(255, 255, 128), RGB(128, 128, 128), RGB(255, 255, 128));
    Alt(gNormalColor1, RGB(255, 255, 128), gNormalColor3, RGB(255, 255, 128));
    Man(RGB(255, 255, 255), RGB(255, 0, 0), RGB(255, 255, 128));
}

void Final(int32_t level) {
    Lines(Line(2));
    Cells(6);
    gColumns = 106;
    gRows = 84;
    Margins(5, 5);
    Walls(3, 10.0, 84.0 / 106.0 * 10.0);
    gWellDecoration = 20 * level;
    Normal(RGB(0, 0, 0), RGB(255, 0, 0), RGB(64, 64, 64), RGB(255, 0, 0));
    Horizontal(RGB(255, 255, 255), RGB(255, 0, 0), RGB(255, 255, 255), RGB(255, 0, 0));
    Vertical(RGB(255, 255, 255), RGB(255, 0, 0), RGB(255, 255, 255), RGB(255, 0, 0));
    Alt(RGB(0, 0, 0), RGB(0, 255, 0), RGB(64, 64, 64), RGB(0, 255, 0));
    Man(RGB(255, 255, 255), RGB(0, 0, 0), RGB(255, 0, 0));
}

void Fun(bool two) {
    if (two) {
        Cells(4);
        gColumns = FitColumns(gLineWidth, 4);
        gRows = 12;
        Margins(2, 2);
        Walls(3, gColumns / 7.0, 0.75);
    } else {
        gRows = 12;
        Margins(3, 2);
        Walls(3, gColumns / 15.0, 0.65);
    }
    Normal(RGB(255, 255, 255), RGB(0, 0, 0), RGB(64, 128, 192), RGB(255, 255, 255));
    Horizontal(RGB(224, 224, 92), RGB(64, 64, 32), RGB(224, 224, 92), RGB(64, 64, 32));
    Vertical(RGB(92, 92, 224), RGB(0, 0, 92), RGB(92, 92, 224), RGB(0, 0, 92));
    Alt(gNormalColor1, RGB(128, 64, 32), gNormalColor3, gNormalColor4);
    Man(RGB(0, 128, 64), RGB(0, 255, 64), RGB(0, 128, 64));
}

void Mini(bool two) {
    if (two) {
        Lines(Line(23));
        Cells(4);
        gColumns = FitColumns(gLineWidth, 4);
        gRows = FitRows(gLineHeight, 4);
        Square();
        Margins(2, 2);
        Walls(2, gColumns / 8.0, gColumns / 8.0);
    } else {
        Lines(Line(2));
        Cells(4);
        gColumns = 10;
        gRows = 10;
        Margins(2, 2);
        Walls(2, 1.25, 1.25);
    }
    Normal(RGB(64, 64, 64), RGB(32, 0, 64), RGB(128, 128, 128), RGB(223, 0, 191));
    Horizontal(RGB(127, 191, 127), RGB(223, 0, 191), RGB(127, 191, 127), RGB(223, 0, 191));
    Vertical(RGB(128, 64, 128), RGB(32, 0, 64), RGB(128, 64, 128), RGB(32, 0, 64));
    Alt(RGB(192, 192, 192), RGB(255, 255, 255), RGB(0, 0, 0), RGB(255, 255, 255));
    Man(RGB(63, 255, 63), RGB(192, 0, 192), RGB(255, 255, 255));
}

void NoRules(bool two) {
    // The row count follows the screen width, not its height.
    const int32_t rows = Nearest(Int(gScreenWidth * 10.0 / 1280) + 2);
    if (two) {
        Cells(4);
        gColumns = FitColumns(gLineWidth, 4);
        gRows = rows;
        Margins(3, 2);
        Walls(2, gColumns / 4.0, 0.0);
    } else {
        gRows = rows;
        Margins(3, 2);
        Walls(3, gColumns / 10.5, 1.1);
    }
    gRandomDirections = true;
    Normal(RGB(128, 128, 128), RGB(0, 0, 0), RGB(255, 255, 255), RGB(255, 192, 0));
    Horizontal(RGB(255, 128, 64), RGB(128, 64, 0), RGB(255, 128, 64), RGB(128, 64, 0));
    Vertical(RGB(255, 64, 64), RGB(128, 64, 0), RGB(255, 64, 64), RGB(128, 64, 0));
    Alt(RGB(255, 255, 255), RGB(192, 0, 0), RGB(128, 64, 64), RGB(255, 255, 255));
    Man(RGB(64, 255, 32), RGB(0, 128, 0), RGB(255, 255, 255));
}

void Ouch(bool two) {
    if (two) {
        Cells(12);
        gColumns = FitColumns(gLineWidth, 12);
        gRows = 10;
        Margins(2, 2);
        Walls(2, gColumns / 4.0, 1.5);
    } else {
        gRows = 12;
        Margins(3, 2);
        Walls(2, gColumns / 9.25, 1.1);
    }
    Normal(RGB(160, 224, 160), RGB(0, 0, 0), RGB(32, 128, 64), RGB(255, 255, 255));
    Horizontal(RGB(64, 255, 64), RGB(0, 128, 0), RGB(64, 255, 64), RGB(0, 128, 0));
    Vertical(RGB(64, 160, 64), RGB(0, 128, 0), RGB(64, 160, 64), RGB(0, 128, 0));
    Alt(RGB(255, 255, 255), RGB(255, 255, 0), RGB(64, 192, 128), gNormalColor4);
    Man(RGB(255, 255, 255), RGB(0, 255, 0), RGB(64, 255, 64));
}

void Ridiculous(bool two) {
    if (two) {
        Square();
        Margins(3, 3);
        Walls(4, gColumns / 21.25, gColumns / 21.25);
    } else {
        Lines(Line(5));
        Cells(14);
        gColumns = FitColumns(gLineWidth, 14);
        gRows = FitRows(gLineHeight, 14);
        Square();
        Margins(2, 2);
        Walls(4, gColumns / 12.75, gColumns / 12.75);
    }
    gFrameMs = 16;
    Normal(RGB(192, 64, 32), RGB(255, 255, 255), RGB(64, 64, 64), RGB(255, 255, 255));
    Horizontal(RGB(64, 64, 64), RGB(255, 255, 255), RGB(64, 64, 64), RGB(255, 255, 255));
    Vertical(RGB(0, 0, 0), RGB(255, 255, 255), RGB(0, 0, 0), RGB(255, 255, 255));
    Alt(gNormalColor1, RGB(255, 255, 255), gNormalColor3, gNormalColor4);
    Man(RGB(64, 64, 64), RGB(255, 0, 0), RGB(128, 128, 128));
}

void Speedy() {
    gColumns = 42;
    gRows = 16;
    Margins(3, 2);
    Walls(3, 2.9, 0.9);
    gFrameMs = 50;
    Normal(RGB(192, 192, 224), RGB(255, 255, 255), RGB(192, 192, 255), RGB(255, 255, 255));
    Horizontal(RGB(192, 192, 255), RGB(224, 224, 224), RGB(192, 192, 255), RGB(224, 224, 224));
    Vertical(RGB(255, 192, 192), RGB(224, 224, 224), RGB(255, 192, 192), RGB(224, 224, 224));
    Alt(gNormalColor3, gNormalColor2, gNormalColor1, gNormalColor4);
    Man(RGB(128, 128, 192), RGB(255, 255, 255), RGB(64, 64, 128));
}

void Vertigo(bool two) {
    if (two) {
        Lines(Line(4));
        Cells(4);
        gColumns = 8;
        gRows = FitRows(gLineHeight, 4);
        Margins(2, 2);
        Walls(3, 0.6, gRows / 14.5);
    } else {
        gColumns = 12;
        Margins(2, 2);
        Walls(3, 0.9, gRows / 14.25);
    }
    Normal(RGB(64, 64, 64), RGB(255, 255, 0), RGB(192, 192, 192), RGB(64, 64, 64));
    Horizontal(RGB(255, 128, 64), RGB(128, 64, 0), RGB(224, 224, 32), RGB(32, 32, 32));
    Vertical(RGB(255, 64, 64), RGB(128, 64, 0), RGB(32, 32, 224), RGB(0, 0, 64));
    Alt(gNormalColor3, RGB(255, 255, 0), gNormalColor1, gNormalColor2);
    Man(RGB(64, 255, 32), RGB(0, 128, 0), RGB(255, 255, 255));
}

void Work(bool two) {
    gRows = 12;
    Margins(3, 2);
    if (two) {
        Walls(3, gColumns / 7.0, 1.1);
    } else {
        Walls(3, gColumns / 13.0, 0.9);
    }
}

}  // namespace

std::string_view ModeControlName(GameMode mode) {
    return kControlNames[static_cast<size_t>(mode)];
}

std::string_view ModeCaption(GameMode mode) {
    return kCaptions[static_cast<size_t>(mode)];
}

std::optional<GameMode> ModeFromControlName(std::string_view name) {
    for (size_t i = 0; i < kControlNames.size(); ++i) {
        if (kControlNames[i] == name) return static_cast<GameMode>(i);
    }
    return std::nullopt;
}

int32_t ScaleToScreen(int32_t n) {
    const int32_t a = Int(gScreenWidth / 1280.0 * n);
    const int32_t b = Int(gScreenHeight / 1024.0 * n);
    return a >= b ? b : a;
}

int32_t FitColumns(int32_t lineWidth, int32_t cellLines) {
    return Fit(gScreenWidth, lineWidth, cellLines);
}

int32_t FitRows(int32_t lineHeight, int32_t cellLines) {
    return Fit(gScreenHeight, lineHeight, cellLines);
}

void ResetSettings() {
    gWellDecoration = 0;
    Lines(Line(5));
    Cells(6);
    gColumns = FitColumns(gLineWidth, gCellWidthLines);
    gRows = FitRows(gLineHeight, gCellHeightLines);
    Walls(3, 3.25, 0.9);
    Margins(3, 2);
    gRandomDirections = false;
    gFrameMs = 100;
    gElectric = false;
    Normal(RGB(255, 255, 255), RGB(0, 0, 0), RGB(128, 128, 128), RGB(255, 255, 255));
    gWallColorMode = 1;
    Horizontal(RGB(224, 224, 32), RGB(64, 64, 0), RGB(224, 224, 32), RGB(64, 64, 0));
    Vertical(RGB(32, 32, 224), RGB(0, 0, 64), RGB(32, 32, 224), RGB(0, 0, 64));
    Alt(RGB(255, 255, 255), RGB(192, 0, 0), RGB(128, 64, 64), RGB(255, 255, 255));
    Man(RGB(128, 0, 0), RGB(255, 0, 0), RGB(255, 0, 0));
}

void ApplyMode(GameMode mode, int32_t level) {
    ResetSettings();
    const bool two = level == 2;
    switch (mode) {
        case GameMode::Casual:
            Casual(two);
            break;
        case GameMode::Dont:
            Dont(two);
            break;
        case GameMode::Electric:
            Electric();
            break;
        case GameMode::Final:
            Final(level);
            break;
        case GameMode::Fun:
            Fun(two);
            break;
        case GameMode::Mini:
            Mini(two);
            break;
        case GameMode::NoRules:
            NoRules(two);
            break;
        case GameMode::Ouch:
            Ouch(two);
            break;
        case GameMode::Ridiculous:
            Ridiculous(two);
            break;
        case GameMode::Speedy:
            Speedy();
            break;
        case GameMode::Vertigo:
            Vertigo(two);
            break;
        case GameMode::Work:
            Work(two);
            break;
    }
}

OptionEffect ApplyOptionFlags(const OptionFlags& flags) {
    double red = 64;
    double green = 96;
    double blue = 192;
    int32_t level = 1;
    if (flags.ouch) {
        green += 96;
        blue -= 96;
        level = 2;
    }
    gAnarchy = flags.anarchy;
    if (flags.anarchy) {
        red += 128;
        blue -= 96;
    }
    gSolid = flags.solid;
    if (flags.solid) {
        double hue = 0;
        double lightness = 0;
        double saturation = 0;
        RGBToHSL(red, green, blue, hue, lightness, saturation);
        saturation = std::min(saturation + 0.2, 1.0);
        lightness = std::min(lightness + 0.2, 1.0);
        HSLToRGB(hue, lightness, saturation, red, green, blue);
    }
    gSpeedFactor = flags.speed ? 1.1 : 1.0;
    gPiecesOff = !flags.pieces;
    return {level, RGB(Nearest(red), Nearest(green), Nearest(blue))};
}
