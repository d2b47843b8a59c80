#include "platform/settings/SettingsStore.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "platform/settings/SettingsFile.h"

namespace platform {
namespace {

// Anything bigger was not written by us; reading it would only waste memory.
constexpr off_t kMaxFileSize = 1 << 20;

settings::BeforeRenameHook gBeforeRename = nullptr;

std::optional<settings::SettingsMap> ReadFile(const std::string& path) {
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    struct stat st {};
    std::string text;
    bool ok = fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size <= kMaxFileSize;
    if (ok) {
        char buffer[4096];
        for (;;) {
            ssize_t n = read(fd, buffer, sizeof buffer);
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) ok = false;
            if (n <= 0) break;
            text.append(buffer, static_cast<size_t>(n));
            if (text.size() > static_cast<size_t>(kMaxFileSize)) ok = false;
        }
    }
    close(fd);
    if (!ok) return std::nullopt;
    return settings::Parse(text);
}

bool MakeFolder(const std::string& path) {
    if (mkdir(path.c_str(), 0700) == 0 || errno == EEXIST) return true;
    if (errno != ENOENT) return false;
    size_t slash = path.find_last_of('/');
    if (slash == std::string::npos || slash == 0) return false;
    if (!MakeFolder(path.substr(0, slash))) return false;
    return mkdir(path.c_str(), 0700) == 0 || errno == EEXIST;
}

bool WriteAll(int fd, const std::string& text) {
    size_t done = 0;
    while (done < text.size()) {
        ssize_t n = write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

// Temporary file in the same folder, flushed to disk, then renamed over the old one: a reader
// sees either the old file or the new one, never a part of either.
bool ReplaceFile(const std::string& path, const std::string& text) {
    size_t slash = path.find_last_of('/');
    std::string folder = path.substr(0, slash);
    if (!MakeFolder(folder)) return false;
    std::string temp = path + ".XXXXXX";
    int fd = mkstemp(temp.data());
    if (fd < 0) return false;
    bool ok = WriteAll(fd, text) && fsync(fd) == 0;
    ok = close(fd) == 0 && ok;
    if (ok && gBeforeRename) ok = gBeforeRename(temp);
    if (ok) ok = rename(temp.c_str(), path.c_str()) == 0;
    if (!ok) {
        unlink(temp.c_str());
        return false;
    }
    int dir = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        fsync(dir);
        close(dir);
    }
    return true;
}

}  // namespace

namespace settings {
void SetBeforeRenameHook(BeforeRenameHook hook) {
    gBeforeRename = hook;
}
}  // namespace settings

std::string GetSetting(const std::string& app, const std::string& section, const std::string& key,
                       const std::string& defaultValue) {
    std::string path = settings::SettingsPath(app);
    if (path.empty()) return defaultValue;
    auto stored = ReadFile(path);
    if (!stored) return defaultValue;
    auto sec = stored->find(section);
    if (sec == stored->end()) return defaultValue;
    auto value = sec->second.find(key);
    return value == sec->second.end() ? defaultValue : value->second;
}

bool SaveSetting(const std::string& app, const std::string& section, const std::string& key,
                 const std::string& value) {
    std::string path = settings::SettingsPath(app);
    if (path.empty()) return false;
    // A corrupt file is replaced: what it held could not be read back anyway.
    settings::SettingsMap stored = ReadFile(path).value_or(settings::SettingsMap{});
    stored[section][key] = value;
    return ReplaceFile(path, settings::Serialize(stored));
}

}  // namespace platform
