#include "platform/files/ProgramFolder.h"

#include <filesystem>
#include <system_error>

namespace platform {

namespace {
std::string& Override() {
    static std::string folder;
    return folder;
}
}  // namespace

std::string ProgramFolder() {
    if (!Override().empty()) return Override();
    std::error_code ec;
    const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) return ".";
    return exe.parent_path().string();
}

void SetProgramFolder(const std::string& folder) {
    Override() = folder;
}

}  // namespace platform
