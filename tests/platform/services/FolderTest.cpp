#include <gtest/gtest.h>

#include "TempDir.h"
#include "platform/files/Folder.h"

TEST(Folder, ListsFilesAndFoldersSortedWithoutHiddenEntries) {
    TempDir dir;
    namespace fs = std::filesystem;
    for (const char* file : {"b.mid", "A.wav", ".hidden"})
        dir.Write(file, "x");
    for (const char* folder : {"music", ".config"})
        fs::create_directory(dir.File(folder));
    fs::create_directory_symlink(dir.File("music"), dir.File("linked"));
    fs::create_symlink(dir.File("nowhere"), dir.File("dangling"));

    std::vector<platform::FolderEntry> entries{{"stale", true}};
    std::string error;
    ASSERT_TRUE(platform::ListFolder(dir.path(), entries, &error)) << error;
    ASSERT_EQ(entries.size(), 5u);
    const std::pair<const char*, bool> expected[] = {
        {"A.wav", false}, {"b.mid", false}, {"dangling", false}, {"linked", true}, {"music", true}};
    for (size_t i = 0; i < entries.size(); ++i) {
        EXPECT_EQ(entries[i].name, expected[i].first);
        EXPECT_EQ(entries[i].isFolder, expected[i].second) << entries[i].name;
    }

    ASSERT_TRUE(platform::ListFolder(dir.File("music") + "/", entries, &error));
    EXPECT_TRUE(entries.empty());

    const std::string missing = dir.File("not-there");
    EXPECT_FALSE(platform::ListFolder(missing, entries, &error));
    EXPECT_NE(error.find(Quoted(missing)), std::string::npos) << error;
    EXPECT_TRUE(entries.empty());
    EXPECT_FALSE(platform::ListFolder(dir.File("b.mid"), entries, nullptr));  // a file
}
