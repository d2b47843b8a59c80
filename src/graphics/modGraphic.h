// The graphics module's free helpers: the game's two basic drawing steps on a device context.
#pragma once

#include <cstdint>

#include "platform/raster/gdi.h"

// Solid area of pColor, no outline, covering pX1 <= x < pX2 and pY1 <= y < pY2.
void FillRectangle(HDC hdc, int32_t pX1, int32_t pY1, int32_t pX2, int32_t pY2, COLORREF pColor);

// Hollow outline pWidth pixels thick, lying inside pX1 <= x < pX2 and pY1 <= y < pY2; the
// interior and the context's brush are left alone.
void FrameRectangle(HDC hdc, int32_t pX1, int32_t pY1, int32_t pX2, int32_t pY2, COLORREF pColor,
                    int32_t pWidth);

namespace platform {
class Form;
}
// Copies the LOGFONT of the font selected into the form's context into logfont.
void ReadFormFont(platform::Form& form, LOGFONTA& logfont);
