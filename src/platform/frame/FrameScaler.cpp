#include "platform/frame/FrameScaler.h"

#include <algorithm>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace platform {

namespace {
using Lanes = uint16_t __attribute__((vector_size(8)));
using Bytes = uint8_t __attribute__((vector_size(4)));

Lanes Widen(uint32_t p) {
    Bytes b;
    std::memcpy(&b, &p, sizeof b);
    return __builtin_convertvector(b, Lanes);
}

uint32_t Pack(Lanes v) {
    const Bytes b = __builtin_convertvector(v, Bytes);
    uint32_t p;
    std::memcpy(&p, &b, sizeof p);
    return p;
}

uint32_t Order(uint32_t p, PixelOrder order) {
    switch (order) {
        case PixelOrder::RedHigh:
            return (p & 0xFF00u) | ((p & 0xFFu) << 16) | ((p >> 16) & 0xFFu);
        case PixelOrder::RedLow:
            return p & 0xFFFFFFu;
        case PixelOrder::Rgba:
            return (p & 0xFFFFFFu) | 0xFF000000u;
        case PixelOrder::AsIs:
            break;
    }
    return p;
}

// One row of lanes from count frame rows: each pixel's bytes times the row's weight, summed
// and rounded; four pixels a step.
[[maybe_unused]] constexpr int kMostRows = 8;  // rows kept in registers by the vector paths

#if defined(__x86_64__)
// Four pixels a step, each byte widened on loading; returns how many pixels were done.
template <int kRows>
__attribute__((target("avx2"))) int32_t DownWide(const uint32_t* const* rows,
                                                 const uint16_t* weight, int count, int32_t n,
                                                 Lanes* out) {
    if (kRows > 0) count = kRows;
    if (count > kMostRows) return 0;
    const uint32_t* from[kMostRows];
    __m256i w[kMostRows];
    for (int t = 0; t < count; ++t) {
        from[t] = rows[t];
        w[t] = _mm256_set1_epi16(static_cast<int16_t>(weight[t]));
    }
    const __m256i half = _mm256_set1_epi16(128);
    int32_t i = 0;
    for (; i + 4 <= n; i += 4) {
        __m256i sum = half;
        for (int t = 0; t < count; ++t) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from[t] + i));
            sum = _mm256_add_epi16(sum, _mm256_mullo_epi16(_mm256_cvtepu8_epi16(v), w[t]));
        }
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + i), _mm256_srli_epi16(sum, 8));
    }
    return i;
}
#endif

template <int kRows>
void Down(const uint32_t* const* rows, const uint16_t* weight, int count, int32_t n, Lanes* out,
          bool wide) {
    if (kRows > 0) count = kRows;
    int32_t i = 0;
#if defined(__x86_64__)
    if (wide) i = DownWide<kRows>(rows, weight, count, n, out);
#else
    (void)wide;
#endif
#if defined(__SSE2__)
    // In locals: the stores below could otherwise alias the tables, reloaded every step.
    constexpr int kMost = kMostRows;
    if (i == 0 && count <= kMost) {
        const __m128i zero = _mm_setzero_si128(), half = _mm_set1_epi16(128);
        const uint32_t* from[kMost];
        __m128i w[kMost];
        for (int t = 0; t < count; ++t) {
            from[t] = rows[t];
            w[t] = _mm_set1_epi16(static_cast<int16_t>(weight[t]));
        }
        for (; i + 4 <= n; i += 4) {
            __m128i lo = half, hi = half;
            for (int t = 0; t < count; ++t) {
                const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from[t] + i));
                lo = _mm_add_epi16(lo, _mm_mullo_epi16(_mm_unpacklo_epi8(v, zero), w[t]));
                hi = _mm_add_epi16(hi, _mm_mullo_epi16(_mm_unpackhi_epi8(v, zero), w[t]));
            }
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), _mm_srli_epi16(lo, 8));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i + 2), _mm_srli_epi16(hi, 8));
        }
    }
#endif
    for (; i < n; ++i) {
        Lanes sum = Widen(rows[0][i]) * weight[0];
        for (int t = 1; t < count; ++t)
            sum += Widen(rows[t][i]) * weight[t];
        out[i] = (sum + 128) >> 8;
    }
}

// Display pixel x from its taps in a row of lanes, one at a time.
template <PixelOrder kOrder>
uint32_t AcrossOne(const Lanes* lanes, const int32_t* first, const uint16_t* weight, int taps,
                   int32_t x) {
    const Lanes* from = lanes + first[x];
    const uint16_t* w = weight + static_cast<size_t>(x) * taps;
    Lanes sum = from[0] * w[0];
    for (int t = 1; t < taps; ++t)
        sum += from[t] * w[t];
    return Order(Pack((sum + 128) >> 8), kOrder);
}

#if defined(__x86_64__)
// Display pixels at and at + 1 from their pairs of taps, each pair still apart: [at | at + 1].
template <int kPairs>
__attribute__((target("avx2"))) inline __m256i TwoWide(const Lanes* lanes, const int32_t* first,
                                                       const uint16_t* wide, int pairs,
                                                       int32_t at) {
    if (kPairs > 0) pairs = kPairs;
    const size_t stride = static_cast<size_t>(pairs) * 8;  // weights per display pixel
    const Lanes* a = lanes + first[at];
    const Lanes* b = lanes + first[at + 1];
    const uint16_t* w = wide + at * stride;
    __m256i total = _mm256_setzero_si256();
    for (int p = 0; p < pairs; ++p) {
        const __m128i va = _mm_loadu_si128(reinterpret_cast<const __m128i*>(a + 2 * p));
        const __m128i vb = _mm_loadu_si128(reinterpret_cast<const __m128i*>(b + 2 * p));
        const __m256i v = _mm256_inserti128_si256(_mm256_castsi128_si256(va), vb, 1);
        const __m256i f = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(w + 8 * p));
        // at + 1's pair p ends the 16 weights before it: the high half of g.
        const __m256i g =
            _mm256_loadu_si256(reinterpret_cast<const __m256i*>(w + stride + 8 * p - 8));
        total = _mm256_add_epi16(total, _mm256_mullo_epi16(v, _mm256_blend_epi32(f, g, 0xF0)));
    }
    return total;
}

// Display pixels at .. at + 3, rounded, in the order at, at + 2 | at + 1, at + 3.
template <int kPairs, PixelOrder kOrder>
__attribute__((target("avx2"))) inline __m256i FourWide(const Lanes* lanes, const int32_t* first,
                                                        const uint16_t* wide, int pairs,
                                                        int32_t at) {
    const __m256i s0 = TwoWide<kPairs>(lanes, first, wide, pairs, at);
    const __m256i s1 = TwoWide<kPairs>(lanes, first, wide, pairs, at + 2);
    const __m256i sum =
        _mm256_add_epi16(_mm256_unpacklo_epi64(s0, s1), _mm256_unpackhi_epi64(s0, s1));
    __m256i v = _mm256_srli_epi16(_mm256_add_epi16(sum, _mm256_set1_epi16(128)), 8);
    if constexpr (kOrder == PixelOrder::RedHigh)
        v = _mm256_shufflehi_epi16(_mm256_shufflelo_epi16(v, _MM_SHUFFLE(3, 0, 1, 2)),
                                   _MM_SHUFFLE(3, 0, 1, 2));
    return v;
}

// Eight display pixels a step into 32-byte aligned stores past the cache; returns how many
// pixels were done.
template <int kPairs, PixelOrder kOrder>
__attribute__((target("avx2"))) int32_t AcrossWide(const Lanes* lanes, const int32_t* first,
                                                   const uint16_t* wide, int pairs,
                                                   const uint16_t* weight, int taps, int32_t width,
                                                   uint32_t* out) {
    if (reinterpret_cast<uintptr_t>(out) % 4 != 0) return 0;
    int32_t x = 0;
    for (; x < width && reinterpret_cast<uintptr_t>(out + x) % 32 != 0; ++x)
        out[x] = AcrossOne<kOrder>(lanes, first, weight, taps, x);
    const __m256i mask = _mm256_set1_epi32(0xFFFFFF);
    // Packed, the pixels come as x, x+2, x+4, x+6 | x+1, x+3, x+5, x+7.
    const __m256i inOrder = _mm256_setr_epi32(0, 4, 1, 5, 2, 6, 3, 7);
    for (; x + 8 <= width; x += 8) {
        __m256i pixels =
            _mm256_packus_epi16(FourWide<kPairs, kOrder>(lanes, first, wide, pairs, x),
                                FourWide<kPairs, kOrder>(lanes, first, wide, pairs, x + 4));
        pixels = _mm256_permutevar8x32_epi32(pixels, inOrder);
        if constexpr (kOrder != PixelOrder::AsIs) pixels = _mm256_and_si256(pixels, mask);
        if constexpr (kOrder == PixelOrder::Rgba)
            pixels = _mm256_or_si256(pixels, _mm256_set1_epi32(static_cast<int32_t>(0xFF000000u)));
        _mm256_stream_si256(reinterpret_cast<__m256i*>(out + x), pixels);
    }
    return x;
}
#endif

// One display row from one row of lanes, four pixels a step, two taps to a multiply; the
// colour order converted on the way out.
template <int kPairs, PixelOrder kOrder>
void Across(const Lanes* lanes, const int32_t* first, const uint16_t* wide, int pairs,
            const uint16_t* weight, int taps, int32_t width, uint32_t* out, bool wideVectors) {
    int32_t x = 0;
#if defined(__x86_64__)
    if (wideVectors)
        x = AcrossWide<kPairs, kOrder>(lanes, first, wide, pairs, weight, taps, width, out);
#else
    (void)wideVectors;
#endif
#if defined(__SSE2__)
    if (kPairs > 0) pairs = kPairs;
    const __m128i half = _mm_set1_epi16(128), mask = _mm_set1_epi32(0xFFFFFF);
    const bool aligned = reinterpret_cast<uintptr_t>(out + x) % 16 == 0;
    for (; x + 4 <= width; x += 4) {
        const auto sum = [&](int32_t at) {
            const Lanes* from = lanes + first[at];
            const uint16_t* w = wide + static_cast<size_t>(at) * pairs * 8;
            __m128i total = _mm_setzero_si128();
            for (int p = 0; p < pairs; ++p) {
                const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from + 2 * p));
                const __m128i f = _mm_loadu_si128(reinterpret_cast<const __m128i*>(w + 8 * p));
                total = _mm_add_epi16(total, _mm_mullo_epi16(v, f));
            }
            return total;
        };
        const __m128i s[4] = {sum(x), sum(x + 1), sum(x + 2), sum(x + 3)};
        __m128i a = _mm_add_epi16(_mm_unpacklo_epi64(s[0], s[1]), _mm_unpackhi_epi64(s[0], s[1]));
        __m128i b = _mm_add_epi16(_mm_unpacklo_epi64(s[2], s[3]), _mm_unpackhi_epi64(s[2], s[3]));
        a = _mm_srli_epi16(_mm_add_epi16(a, half), 8);
        b = _mm_srli_epi16(_mm_add_epi16(b, half), 8);
        if constexpr (kOrder == PixelOrder::RedHigh) {
            a = _mm_shufflehi_epi16(_mm_shufflelo_epi16(a, _MM_SHUFFLE(3, 0, 1, 2)),
                                    _MM_SHUFFLE(3, 0, 1, 2));
            b = _mm_shufflehi_epi16(_mm_shufflelo_epi16(b, _MM_SHUFFLE(3, 0, 1, 2)),
                                    _MM_SHUFFLE(3, 0, 1, 2));
        }
        __m128i pixels = _mm_packus_epi16(a, b);
        if constexpr (kOrder != PixelOrder::AsIs) pixels = _mm_and_si128(pixels, mask);
        if constexpr (kOrder == PixelOrder::Rgba)
            pixels = _mm_or_si128(pixels, _mm_set1_epi32(static_cast<int32_t>(0xFF000000u)));
        // The display image is written, never read: past the cache where it is aligned.
        if (aligned)
            _mm_stream_si128(reinterpret_cast<__m128i*>(out + x), pixels);
        else
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x), pixels);
    }
#else
    (void)wide;
    (void)pairs;
#endif
    for (; x < width; ++x)
        out[x] = AcrossOne<kOrder>(lanes, first, weight, taps, x);
}

template <int kPairs>
void Across(const Lanes* lanes, const int32_t* first, const uint16_t* wide, int pairs,
            const uint16_t* weight, int taps, int32_t width, uint32_t* out, PixelOrder order,
            bool wideVectors) {
    switch (order) {
        case PixelOrder::AsIs:
            return Across<kPairs, PixelOrder::AsIs>(lanes, first, wide, pairs, weight, taps, width,
                                                    out, wideVectors);
        case PixelOrder::RedLow:
            return Across<kPairs, PixelOrder::RedLow>(lanes, first, wide, pairs, weight, taps,
                                                      width, out, wideVectors);
        case PixelOrder::RedHigh:
            return Across<kPairs, PixelOrder::RedHigh>(lanes, first, wide, pairs, weight, taps,
                                                       width, out, wideVectors);
        case PixelOrder::Rgba:
            return Across<kPairs, PixelOrder::Rgba>(lanes, first, wide, pairs, weight, taps, width,
                                                    out, wideVectors);
    }
}

// The frame's pixel (x, y): the picture's where it lies, else the base's.
const uint32_t* At(const FrameParts& parts, int32_t y, int32_t x) {
    const Bitmap* p = parts.picture;
    if (p && !p->monochrome && y >= parts.top && y < parts.top + p->height && x >= parts.left &&
        x < parts.left + p->width)
        return p->row(y - parts.top) + (x - parts.left);
    return parts.base->row(y) + x;
}

void Fill(uint32_t* dst, int32_t pitch, int32_t x, int32_t y, int32_t w, int32_t h) {
    for (int32_t r = y; r < y + h; ++r)
        std::fill_n(dst + int64_t{r} * pitch + x, std::max(0, w), 0u);
}
}  // namespace

FitRect FitInto(int32_t frameW, int32_t frameH, int32_t dstW, int32_t dstH) {
    const int64_t pw = std::max(1, dstW), ph = std::max(1, dstH);
    const int64_t sw = std::max(1, frameW), sh = std::max(1, frameH);
    int64_t w = pw, h = ph;
    if (pw * sh <= ph * sw)
        h = std::max<int64_t>(1, pw * sh / sw);
    else
        w = std::max<int64_t>(1, ph * sw / sh);
    return {static_cast<int32_t>((pw - w) / 2), static_cast<int32_t>((ph - h) / 2),
            static_cast<int32_t>(w), static_cast<int32_t>(h)};
}

void FrameScaler::Axis::Build(int32_t frameSize, int32_t displaySize) {
    if (from == frameSize && to == displaySize) return;
    from = frameSize;
    to = displaySize;
    const int64_t s = frameSize, d = displaySize;
    // Shrinking: display pixel i covers [i*s, (i+1)*s) in units of 1/d of a frame pixel, so
    // at most ceil(s/d) + 1 frame pixels.
    taps = d >= s ? 1 : static_cast<int32_t>(std::min(s, (s + d - 1) / d + 1));
    first.assign(static_cast<size_t>(d), 0);
    weight.assign(static_cast<size_t>(d) * taps, 0);
    for (int64_t i = 0; i < d; ++i) {
        uint16_t* w = &weight[static_cast<size_t>(i) * taps];
        if (d >= s) {
            first[i] = static_cast<int32_t>((2 * i + 1) * s / (2 * d));  // the pixel at the centre
            w[0] = 256;
            continue;
        }
        const int64_t lo = i * s, hi = lo + s;
        const int64_t f = lo / d;
        // The first frame pixel may start so late that the window runs past the frame's end.
        const int64_t start = std::min<int64_t>(f, s - taps);
        first[i] = static_cast<int32_t>(start);
        int sum = 0, largest = 0;
        for (int t = 0; t < taps; ++t) {
            const int64_t a = (start + t) * d, b = a + d;
            const int64_t overlap = std::max<int64_t>(0, std::min(hi, b) - std::max(lo, a));
            w[t] = static_cast<uint16_t>(overlap * 256 / s);
            sum += w[t];
            if (w[t] > w[largest]) largest = t;
        }
        w[largest] = static_cast<uint16_t>(w[largest] + 256 - sum);  // rounding: the sum is 256
    }
    // Taps of no weight add nothing: drop those at either end, keeping every window in frame.
    int32_t span = 1;
    std::vector<int32_t> lo(static_cast<size_t>(d));
    for (int64_t i = 0; i < d; ++i) {
        const uint16_t* w = &weight[static_cast<size_t>(i) * taps];
        int32_t a = 0, b = taps - 1;
        while (a < b && w[a] == 0)
            ++a;
        while (b > a && w[b] == 0)
            --b;
        lo[i] = a;
        span = std::max(span, b - a + 1);
    }
    std::vector<uint16_t> trimmed(static_cast<size_t>(d) * span, 0);
    for (int64_t i = 0; i < d; ++i) {
        const int32_t start = std::min<int32_t>(first[i] + lo[i], static_cast<int32_t>(s) - span);
        for (int32_t t = 0; t < span; ++t) {
            const int32_t from = start - first[i] + t;  // this tap's place in the old window
            if (from >= 0 && from < taps)
                trimmed[static_cast<size_t>(i) * span + t] =
                    weight[static_cast<size_t>(i) * taps + from];
        }
        first[i] = start;
    }
    taps = span;
    weight = std::move(trimmed);
    pairs = (taps + 1) / 2;
    wide.assign(static_cast<size_t>(d) * pairs * 8, 0);
    for (size_t i = 0; i < static_cast<size_t>(d) * taps; ++i) {
        const size_t pixel = i / taps, t = i % taps;
        std::fill_n(&wide[(pixel * pairs + t / 2) * 8 + (t % 2) * 4], 4, weight[i]);
    }
}

void FrameScaler::Prepare(const FrameParts& parts, int32_t dstW, int32_t dstH) {
    placed_ = FitInto(parts.Width(), parts.Height(), dstW, dstH);
    across_.Build(parts.Width(), placed_.w);
    down_.Build(parts.Height(), placed_.h);
}

void FrameScaler::Draw(const FrameParts& parts, uint32_t* dst, int32_t dstPitch, int32_t dstW,
                       int32_t dstH, PixelOrder order) {
    if (parts.Empty() || dstW <= 0 || dstH <= 0) return;
    Prepare(parts, dstW, dstH);
    DrawRows(parts, dst, dstPitch, dstW, 0, dstH, order, scratch_);
}

void FrameScaler::DrawRows(const FrameParts& parts, uint32_t* dst, int32_t dstPitch, int32_t dstW,
                           int32_t top, int32_t bottom, PixelOrder order, Scratch& scratch) const {
    const int32_t fw = parts.Width();
    const FitRect r = placed_;
    if (scratch.row.size() != static_cast<size_t>(fw) + 2)
        scratch.row.assign(static_cast<size_t>(fw) + 2, Lanes{});
    scratch.rows.resize(static_cast<size_t>(down_.taps));
    scratch.weights.resize(static_cast<size_t>(down_.taps));
    Lanes* lanes = scratch.row.data();
    const bool wideVectors = WideVectors();
    // Columns where the picture begins and ends: between two, each frame row's pixels lie in
    // one bitmap.
    int32_t cuts[4] = {0, 0, 0, fw};
    if (parts.picture && !parts.picture->monochrome) {
        cuts[1] = std::clamp(parts.left, 0, fw);
        cuts[2] = std::clamp(parts.left + parts.picture->width, cuts[1], fw);
    }

    const int32_t first = std::clamp(r.y, top, bottom), last = std::clamp(r.y + r.h, top, bottom);
    Fill(dst, dstPitch, 0, top, dstW, first - top);
    Fill(dst, dstPitch, 0, last, dstW, bottom - last);
    for (int32_t y = first - r.y; y < last - r.y; ++y) {
        uint32_t* out = dst + int64_t{r.y + y} * dstPitch;
        Fill(out, 0, 0, 0, r.x, 1);
        Fill(out, 0, r.x + r.w, 0, dstW - r.x - r.w, 1);
        out += r.x;
        const uint16_t* wy = &down_.weight[static_cast<size_t>(y) * down_.taps];
        // Enlarged rows repeat the row above.
        if (y > first - r.y && down_.taps == 1 && down_.first[y] == down_.first[y - 1]) {
            std::memcpy(out, out - dstPitch, static_cast<size_t>(r.w) * 4);
            continue;
        }
        // Down first, into one row of lanes; then across, out to the display.
        const int32_t fy = down_.first[y];
        for (int c = 0; c < 3; ++c) {
            if (cuts[c] >= cuts[c + 1]) continue;
            int count = 0;
            for (int t = 0; t < down_.taps; ++t) {
                if (wy[t] == 0) continue;
                scratch.rows[count] = At(parts, fy + t, cuts[c]);
                scratch.weights[count++] = wy[t];
            }
            const int32_t n = cuts[c + 1] - cuts[c];
            if (count == 1)
                Down<1>(scratch.rows.data(), scratch.weights.data(), count, n, lanes + cuts[c],
                        wideVectors);
            else if (count == 2)
                Down<2>(scratch.rows.data(), scratch.weights.data(), count, n, lanes + cuts[c],
                        wideVectors);
            else
                Down<0>(scratch.rows.data(), scratch.weights.data(), count, n, lanes + cuts[c],
                        wideVectors);
        }
        const int taps = across_.taps;
        const int32_t* fx = across_.first.data();
        if (taps == 1) {
            for (int32_t x = 0; x < r.w; ++x)
                out[x] = Order(Pack(lanes[fx[x]]), order);
            continue;
        }
        const uint16_t* wide = across_.wide.data();
        if (across_.pairs == 1)
            Across<1>(lanes, fx, wide, 1, across_.weight.data(), taps, r.w, out, order,
                      wideVectors);
        else if (across_.pairs == 2)
            Across<2>(lanes, fx, wide, 2, across_.weight.data(), taps, r.w, out, order,
                      wideVectors);
        else
            Across<0>(lanes, fx, wide, across_.pairs, across_.weight.data(), taps, r.w, out, order,
                      wideVectors);
    }
#if defined(__SSE2__)
    _mm_sfence();  // streamed pixels are visible before the frame is handed on
#endif
}

}  // namespace platform
