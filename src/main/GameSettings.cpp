#include "main/GameSettings.h"

#include <limits>

#include "main/modMain.h"

namespace {
bool Fits(int64_t v) {
    return v >= std::numeric_limits<int32_t>::min() && v <= std::numeric_limits<int32_t>::max();
}
}  // namespace

bool CompleteSettings() {
    // 64-bit so an absurd record is refused instead of wrapping around.
    const int64_t cellWidth = int64_t{gCellWidthLines} * gLineWidth;
    const int64_t cellHeight = int64_t{gCellHeightLines} * gLineHeight;
    const int64_t left = gWellMarginColumns * cellWidth;
    const int64_t top = gWellMarginRows * cellHeight;
    const int64_t right = (int64_t{gColumns} - gWellMarginColumns) * cellWidth;
    const int64_t bottom = (int64_t{gRows} - gWellMarginRows) * cellHeight;
    // The playfield picture is a whole grid plus one closing line.
    const int64_t width = gColumns * cellWidth + gLineWidth;
    const int64_t height = gRows * cellHeight + gLineHeight;
    for (int64_t v : {cellWidth, cellHeight, left, top, right, bottom, width, height}) {
        if (!Fits(v)) return false;
    }
    gCellWidth = static_cast<int32_t>(cellWidth);
    gCellHeight = static_cast<int32_t>(cellHeight);
    gWellLeft = static_cast<int32_t>(left);
    gWellTop = static_cast<int32_t>(top);
    gWellRight = static_cast<int32_t>(right);
    gWellBottom = static_cast<int32_t>(bottom);
    return true;
}

void ResetSharedState() {
    gWellDecoration = 0;
    gLineWidth = 0;
    gCellWidthLines = 0;
    gCellWidth = 0;
    gLineHeight = 0;
    gCellHeightLines = 0;
    gCellHeight = 0;
    gColumns = 0;
    gRows = 0;
    gWellMarginColumns = 0;
    gWellMarginRows = 0;
    gWallLength = 0;
    gWallsPerRow = 0;
    gWallsPerColumn = 0;
    gWellLeft = 0;
    gWellTop = 0;
    gWellRight = 0;
    gWellBottom = 0;
    gRandomDirections = false;
    gFrameMs = 0;
    gElectric = false;
    gAnarchy = false;
    gSolid = false;
    gSpeedFactor = 0;
    gPiecesOff = false;
    gNormalColor1 = 0;
    gNormalColor2 = 0;
    gNormalColor3 = 0;
    gNormalColor4 = 0;
    gAltColor1 = 0;
    gAltColor2 = 0;
    gAltColor3 = 0;
    gAltColor4 = 0;
    gWallColorMode = 0;
    gWallLeftColorA = 0;
    gWallLeftColorB = 0;
    gWallRightColorA = 0;
    gWallRightColorB = 0;
    gWallUpColorA = 0;
    gWallUpColorB = 0;
    gWallDownColorA = 0;
    gWallDownColorB = 0;
    gManColor1 = 0;
    gManColor2 = 0;
    gManColor3 = 0;
    gMouse = kMouseDefault;
    gScreenWidth = 0;
    gScreenHeight = 0;
}
