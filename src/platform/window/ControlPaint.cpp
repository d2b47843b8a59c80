#include "platform/window/ControlPaint.h"

#include <algorithm>

namespace platform {

void PaintBox(HDC target, int32_t left, int32_t top, int32_t width, int32_t height, COLORREF fill) {
    Bitmap& b = *target->bitmap;
    const int32_t x0 = std::max(0, left), y0 = std::max(0, top);
    const int32_t x1 = std::min(b.width, left + width), y1 = std::min(b.height, top + height);
    for (int32_t y = y0; y < y1; ++y)
        std::fill(b.row(y) + x0, b.row(y) + std::max(x0, x1), fill);
}

void PaintFrame(HDC target, int32_t left, int32_t top, int32_t width, int32_t height,
                COLORREF color) {
    if (width <= 0 || height <= 0) return;
    PaintBox(target, left, top, width, 1, color);
    PaintBox(target, left, top + height - 1, width, 1, color);
    PaintBox(target, left, top, 1, height, color);
    PaintBox(target, left + width - 1, top, 1, height, color);
}

void PaintCaption(HDC target, const RECT& box, const std::string& caption, const LOGFONTA& font,
                  COLORREF color, bool centred) {
    if (caption.empty() || box.right <= box.left || box.bottom <= box.top) return;
    HFONT hfont = CreateFontIndirectA(&font);
    HGDIOBJ oldFont = SelectObject(target, hfont);
    const COLORREF oldColor = SetTextColor(target, color);
    const int oldMode = SetBkMode(target, TRANSPARENT);
    const unsigned format = (centred ? DT_CENTER : DT_LEFT) | DT_WORDBREAK;
    RECT measure = box;
    DrawTextA(target, caption.c_str(), -1, &measure, format | DT_CALCRECT);
    RECT place = box;
    const int32_t textHeight = measure.bottom - measure.top;
    place.top = box.top + std::max(0, (box.bottom - box.top - textHeight) / 2);
    place.bottom = place.top + textHeight;
    DrawTextA(target, caption.c_str(), -1, &place, format);
    SetBkMode(target, oldMode);
    SetTextColor(target, oldColor);
    SelectObject(target, oldFont);
    DeleteObject(hfont);
}

std::string DisplayCaption(const std::string& caption) {
    std::string shown;
    for (size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == '&') {
            if (i + 1 < caption.size() && caption[i + 1] == '&') {
                shown += '&';
                ++i;
            }
            continue;
        }
        shown += caption[i];
    }
    return shown;
}

}  // namespace platform
