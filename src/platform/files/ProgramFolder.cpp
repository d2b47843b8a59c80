#include "platform/files/ProgramFolder.h"

#include <filesystem>
#include <system_error>

namespace platform {

namespace {
std::string& Override() {
    static std::string folder;
    return folder;
}

bool HasImages(const std::filesystem::path& folder) {
    std::error_code ec;
    return std::filesystem::is_directory(folder / "images", ec);
}
}  // namespace

std::string ProgramFolderFor(const std::string& exeDir) {
    const std::filesystem::path exe(exeDir);
    if (HasImages(exe)) return exeDir;
    const std::filesystem::path shared = exe.parent_path() / "share" / "quadrix";
    if (HasImages(shared)) return shared.string();
    return exeDir;
}

std::string ProgramFolder() {
    if (!Override().empty()) return Override();
    std::error_code ec;
    const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) return ".";
    return ProgramFolderFor(exe.parent_path().string());
}

void SetProgramFolder(const std::string& folder) {
    Override() = folder;
}

}  // namespace platform
