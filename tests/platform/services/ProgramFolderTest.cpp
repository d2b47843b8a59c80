#include <gtest/gtest.h>

#include "TempDir.h"
#include "platform/files/ProgramFolder.h"

TEST(ProgramFolder, BuildTreeThenInstalledTree) {
    TempDir root;
    for (const char* dir : {"build/images", "usr/bin", "usr/share/quadrix/images", "bare/bin"})
        std::filesystem::create_directories(root.File(dir));
    const std::pair<std::string, std::string> rows[] = {
        {root.File("build"), root.File("build")},
        {root.File("usr/bin"), root.File("usr/share/quadrix")},
        {root.File("bare/bin"), root.File("bare/bin")},  // errors name the first place looked
    };
    for (const auto& [exeDir, folder] : rows)
        EXPECT_EQ(platform::ProgramFolderFor(exeDir), folder);
    platform::SetProgramFolder("");  // the executable's own
    EXPECT_TRUE(platform::ProgramFolder() != "" && platform::ProgramFolder() != ".");
}
