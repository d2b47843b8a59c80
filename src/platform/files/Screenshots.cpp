#include "platform/files/Screenshots.h"

#include <fcntl.h>
#include <pwd.h>
#include <stdio.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <system_error>
#include <vector>

namespace platform {

namespace {

std::string HomeFolder() {
    const char* home = std::getenv("HOME");
    if (home && home[0] == '/') return home;
    std::vector<char> buffer(16384);
    passwd entry{};
    passwd* found = nullptr;
    if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found &&
        found->pw_dir && found->pw_dir[0] == '/') {
        return found->pw_dir;
    }
    return {};
}

// The file is written for a shell: a double-quoted value keeps backslash escapes.
std::string Unquoted(const std::string& value) {
    if (value.size() < 2 || value.front() != '"') return value;
    std::string out;
    for (size_t i = 1; i < value.size(); ++i) {
        const char c = value[i];
        if (c == '"') break;
        if (c == '\\' && i + 1 < value.size()) {
            out += value[++i];
            continue;
        }
        out += c;
    }
    return out;
}

}  // namespace

std::string PicturesDirFromUserDirs(const std::string& text, const std::string& home) {
    static const std::string kKey = "XDG_PICTURES_DIR=";
    std::istringstream lines(text);
    std::string line, found;
    while (std::getline(lines, line)) {
        const size_t start = line.find_first_not_of(" \t");
        if (start == std::string::npos || line.compare(start, kKey.size(), kKey) != 0) continue;
        std::string value = line.substr(start + kKey.size());
        while (!value.empty() &&
               (value.back() == ' ' || value.back() == '\t' || value.back() == '\r'))
            value.pop_back();
        value = Unquoted(value);
        if (value == "$HOME" || value.starts_with("$HOME/")) {
            if (home.empty()) continue;
            value = home + value.substr(5);
        }
        // Relative folders mean nothing here; the last setting wins, as in the shell.
        if (value.starts_with("/")) found = value;
    }
    return found;
}

std::string PicturesFolder() {
    const std::string home = HomeFolder();
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    const std::string config = xdg && xdg[0] == '/' ? std::string(xdg)
                               : home.empty()       ? std::string()
                                                    : home + "/.config";
    if (!config.empty()) {
        std::ifstream in(config + "/user-dirs.dirs", std::ios::binary);
        const std::string text{std::istreambuf_iterator<char>(in), {}};
        std::string folder = PicturesDirFromUserDirs(text, home);
        if (!folder.empty()) return folder;
    }
    return home.empty() ? std::string() : home + "/Pictures";
}

std::string ScreenshotName(const std::tm& when, int copy) {
    char stamp[64];
    if (std::strftime(stamp, sizeof stamp, "%Y-%m-%d %H-%M-%S", &when) == 0) stamp[0] = '\0';
    std::string name = std::string("Quadrix ") + stamp;
    if (copy > 1) {
        name += '-';
        name += std::to_string(copy);
    }
    return name + ".png";
}

bool PublishScreenshot(const std::string& from, const std::string& folder, const std::tm& when,
                       std::string& path, std::string& error) {
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    if (ec) {
        error = "cannot make the folder '" + folder + "': " + ec.message();
        return false;
    }
    int why = EEXIST;
    for (int copy = 1; copy < 1000 && why == EEXIST; ++copy) {
        path = folder + "/" + ScreenshotName(when, copy);
        // The name is claimed first, so that a file made a moment ago by someone else is never
        // replaced; the picture then takes the place of our own empty claim.
        const int claim = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        why = errno;
        if (claim < 0) continue;
        close(claim);
        if (std::rename(from.c_str(), path.c_str()) == 0) return true;
        why = errno;
        unlink(path.c_str());
    }
    error = "cannot save '" + path + "': " +
            (why == EEXIST ? std::string("too many files of that name") : std::strerror(why));
    return false;
}

}  // namespace platform
