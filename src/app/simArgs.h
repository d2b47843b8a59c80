// Argument helpers shared by the simulator's commands.
#pragma once

#include <charconv>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>

inline constexpr uint64_t kDefaultSeed = 12345;
inline constexpr int32_t kMaxScreen = 65535;

template <typename T>
bool ParseWhole(std::string_view text, T& out) {
    if (text.empty()) return false;
    const auto res = std::from_chars(text.data(), text.data() + text.size(), out);
    return res.ec == std::errc{} && res.ptr == text.data() + text.size();
}

inline bool ParseScreen(std::string_view text, int32_t& w, int32_t& h) {
    const size_t x = text.find('x');
    if (x == std::string_view::npos) return false;
    if (!ParseWhole(text.substr(0, x), w) || !ParseWhole(text.substr(x + 1), h)) return false;
    return w >= 1 && w <= kMaxScreen && h >= 1 && h <= kMaxScreen;
}

inline std::string BadScreen(const std::string& text) {
    return "bad screen size '" + text + "' (want WxH, each 1 to " + std::to_string(kMaxScreen) +
           ")";
}

// Text as a JSON string: quotes, backslashes and control characters escaped.
inline std::string JsonText(std::string_view text) {
    std::string r = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') {
            r += '\\';
            r += c;
        } else if (c == '\n') {
            r += "\\n";
        } else if (c == '\r') {
            r += "\\r";
        } else if (static_cast<unsigned char>(c) < 0x20) {
            r += "\\u00";
            r += "0123456789abcdef"[(c >> 4) & 15];
            r += "0123456789abcdef"[c & 15];
        } else {
            r += c;
        }
    }
    return r + "\"";
}

inline const std::string kBadSeed =
    "--seed needs a whole number from 0 to " + std::to_string(std::numeric_limits<uint64_t>::max());
