// Per-user settings store: strings under application name, section and key, kept in a file in
// the user's config folder ($XDG_CONFIG_HOME, else ~/.config).
#pragma once

#include <string>

namespace platform {

// The default also when the file cannot be used (damaged, empty, too large, unreadable); then
// *problem, if given, is set to a sentence naming the file. A missing file is no problem.
std::string GetSetting(const std::string& app, const std::string& section, const std::string& key,
                       const std::string& defaultValue, std::string* problem = nullptr);
// Atomic: a crash or a full disk never leaves a half-written file, and the old file stays as
// it was. False if it could not save, with *error, if given, saying why and naming the file.
bool SaveSetting(const std::string& app, const std::string& section, const std::string& key,
                 const std::string& value, std::string* error = nullptr);

}  // namespace platform
