// Realised fonts over the TrueType reader: metrics, widths and solid glyph images.
#include <algorithm>
#include <array>
#include <map>
#include <memory>
#include <tuple>

#include "platform/Numbers.h"
#include "platform/fonts/FontEngine.h"
#include "platform/fonts/Fonts.h"
#include "platform/fonts/TrueType.h"

namespace platform::fonts {
namespace {

// lfHeight 0 asks for the default font size; the old system font was 16 pixels high.
constexpr int32_t kDefaultCellHeight = 16;
// Bounds that keep a silly LOGFONT from allocating gigabytes of glyph images.
constexpr int32_t kMaxPixelSize = 2048;
constexpr double kMaxWidthScale = 64.0;
constexpr int64_t kMaxInkPixels = 64ll << 20;
constexpr size_t kMaxCachedFonts = 64;
constexpr const char* kAverageSample = "abcdefghijklmnopqrstuvwxyz";

// Line metrics in FreeType's fixed-point arithmetic (16.16 scale, 26.6 pixels), so that lines
// keep the heights and baselines the text had before; integers give the same bits everywhere.
int64_t MulFix(int64_t a, int64_t scale) {
    const int64_t product = (a < 0 ? -a : a) * scale;
    const int64_t rounded = (product + 0x8000) >> 16;
    return a < 0 ? -rounded : rounded;
}
int32_t Floor26(int64_t v) {
    return static_cast<int32_t>(v >= 0 ? v / 64 : -((-v + 63) / 64));
}
int32_t Ceil26(int64_t v) {
    return Floor26(v + 63);
}

struct Scaled {
    int64_t scale = 0;  // font units to 26.6 pixels
    int32_t height = 0;
    int32_t ascent = 0;
};
Scaled ScaleFor(const TrueTypeFont& font, int32_t ppem) {
    Scaled s;
    s.scale = (int64_t{ppem} * 64 * 65536 + font.UnitsPerEm() / 2) / font.UnitsPerEm();
    s.height = Ceil26(MulFix(int64_t{font.Ascender()} - font.Descender(), s.scale));
    s.ascent = Ceil26(MulFix(font.Ascender(), s.scale));
    return s;
}

// A positive height is the cell height: the largest size whose line fits it.
int32_t PixelSizeFor(const TrueTypeFont& font, int32_t lfHeight) {
    if (lfHeight < 0)
        return static_cast<int32_t>(std::min<int64_t>(-int64_t{lfHeight}, kMaxPixelSize));
    const int32_t cell = std::min(lfHeight == 0 ? kDefaultCellHeight : lfHeight, kMaxPixelSize);
    int32_t low = 1, high = kMaxPixelSize;
    while (low < high) {
        const int32_t mid = (low + high + 1) / 2;
        if (ScaleFor(font, mid).height <= cell) {
            low = mid;
        } else {
            high = mid - 1;
        }
    }
    return low;
}

const TrueTypeFont& FontFile(bool bold, bool italic) {
    static std::array<std::shared_ptr<const TrueTypeFont>, 4> files;
    auto& file = files[(bold ? 2 : 0) + (italic ? 1 : 0)];
    if (!file) file = TrueTypeFont::Open(ResolveFontFile(bold, italic));
    return *file;
}

struct Glyph {
    int32_t advance = 0;
    GlyphInk ink;
};

struct Realized {
    const TrueTypeFont* file = nullptr;
    int32_t ppem = 0;
    int32_t height = 0;
    int32_t ascent = 0;
    double xScale = 1.0;  // lfWidth: horizontal stretch so the average letter is lfWidth wide
    // Rows of the underline and the strikeout, drawn across the whole line; -1 for none.
    int32_t underlineTop = -1;
    int32_t strikeTop = -1;
    int32_t lineThickness = 1;
    std::array<std::unique_ptr<Glyph>, 256> glyphs;

    const Glyph& GlyphOf(unsigned char c) {
        std::unique_ptr<Glyph>& slot = glyphs[c];
        if (!slot) {
            slot = std::make_unique<Glyph>();
            const int32_t index = file->GlyphFor(c);
            const int64_t scale = ScaleFor(*file, ppem).scale;
            slot->advance = Floor26(MulFix(file->AdvanceUnits(index), scale) + 32);
            slot->ink = file->Render(index, ppem);
        }
        return *slot;
    }
};

// Where the glyphs of a line go: the pen starts at `start`; the line is `width` wide, taking in
// ink that reaches before the first pen position or past the last.
struct LineShape {
    int32_t start = 0;
    int32_t width = 0;
};
LineShape ShapeLine(Realized& r, const std::string& text) {
    int32_t pen = 0, minX = 0, maxX = 0;
    for (unsigned char c : text) {
        const Glyph& g = r.GlyphOf(c);
        if (g.ink.width > 0) {
            minX = std::min(minX, pen + g.ink.left);
            maxX = std::max(maxX, pen + g.ink.left + g.ink.width);
        }
        pen += g.advance;
    }
    maxX = std::max(maxX, pen);
    return {-minX, maxX - minX};
}

int32_t ScaledWidth(const Realized& r, int32_t w) {
    return r.xScale == 1.0 ? w : Nearest(w * r.xScale);
}

using Key = std::tuple<int32_t, int32_t, bool, bool, bool, bool>;

Realized& Realize(const LOGFONTA& lf) {
    static std::map<Key, std::unique_ptr<Realized>> cache;
    const bool bold = lf.lfWeight >= FW_BOLD, italic = lf.lfItalic != 0;
    const Key key{lf.lfHeight, std::max(lf.lfWidth, 0), bold,
                  italic,      lf.lfUnderline != 0,     lf.lfStrikeOut != 0};
    auto found = cache.find(key);
    if (found != cache.end()) return *found->second;

    auto r = std::make_unique<Realized>();
    r->file = &FontFile(bold, italic);
    r->ppem = PixelSizeFor(*r->file, lf.lfHeight);
    const Scaled s = ScaleFor(*r->file, r->ppem);
    r->height = s.height;
    r->ascent = s.ascent;
    r->lineThickness = std::max(1, Floor26(MulFix(r->file->UnderlineThickness(), s.scale)));
    if (lf.lfUnderline) {
        const int32_t offset = Floor26(MulFix(r->file->UnderlinePosition(), s.scale));
        r->underlineTop = std::max(0, r->ascent - offset - 1);
    }
    if (lf.lfStrikeOut) r->strikeTop = r->height / 2;
    if (lf.lfWidth > 0) {
        const int32_t w = ShapeLine(*r, kAverageSample).width;
        if (w > 0)
            r->xScale = std::clamp(lf.lfWidth / (w / 26.0), 1.0 / kMaxWidthScale, kMaxWidthScale);
    }
    if (cache.size() >= kMaxCachedFonts) cache.clear();
    return *cache.emplace(key, std::move(r)).first->second;
}

void DrawLine(InkImage& image, int32_t top, int32_t thickness) {
    if (top < 0) return;
    const int32_t bottom = std::min(image.height, top + thickness);
    for (int32_t y = top; y < bottom; ++y) {
        std::fill_n(image.ink.begin() + static_cast<std::ptrdiff_t>(y) * image.width, image.width,
                    uint8_t{1});
    }
}

}  // namespace

LineMetrics FontLineMetrics(const LOGFONTA& font) {
    const Realized& r = Realize(font);
    return {r.height, r.ascent};
}

int32_t TextWidth(const LOGFONTA& font, const std::string& text) {
    if (text.empty()) return 0;
    Realized& r = Realize(font);
    return ScaledWidth(r, ShapeLine(r, text).width);
}

InkImage RenderText(const LOGFONTA& font, const std::string& text) {
    Realized& r = Realize(font);
    InkImage image;
    image.height = r.height;
    if (text.empty()) return image;
    const LineShape shape = ShapeLine(r, text);
    image.width = ScaledWidth(r, shape.width);
    if (shape.width <= 0 || image.width <= 0 ||
        int64_t{std::max(image.width, shape.width)} * image.height > kMaxInkPixels) {
        image.width = 0;
        return image;
    }
    // The line at its natural width first.
    std::vector<uint8_t> line(static_cast<size_t>(shape.width) * image.height, 0);
    int32_t pen = shape.start;
    for (unsigned char c : text) {
        const Glyph& g = r.GlyphOf(c);
        const GlyphInk& ink = g.ink;
        for (int32_t gy = 0; gy < ink.height; ++gy) {
            const int32_t y = r.ascent + ink.top + gy;
            if (y < 0 || y >= image.height) continue;
            const uint8_t* src = ink.ink.data() + static_cast<size_t>(gy) * ink.width;
            uint8_t* dst = line.data() + static_cast<size_t>(y) * shape.width + pen + ink.left;
            for (int32_t gx = 0; gx < ink.width; ++gx)
                dst[gx] |= src[gx];
        }
        pen += g.advance;
    }
    if (r.xScale == 1.0) {
        image.ink = std::move(line);
    } else {
        image.ink.assign(static_cast<size_t>(image.width) * image.height, 0);
        for (int32_t y = 0; y < image.height; ++y) {
            const uint8_t* src = line.data() + static_cast<size_t>(y) * shape.width;
            uint8_t* dst = image.ink.data() + static_cast<size_t>(y) * image.width;
            for (int32_t x = 0; x < image.width; ++x) {
                // Each target column takes the source columns it covers, so that narrowed
                // glyphs keep their thin stems.
                const int32_t s0 = Int(x / r.xScale);
                const int32_t s1 = std::max(s0 + 1, Int((x + 1) / r.xScale));
                for (int32_t sx = s0; sx < s1 && sx < shape.width; ++sx)
                    dst[x] |= src[sx];
            }
        }
    }
    DrawLine(image, r.underlineTop, r.lineThickness);
    DrawLine(image, r.strikeTop, r.lineThickness);
    return image;
}

}  // namespace platform::fonts
