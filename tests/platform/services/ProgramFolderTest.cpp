#include <gtest/gtest.h>

#include <filesystem>

#include "TempDir.h"
#include "platform/files/ProgramFolder.h"

namespace {

TEST(ProgramFolder, BuildTreeThenInstalledTree) {
    TempDir root;
    namespace fs = std::filesystem;
    fs::create_directories(root.File("build/images"));
    fs::create_directories(root.File("usr/bin"));
    fs::create_directories(root.File("usr/share/quadrix/images"));
    fs::create_directories(root.File("bare/bin"));
    const std::pair<std::string, std::string> rows[] = {
        {root.File("build"), root.File("build")},
        {root.File("usr/bin"), root.File("usr/share/quadrix")},
        {root.File("bare/bin"), root.File("bare/bin")},  // errors name the first place looked
    };
    for (const auto& [exeDir, folder] : rows)
        EXPECT_EQ(platform::ProgramFolderFor(exeDir), folder);
}

}  // namespace
