// libFuzzer target for the replay reader and playback.
#include <cstddef>
#include <cstdint>

#include "replay_entry.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    replayfuzz::ParseBytes(data, size, QUADRIX_SOURCE_DIR);
    return 0;
}
