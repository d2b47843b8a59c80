#include "sound/clsFiles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "Raised.h"
#include "platform/Random.h"

namespace fs = std::filesystem;

// A fresh folder tree below the test temp folder; returns its path.
static std::string MakeTree(const std::string& name, const std::vector<std::string>& files) {
    const fs::path root = fs::path(::testing::TempDir()) / ("qx_files_" + name);
    fs::remove_all(root);
    for (const auto& f : files) {
        fs::create_directories((root / f).parent_path());
        std::ofstream(root / f) << f;
    }
    fs::create_directories(root);
    return root.string();
}

// The listed paths, each less the root and its separator.
static std::vector<std::string> Listed(const clsFiles& files, const std::string& root) {
    std::vector<std::string> paths;
    for (int32_t i = 1; i <= files.Count(); ++i)
        paths.push_back(files.FileNamePath(i).substr(root.size() + 1));
    return paths;
}

TEST(ClsFiles, BreadthFirstListingAndIndexes) {
    const std::vector<std::string> expected = {
        "A.txt", "b.txt", "sub1/x.txt", "sub2/y.txt", "sub1/inner/w.txt", "sub2/deep/z.txt"};
    const std::string r = MakeTree("tree", expected);
    clsFiles files, slash;
    files.Initialize(r);
    slash.Initialize(r + "/");  // a closing separator makes no difference
    EXPECT_EQ(Listed(files, r), expected);
    EXPECT_EQ(Listed(slash, r), expected);
    EXPECT_EQ(files.Filename(5), "w.txt");
    EXPECT_EQ(Raised([&] { files.FileNamePath(0); }),
              "80040001 Index '0' is either below 1 or larger than 6");
    EXPECT_EQ(Raised([&] { files.Filename(7); }),
              "80040001 Index '7' is either below 1 or larger than 6");

    files.Initialize(r + "/sub2");  // appends
    EXPECT_EQ(files.Count(), 8);
    EXPECT_EQ(files.FileNamePath(8), r + "/sub2/deep/z.txt");
    // A count set past the entries never reads beyond them.
    files.Count(100);
    EXPECT_EQ(Raised([&] { files.FileNamePath(50); }),
              "80040001 Index '50' is either below 1 or larger than 100");
    files.Count(-3);
    EXPECT_EQ(Raised([&] { files.FileNamePathRandom(); }), "80040001 The file list is empty.");
}

TEST(ClsFiles, BubbleSortAndRandomPick) {
    const std::string r = MakeTree("sort", {"b", "a/z", "B", "C/a", "_"});
    clsFiles files;
    files.Initialize(r);
    files.BubbleSort();
    const std::vector<std::string> sorted = {"B", "C/a", "_", "a/z", "b"};
    EXPECT_EQ(Listed(files, r), sorted);

    // One draw per pick, scaled by the count and floored.
    quadrix::SharedRandom().Seed(77);
    const double first = Rnd(), second = Rnd();
    quadrix::SharedRandom().Seed(77);
    EXPECT_EQ(files.FileNamePathRandom(), r + "/" + sorted[static_cast<size_t>(first * 5)]);
    EXPECT_EQ(Rnd(), second);
}

TEST(ClsFiles, EmptyMissingAndLoopingFolders) {
    const std::string empty = MakeTree("empty", {});
    clsFiles files;
    files.Initialize(empty);
    EXPECT_EQ(files.Count(), 0);
    const std::string missing = empty + "/missing";
    const std::string raised = Raised([&] { files.Initialize(missing); });
    EXPECT_TRUE(raised.rfind("80040001 ", 0) == 0 && raised.find(missing) != std::string::npos)
        << raised;
    EXPECT_EQ(files.Path(), empty);  // unchanged

    // A link back up the tree is followed once, not until the path is too long.
    const std::string loop = MakeTree("loop", {"f", "sub/g"});
    fs::create_directory_symlink(loop, fs::path(loop) / "sub" / "up");
    files.Initialize(loop);
    EXPECT_EQ(files.Count(), 2);
}
