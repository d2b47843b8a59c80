// libFuzzer target for picture loading into the drawing surface.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

#include "platform/headless/Headless.h"

#include "picture_entry.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    platform::UseHeadless();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string path = (std::filesystem::temp_directory_path() /
                                     ("qx_picture_fuzz_" + std::to_string(getpid()) + ".pic"))
                                        .string();
    picturefuzz::LoadBytes(data, size, path);
    return 0;
}
