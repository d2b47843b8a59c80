// libFuzzer target for the XML reader.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

#include "platform/headless/Headless.h"

#include "xml_entry.h"

namespace {

// One scratch file per fuzzing process, removed when the process ends.
struct ScratchFile {
    ScratchFile()
        : path((std::filesystem::temp_directory_path() /
                ("qx_xml_fuzz_" + std::to_string(getpid()) + ".txt"))
                   .string()) {}
    ~ScratchFile() {
        std::error_code ec;
        std::filesystem::remove(path, ec);
    }
    std::string path;
};

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    platform::UseHeadless();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const ScratchFile scratch;
    xmlfuzz::ParseBytes(data, size, scratch.path);
    return 0;
}
