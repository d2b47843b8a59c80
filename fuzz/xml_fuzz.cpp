// libFuzzer target for the XML reader.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

#include "xml_entry.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string path = (std::filesystem::temp_directory_path() /
                                     ("qx_xml_fuzz_" + std::to_string(getpid()) + ".txt"))
                                        .string();
    xmlfuzz::ParseBytes(data, size, path);
    return 0;
}
