// BMP and GIF decoding with SDL2_image. Neither decoder needs SDL_Init or IMG_Init, so this
// works without a display and before anything else of SDL is started.
#include "platform/pictures/Pictures.h"

#include <SDL.h>
#include <SDL_image.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

namespace platform {
namespace {

// Far beyond any picture of the game; refuses files that would make us allocate gigabytes.
constexpr int64_t kMaxSide = 16384;
constexpr int64_t kMaxPixels = (256ll << 20) / 4;

bool SizeAllowed(int64_t width, int64_t height) {
    return width > 0 && height > 0 && width <= kMaxSide && height <= kMaxSide &&
           width * height <= kMaxPixels;
}

int64_t Le16(const uint8_t* p) {
    return p[0] | (p[1] << 8);
}
int64_t Le32s(const uint8_t* p) {
    return static_cast<int32_t>(static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
                                (static_cast<uint32_t>(p[2]) << 16) |
                                (static_cast<uint32_t>(p[3]) << 24));
}

// The decoder allocates the first frame at the frame's own size, which may exceed the screen
// size, so that one is checked too. Extension blocks and stray bytes before it are skipped.
bool GifFrameSizeAllowed(SDL_RWops* rw, const uint8_t* header) {
    if (header[10] & 0x80) SDL_RWseek(rw, 3ll << ((header[10] & 7) + 1), RW_SEEK_CUR);
    for (;;) {
        uint8_t tag = 0;
        if (SDL_RWread(rw, &tag, 1, 1) != 1) return true;
        if (tag == 0x2C) {
            uint8_t d[8];
            if (SDL_RWread(rw, d, 1, 8) != 8) return true;
            return SizeAllowed(Le16(d + 4), Le16(d + 6));
        }
        if (tag == 0x3B) return true;
        // The decoder skips stray bytes between blocks, so a frame may still follow.
        if (tag != 0x21) continue;
        if (SDL_RWread(rw, &tag, 1, 1) != 1) return true;
        for (uint8_t len = 1; len != 0;) {
            if (SDL_RWread(rw, &len, 1, 1) != 1) return true;
            SDL_RWseek(rw, len, RW_SEEK_CUR);
        }
    }
}

// The decoder shows as much of a cut-short GIF as it has, with no error: the file must hold its
// first frame's data up to the block that ends it. Reads from the current position, which is
// the start of the file, and puts it back.
bool GifFirstFrameComplete(SDL_RWops* rw) {
    const Sint64 start = SDL_RWtell(rw), size = SDL_RWsize(rw);
    Sint64 at = start;
    auto read = [&](uint8_t* to, Sint64 n) {
        if (at + n > size ||
            SDL_RWread(rw, to, 1, static_cast<size_t>(n)) != static_cast<size_t>(n))
            return false;
        at += n;
        return true;
    };
    auto skip = [&](Sint64 n) {
        if (at + n > size) return false;
        at += n;
        return SDL_RWseek(rw, at, RW_SEEK_SET) >= 0;
    };
    // Data sub-blocks, each a length byte and that many bytes, up to a length of 0.
    auto skipBlocks = [&] {
        for (uint8_t len = 1; len != 0;)
            if (!read(&len, 1) || !skip(len)) return false;
        return true;
    };
    uint8_t h[13];
    bool complete = read(h, 13) && (!(h[10] & 0x80) || skip(3ll << ((h[10] & 7) + 1)));
    while (complete) {
        uint8_t tag = 0;
        if (!read(&tag, 1) || tag == 0x3B) {
            complete = false;
        } else if (tag == 0x2C) {
            uint8_t d[10];  // the descriptor and the LZW code size
            complete = read(d, 9) && (!(d[8] & 0x80) || skip(3ll << ((d[8] & 7) + 1))) &&
                       read(d + 9, 1) && skipBlocks();
            break;
        } else if (tag == 0x21) {
            complete = read(&tag, 1) && skipBlocks();
        }  // else a stray byte, which the decoder skips too
    }
    SDL_RWseek(rw, start, RW_SEEK_SET);
    return complete;
}

// The decoder goes on scanning after a frame it cannot read, so frames beyond the one checked
// above may still be decoded. While a picture is decoded, SDL allocations larger than the
// largest picture we accept (as 32-bit pixels, plus row padding) therefore fail, and such a
// file is refused instead of taking gigabytes. The guard forwards to SDL's own functions, so
// memory allocated before it was installed is freed as before.
constexpr size_t kMaxDecodeAllocation = static_cast<size_t>(kMaxPixels) * 4 + (1u << 20);
std::atomic<bool> gDecoding{false};
SDL_malloc_func gMalloc = nullptr;
SDL_calloc_func gCalloc = nullptr;
SDL_realloc_func gRealloc = nullptr;
SDL_free_func gFree = nullptr;

void* SDLCALL GuardedMalloc(size_t size) {
    return gDecoding && size > kMaxDecodeAllocation ? nullptr : gMalloc(size);
}
void* SDLCALL GuardedCalloc(size_t count, size_t size) {
    if (gDecoding && size != 0 && count > kMaxDecodeAllocation / size) return nullptr;
    return gCalloc(count, size);
}
void* SDLCALL GuardedRealloc(void* block, size_t size) {
    return gDecoding && size > kMaxDecodeAllocation ? nullptr : gRealloc(block, size);
}

class DecodeScope {
  public:
    DecodeScope() {
        static const bool installed = [] {
            SDL_GetMemoryFunctions(&gMalloc, &gCalloc, &gRealloc, &gFree);
            return SDL_SetMemoryFunctions(GuardedMalloc, GuardedCalloc, GuardedRealloc, gFree) == 0;
        }();
        gDecoding = installed;
    }
    ~DecodeScope() { gDecoding = false; }
    DecodeScope(const DecodeScope&) = delete;
    DecodeScope& operator=(const DecodeScope&) = delete;
};

// Reads the declared size from the file header before the decoder allocates anything.
// False only when the header declares a size we refuse.
bool HeaderSizeAllowed(SDL_RWops* rw) {
    uint8_t h[26] = {};
    Sint64 start = SDL_RWtell(rw);
    size_t got = SDL_RWread(rw, h, 1, sizeof h);
    if (got >= 13 && std::memcmp(h, "GIF8", 4) == 0) {
        SDL_RWseek(rw, start + 13, RW_SEEK_SET);
        bool ok = SizeAllowed(Le16(h + 6), Le16(h + 8)) && GifFrameSizeAllowed(rw, h);
        SDL_RWseek(rw, start, RW_SEEK_SET);
        return ok;
    }
    SDL_RWseek(rw, start, RW_SEEK_SET);
    if (got >= 26 && h[0] == 'B' && h[1] == 'M') {
        int64_t headerSize = Le32s(h + 14);
        if (headerSize == 12) return SizeAllowed(Le16(h + 18), Le16(h + 20));
        int64_t height = Le32s(h + 22);
        return SizeAllowed(Le32s(h + 18), height < 0 ? -height : height);
    }
    return true;  // the decoder rejects what it does not know
}

}  // namespace

HBITMAP LoadPictureFile(const std::string& path, std::string* error) {
    auto fail = [&](const std::string& why) -> HBITMAP {
        if (error) *error = "Can't load picture '" + path + "': " + why;
        return nullptr;
    };
    DecodeScope decoding;
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return fail(std::strerror(errno));
    SDL_RWops* rw = SDL_RWFromFP(file, SDL_TRUE);
    if (!rw) {
        std::fclose(file);
        return fail(SDL_GetError());
    }
    SDL_Surface* decoded = nullptr;
    std::string why;
    SDL_ClearError();
    if (!HeaderSizeAllowed(rw)) {
        why = "the picture's size is zero, negative or too large";
    } else if (IMG_isBMP(rw)) {
        decoded = IMG_LoadBMP_RW(rw);
    } else if (IMG_isGIF(rw)) {
        if (GifFirstFrameComplete(rw))
            decoded = IMG_LoadGIF_RW(rw);
        else
            why = "the picture is cut short";
    } else {
        why = "not a BMP or GIF picture";
    }
    if (!decoded && why.empty()) {
        why = "the picture is damaged or cut short";
        if (const char* detail = SDL_GetError(); detail && *detail)
            why += std::string(" (") + detail + ")";
    }
    SDL_RWclose(rw);
    if (!decoded) return fail(why.empty() ? "the picture cannot be decoded" : why);

    // XBGR8888 as a 32-bit value is red in the low byte: exactly a COLORREF once X is cleared.
    // Transparency in the file is ignored; the game keys transparency on colours.
    SDL_Surface* rgb = SDL_ConvertSurfaceFormat(decoded, SDL_PIXELFORMAT_XBGR8888, 0);
    SDL_FreeSurface(decoded);
    if (!rgb) return fail(SDL_GetError());
    if (!SizeAllowed(rgb->w, rgb->h)) {
        SDL_FreeSurface(rgb);
        return fail("the picture is too large");
    }
    // The size is allowed above, so this gives a bitmap (or raises, out of memory).
    HBITMAP bitmap = CreateBitmap(rgb->w, rgb->h, 1, 32, nullptr);
    SDL_LockSurface(rgb);
    for (int y = 0; y < rgb->h; ++y) {
        const auto* src = reinterpret_cast<const uint8_t*>(rgb->pixels) +
                          static_cast<size_t>(y) * static_cast<size_t>(rgb->pitch);
        uint32_t* dst = bitmap->row(y);
        for (int x = 0; x < rgb->w; ++x) {
            uint32_t value;
            std::memcpy(&value, src + 4 * static_cast<size_t>(x), 4);
            dst[x] = value & 0x00FFFFFFu;
        }
    }
    SDL_UnlockSurface(rgb);
    SDL_FreeSurface(rgb);
    return bitmap;
}

}  // namespace platform
