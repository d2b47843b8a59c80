#include "graphics/modGraphic.h"

#include "platform/Numbers.h"

void FillRectangle(HDC hdc, int32_t pX1, int32_t pY1, int32_t pX2, int32_t pY2, COLORREF pColor) {
    HBRUSH brush = CreateSolidBrush(pColor);
    HGDIOBJ oldPen = SelectObject(hdc, GetStockObject(NULL_PEN));
    HGDIOBJ oldBrush = SelectObject(hdc, brush);
    // A null-pen rectangle stops one pixel short on the right and bottom.
    Rectangle(hdc, pX1, pY1, pX2 + 1, pY2 + 1);
    SelectObject(hdc, oldBrush);
    SelectObject(hdc, oldPen);
    DeleteObject(brush);
}

void FrameRectangle(HDC hdc, int32_t pX1, int32_t pY1, int32_t pX2, int32_t pY2, COLORREF pColor,
                    int32_t pWidth) {
    HPEN pen = CreatePen(PS_SOLID, pWidth, pColor);
    HGDIOBJ oldPen = SelectObject(hdc, pen);
    HGDIOBJ oldBrush = SelectObject(hdc, GetStockObject(HOLLOW_BRUSH));
    // The pen is centred on the rectangle's edge; shift so the whole band lies inside.
    const int32_t h = Int(pWidth / 2.0);
    Rectangle(hdc, pX1 + h, pY1 + h, pX2 + h - pWidth + 1, pY2 + h - pWidth + 1);
    SelectObject(hdc, oldBrush);
    SelectObject(hdc, oldPen);
    DeleteObject(pen);
}
