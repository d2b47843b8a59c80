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
    uint64_t h = kFnvOffset;
    Mix32(h, static_cast<uint32_t>(frame.width));
    Mix32(h, static_cast<uint32_t>(frame.height));
    for (uint32_t pixel : frame.pixels) {
        Mix(h, static_cast<uint8_t>(pixel));
        Mix(h, static_cast<uint8_t>(pixel >> 8));
        Mix(h, static_cast<uint8_t>(pixel >> 16));
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
