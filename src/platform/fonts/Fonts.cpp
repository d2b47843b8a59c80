#include "platform/fonts/Fonts.h"

#include <fontconfig/fontconfig.h>
#include <strings.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <map>
#include <tuple>

#include "platform/Numbers.h"
#include "platform/fonts/FontEngine.h"

namespace platform {
namespace fonts {
namespace {

// The old families ("Small Fonts", "MS Sans Serif") are not installed on Linux. Any family
// fontconfig cannot match by name falls back to DejaVu Sans from fonts-dejavu-core, which every
// install of the game has, so text looks alike on all machines.
constexpr const char* kFallbackFolder = "/usr/share/fonts/truetype/dejavu/";
constexpr const char* kFallbackFamily = "DejaVu Sans";

bool FileExists(const std::string& path) {
    return !path.empty() && access(path.c_str(), R_OK) == 0;
}

std::string FallbackFile(bool bold, bool italic) {
    const char* name = bold ? (italic ? "DejaVuSans-BoldOblique.ttf" : "DejaVuSans-Bold.ttf")
                            : (italic ? "DejaVuSans-Oblique.ttf" : "DejaVuSans.ttf");
    return std::string(kFallbackFolder) + name;
}

// fontconfig's match for a family; `exact` demands that the match carries that family name
// (fontconfig otherwise hands back its default font for unknown names).
bool MatchFamily(const std::string& family, bool bold, bool italic, bool exact, FontFace* out) {
    if (!FcInit()) return false;
    FcPattern* pattern = FcPatternCreate();
    if (!pattern) return false;
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    FcPatternDestroy(pattern);
    if (!match) return false;

    bool familyOk = !exact;
    FcChar8* name = nullptr;
    for (int i = 0; !familyOk && FcPatternGetString(match, FC_FAMILY, i, &name) == FcResultMatch;
         ++i) {
        familyOk = strcasecmp(reinterpret_cast<const char*>(name), family.c_str()) == 0;
    }
    FcBool scalable = FcFalse;
    FcPatternGetBool(match, FC_SCALABLE, 0, &scalable);
    FcChar8* file = nullptr;
    bool ok = familyOk && scalable &&
              FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch &&
              FileExists(reinterpret_cast<const char*>(file));
    if (ok) {
        int weight = FC_WEIGHT_REGULAR, slant = FC_SLANT_ROMAN;
        FcPatternGetInteger(match, FC_WEIGHT, 0, &weight);
        FcPatternGetInteger(match, FC_SLANT, 0, &slant);
        out->path = reinterpret_cast<const char*>(file);
        out->fakeBold = bold && weight < FC_WEIGHT_DEMIBOLD;
        out->fakeItalic = italic && slant == FC_SLANT_ROMAN;
    }
    FcPatternDestroy(match);
    return ok;
}

bool gPinned = false;

FontFace Resolve(const std::string& family, bool bold, bool italic) {
    FontFace face;
    if (!gPinned && !family.empty() && MatchFamily(family, bold, italic, true, &face)) return face;
    face = {};
    face.path = FallbackFile(bold, italic);
    if (FileExists(face.path)) return face;
    // Without fonts-dejavu-core: whatever fontconfig offers, so text still shows.
    face = {};
    if (MatchFamily(kFallbackFamily, bold, italic, true, &face)) return face;
    face = {};
    MatchFamily("sans-serif", bold, italic, false, &face);
    return face;
}

}  // namespace

FontFace ResolveFontFace(const std::string& family, bool bold, bool italic) {
    static std::map<std::tuple<std::string, bool, bool, bool>, FontFace> cache;
    std::string lower = family;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    auto key = std::make_tuple(lower, bold, italic, gPinned);
    auto found = cache.find(key);
    if (found != cache.end()) return found->second;
    FontFace face = Resolve(family, bold, italic);
    cache.emplace(key, face);
    return face;
}

std::string Cp1252ToUtf8(const std::string& text) {
    // 0x80-0x9F of Windows-1252; the five unassigned codes keep their C1 code points.
    static const uint16_t kHigh[32] = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
    std::string out;
    out.reserve(text.size());
    for (unsigned char c : text) {
        uint32_t cp = (c >= 0x80 && c < 0xA0) ? kHigh[c - 0x80] : c;
        if (cp < 0x80) {
            out += static_cast<char>(cp);
        } else if (cp < 0x800) {
            out += static_cast<char>(0xC0 | (cp >> 6));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else {
            out += static_cast<char>(0xE0 | (cp >> 12));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        }
    }
    return out;
}

}  // namespace fonts

void PinFonts(bool pinned) {
    fonts::gPinned = pinned;
}

std::string ResolveFontFile(const std::string& family, bool bold, bool italic) {
    return fonts::ResolveFontFace(family, bold, italic).path;
}

LOGFONTA MakeLogFont(const std::string& family, double points, bool bold, bool italic) {
    LOGFONTA lf{};
    lf.lfHeight = -Nearest(points * 96.0 / 72.0);
    lf.lfWeight = bold ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = italic ? 1 : 0;
    size_t n = std::min(family.size(), static_cast<size_t>(LF_FACESIZE - 1));
    std::memcpy(lf.lfFaceName, family.data(), n);
    lf.lfFaceName[n] = '\0';
    return lf;
}

}  // namespace platform

HFONT CreateFontIndirectA(const LOGFONTA* logfont) {
    if (!logfont) return nullptr;
    LOGFONTA lf = *logfont;
    lf.lfFaceName[LF_FACESIZE - 1] = '\0';  // a face name without its terminator stays in bounds
    return new Font(lf);
}
