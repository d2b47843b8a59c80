// The game's one uniform random source. A fixed seed replays the same game on every machine,
// so draws are made from raw 64-bit output rather than a library distribution.
#pragma once

#include <cstdint>
#include <random>

#include "platform/Numbers.h"
#include "platform/raster/gdi.h"

namespace quadrix {

class Random {
  public:
    void Seed(uint64_t seed) { engine_.seed(seed); }
    // Uniform in [0, 1), 53 bits.
    double Next() { return static_cast<double>(engine_() >> 11) * (1.0 / 9007199254740992.0); }
    uint64_t Raw() { return engine_(); }

  private:
    std::mt19937_64 engine_{12345};
};

inline Random& SharedRandom() {
    static Random r;
    return r;
}

}  // namespace quadrix

inline double Rnd() {
    return quadrix::SharedRandom().Next();
}

// A colour from three draws, red first, then green, then blue.
inline COLORREF RandomColor() {
    const int32_t r = Int(Rnd() * 256);
    const int32_t g = Int(Rnd() * 256);
    const int32_t b = Int(Rnd() * 256);
    return RGB(r, g, b);
}
