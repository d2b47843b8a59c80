#include "platform/headless/FrameFile.h"

#include <cstdio>
#include <vector>

namespace platform {

namespace {

constexpr uint64_t kFnvOffset = 0xcbf29ce484222325ull;
constexpr uint64_t kFnvPrime = 0x100000001b3ull;

void Mix(uint64_t& h, uint8_t byte) {
    h ^= byte;
    h *= kFnvPrime;
}

void Mix32(uint64_t& h, uint32_t value) {
    for (int i = 0; i < 4; ++i)
        Mix(h, static_cast<uint8_t>(value >> (8 * i)));
}

void Put16(std::vector<uint8_t>& out, uint16_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}

void Put32(std::vector<uint8_t>& out, uint32_t v) {
    Put16(out, static_cast<uint16_t>(v));
    Put16(out, static_cast<uint16_t>(v >> 16));
}

}  // namespace

uint64_t FrameHash(const Bitmap& frame) {
    // Four FNV-1a lanes over pairs of pixels (24-bit colours packed in 64-bit words) break the
    // multiply chain, so hashing a full-screen frame stays cheap; the lanes fold at the end.
    uint64_t lanes[4] = {kFnvOffset, kFnvOffset ^ 1, kFnvOffset ^ 2, kFnvOffset ^ 3};
    const uint32_t* p = frame.pixels.data();
    const size_t n = frame.pixels.size();
    size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        for (int lane = 0; lane < 4; ++lane) {
            const uint64_t word = (p[i + 2 * lane] & 0x00FFFFFFu) |
                                  (uint64_t{p[i + 2 * lane + 1] & 0x00FFFFFFu} << 32);
            lanes[lane] = (lanes[lane] ^ word) * kFnvPrime;
        }
    }
    for (; i < n; ++i)
        lanes[0] = (lanes[0] ^ (p[i] & 0x00FFFFFFu)) * kFnvPrime;
    uint64_t h = kFnvOffset;
    Mix32(h, static_cast<uint32_t>(frame.width));
    Mix32(h, static_cast<uint32_t>(frame.height));
    for (uint64_t lane : lanes) {
        Mix32(h, static_cast<uint32_t>(lane));
        Mix32(h, static_cast<uint32_t>(lane >> 32));
    }
    return h;
}

bool WriteBmp(const Bitmap& frame, const std::string& path) {
    if (frame.width <= 0 || frame.height <= 0) return false;
    const uint32_t rowBytes = (static_cast<uint32_t>(frame.width) * 3 + 3) & ~3u;
    const uint32_t imageBytes = rowBytes * static_cast<uint32_t>(frame.height);
    std::vector<uint8_t> out;
    out.reserve(54 + imageBytes);
    out.push_back('B');
    out.push_back('M');
    Put32(out, 54 + imageBytes);
    Put32(out, 0);
    Put32(out, 54);
    Put32(out, 40);
    Put32(out, static_cast<uint32_t>(frame.width));
    Put32(out, static_cast<uint32_t>(frame.height));
    Put16(out, 1);
    Put16(out, 24);
    Put32(out, 0);
    Put32(out, imageBytes);
    Put32(out, 2835);
    Put32(out, 2835);
    Put32(out, 0);
    Put32(out, 0);
    for (int32_t y = frame.height - 1; y >= 0; --y) {
        const uint32_t* row = frame.row(y);
        for (int32_t x = 0; x < frame.width; ++x) {
            uint32_t c = row[x];
            if (frame.monochrome) c = c ? 0xFFFFFFu : 0u;
            out.push_back(static_cast<uint8_t>(c >> 16));  // blue first in the file
            out.push_back(static_cast<uint8_t>(c >> 8));
            out.push_back(static_cast<uint8_t>(c));
        }
        for (uint32_t pad = static_cast<uint32_t>(frame.width) * 3; pad < rowBytes; ++pad)
            out.push_back(0);
    }
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    const bool written = std::fwrite(out.data(), 1, out.size(), file) == out.size();
    // A full disk may only show when the buffer is flushed.
    return std::fclose(file) == 0 && written;
}

}  // namespace platform
