#include "platform/files/ProgramFolder.h"

#include <filesystem>
#include <system_error>

#ifdef __EMSCRIPTEN__
#include <emscripten.h>
#endif

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

// The running program's file, or empty when it cannot be told.
std::filesystem::path ProgramFile() {
    std::error_code ec;
#ifdef __EMSCRIPTEN__
    // Under node the script node was given (its files are the real ones); in a browser a name
    // in the root of the packaged files.
    const int size = EM_ASM_INT({ return lengthBytesUTF8(thisProgram) + 1; });
    std::string name(static_cast<size_t>(size), '\0');
    EM_ASM({ stringToUTF8(thisProgram, $0, $1); }, name.data(), size);
    name.resize(static_cast<size_t>(size - 1));
    const std::filesystem::path file = std::filesystem::absolute(name, ec);
#else
    const std::filesystem::path file = std::filesystem::read_symlink("/proc/self/exe", ec);
#endif
    return ec ? std::filesystem::path() : file;
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
    const std::filesystem::path exe = ProgramFile();
    if (exe.empty()) return ".";
    return ProgramFolderFor(exe.parent_path().string());
}

void SetProgramFolder(const std::string& folder) {
    Override() = folder;
}

}  // namespace platform
