#include "platform/settings/SettingsStore.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/files/AtomicFile.h"
#include "platform/files/ReadFile.h"
#include "platform/settings/SettingsFile.h"

namespace platform {
namespace {

// Anything bigger was not written by us; reading it would only waste memory.
constexpr size_t kMaxFileSize = 1 << 20;

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

}  // namespace

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
    // Private to the user, as the folder is.
    if (WriteFileAtomically(path, settings::Serialize(stored), why, 0600)) return true;
    if (error) *error = "Can't save the settings to '" + path + "': " + why + ".";
    return false;
}

}  // namespace platform
