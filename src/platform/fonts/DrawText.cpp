// DrawTextA on the software raster: lines are laid out as the old call does, rendered as solid
// glyphs and written straight into the selected bitmap in the text colour only (the game reads
// pixels back and builds masks from exact colours, so no antialiasing and no mix mode).
#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/Maths.h"
#include "platform/fonts/FontEngine.h"
#include "platform/fonts/TextLayout.h"
#include "platform/raster/gdi.h"

namespace platform::fonts {
namespace {

enum : uint8_t { kNone = 0, kBack = 1, kInk = 2 };

// A monochrome target takes the nearer of black (0) and white (1) by luminance.
uint32_t PixelValue(const Bitmap& target, COLORREF color) {
    if (!target.monochrome) return color & 0x00FFFFFFu;
    const uint32_t r = color & 255, g = (color >> 8) & 255, b = (color >> 16) & 255;
    return 299 * r + 587 * g + 114 * b >= 127500 ? 1u : 0u;
}

struct Cell {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint8_t> value;
    uint8_t at(int32_t x, int32_t y) const { return value[static_cast<size_t>(y) * width + x]; }
};

Cell MakeCell(const LOGFONTA& font, const TextLine& line, const LineMetrics& metrics, bool opaque) {
    InkImage ink = RenderText(font, line.text);
    Cell cell;
    cell.width = ink.width;
    cell.height = metrics.height;
    cell.value.assign(static_cast<size_t>(cell.width) * cell.height, opaque ? kBack : kNone);
    for (size_t i = 0; i < ink.ink.size() && i < cell.value.size(); ++i) {
        if (ink.ink[i]) cell.value[i] = kInk;
    }
    // Prefix underline: one row just below the baseline under each marked character.
    int32_t row = std::min(metrics.ascent + 1, cell.height - 1);
    for (size_t i = 0; i < line.underlined.size() && row >= 0; ++i) {
        if (!line.underlined[i]) continue;
        int32_t x0 = TextWidth(font, line.text.substr(0, i));
        int32_t x1 = std::min(TextWidth(font, line.text.substr(0, i + 1)), cell.width);
        for (int32_t x = std::max(x0, 0); x < x1; ++x) {
            cell.value[static_cast<size_t>(row) * cell.width + x] = kInk;
        }
    }
    return cell;
}

void Put(Bitmap& target, int32_t x, int32_t y, uint8_t v, uint32_t ink, uint32_t back) {
    if (v == kNone) return;
    target.row(y)[x] = v == kInk ? ink : back;
}

// Escapement turns the line counter-clockwise about its origin (ox, oy); pixels are sampled
// nearest-neighbour from the upright cell.
void Composite(Bitmap& target, const Cell& cell, int32_t ox, int32_t oy, int32_t escapement,
               const RECT& clip, uint32_t ink, uint32_t back) {
    if (cell.width <= 0 || cell.height <= 0) return;
    int32_t tenths = ((escapement % 3600) + 3600) % 3600;
    if (tenths == 0) {
        int32_t x0 = std::max(ox, clip.left), x1 = std::min(ox + cell.width, clip.right);
        int32_t y0 = std::max(oy, clip.top), y1 = std::min(oy + cell.height, clip.bottom);
        for (int32_t y = y0; y < y1; ++y) {
            for (int32_t x = x0; x < x1; ++x)
                Put(target, x, y, cell.at(x - ox, y - oy), ink, back);
        }
        return;
    }
    double c, s;
    switch (tenths) {  // exact quarter turns, so upright glyphs stay pixel-exact when turned
        case 900:
            c = 0, s = 1;
            break;
        case 1800:
            c = -1, s = 0;
            break;
        case 2700:
            c = 0, s = -1;
            break;
        default: {
            double a = tenths * M_PI / 1800.0;
            c = platform::Cos(a);
            s = platform::Sin(a);
        }
    }
    // y grows downwards, so counter-clockwise on screen maps (x, y) to (x c + y s, -x s + y c).
    double minX = 0, maxX = 0, minY = 0, maxY = 0;
    const double corners[4][2] = {{0, 0},
                                  {double(cell.width), 0},
                                  {0, double(cell.height)},
                                  {double(cell.width), double(cell.height)}};
    for (const auto& p : corners) {
        double dx = p[0] * c + p[1] * s, dy = -p[0] * s + p[1] * c;
        minX = std::min(minX, dx), maxX = std::max(maxX, dx);
        minY = std::min(minY, dy), maxY = std::max(maxY, dy);
    }
    int32_t x0 = std::max<int32_t>(ox + static_cast<int32_t>(std::floor(minX)), clip.left);
    int32_t x1 = std::min<int32_t>(ox + static_cast<int32_t>(std::ceil(maxX)), clip.right);
    int32_t y0 = std::max<int32_t>(oy + static_cast<int32_t>(std::floor(minY)), clip.top);
    int32_t y1 = std::min<int32_t>(oy + static_cast<int32_t>(std::ceil(maxY)), clip.bottom);
    for (int32_t y = y0; y < y1; ++y) {
        for (int32_t x = x0; x < x1; ++x) {
            double dx = x + 0.5 - ox, dy = y + 0.5 - oy;
            auto sx = static_cast<int32_t>(std::floor(dx * c - dy * s));
            auto sy = static_cast<int32_t>(std::floor(dx * s + dy * c));
            if (sx < 0 || sy < 0 || sx >= cell.width || sy >= cell.height) continue;
            Put(target, x, y, cell.at(sx, sy), ink, back);
        }
    }
}

}  // namespace
}  // namespace platform::fonts

int DrawTextA(HDC dc, const char* text, int count, RECT* rect, unsigned format) {
    using namespace platform::fonts;
    if (!dc || !text || !rect) return 0;
    // A count past the terminator stops at it: we never read beyond the caller's string.
    std::string s = count < 0 ? std::string(text)
                              : std::string(text, strnlen(text, static_cast<size_t>(count)));
    const LOGFONTA font = dc->font ? dc->font->logfont : LOGFONTA{};
    const LineMetrics metrics = FontLineMetrics(font);
    auto width = [&font](const std::string& t) { return TextWidth(font, t); };
    const std::vector<TextLine> lines = LayoutText(s, format, rect->right - rect->left, width);

    const int32_t total = metrics.height * static_cast<int32_t>(lines.size());
    std::vector<int32_t> widths;
    int32_t widest = 0;
    for (const TextLine& line : lines) {
        widths.push_back(width(line.text));
        widest = std::max(widest, widths.back());
    }
    if (format & DT_CALCRECT) {
        rect->right = rect->left + widest;
        rect->bottom = rect->top + total;
        return total;
    }

    // Vertical alignment applies to single lines only, as in the old call.
    int32_t top = rect->top;
    const bool single = (format & DT_SINGLELINE) != 0;
    if (single && (format & DT_BOTTOM)) {
        top = rect->bottom - metrics.height;
    } else if (single && (format & DT_VCENTER)) {
        top = (rect->top + rect->bottom - metrics.height) / 2;
    }
    const int result =
        single && (format & (DT_BOTTOM | DT_VCENTER)) ? top + total - rect->top : total;

    Bitmap* target = dc->bitmap;
    if (!target || target->width <= 0 || target->height <= 0) return result;
    RECT clip{0, 0, target->width, target->height};
    if (!(format & DT_NOCLIP)) {
        clip.left = std::max(clip.left, rect->left);
        clip.top = std::max(clip.top, rect->top);
        clip.right = std::min(clip.right, rect->right);
        clip.bottom = std::min(clip.bottom, rect->bottom);
    }
    if (clip.left >= clip.right || clip.top >= clip.bottom) return result;
    const bool opaque = dc->bkMode == OPAQUE;
    const uint32_t ink = PixelValue(*target, dc->textColor);
    const uint32_t back = PixelValue(*target, dc->bkColor);
    for (size_t i = 0; i < lines.size(); ++i) {
        int32_t left = rect->left;
        if (format & DT_CENTER) {
            left = (rect->left + rect->right - widths[i]) / 2;
        } else if (format & DT_RIGHT) {
            left = rect->right - widths[i];
        }
        Cell cell = MakeCell(font, lines[i], metrics, opaque);
        Composite(*target, cell, left, top + metrics.height * static_cast<int32_t>(i),
                  font.lfEscapement, clip, ink, back);
    }
    return result;
}
