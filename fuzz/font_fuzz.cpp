// libFuzzer target for the TrueType reader.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/Error.h"

#include "font_entry.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    try {
        fontfuzz::DrawEveryCharacter(std::string(reinterpret_cast<const char*>(data), size));
    } catch (const platform::Error& e) {
        if (e.Number() != platform::kObjectError1) std::abort();
    }
    return 0;
}
