#include "platform/settings/SettingsFile.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

namespace platform::settings {
namespace {

const char* kHex = "0123456789ABCDEF";

std::string Escape(const std::string& text) {
    std::string out;
    for (unsigned char c : text) {
        switch (c) {
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '=':
                out += "\\=";
                break;
            case '[':
                out += "\\[";
                break;
            case ']':
                out += "\\]";
                break;
            default:
                if (c < 0x20 || c == 0x7F) {
                    out += "\\x";
                    out += kHex[c >> 4];
                    out += kHex[c & 15];
                } else {
                    out += static_cast<char>(c);
                }
        }
    }
    return out;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// Unescapes text up to (not including) `stop` or the end; nullopt on a malformed escape or a
// raw character the writer never produces.
std::optional<std::string> Unescape(const std::string& line, size_t& pos, char stop) {
    std::string out;
    while (pos < line.size() && line[pos] != stop) {
        unsigned char c = static_cast<unsigned char>(line[pos]);
        if (c < 0x20 || c == 0x7F || c == '[' || c == ']' || c == '=') return std::nullopt;
        if (c != '\\') {
            out += static_cast<char>(c);
            ++pos;
            continue;
        }
        if (pos + 1 >= line.size()) return std::nullopt;
        char e = line[pos + 1];
        pos += 2;
        switch (e) {
            case '\\':
                out += '\\';
                break;
            case 'n':
                out += '\n';
                break;
            case 'r':
                out += '\r';
                break;
            case '=':
            case '[':
            case ']':
                out += e;
                break;
            case 'x': {
                if (pos + 2 > line.size()) return std::nullopt;
                int hi = HexDigit(line[pos]), lo = HexDigit(line[pos + 1]);
                if (hi < 0 || lo < 0) return std::nullopt;
                out += static_cast<char>(hi * 16 + lo);
                pos += 2;
                break;
            }
            default:
                return std::nullopt;
        }
    }
    return out;
}

std::string FileNameFor(const std::string& app) {
    std::string out;
    for (size_t i = 0; i < app.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(app[i]);
        bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                     c == '_' || c == '-' || (c == '.' && i > 0);
        if (plain) {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 15];
        }
    }
    return (out.empty() ? "%" : out) + ".ini";
}

std::string ConfigFolder() {
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    // Relative values are to be ignored, so a stray setting never writes into the cwd.
    if (xdg && xdg[0] == '/') return xdg;
    const char* home = std::getenv("HOME");
    if (home && home[0] == '/') return std::string(home) + "/.config";
    std::vector<char> buffer(16384);
    passwd entry{};
    passwd* found = nullptr;
    if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found &&
        found->pw_dir && found->pw_dir[0] == '/') {
        return std::string(found->pw_dir) + "/.config";
    }
    return {};
}

}  // namespace

std::string Serialize(const SettingsMap& settings) {
    std::string out;
    for (const auto& [section, keys] : settings) {
        if (keys.empty()) continue;
        // Appended piece by piece: GCC 12 warns falsely about "[" + std::string at -O3.
        out += '[';
        out += Escape(section);
        out += "]\n";
        for (const auto& [key, value] : keys) {
            out += Escape(key);
            out += '=';
            out += Escape(value);
            out += '\n';
        }
    }
    return out;
}

std::optional<SettingsMap> Parse(const std::string& text) {
    SettingsMap result;
    std::map<std::string, std::string>* current = nullptr;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty()) continue;
        size_t pos = 0;
        if (line[0] == '[') {
            pos = 1;
            auto name = Unescape(line, pos, ']');
            if (!name || pos + 1 != line.size()) return std::nullopt;
            current = &result[*name];
            continue;
        }
        if (!current) return std::nullopt;
        auto key = Unescape(line, pos, '=');
        if (!key || pos >= line.size()) return std::nullopt;
        ++pos;
        auto value = Unescape(line, pos, '\0');
        if (!value || pos != line.size()) return std::nullopt;
        (*current)[*key] = *value;
    }
    return result;
}

std::string SettingsPath(const std::string& app) {
    std::string folder = ConfigFolder();
    if (folder.empty()) return {};
    return folder + "/quadrix/" + FileNameFor(app);
}

}  // namespace platform::settings
