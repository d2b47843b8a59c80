#include "sound/clsFiles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "main/Random.h"
#include "platform/Error.h"

namespace fs = std::filesystem;

namespace {

// A fresh folder tree below the test temp folder.
fs::path MakeTree(const std::string& name, const std::vector<std::string>& files) {
    const fs::path root = fs::path(::testing::TempDir()) / ("qx_files_" + name);
    fs::remove_all(root);
    fs::create_directories(root);
    for (const auto& f : files) {
        fs::create_directories((root / f).parent_path());
        std::ofstream(root / f) << f;
    }
    return root;
}

template <typename F>
platform::Error CatchError(F&& f) {
    try {
        f();
    } catch (const platform::Error& e) {
        return e;
    }
    ADD_FAILURE() << "no error raised";
    return platform::Error(0, "");
}

}  // namespace

TEST(ClsFiles, BreadthFirstListingAndIndexes) {
    const fs::path root = MakeTree("tree", {"b.txt", "A.txt", "sub1/x.txt", "sub1/inner/w.txt",
                                            "sub2/y.txt", "sub2/deep/z.txt"});
    const std::string r = root.string();
    clsFiles files;
    files.Initialize(r);
    EXPECT_EQ(files.Path(), r);
    ASSERT_EQ(files.Count(), 6);
    const std::vector<std::string> expected = {r + "/A.txt",
                                               r + "/b.txt",
                                               r + "/sub1/x.txt",
                                               r + "/sub2/y.txt",
                                               r + "/sub1/inner/w.txt",
                                               r + "/sub2/deep/z.txt"};
    for (int32_t i = 1; i <= 6; ++i)
        EXPECT_EQ(files.FileNamePath(i), expected[i - 1]);
    EXPECT_EQ(files.Filename(5), "w.txt");

    // A closing separator makes no difference.
    clsFiles slash;
    slash.Initialize(r + "/");
    for (int32_t i = 1; i <= 6; ++i)
        EXPECT_EQ(slash.FileNamePath(i), expected[i - 1]);

    const auto below = CatchError([&] { files.FileNamePath(0); });
    EXPECT_EQ(below.Number(), 0x80040001u);
    EXPECT_EQ(below.SignedNumber(), -2147221503);
    EXPECT_STREQ(below.what(), "Index '0' is either below 1 or larger than 6");
    EXPECT_STREQ(CatchError([&] { files.Filename(7); }).what(),
                 "Index '7' is either below 1 or larger than 6");

    // A second Initialize appends.
    files.Initialize(r + "/sub2");
    EXPECT_EQ(files.Count(), 8);
    EXPECT_EQ(files.FileNamePath(8), r + "/sub2/deep/z.txt");
    EXPECT_EQ(files.Path(), r + "/sub2");

    // A count set past the entries never reads beyond them.
    files.Count(100);
    EXPECT_STREQ(CatchError([&] { files.FileNamePath(50); }).what(),
                 "Index '50' is either below 1 or larger than 100");
    files.Count(-3);
    EXPECT_EQ(CatchError([&] { files.FileNamePathRandom(); }).Number(), 0x80040001u);
}

TEST(ClsFiles, BubbleSortAndRandomPick) {
    const fs::path root = MakeTree("sort", {"b", "a/z", "B", "C/a", "_"});
    const std::string r = root.string();
    clsFiles files;
    files.Initialize(r);
    ASSERT_EQ(files.Count(), 5);
    EXPECT_EQ(files.FileNamePath(1), r + "/B");
    files.BubbleSort();
    const std::vector<std::string> sorted = {r + "/B", r + "/C/a", r + "/_", r + "/a/z", r + "/b"};
    for (int32_t i = 1; i <= 5; ++i)
        EXPECT_EQ(files.FileNamePath(i), sorted[i - 1]);

    // One draw per pick, scaled by the count and floored.
    quadrix::SharedRandom().Seed(77);
    const double first = Rnd();
    const double second = Rnd();
    quadrix::SharedRandom().Seed(77);
    EXPECT_EQ(files.FileNamePathRandom(), sorted[static_cast<size_t>(first * 5)]);
    EXPECT_EQ(Rnd(), second);
}

TEST(ClsFiles, EmptyMissingAndLoopingFolders) {
    const fs::path empty = MakeTree("empty", {});
    clsFiles files;
    files.Initialize(empty.string());
    EXPECT_EQ(files.Count(), 0);
    const auto none = CatchError([&] { files.FileNamePathRandom(); });
    EXPECT_EQ(none.Number(), 0x80040001u);
    EXPECT_STREQ(none.what(), "The file list is empty.");
    EXPECT_STREQ(CatchError([&] { files.FileNamePath(1); }).what(),
                 "Index '1' is either below 1 or larger than 0");

    const std::string missing = (fs::path(::testing::TempDir()) / "qx_files_missing").string();
    fs::remove_all(missing);
    const auto notThere = CatchError([&] { files.Initialize(missing); });
    EXPECT_EQ(notThere.Number(), 0x80040001u);
    EXPECT_NE(std::string(notThere.what()).find(missing), std::string::npos);
    EXPECT_EQ(files.Path(), empty.string());  // unchanged

    // A link back up the tree is followed once, not forever.
    const fs::path loop = MakeTree("loop", {"f", "sub/g"});
    fs::create_directory_symlink(loop, loop / "sub" / "up");
    clsFiles looped;
    looped.Initialize(loop.string());
    EXPECT_EQ(looped.Count(), 2);
}
