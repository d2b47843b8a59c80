#include "platform/settings/SettingsStore.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/files/ReadFile.h"
#include "platform/settings/SettingsFile.h"

namespace platform {
namespace {

// Anything bigger was not written by us; reading it would only waste memory.
constexpr size_t kMaxFileSize = 1 << 20;

settings::BeforeRenameHook gBeforeRename = nullptr;

// What a read found: the settings, or why none were read. A missing file is no problem: it is
// how every first run starts.
struct ReadResult {
    std::optional<settings::SettingsMap> settings;
    std::string problem;
};

ReadResult ReadFile(const std::string& path) {
    FileRead file = ReadWholeFile(path, kMaxFileSize);
    if (file.status == FileRead::Missing) return {};
    if (file.status != FileRead::Read) return {std::nullopt, file.problem};
    const std::string& text = file.text;
    // We never write an empty file: one is left by something else and holds nothing.
    if (text.empty()) return {std::nullopt, "is empty"};
    auto parsed = settings::Parse(text);
    if (!parsed) return {std::nullopt, "is not a settings file"};
    return {std::move(parsed), {}};
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
        if (n == 0) errno = EIO;
        if (n <= 0) return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

// Temporary file in the same folder, flushed to disk, then renamed over the old one: a reader
// sees either the old file or the new one, never a part of either. On failure the old file is
// as it was, and *why says what failed.
bool ReplaceFile(const std::string& path, const std::string& text, std::string& why) {
    auto fail = [&why](const char* step) {
        why = std::string(step) + ": " + std::strerror(errno);
        return false;
    };
    size_t slash = path.find_last_of('/');
    std::string folder = path.substr(0, slash);
    if (!MakeFolder(folder)) return fail("cannot make the folder");
    std::string temp = path + ".XXXXXX";
    int fd = mkstemp(temp.data());
    if (fd < 0) return fail("cannot create a file there");
    bool ok = WriteAll(fd, text);
    if (!ok) fail("cannot write");
    if (ok && fsync(fd) != 0) ok = fail("cannot flush to disk");
    if (close(fd) != 0 && ok) ok = fail("cannot write");
    if (ok && gBeforeRename && !gBeforeRename(temp)) {
        why = "interrupted before the new file was put in place";
        ok = false;
    }
    if (ok && rename(temp.c_str(), path.c_str()) != 0) ok = fail("cannot replace the old file");
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
                       const std::string& defaultValue, std::string* problem) {
    std::string path = settings::SettingsPath(app);
    if (path.empty()) return defaultValue;
    ReadResult stored = ReadFile(path);
    if (!stored.settings) {
        if (problem && !stored.problem.empty())
            *problem = "The settings file '" + path + "' " + stored.problem +
                       ": the default settings are used.";
        return defaultValue;
    }
    auto sec = stored.settings->find(section);
    if (sec == stored.settings->end()) return defaultValue;
    auto value = sec->second.find(key);
    return value == sec->second.end() ? defaultValue : value->second;
}

bool SaveSetting(const std::string& app, const std::string& section, const std::string& key,
                 const std::string& value, std::string* error) {
    std::string path = settings::SettingsPath(app);
    if (path.empty()) {
        if (error) *error = "Can't save the settings: no config folder is known (HOME is not set).";
        return false;
    }
    // A file that cannot be read is replaced: what it held could not be read back anyway.
    settings::SettingsMap stored = ReadFile(path).settings.value_or(settings::SettingsMap{});
    stored[section][key] = value;
    std::string why;
    if (ReplaceFile(path, settings::Serialize(stored), why)) return true;
    if (error) *error = "Can't save the settings to '" + path + "': " + why + ".";
    return false;
}

}  // namespace platform
