// Per-user settings store: strings under application name, section and key, kept in a file in
// the user's config folder ($XDG_CONFIG_HOME, else ~/.config).
#pragma once

#include <string>

namespace platform {

std::string GetSetting(const std::string& app, const std::string& section, const std::string& key,
                       const std::string& defaultValue);
// Atomic: a crash or a full disk never leaves a half-written file. False if it could not save.
bool SaveSetting(const std::string& app, const std::string& section, const std::string& key,
                 const std::string& value);

}  // namespace platform
