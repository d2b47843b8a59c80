#include <gtest/gtest.h>

#include <filesystem>
#include <tuple>

#include "TempDir.h"
#include "platform/files/Screenshots.h"

TEST(Screenshots, PicturesFolderFromUserDirs) {
    const std::pair<const char*, const char*> rows[] = {
        {"XDG_PICTURES_DIR=\"$HOME/Bilder\"\n", "/home/u/Bilder"},
        {"# XDG_PICTURES_DIR=\"/nope\"\nXDG_MUSIC_DIR=\"$HOME/M\"\n", ""},
        {"  XDG_PICTURES_DIR=/srv/pics\r\n", "/srv/pics"},
        {"XDG_PICTURES_DIR=\"/a b/\\\"x\\\"\"\n", "/a b/\"x\""},
        {"XDG_PICTURES_DIR=\"$HOME\"\n", "/home/u"},
        {"XDG_PICTURES_DIR=\"Pictures\"\n", ""},  // relative: not a folder we can use
        {"XDG_PICTURES_DIR=\"/first\"\nXDG_PICTURES_DIR=\"/last\"\n", "/last"},
        {"XDG_PICTURES_DIR=\"$HOMEY/x\"\n", ""},
    };
    for (const auto& [text, folder] : rows)
        EXPECT_EQ(platform::PicturesDirFromUserDirs(text, "/home/u"), folder) << text;

    TempDir home;
    SavedEnv savedHome{"HOME"}, savedConfig{"XDG_CONFIG_HOME"};
    setenv("HOME", home.path().c_str(), 1);
    setenv("XDG_CONFIG_HOME", home.File("conf").c_str(), 1);
    EXPECT_EQ(platform::PicturesFolder(), home.File("Pictures"));  // no user-dirs.dirs
    std::filesystem::create_directory(home.File("conf"));
    home.Write("conf/user-dirs.dirs", "XDG_PICTURES_DIR=\"$HOME/Shots\"\n");
    EXPECT_EQ(platform::PicturesFolder(), home.File("Shots"));
}

TEST(Screenshots, NamesAreNeverTakenTwice) {
    TempDir dir;
    std::tm when{};
    std::tie(when.tm_year, when.tm_mon, when.tm_mday, when.tm_hour, when.tm_min, when.tm_sec) =
        std::tuple(126, 11, 6, 15, 4, 5);
    const std::string folder = dir.File("new/folder");
    for (const char* expected :
         {"Quadrix 2026-12-06 15-04-05.png", "Quadrix 2026-12-06 15-04-05-2.png"}) {
        dir.Write("part", expected);
        std::string path, error;
        ASSERT_TRUE(platform::PublishScreenshot(dir.File("part"), folder, when, path, error))
            << error;
        EXPECT_EQ(path, folder + "/" + expected);
    }
    EXPECT_EQ(dir.Read("new/folder/Quadrix 2026-12-06 15-04-05.png"),
              "Quadrix 2026-12-06 15-04-05.png");
    EXPECT_FALSE(std::filesystem::exists(dir.File("part")));
    std::string path, error;
    EXPECT_FALSE(platform::PublishScreenshot(dir.File("gone"), folder, when, path, error));
    EXPECT_NE(error.find("15-04-05-3.png"), std::string::npos) << error;
    EXPECT_FALSE(std::filesystem::exists(folder + "/Quadrix 2026-12-06 15-04-05-3.png"));
}
