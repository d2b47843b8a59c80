// BMP and GIF decoding of our own, so that every build (desktop, headless, browser) turns a file
// into the same pixels. The whole file is read first: a decoder can never be made to wait on
// or seek in it, and every size is checked against what is really there before it is used.
#include "platform/pictures/Pictures.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/files/ReadFile.h"

namespace platform {
namespace {

// Far beyond any picture of the game; refuses files that would make us allocate gigabytes.
constexpr int64_t kMaxSide = 16384;
constexpr int64_t kMaxPixels = (256ll << 20) / 4;
// The largest picture we accept, at 32 bits a pixel, with room for headers and tables.
constexpr size_t kMaxFileBytes = static_cast<size_t>(kMaxPixels) * 4 + (1u << 20);

const char* const kCutShort = "the picture is cut short";
const char* const kBadSize = "the picture's size is zero, negative or too large";

bool SizeAllowed(int64_t width, int64_t height) {
    return width > 0 && height > 0 && width <= kMaxSide && height <= kMaxSide &&
           width * height <= kMaxPixels;
}

// Little-endian reads that never go past the end: a read beyond it gives zeros and marks the
// file as cut short.
class Bytes {
  public:
    explicit Bytes(const std::string& text)
        : data_(reinterpret_cast<const uint8_t*>(text.data())), size_(text.size()) {}

    size_t Size() const { return size_; }
    bool Short() const { return short_; }
    // 64 bits: an offset from a file must not wrap in a 32-bit build.
    void Seek(uint64_t at) {
        short_ = short_ || at > size_;
        at_ = at > size_ ? size_ : static_cast<size_t>(at);
    }
    void Skip(uint64_t n) { Seek(at_ + n); }
    uint32_t U8() {
        if (at_ < size_) return data_[at_++];
        short_ = true;
        return 0;
    }
    uint32_t Le16() {
        const uint32_t low = U8();
        return low | U8() << 8;
    }
    uint32_t Le32() {
        const uint32_t low = Le16();
        return low | Le16() << 16;
    }
    // n bytes from here on, or nullptr (and cut short) when fewer are left.
    const uint8_t* Take(size_t n) {
        if (n > size_ - at_) {
            Seek(size_ + 1);
            return nullptr;
        }
        at_ += n;
        return data_ + at_ - n;
    }

  private:
    const uint8_t* data_;
    size_t size_;
    size_t at_ = 0;
    bool short_ = false;
};

// The picture being made, or why there is none.
struct Decoded {
    HBITMAP bitmap = nullptr;
    std::string why;
};

Decoded Refused(std::string why) {
    return {nullptr, std::move(why)};
}

// One channel of a packed pixel, scaled to 8 bits so that full intensity stays full.
struct Channel {
    explicit Channel(uint32_t mask) : mask(mask) {
        if (mask == 0) return;
        while (!(mask >> shift & 1))
            ++shift;
        while (bits < 32 - shift && mask >> (shift + bits))
            ++bits;
    }
    uint32_t operator()(uint32_t pixel) const {
        const uint32_t value = (pixel & mask) >> shift;
        if (bits >= 8) return value >> (bits - 8);
        return bits == 0 ? 0 : value * 255 / ((1u << bits) - 1);
    }
    uint32_t mask;
    int shift = 0;
    int bits = 0;
};

enum : uint32_t { kBiRgb = 0, kBiRle8 = 1, kBiRle4 = 2, kBiBitfields = 3 };

// Run-length coded rows (8 or 4 bits a pixel) into one index a pixel, rows from the top.
// Pixels the data skips keep index 0; runs past a row's end are cut off there.
const char* UnpackRle(Bytes& in, uint32_t bpp, size_t width, size_t height, bool topDown,
                      std::vector<uint8_t>& indices) {
    size_t x = 0, line = 0;  // line 0 is the first row stored
    auto put = [&](uint32_t index) {
        if (x < width && line < height)
            indices[(topDown ? line : height - 1 - line) * width + x] = static_cast<uint8_t>(index);
        ++x;
    };
    // The pixels of one byte: one, or two of 4 bits, the high ones first.
    auto putByte = [&](uint32_t byte, uint32_t& left) {
        if (bpp == 8) {
            put(byte);
            --left;
            return;
        }
        put(byte >> 4);
        if (--left > 0) {
            put(byte & 15);
            --left;
        }
    };
    for (;;) {
        const uint32_t count = in.U8(), value = in.U8();
        if (in.Short()) return kCutShort;
        if (count > 0) {  // a run of one byte's pixels; what falls past the row costs nothing
            for (uint32_t left = count; left > 0 && x < width;)
                putByte(value, left);
        } else if (value == 0) {  // end of the row
            x = 0;
            ++line;
        } else if (value == 1) {  // end of the picture
            return nullptr;
        } else if (value == 2) {  // a jump right and down
            x += in.U8();
            line += in.U8();
        } else {  // that many pixels as they are, padded to a whole number of 16-bit words
            const uint32_t bytes = bpp == 8 ? value : (value + 1) / 2;
            for (uint32_t left = value, i = 0; i < bytes; ++i)
                putByte(in.U8(), left);
            in.Skip(bytes & 1);
        }
        if (in.Short()) return kCutShort;
    }
}

Decoded DecodeBmp(Bytes& in) {
    in.Seek(10);
    const uint32_t dataAt = in.Le32();
    const uint32_t headerSize = in.Le32();
    int64_t width = 0, height = 0;
    uint32_t bpp = 0, compression = kBiRgb, colorsUsed = 0;
    if (headerSize == 12) {
        width = in.Le16();
        height = in.Le16();
        in.Skip(2);  // planes
        bpp = in.Le16();
    } else if (headerSize >= 40) {
        width = static_cast<int32_t>(in.Le32());
        height = static_cast<int32_t>(in.Le32());
        in.Skip(2);
        bpp = in.Le16();
        compression = in.Le32();
        in.Skip(12);  // data size, resolution
        colorsUsed = in.Le32();
    } else {
        return Refused(in.Short() ? kCutShort : "not a BMP or GIF picture");
    }
    if (in.Short()) return Refused(kCutShort);
    const bool topDown = height < 0;
    if (topDown) height = -height;
    if (!SizeAllowed(width, height)) return Refused(kBadSize);

    const bool indexed = bpp == 1 || bpp == 4 || bpp == 8;
    const bool packed = bpp == 16 || bpp == 24 || bpp == 32;
    const bool rle = (compression == kBiRle8 && bpp == 8) || (compression == kBiRle4 && bpp == 4);
    if ((!indexed && !packed) || (compression != kBiRgb && !rle && compression != kBiBitfields) ||
        (compression == kBiBitfields && bpp != 16 && bpp != 32))
        return Refused("the picture is a kind of BMP this game cannot read (" +
                       std::to_string(bpp) + " bits a pixel, compression " +
                       std::to_string(compression) + ")");

    // The palette or the channel masks follow the header.
    if (14 + uint64_t{headerSize} > in.Size())
        return Refused("the picture is damaged: its header is longer than the file");
    in.Seek(14 + uint64_t{headerSize});
    std::array<COLORREF, 256> palette{};
    uint32_t colors = 0;
    std::array<Channel, 3> channels{Channel(0x7C00), Channel(0x03E0), Channel(0x001F)};
    if (indexed) {
        colors = colorsUsed == 0 ? 1u << bpp : colorsUsed;
        if (colors > 256) return Refused("the picture is damaged: its palette is too long");
        // A table that runs into the pixels or past the end is read as far as it goes: only
        // the colours the pixels use matter.
        Bytes table = in;
        for (uint32_t i = 0; i < colors; ++i) {
            const uint32_t b = table.U8(), g = table.U8(), r = table.U8();
            if (headerSize != 12) table.Skip(1);
            palette[i] = table.Short() ? 0xFFFFFF : r | g << 8 | b << 16;
        }
    } else if (compression == kBiBitfields) {
        // Right after the short header, or inside the larger ones: the same place.
        in.Seek(14 + 40);
        const uint32_t r = in.Le32(), g = in.Le32(), b = in.Le32();
        channels = {Channel(r), Channel(g), Channel(b)};
    } else if (bpp == 32) {
        channels = {Channel(0xFF0000), Channel(0xFF00), Channel(0xFF)};
    }
    if (in.Short()) return Refused(kCutShort);

    const size_t w = static_cast<size_t>(width), h = static_cast<size_t>(height);
    const size_t stride = (w * bpp + 31) / 32 * 4;
    in.Seek(dataAt);
    const uint8_t* data = nullptr;
    std::vector<uint8_t> indices;
    if (rle) {
        indices.resize(w * h);
        if (const char* why = UnpackRle(in, bpp, w, h, topDown, indices)) return Refused(why);
    } else {
        // The last row's padding may be missing: nothing is read from it.
        data = in.Take((h - 1) * stride + (w * bpp + 7) / 8);
        if (!data) return Refused(kCutShort);
    }

    HBITMAP bitmap =
        CreateBitmap(static_cast<int32_t>(width), static_cast<int32_t>(height), 1, 32, nullptr);
    for (size_t y = 0; y < h; ++y) {
        const uint8_t* src = data ? data + (topDown ? y : h - 1 - y) * stride : nullptr;
        uint32_t* dst = bitmap->row(static_cast<int32_t>(y));
        for (size_t x = 0; x < w; ++x) {
            if (indexed) {
                const size_t bit = x * bpp;
                const uint32_t index = src ? src[bit / 8] >> (8 - bpp - bit % 8) & ((1u << bpp) - 1)
                                           : indices[y * w + x];
                if (index >= colors) {
                    DeleteObject(bitmap);
                    return Refused(
                        "the picture is damaged: a pixel's colour is not in its palette");
                }
                dst[x] = palette[index];
            } else if (bpp == 24) {
                const uint8_t* p = src + 3 * x;
                dst[x] = p[2] | p[1] << 8 | p[0] << 16;
            } else {
                const uint8_t* p = src + bpp / 8 * x;
                const uint32_t pixel =
                    bpp == 16 ? p[0] | p[1] << 8
                              : p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24;
                dst[x] = channels[0](pixel) | channels[1](pixel) << 8 | channels[2](pixel) << 16;
            }
        }
    }
    return {bitmap, {}};
}

// The data sub-blocks from here on (a length byte and that many bytes each, up to a length of
// 0), joined; false when the file ends before the last of them.
bool ReadSubBlocks(Bytes& in, std::vector<uint8_t>* joined) {
    for (;;) {
        const uint32_t length = in.U8();
        const uint8_t* block = in.Take(length);
        if (in.Short()) return false;
        if (length == 0) return true;
        if (joined) joined->insert(joined->end(), block, block + length);
    }
}

// The colour indices of one frame from its LZW data, row by row in the frame's order
// (interlaced or not). Data that ends early leaves the remaining pixels at index 0, as other
// viewers show such a frame; a code that cannot be there refuses the file.
bool Unpack(const std::vector<uint8_t>& data, uint32_t minCodeSize, size_t width, size_t height,
            bool interlaced, std::vector<uint8_t>& indices) {
    constexpr uint32_t kMaxCodes = 4096;
    const uint32_t clear = 1u << minCodeSize, end = clear + 1;
    std::vector<uint16_t> prefix(kMaxCodes);
    std::vector<uint8_t> suffix(kMaxCodes), first(kMaxCodes);
    for (uint32_t i = 0; i < clear; ++i)
        suffix[i] = first[i] = static_cast<uint8_t>(i);
    std::vector<uint8_t> string(kMaxCodes);

    size_t x = 0, y = 0;
    int pass = 0;
    static constexpr size_t kStart[] = {0, 4, 2, 1}, kStep[] = {8, 8, 4, 2};
    auto put = [&](uint8_t index) {
        indices[y * width + x] = index;
        if (++x < width) return;
        x = 0;
        if (!interlaced) {
            ++y;
            return;
        }
        // Passes that have no row in a short frame are skipped.
        for (y += kStep[pass]; y >= height && pass < 3;)
            y = kStart[++pass];
    };

    uint32_t codeSize = minCodeSize + 1, next = clear + 2, previous = kMaxCodes;
    size_t bit = 0;
    const size_t bits = data.size() * 8;
    while (y < height && bit + codeSize <= bits) {
        uint32_t code = 0;
        for (uint32_t i = 0; i < codeSize; ++i, ++bit)
            code |= static_cast<uint32_t>(data[bit / 8] >> (bit % 8) & 1) << i;
        if (code == clear) {
            codeSize = minCodeSize + 1;
            next = clear + 2;
            previous = kMaxCodes;
            continue;
        }
        if (code == end) break;
        if (previous == kMaxCodes) {
            if (code >= clear) return false;
            put(static_cast<uint8_t>(code));
            previous = code;
            continue;
        }
        if (code > next) return false;
        if (next < kMaxCodes) {
            prefix[next] = static_cast<uint16_t>(previous);
            suffix[next] = code < next ? first[code] : first[previous];
            first[next] = first[previous];
            if (++next >= 1u << codeSize && codeSize < 12) ++codeSize;
        }
        size_t length = 0;
        uint32_t c = code;
        for (; c >= clear; c = prefix[c])
            string[length++] = suffix[c];
        string[length++] = static_cast<uint8_t>(c);
        while (length > 0 && y < height)
            put(string[--length]);
        previous = code;
    }
    return true;
}

Decoded DecodeGif(Bytes& in) {
    in.Seek(6);
    const uint32_t screenWidth = in.Le16(), screenHeight = in.Le16(), screenFlags = in.U8();
    in.Skip(2);  // background, aspect
    if (in.Short()) return Refused(kCutShort);
    if (!SizeAllowed(screenWidth, screenHeight)) return Refused(kBadSize);
    // Indices past the colour table (or without one) show white, as they always did.
    std::array<COLORREF, 256> global;
    global.fill(0xFFFFFF);
    const uint32_t globalColors = 2u << (screenFlags & 7);
    for (uint32_t i = 0; i < globalColors; ++i)
        global[i] = 0;
    auto readTable = [&in](std::array<COLORREF, 256>& table, uint32_t count) {
        for (uint32_t i = 0; i < count; ++i) {
            const uint32_t r = in.U8(), g = in.U8();
            table[i] = r | g << 8 | in.U8() << 16;
        }
    };
    if (screenFlags & 0x80) readTable(global, globalColors);

    // Only the first frame is shown, at its own size; extensions (transparency among them: the
    // game keys transparency on colours) are skipped, and so are stray bytes between blocks.
    while (!in.Short()) {
        const uint32_t tag = in.U8();
        if (in.Short()) break;
        if (tag == 0x3B) return Refused("the picture is damaged: it holds no image");
        if (tag == 0x21) {
            in.Skip(1);
            if (!ReadSubBlocks(in, nullptr)) break;
            continue;
        }
        if (tag != 0x2C) continue;
        in.Skip(4);  // the frame's place on the screen
        const uint32_t width = in.Le16(), height = in.Le16(), flags = in.U8();
        if (in.Short()) break;
        if (!SizeAllowed(width, height)) return Refused(kBadSize);
        std::array<COLORREF, 256> colors = global;
        if (flags & 0x80) {
            colors.fill(0xFFFFFF);
            readTable(colors, 2u << (flags & 7));
        }
        const uint32_t minCodeSize = in.U8();
        std::vector<uint8_t> data;
        if (!ReadSubBlocks(in, &data)) break;
        if (minCodeSize < 1 || minCodeSize > 8)
            return Refused("the picture is damaged: its compressed data cannot be read");
        std::vector<uint8_t> indices(static_cast<size_t>(width) * height);
        if (!Unpack(data, minCodeSize, width, height, flags & 0x40, indices))
            return Refused("the picture is damaged: its compressed data cannot be read");
        HBITMAP bitmap =
            CreateBitmap(static_cast<int32_t>(width), static_cast<int32_t>(height), 1, 32, nullptr);
        for (size_t i = 0; i < indices.size(); ++i)
            bitmap->pixels[i] = colors[indices[i]];
        return {bitmap, {}};
    }
    return Refused(kCutShort);
}

}  // namespace

HBITMAP LoadPictureFile(const std::string& path, std::string* error) {
    auto fail = [&](const std::string& why) -> HBITMAP {
        if (error) *error = "Can't load picture '" + path + "': " + why;
        return nullptr;
    };
    const FileRead file = ReadWholeFile(path, kMaxFileBytes);
    if (file.status != FileRead::Read) return fail("the file " + file.problem);
    Bytes in(file.text);
    const std::string head = file.text.substr(0, 6);
    Decoded decoded;
    if (head.size() >= 2 && head[0] == 'B' && head[1] == 'M')
        decoded = DecodeBmp(in);
    else if (head == "GIF87a" || head == "GIF89a")
        decoded = DecodeGif(in);
    else
        decoded = Refused("not a BMP or GIF picture");
    return decoded.bitmap ? decoded.bitmap : fail(decoded.why);
}

}  // namespace platform
