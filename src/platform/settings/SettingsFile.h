// The settings file format and its test seams; only the settings store and its tests use this.
#pragma once

#include <map>
#include <optional>
#include <string>

namespace platform::settings {

// section -> key -> value, all unescaped.
using SettingsMap = std::map<std::string, std::map<std::string, std::string>>;

// Text of an ini-like file: "[section]" lines and "key=value" lines. Characters that would
// break a line or its structure are written as backslash escapes.
std::string Serialize(const SettingsMap& settings);
// nullopt when the text is not a well-formed settings file (garbage, binary, truncated escapes).
std::optional<SettingsMap> Parse(const std::string& text);

// Where the settings of one application live: <config>/quadrix/<app>.ini, with unsafe
// characters of the application name escaped. Empty when no config folder is known.
std::string SettingsPath(const std::string& app);

}  // namespace platform::settings
