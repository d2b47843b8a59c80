#include <gtest/gtest.h>

#include "TempDir.h"
#include "platform/settings/SettingsFile.h"
#include "platform/settings/SettingsStore.h"

using platform::GetSetting;
using platform::SaveSetting;

using namespace std::string_literals;

// Every test keeps its settings in a scratch folder, never in the user's own config.
class SettingsStoreTest : public ::testing::Test {
  protected:
    void SetUp() override { setenv("XDG_CONFIG_HOME", dir_.path().c_str(), 1); }
    SavedEnv config_{"XDG_CONFIG_HOME"}, home_{"HOME"};
    TempDir dir_;
};

TEST_F(SettingsStoreTest, RoundTripAndDefaults) {
    EXPECT_EQ(platform::settings::SettingsPath("Quadrix_1_1"),
              dir_.path() + "/quadrix/Quadrix_1_1.ini");
    EXPECT_EQ(GetSetting("Quadrix_1_1", "Main", "Mouse", "100"), "100");  // nothing stored yet

    ASSERT_TRUE(SaveSetting("Quadrix_1_1", "Main", "Mouse", "42"));
    ASSERT_TRUE(SaveSetting("Quadrix_1_1", "Other", "Mouse", "7"));
    ASSERT_TRUE(SaveSetting("Quadrix_1_1", "Main", "Mouse", "150"));
    EXPECT_EQ(GetSetting("Quadrix_1_1", "Main", "Mouse", "100"), "150");
    EXPECT_EQ(GetSetting("Quadrix_1_1", "Other", "Mouse", "100"), "7");
    EXPECT_EQ(GetSetting("Quadrix_1_1", "Main", "Keys", "none"), "none");
    EXPECT_EQ(GetSetting("Quadrix_2_0", "Main", "Mouse", "100"), "100");

    // An application name cannot climb out of the store's folder.
    ASSERT_TRUE(SaveSetting("../evil/.x", "Main", "Mouse", "1"));
    EXPECT_EQ(GetSetting("../evil/.x", "Main", "Mouse", "0"), "1");
    EXPECT_FALSE(std::filesystem::exists(dir_.path() + "/evil"));
    EXPECT_EQ(platform::settings::SettingsPath("../evil/.x"),
              dir_.path() + "/quadrix/%2E.%2Fevil%2F.x.ini");  // and never hides itself

    // A relative XDG_CONFIG_HOME is not a config folder; ~/.config is used instead.
    setenv("XDG_CONFIG_HOME", "relative/config", 1);
    setenv("HOME", dir_.File("home").c_str(), 1);
    EXPECT_EQ(platform::settings::SettingsPath("Quadrix_1_1"),
              dir_.path() + "/home/.config/quadrix/Quadrix_1_1.ini");
    ASSERT_TRUE(SaveSetting("Quadrix_1_1", "Main", "Mouse", "3"));  // creates the folders
    EXPECT_EQ(GetSetting("Quadrix_1_1", "Main", "Mouse", "100"), "3");
}

// Whole files that are no settings file, and other systems' line ends: the bad-files test.
TEST_F(SettingsStoreTest, LinesThatMerelyLookLikeSettingsReadAsNothingStored) {
    ASSERT_TRUE(SaveSetting("Quadrix_1_1", "Main", "Mouse", "42"));
    const std::string path = platform::settings::SettingsPath("Quadrix_1_1");
    for (const std::string& text :
         {"Mouse=42\n"s, "[Main\nMouse=42\n"s, "[Main]\nMouse\n"s, "[Main]\nMouse=4\\q\n"s,
          "[Main]\nMouse=4\\x4\n"s, "[Main]\nA=b=c\n"s, "[Main]junk\nMouse=42\n"s}) {
        std::ofstream(path, std::ios::binary) << text;
        EXPECT_EQ(GetSetting("Quadrix_1_1", "Main", "Mouse", "100"), "100") << text;
    }
}

TEST_F(SettingsStoreTest, SpecialCharactersRoundTrip) {
    const std::string nasty[] = {
        "a=b",      "[x]", "line\nbreak", "back\\slash\\", "nul\0byte"s, "\x01\x7f\xff\xe9",
        " padded ", "",    "cr\rlf\r\n",  "unit\x1f"};
    for (const std::string& s : nasty) {
        ASSERT_TRUE(SaveSetting("Quadrix_1_1", s, s, s)) << s;
        ASSERT_TRUE(SaveSetting("Quadrix_1_1", "Main", "k" + s, "v" + s)) << s;
    }
    for (const std::string& s : nasty) {
        EXPECT_EQ(GetSetting("Quadrix_1_1", s, s, "default"), s);
        EXPECT_EQ(GetSetting("Quadrix_1_1", "Main", "k" + s, "default"), "v" + s);
    }
}
