#include "platform/fonts/TrueType.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>

#include "platform/Error.h"
#include "platform/files/ReadFile.h"

// The one place stb_truetype is compiled; its functions stay private to this file.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wunused-parameter"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wimplicit-fallthrough"
#pragma GCC diagnostic ignored "-Wcast-qual"
#pragma GCC diagnostic ignored "-Wconversion"
#pragma GCC diagnostic ignored "-Wdouble-promotion"
#ifdef __clang__
#pragma GCC diagnostic ignored "-Wunused-but-set-variable"
#endif
#define STBTT_STATIC
#define STB_TRUETYPE_IMPLEMENTATION
#include <stb/stb_truetype.h>
#pragma GCC diagnostic pop

namespace platform::fonts {
namespace {

// DejaVu Sans is under 1 MB; a font file many times that is not one the game ships.
constexpr size_t kMaxFontBytes = 32u << 20;
// Nesting of composite glyphs (accents on letters are one level) and the points a glyph may
// expand to: far beyond any real glyph, small enough that a hostile file cannot exhaust memory.
constexpr int kMaxCompositeDepth = 8;
constexpr int64_t kMaxGlyphPoints = 1 << 16;

struct Bytes {
    const uint8_t* p;
    size_t size;
    bool Has(uint64_t offset, uint64_t length) const {
        return offset <= size && length <= size - offset;
    }
    uint8_t U8(size_t o) const { return p[o]; }
    uint16_t U16(size_t o) const { return static_cast<uint16_t>(p[o] << 8 | p[o + 1]); }
    int16_t S16(size_t o) const { return static_cast<int16_t>(U16(o)); }
    uint32_t U32(size_t o) const {
        return uint32_t{p[o]} << 24 | uint32_t{p[o + 1]} << 16 | uint32_t{p[o + 2]} << 8 | p[o + 3];
    }
};

struct Table {
    size_t offset = 0;
    size_t length = 0;
    bool found = false;
};

// What checking a glyph found: how many points it expands to and how far they reach.
struct GlyphCheck {
    int64_t points = 0;
    double reach = 0;  // largest |coordinate|, font units
};

class Checker {
  public:
    Checker(const Bytes& b, const std::string& name) : b_(b), name_(name) {}

    [[noreturn]] void Fail(const std::string& why) const {
        throw Error(kObjectError1,
                    "The font file " + name_ + " is damaged or not a TrueType font: " + why + ".");
    }
    void Need(bool ok, const char* why) const {
        if (!ok) Fail(why);
    }

    // The table directory of the font at `start`; the first entry of a tag counts, as in stb.
    void ReadDirectory(size_t start) {
        Need(b_.Has(start, 12), "the table directory is cut short");
        const uint16_t count = b_.U16(start + 4);
        Need(b_.Has(start + 12, uint64_t{count} * 16), "the table directory is cut short");
        for (uint16_t i = 0; i < count; ++i) {
            const size_t at = start + 12 + size_t{i} * 16;
            const std::string tag(reinterpret_cast<const char*>(b_.p + at), 4);
            const uint32_t offset = b_.U32(at + 8), length = b_.U32(at + 12);
            Need(b_.Has(offset, length), "a table lies beyond the end of the file");
            if (!tables_.count(tag)) tables_[tag] = Table{offset, length, offset != 0};
        }
    }
    Table Find(const char* tag, size_t minLength) const {
        auto it = tables_.find(tag);
        if (it == tables_.end() || !it->second.found) return {};
        Need(it->second.length >= minLength, "a table is too short");
        return it->second;
    }
    Table Require(const char* tag, size_t minLength) const {
        Table t = Find(tag, minLength);
        if (!t.found) Fail(std::string("the '") + tag + "' table is missing");
        return t;
    }

    void SetGlyphTables(Table loca, Table glyf, int32_t glyphCount, bool longOffsets) {
        loca_ = loca, glyf_ = glyf, glyphCount_ = glyphCount, longOffsets_ = longOffsets;
        Need(loca.length / (longOffsets ? 4 : 2) > static_cast<size_t>(glyphCount),
             "the glyph locations are cut short");
    }

    // Walks the outline exactly as stb_truetype's reader will, so that it never reads past the
    // glyph, writes past its point array or follows composite glyphs round in a circle.
    GlyphCheck CheckGlyph(int32_t glyph, int depth = 0) {
        Need(glyph >= 0 && glyph < glyphCount_, "a glyph refers to a glyph that does not exist");
        Need(depth <= kMaxCompositeDepth, "composite glyphs nest too deeply or in a circle");
        auto done = checked_.find(glyph);
        if (done != checked_.end()) return done->second;
        const size_t g = static_cast<size_t>(glyph);
        const size_t start =
            longOffsets_ ? b_.U32(loca_.offset + g * 4) : size_t{b_.U16(loca_.offset + g * 2)} * 2;
        const size_t end = longOffsets_ ? b_.U32(loca_.offset + g * 4 + 4)
                                        : size_t{b_.U16(loca_.offset + g * 2 + 2)} * 2;
        Need(start <= end && end <= glyf_.length, "a glyph lies outside the glyph table");
        GlyphCheck result;
        if (start != end) {
            const Bytes glyphBytes{b_.p + glyf_.offset + start, end - start};
            Need(glyphBytes.size >= 10, "a glyph is cut short");
            const int16_t contours = glyphBytes.S16(0);
            result = contours >= 0 ? CheckSimple(glyphBytes, contours)
                                   : CheckComposite(glyphBytes, depth);
        }
        checked_[glyph] = result;
        return result;
    }

  private:
    GlyphCheck CheckSimple(const Bytes& g, int16_t contours) const {
        GlyphCheck result;
        if (contours == 0) return result;
        const size_t ends = 10, count = static_cast<size_t>(contours);
        Need(g.Has(ends, count * 2 + 2), "a glyph is cut short");
        for (size_t c = 1; c < count; ++c)
            Need(g.U16(ends + c * 2) > g.U16(ends + c * 2 - 2), "a glyph's contours overlap");
        const size_t points = size_t{g.U16(ends + count * 2 - 2)} + 1;
        size_t at = ends + count * 2 + 2 + g.U16(ends + count * 2);
        std::vector<uint8_t> flags(points);
        for (size_t i = 0, repeat = 0; i < points; ++i) {
            if (repeat == 0) {
                Need(g.Has(at, 1), "a glyph is cut short");
                flags[i] = g.U8(at++);
                if (flags[i] & 8) {
                    Need(g.Has(at, 1), "a glyph is cut short");
                    repeat = g.U8(at++);
                }
            } else {
                flags[i] = flags[i - 1];
                --repeat;
            }
        }
        // x then y: a byte when short (bit 1 / 2), nothing when the same (bit 4 / 5), else a word.
        for (const uint8_t shortBit : {2, 4}) {
            const uint8_t sameBit = static_cast<uint8_t>(shortBit << 3);
            int32_t v = 0;
            for (size_t i = 0; i < points; ++i) {
                if (flags[i] & shortBit) {
                    Need(g.Has(at, 1), "a glyph is cut short");
                    v += (flags[i] & sameBit) ? g.U8(at) : -int32_t{g.U8(at)};
                    at += 1;
                } else if (!(flags[i] & sameBit)) {
                    Need(g.Has(at, 2), "a glyph is cut short");
                    v += g.S16(at);
                    at += 2;
                }
                v = static_cast<int16_t>(v);  // the reader keeps 16 bits
                result.reach = std::max(result.reach, std::fabs(double(v)));
            }
        }
        // A contour of one point off the curve makes the reader look one point too far.
        for (size_t c = 0; c < count; ++c) {
            const size_t first = c == 0 ? 0 : size_t{g.U16(ends + c * 2 - 2)} + 1;
            Need(first != g.U16(ends + c * 2) || (flags[first] & 1),
                 "a contour is a single control point");
        }
        result.points = static_cast<int64_t>(points + 2 * count);
        return result;
    }

    GlyphCheck CheckComposite(const Bytes& g, int depth) {
        GlyphCheck result;
        size_t at = 10;
        for (bool more = true; more;) {
            Need(g.Has(at, 4), "a composite glyph is cut short");
            const uint16_t flags = g.U16(at), child = g.U16(at + 2);
            at += 4;
            Need(flags & 2, "a composite glyph is placed by points");
            double m[6] = {1, 0, 0, 1, 0, 0};
            const size_t argBytes = (flags & 1) ? 4 : 2;
            Need(g.Has(at, argBytes), "a composite glyph is cut short");
            m[4] = (flags & 1) ? g.S16(at) : static_cast<int8_t>(g.U8(at));
            m[5] = (flags & 1) ? g.S16(at + 2) : static_cast<int8_t>(g.U8(at + 1));
            at += argBytes;
            const size_t scales = (flags & 8) ? 1 : (flags & 64) ? 2 : (flags & 128) ? 4 : 0;
            Need(g.Has(at, scales * 2), "a composite glyph is cut short");
            if (scales == 1) m[0] = m[3] = g.S16(at) / 16384.0;
            if (scales == 2) m[0] = g.S16(at) / 16384.0, m[3] = g.S16(at + 2) / 16384.0;
            if (scales == 4) {
                for (size_t k = 0; k < 4; ++k)
                    m[k] = g.S16(at + k * 2) / 16384.0;
            }
            at += scales * 2;
            const GlyphCheck part = CheckGlyph(child, depth + 1);
            // The reader turns placed points back into 16-bit numbers: they must fit.
            const double sx = std::sqrt(m[0] * m[0] + m[1] * m[1]);
            const double sy = std::sqrt(m[2] * m[2] + m[3] * m[3]);
            const double rx =
                sx * ((std::fabs(m[0]) + std::fabs(m[2])) * part.reach + std::fabs(m[4]));
            const double ry =
                sy * ((std::fabs(m[1]) + std::fabs(m[3])) * part.reach + std::fabs(m[5]));
            Need(rx < 32000 && ry < 32000, "a composite glyph is placed out of range");
            result.reach = std::max({result.reach, rx, ry});
            result.points += part.points;
            Need(result.points <= kMaxGlyphPoints, "a composite glyph is too large");
            more = (flags & 32) != 0;
        }
        return result;
    }

    const Bytes& b_;
    const std::string& name_;
    std::map<std::string, Table> tables_;
    Table loca_, glyf_;
    int32_t glyphCount_ = 0;
    bool longOffsets_ = false;
    std::map<int32_t, GlyphCheck> checked_;
};

// Text reaches the font layer in the old 8-bit character set (Windows-1252).
uint32_t Cp1252ToUnicode(unsigned char c) {
    // 0x80-0x9F of Windows-1252; the five unassigned codes keep their C1 code points.
    static const uint16_t kHigh[32] = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
    return (c >= 0x80 && c < 0xA0) ? kHigh[c - 0x80] : c;
}

// Unicode to glyph through a format 4 (16-bit) or 12 (32-bit) character map; 0 when unmapped.
int32_t MapFormat4(const Bytes& b, size_t sub, size_t tableEnd, uint32_t cp) {
    if (cp > 0xFFFF || !b.Has(sub, 14)) return 0;
    const size_t segments = b.U16(sub + 6) / 2;
    const size_t ends = sub + 14, starts = ends + segments * 2 + 2;
    const size_t deltas = starts + segments * 2, ranges = deltas + segments * 2;
    if (ranges + segments * 2 > tableEnd) return 0;
    for (size_t i = 0; i < segments; ++i) {
        if (b.U16(ends + i * 2) < cp) continue;
        const uint16_t first = b.U16(starts + i * 2);
        if (cp < first) return 0;
        const uint16_t delta = b.U16(deltas + i * 2), range = b.U16(ranges + i * 2);
        if (range == 0) return static_cast<uint16_t>(cp + delta);
        const size_t at = ranges + i * 2 + range + (cp - first) * 2;
        if (at + 2 > tableEnd) return 0;
        const uint16_t glyph = b.U16(at);
        return glyph == 0 ? 0 : static_cast<uint16_t>(glyph + delta);
    }
    return 0;
}

int32_t MapFormat12(const Bytes& b, size_t sub, size_t tableEnd, uint32_t cp) {
    if (sub + 16 > tableEnd) return 0;
    const uint64_t groups = b.U32(sub + 12);
    if (groups > (tableEnd - sub - 16) / 12) return 0;
    for (uint64_t i = 0; i < groups; ++i) {
        const size_t at = sub + 16 + static_cast<size_t>(i) * 12;
        const uint32_t first = b.U32(at), last = b.U32(at + 4);
        if (cp >= first && cp <= last) {
            const uint64_t glyph = uint64_t{b.U32(at + 8)} + (cp - first);
            return glyph > 0xFFFF ? 0 : static_cast<int32_t>(glyph);
        }
    }
    return 0;
}

}  // namespace

struct TrueTypeFont::Stb {
    stbtt_fontinfo info{};
};

TrueTypeFont::TrueTypeFont(std::string bytes, const std::string& name)
    : bytes_(std::move(bytes)), stb_(std::make_unique<Stb>()) {
    const Bytes b{reinterpret_cast<const uint8_t*>(bytes_.data()), bytes_.size()};
    Checker check(b, name);
    check.Need(b.size >= 16 && b.size <= kMaxFontBytes, "the size is implausible");
    const int start = stbtt_GetFontOffsetForIndex(b.p, 0);
    check.Need(start >= 0, "it does not start as a font");
    check.ReadDirectory(static_cast<size_t>(start));
    const Table head = check.Require("head", 54), hhea = check.Require("hhea", 36);
    const Table maxp = check.Require("maxp", 6), cmap = check.Require("cmap", 4);
    const Table hmtx = check.Require("hmtx", 0), post = check.Find("post", 12);
    check.Need(check.Find("glyf", 0).found, "its outlines are not TrueType outlines");
    const Table glyf = check.Require("glyf", 0), loca = check.Require("loca", 0);

    unitsPerEm_ = b.U16(head.offset + 18);
    check.Need(unitsPerEm_ >= 16 && unitsPerEm_ <= 16384, "the em size is out of range");
    const int16_t locFormat = b.S16(head.offset + 50);
    check.Need(locFormat == 0 || locFormat == 1, "the glyph location format is unknown");
    ascender_ = b.S16(hhea.offset + 4);
    descender_ = b.S16(hhea.offset + 6);
    check.Need(ascender_ > descender_, "the ascender lies below the descender");
    const int32_t glyphCount = b.U16(maxp.offset + 4);
    const int32_t longMetrics = b.U16(hhea.offset + 34);
    check.Need(glyphCount > 0 && longMetrics > 0, "it has no glyphs");
    check.Need(
        hmtx.length >= size_t(longMetrics) * 4 + size_t(std::max(0, glyphCount - longMetrics)) * 2,
        "the glyph widths are cut short");
    check.SetGlyphTables(loca, glyf, glyphCount, locFormat == 1);
    if (post.found) {
        underlinePosition_ = b.S16(post.offset + 8);
        underlineThickness_ = b.S16(post.offset + 10);
    } else {
        underlinePosition_ = -unitsPerEm_ / 10;
        underlineThickness_ = unitsPerEm_ / 20;
    }

    // stb reads every encoding record; we map characters ourselves from the best Unicode map.
    const size_t records = b.U16(cmap.offset + 2), cmapEnd = cmap.offset + cmap.length;
    check.Need(cmap.length >= 4 + records * 8, "the character map is cut short");
    size_t best = 0;
    int bestRank = 0;
    for (size_t i = 0; i < records; ++i) {
        const size_t at = cmap.offset + 4 + i * 8;
        const uint16_t platformId = b.U16(at), encoding = b.U16(at + 2);
        const size_t sub = cmap.offset + b.U32(at + 4);
        if (sub + 4 > cmapEnd) continue;
        const uint16_t format = b.U16(sub);
        const bool unicode =
            platformId == 0 || (platformId == 3 && (encoding == 1 || encoding == 10));
        const int rank = !unicode ? 0 : format == 12 ? 2 : format == 4 ? 1 : 0;
        if (rank > bestRank) best = sub, bestRank = rank;
    }
    check.Need(bestRank > 0, "it has no Unicode character map");
    for (int c = 0; c < 256; ++c) {
        const uint32_t cp = Cp1252ToUnicode(static_cast<unsigned char>(c));
        int32_t glyph =
            bestRank == 2 ? MapFormat12(b, best, cmapEnd, cp) : MapFormat4(b, best, cmapEnd, cp);
        glyphs_[static_cast<size_t>(c)] = glyph < glyphCount ? glyph : 0;
    }
    check.CheckGlyph(0);
    for (int32_t glyph : glyphs_)
        check.CheckGlyph(glyph);

    check.Need(stbtt_InitFont(&stb_->info, b.p, start) != 0, "stb_truetype refuses it");
}

TrueTypeFont::~TrueTypeFont() = default;

std::shared_ptr<const TrueTypeFont> TrueTypeFont::Open(const std::string& path) {
    FileRead file = ReadWholeFile(path, kMaxFontBytes);
    if (file.status != FileRead::Read)
        throw Error(kObjectError1, "The font file " + path + " " + file.problem + ".");
    return std::make_shared<const TrueTypeFont>(std::move(file.text), path);
}

int32_t TrueTypeFont::AdvanceUnits(int32_t glyph) const {
    int advance = 0, bearing = 0;
    stbtt_GetGlyphHMetrics(&stb_->info, glyph, &advance, &bearing);
    return advance;
}

GlyphInk TrueTypeFont::Render(int32_t glyph, int32_t ppem) const {
    GlyphInk out;
    stbtt_vertex* vertices = nullptr;
    const int count = stbtt_GetGlyphShape(&stb_->info, glyph, &vertices);
    if (count <= 0 || !vertices) {
        stbtt_FreeShape(&stb_->info, vertices);
        return out;
    }
    // The box comes from the points themselves (a curve stays inside its control points), not
    // from the glyph's stated box, so the outline can never reach past the bitmap.
    int32_t minX = INT32_MAX, minY = INT32_MAX, maxX = INT32_MIN, maxY = INT32_MIN;
    for (int i = 0; i < count; ++i) {
        const stbtt_vertex& v = vertices[i];
        minX = std::min<int32_t>(minX, v.x), maxX = std::max<int32_t>(maxX, v.x);
        minY = std::min<int32_t>(minY, v.y), maxY = std::max<int32_t>(maxY, v.y);
        if (v.type == STBTT_vcurve) {
            minX = std::min<int32_t>(minX, v.cx), maxX = std::max<int32_t>(maxX, v.cx);
            minY = std::min<int32_t>(minY, v.cy), maxY = std::max<int32_t>(maxY, v.cy);
        }
    }
    const float scale = static_cast<float>(ppem) / static_cast<float>(unitsPerEm_);
    const auto x0 = static_cast<int32_t>(std::floor(static_cast<float>(minX) * scale));
    const auto x1 = static_cast<int32_t>(std::ceil(static_cast<float>(maxX) * scale));
    const auto y0 = static_cast<int32_t>(std::floor(static_cast<float>(-maxY) * scale));
    const auto y1 = static_cast<int32_t>(std::ceil(static_cast<float>(-minY) * scale));
    // A glyph many ems across is not a letter; leave it blank rather than allocate for it.
    const int64_t limit = int64_t{ppem} * 8 + 16;
    if (x1 - x0 <= 0 || y1 - y0 <= 0 || x1 - x0 > limit || y1 - y0 > limit) {
        stbtt_FreeShape(&stb_->info, vertices);
        return out;
    }
    // One spare pixel all round for the rasteriser's rounding at the edges.
    const int32_t w = x1 - x0 + 2, h = y1 - y0 + 2;
    std::vector<uint8_t> coverage(static_cast<size_t>(w) * h, 0);
    stbtt__bitmap bitmap{w, h, w, coverage.data()};
    stbtt_Rasterize(&bitmap, 0.35f, vertices, count, scale, scale, 0, 0, x0 - 1, y0 - 1, 1,
                    nullptr);
    stbtt_FreeShape(&stb_->info, vertices);
    out.left = x0, out.top = y0, out.width = w - 2, out.height = h - 2;
    out.ink.resize(static_cast<size_t>(out.width) * out.height);
    for (int32_t y = 0; y < out.height; ++y) {
        for (int32_t x = 0; x < out.width; ++x) {
            const uint8_t c = coverage[static_cast<size_t>(y + 1) * w + x + 1];
            out.ink[static_cast<size_t>(y) * out.width + x] = c >= 128 ? 1 : 0;
        }
    }
    return out;
}

}  // namespace platform::fonts
