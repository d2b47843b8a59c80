// libFuzzer target for the software raster.
#include <cstddef>
#include <cstdint>

#include "raster_entry.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    rasterfuzz::Run(data, size);
    return 0;
}
