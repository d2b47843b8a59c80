#include "platform/frame/FrameScaler.h"

#include <algorithm>
#include <cstring>

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
        case PixelOrder::AsIs:
            break;
    }
    return p;
}

// to[i] = (or +=) the pixel p[i] times w, two pixels a vector.
void Accumulate(const uint32_t* p, Lanes* to, int32_t n, uint16_t w, bool first) {
    using Wide = uint16_t __attribute__((vector_size(16)));
    using Eight = uint8_t __attribute__((vector_size(8)));
    int32_t i = 0;
    for (; i + 2 <= n; i += 2) {
        Eight bytes;
        std::memcpy(&bytes, p + i, sizeof bytes);
        Wide v = __builtin_convertvector(bytes, Wide) * w;
        if (!first) {
            Wide old;
            std::memcpy(&old, to + i, sizeof old);
            v += old;
        }
        std::memcpy(to + i, &v, sizeof v);
    }
    for (; i < n; ++i)
        to[i] = first ? Widen(p[i]) * w : to[i] + Widen(p[i]) * w;
}

// One display row from one row of lanes: kTaps weighted pixels each (0: taps, not known
// before), left in the frame's order.
template <int kTaps>
void Across(const Lanes* lanes, const int32_t* first, const uint16_t* weight, int32_t width,
            int taps, uint32_t* out) {
    const int n = kTaps > 0 ? kTaps : taps;
    for (int32_t x = 0; x < width; ++x, weight += n) {
        const Lanes* from = lanes + first[x];
        Lanes sum = from[0] * weight[0];
        for (int t = 1; t < n; ++t)
            sum += from[t] * weight[t];
        out[x] = Pack((sum + 128) >> 8);
    }
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
}

void FrameScaler::Draw(const FrameParts& parts, uint32_t* dst, int32_t dstPitch, int32_t dstW,
                       int32_t dstH, PixelOrder order) {
    if (parts.Empty() || dstW <= 0 || dstH <= 0) return;
    const int32_t fw = parts.Width(), fh = parts.Height();
    const FitRect r = FitInto(fw, fh, dstW, dstH);
    placed_ = r;
    across_.Build(fw, r.w);
    down_.Build(fh, r.h);
    row_.resize(static_cast<size_t>(fw));
    Lanes* lanes = row_.data();

    Fill(dst, dstPitch, 0, 0, dstW, r.y);
    Fill(dst, dstPitch, 0, r.y + r.h, dstW, dstH - r.y - r.h);
    for (int32_t y = 0; y < r.h; ++y) {
        uint32_t* out = dst + int64_t{r.y + y} * dstPitch;
        Fill(out, 0, 0, 0, r.x, 1);
        Fill(out, 0, r.x + r.w, 0, dstW - r.x - r.w, 1);
        out += r.x;
        const uint16_t* wy = &down_.weight[static_cast<size_t>(y) * down_.taps];
        // Enlarged rows repeat the row above.
        if (y > 0 && down_.taps == 1 && down_.first[y] == down_.first[y - 1]) {
            std::memcpy(out, out - dstPitch, static_cast<size_t>(r.w) * 4);
            continue;
        }
        // Down first, into one row of lanes; then across, out to the display.
        const int32_t fy = down_.first[y];
        if (down_.taps == 1) {
            parts.ForEachRun(fy, [&](int32_t x, const uint32_t* p, int32_t n) {
                for (int32_t i = 0; i < n; ++i)
                    lanes[x + i] = Widen(p[i]);
            });
        } else {
            for (int t = 0; t < down_.taps; ++t) {
                const uint16_t w = wy[t];
                if (w == 0 && t > 0) continue;
                parts.ForEachRun(fy + t, [&](int32_t x, const uint32_t* p, int32_t n) {
                    Accumulate(p, lanes + x, n, w, t == 0);
                });
            }
            for (int32_t i = 0; i < fw; ++i)
                lanes[i] = (lanes[i] + 128) >> 8;
        }
        const int taps = across_.taps;
        const int32_t* fx = across_.first.data();
        if (taps == 1) {
            for (int32_t x = 0; x < r.w; ++x)
                out[x] = Order(Pack(lanes[fx[x]]), order);
            continue;
        }
        if (taps == 2)
            Across<2>(lanes, fx, across_.weight.data(), r.w, taps, out);
        else if (taps == 3)
            Across<3>(lanes, fx, across_.weight.data(), r.w, taps, out);
        else
            Across<0>(lanes, fx, across_.weight.data(), r.w, taps, out);
        if (order != PixelOrder::AsIs) CopyPixels(out, 0, out, 0, r.w, 1, order);
    }
}

}  // namespace platform
