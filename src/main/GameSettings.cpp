#include "main/GameSettings.h"

#include "main/modMain.h"

void CompleteSettings() {
    gCellWidth = gCellWidthLines * gLineWidth;
    gCellHeight = gCellHeightLines * gLineHeight;
    gWellLeft = gWellMarginColumns * gCellWidth;
    gWellTop = gWellMarginRows * gCellHeight;
    gWellRight = (gColumns - gWellMarginColumns) * gCellWidth;
    gWellBottom = (gRows - gWellMarginRows) * gCellHeight;
}
