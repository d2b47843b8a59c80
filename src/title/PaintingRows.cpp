#include "title/PaintingRows.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "platform/Numbers.h"

namespace {
// Bytes of kept rows at most: some tens of rows at the widest screens; a painting of more
// different rows is copied whole, as before.
constexpr size_t kKeptBytes = 4u << 20;
constexpr int32_t kBlock = 16;  // pixels compared at a time: a cache line

bool SameRow(const uint32_t* a, const uint32_t* b, int32_t width) {
    return std::memcmp(a, b, sizeof(uint32_t) * static_cast<size_t>(width)) == 0;
}
}  // namespace

void PaintingRows::Forget() {
    width_ = height_ = 0;
    rowOf_.clear();
    rows_.clear();
    rows_.shrink_to_fit();
}

bool PaintingRows::Take(const Bitmap& painting) {
    Forget();
    const int32_t w = painting.width, h = painting.height;
    if (painting.monochrome || w <= 0 || h <= 0) return false;
    const size_t rowBytes = sizeof(uint32_t) * 2 * static_cast<size_t>(w);
    std::vector<const uint32_t*> kept;
    rowOf_.resize(static_cast<size_t>(h));
    for (int32_t y = 0; y < h; ++y) {
        const uint32_t* row = painting.row(y);
        size_t k = 0;
        if (y > 0 && SameRow(row, painting.row(y - 1), w)) {
            k = rowOf_[static_cast<size_t>(y) - 1];  // mostly the row above's
        } else {
            while (k < kept.size() && !SameRow(row, kept[k], w))
                ++k;
            if (k == kept.size()) {
                if ((k + 1) * rowBytes > kKeptBytes) {
                    Forget();
                    return false;
                }
                kept.push_back(row);
            }
        }
        rowOf_[static_cast<size_t>(y)] = static_cast<uint32_t>(k);
    }
    width_ = w;
    height_ = h;
    rows_.resize(kept.size() * 2 * static_cast<size_t>(w));
    for (size_t k = 0; k < kept.size(); ++k) {
        uint32_t* to = rows_.data() + k * 2 * w;
        std::copy_n(kept[k], w, to);
        std::copy_n(kept[k], w, to + w);
    }
    spans_.reserve(static_cast<size_t>(w / kBlock + 2) * 2);
    return true;
}

bool PaintingRows::Move(Bitmap& image, int32_t fromX, int32_t fromY, int32_t x, int32_t y) {
    const int32_t w = image.width, h = image.height;
    if (rows_.empty() || image.monochrome || w > width_ || h > height_) return false;
    // Image pixel (ix, iy) shows painting pixel (ix - x, iy - y), both wrapped: in a kept row,
    // image row iy starts at the wrapped -x.
    const auto at = static_cast<int32_t>(Wrap(-int64_t{x}, width_));
    const auto wasAt = static_cast<int32_t>(Wrap(-int64_t{fromX}, width_));
    // No kept row has this number: the first pair is always compared.
    uint32_t lastNow = UINT32_MAX, lastBefore = UINT32_MAX;
    for (int32_t iy = 0; iy < h; ++iy) {
        const uint32_t now = rowOf_[static_cast<size_t>(Wrap(int64_t{iy} - y, height_))];
        const uint32_t before = rowOf_[static_cast<size_t>(Wrap(int64_t{iy} - fromY, height_))];
        if (now == before && at == wasAt) continue;
        const uint32_t* source = Row(now) + at;
        if (now != lastNow || before != lastBefore) {
            // Rows come in runs of the same pair: the pair's differences are found once.
            const uint32_t* old = Row(before) + wasAt;
            spans_.clear();
            for (int32_t ix = 0; ix < w; ix += kBlock) {
                const int32_t n = std::min(kBlock, w - ix);
                uint32_t differ = 0;
                for (int32_t i = 0; i < n; ++i)
                    differ |= source[ix + i] ^ old[ix + i];
                if (differ == 0) continue;
                if (!spans_.empty() && spans_.back() == ix)
                    spans_.back() = ix + n;
                else
                    spans_.insert(spans_.end(), {ix, ix + n});
            }
            lastNow = now;
            lastBefore = before;
        }
        uint32_t* out = image.row(iy);
        uint32_t* ahead = iy + 2 < h ? image.row(iy + 2) : nullptr;
        for (size_t s = 0; s < spans_.size(); s += 2) {
            if (ahead) __builtin_prefetch(ahead + spans_[s], 1);
            std::copy(source + spans_[s], source + spans_[s + 1], out + spans_[s]);
        }
    }
    return true;
}
