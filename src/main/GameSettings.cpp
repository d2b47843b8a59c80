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
