// Realised fonts with SDL2_ttf: metrics, widths and solid glyph images. Needs no display.
#include <SDL.h>
#include <SDL_ttf.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <map>
#include <memory>
#include <tuple>

#include "platform/Numbers.h"
#include "platform/fonts/FontEngine.h"
#include "platform/fonts/Fonts.h"

namespace platform {
namespace fonts {
namespace {

// lfHeight 0 asks for the default font size; the old system font was 16 pixels high.
constexpr int32_t kDefaultCellHeight = 16;
// Bounds that keep a silly LOGFONT from allocating gigabytes of glyph images.
constexpr int32_t kMaxPixelSize = 2048;
constexpr double kMaxWidthScale = 64.0;
constexpr int64_t kMaxInkPixels = 64ll << 20;
constexpr size_t kMaxCachedFonts = 64;
constexpr const char* kAverageSample = "abcdefghijklmnopqrstuvwxyz";

struct Realized {
    TTF_Font* font = nullptr;
    int32_t height = 0;
    int32_t ascent = 0;
    double xScale = 1.0;  // lfWidth: horizontal stretch so the average letter is lfWidth wide
    ~Realized() {
        if (font) TTF_CloseFont(font);
    }
};

using Key = std::tuple<std::string, int32_t, int32_t, bool, bool, bool, bool>;

bool EnsureTtf() {
    static bool ready = TTF_Init() == 0;
    return ready;
}

int32_t PixelSizeFor(TTF_Font* font, int32_t lfHeight) {
    if (lfHeight < 0)
        return static_cast<int32_t>(std::min<int64_t>(-int64_t{lfHeight}, kMaxPixelSize));
    // A positive height is the cell height: pick the size whose line height comes closest from
    // below (glyph sizes grow almost linearly, so one estimate and a few steps suffice).
    int32_t cell = std::min(lfHeight == 0 ? kDefaultCellHeight : lfHeight, kMaxPixelSize);
    const int32_t probe = 100;
    if (TTF_SetFontSize(font, probe) != 0) return cell;
    int32_t probeHeight = std::max(1, TTF_FontHeight(font));
    int32_t size =
        std::clamp(Nearest(static_cast<double>(cell) * probe / probeHeight), 1, kMaxPixelSize);
    for (int i = 0; i < 4; ++i) {
        if (TTF_SetFontSize(font, size) != 0) break;
        int32_t h = TTF_FontHeight(font);
        if (h > cell && size > 1) {
            --size;
        } else if (size < kMaxPixelSize && TTF_SetFontSize(font, size + 1) == 0 &&
                   TTF_FontHeight(font) <= cell) {
            ++size;
        } else {
            break;
        }
    }
    return size;
}

const Realized* Realize(const LOGFONTA& lf) {
    static std::map<Key, std::unique_ptr<Realized>> cache;
    std::string face(lf.lfFaceName, strnlen(lf.lfFaceName, LF_FACESIZE));
    std::transform(face.begin(), face.end(), face.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    bool bold = lf.lfWeight >= FW_BOLD, italic = lf.lfItalic != 0;
    Key key{face,   lf.lfHeight,         std::max(lf.lfWidth, 0), bold,
            italic, lf.lfUnderline != 0, lf.lfStrikeOut != 0};
    auto found = cache.find(key);
    if (found != cache.end()) return found->second.get();
    if (cache.size() >= kMaxCachedFonts) cache.clear();

    auto realized = std::make_unique<Realized>();
    FontFace file = ResolveFontFace(face, bold, italic);
    if (EnsureTtf() && !file.path.empty()) {
        realized->font = TTF_OpenFont(file.path.c_str(), 12);
    }
    if (realized->font) {
        TTF_Font* font = realized->font;
        TTF_SetFontSize(font, PixelSizeFor(font, lf.lfHeight));
        int style = TTF_STYLE_NORMAL;
        if (file.fakeBold) style |= TTF_STYLE_BOLD;
        if (file.fakeItalic) style |= TTF_STYLE_ITALIC;
        if (lf.lfUnderline) style |= TTF_STYLE_UNDERLINE;
        if (lf.lfStrikeOut) style |= TTF_STYLE_STRIKETHROUGH;
        TTF_SetFontStyle(font, style);
        // Solid glyphs are one-bit; hinting for monochrome keeps their stems whole.
        TTF_SetFontHinting(font, TTF_HINTING_MONO);
        realized->height = TTF_FontHeight(font);
        realized->ascent = TTF_FontAscent(font);
        int w = 0, h = 0;
        if (lf.lfWidth > 0 && TTF_SizeUTF8(font, kAverageSample, &w, &h) == 0 && w > 0) {
            double average = w / 26.0;
            realized->xScale =
                std::clamp(lf.lfWidth / average, 1.0 / kMaxWidthScale, kMaxWidthScale);
        }
    }
    return cache.emplace(key, std::move(realized)).first->second.get();
}

int32_t ScaledWidth(const Realized& r, int w) {
    return r.xScale == 1.0 ? w : Nearest(w * r.xScale);
}

}  // namespace

LineMetrics FontLineMetrics(const LOGFONTA& font) {
    const Realized* r = Realize(font);
    return {r->height, r->ascent};
}

int32_t TextWidth(const LOGFONTA& font, const std::string& text) {
    const Realized* r = Realize(font);
    if (!r->font || text.empty()) return 0;
    int w = 0, h = 0;
    if (TTF_SizeUTF8(r->font, Cp1252ToUtf8(text).c_str(), &w, &h) != 0) return 0;
    return ScaledWidth(*r, w);
}

InkImage RenderText(const LOGFONTA& font, const std::string& text) {
    const Realized* r = Realize(font);
    InkImage image;
    image.height = r->height;
    if (!r->font || text.empty()) return image;
    std::string utf8 = Cp1252ToUtf8(text);
    int w = 0, h = 0;
    if (TTF_SizeUTF8(r->font, utf8.c_str(), &w, &h) != 0 || w <= 0) return image;
    image.width = ScaledWidth(*r, w);
    if (int64_t{image.width} * image.height > kMaxInkPixels) {
        image.width = 0;
        return image;
    }
    image.ink.assign(static_cast<size_t>(image.width) * image.height, 0);
    SDL_Surface* glyphs =
        TTF_RenderUTF8_Solid(r->font, utf8.c_str(), SDL_Color{255, 255, 255, 255});
    if (!glyphs) return image;
    SDL_LockSurface(glyphs);
    // An 8-bit surface: index 0 is the background, anything else is ink.
    int rows = std::min(glyphs->h, image.height);
    for (int y = 0; y < rows; ++y) {
        const auto* src = static_cast<const uint8_t*>(glyphs->pixels) +
                          static_cast<size_t>(y) * static_cast<size_t>(glyphs->pitch);
        uint8_t* dst = image.ink.data() + static_cast<size_t>(y) * image.width;
        for (int32_t x = 0; x < image.width; ++x) {
            // Each target column takes the source columns it covers, so that narrowed glyphs
            // keep their thin stems.
            int s0 = r->xScale == 1.0 ? x : Int(x / r->xScale);
            int s1 = r->xScale == 1.0 ? x + 1 : std::max(s0 + 1, Int((x + 1) / r->xScale));
            for (int sx = s0; sx < s1 && sx < glyphs->w; ++sx) {
                if (src[sx] != 0) dst[x] = 1;
            }
        }
    }
    SDL_UnlockSurface(glyphs);
    SDL_FreeSurface(glyphs);
    return image;
}

}  // namespace fonts

TextExtent MeasureText(const LOGFONTA& font, const std::string& text) {
    return {fonts::TextWidth(font, text), fonts::FontLineMetrics(font).height};
}

}  // namespace platform
