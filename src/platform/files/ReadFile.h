// Reading a whole small file a user may have put anywhere: only regular files, never blocking
// on a pipe or a device put in the file's place, and never more than a cap.
#pragma once

#include <cstddef>
#include <string>

namespace platform {

struct FileRead {
    enum Status { Read, Missing, Failed } status = Failed;
    std::string text;
    // Why it was not read, as the end of a sentence about the file: "is not a regular file".
    std::string problem;
};

FileRead ReadWholeFile(const std::string& path, size_t maxBytes);

}  // namespace platform
