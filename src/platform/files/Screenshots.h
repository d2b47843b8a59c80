// Where the screenshot key's pictures go and what they are called.
#pragma once

#include <ctime>
#include <string>

namespace platform {

// XDG_PICTURES_DIR as the text of a user-dirs.dirs file sets it, "$HOME" replaced by home;
// empty when the file does not set it to a folder.
std::string PicturesDirFromUserDirs(const std::string& text, const std::string& home);
// The user's pictures folder: from ${XDG_CONFIG_HOME:-~/.config}/user-dirs.dirs, else
// ~/Pictures; empty when there is no home folder.
std::string PicturesFolder();
// "Quadrix 2026-12-06 15-04-05.png"; copy 2 and on end "...-2.png" and so on.
std::string ScreenshotName(const std::tm& when, int copy);
// Moves the finished picture 'from' into folder (made if missing) under the first name for
// 'when' that is free, never replacing a file. False with error set when it cannot.
bool PublishScreenshot(const std::string& from, const std::string& folder, const std::tm& when,
                       std::string& path, std::string& error);

}  // namespace platform
