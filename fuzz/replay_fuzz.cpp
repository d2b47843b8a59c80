// libFuzzer target for the replay reader.
#include <cstddef>
#include <cstdint>

#include "replay_entry.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    replayfuzz::ParseBytes(data, size);
    return 0;
}
