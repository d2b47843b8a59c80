// One fuzz input through the TrueType reader: read as a font file and, if it is accepted, every
// character drawn small and large. A refused file raises platform::Error; anything else going
// wrong is a finding. Shared by the libFuzzer target and the font tests.
#pragma once

#include <cstdint>
#include <string>

#include "platform/fonts/TrueType.h"

namespace fontfuzz {

inline void DrawEveryCharacter(const std::string& bytes) {
    const platform::fonts::TrueTypeFont font(bytes, "fuzz.ttf");
    for (int c = 0; c < 256; ++c) {
        const int32_t glyph = font.GlyphFor(static_cast<unsigned char>(c));
        font.AdvanceUnits(glyph);
        for (int32_t ppem : {9, 40})
            font.Render(glyph, ppem);
    }
}

}  // namespace fontfuzz
