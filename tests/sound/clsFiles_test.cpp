#include "sound/clsFiles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "main/Random.h"
#include "platform/Error.h"

namespace fs = std::filesystem;

namespace {

// A fresh folder tree below the test temp folder; returns its path.
std::string MakeTree(const std::string& name, const std::vector<std::string>& files) {
    const fs::path root = fs::path(::testing::TempDir()) / ("qx_files_" + name);
    fs::remove_all(root);
    fs::create_directories(root);
    for (const auto& f : files) {
        fs::create_directories((root / f).parent_path());
        std::ofstream(root / f) << f;
    }
    return root.string();
}

// The text of the error f raises ("" when none), checking its number.
template <typename F>
std::string ErrorText(F&& f) {
    try {
        f();
    } catch (const platform::Error& e) {
        EXPECT_EQ(e.SignedNumber(), -2147221503);
        return e.what();
    }
    return "";
}

void ExpectList(const clsFiles& files, const std::vector<std::string>& expected) {
    ASSERT_EQ(files.Count(), static_cast<int32_t>(expected.size()));
    for (int32_t i = 1; i <= files.Count(); ++i)
        EXPECT_EQ(files.FileNamePath(i), expected[i - 1]);
}

}  // namespace

TEST(ClsFiles, BreadthFirstListingAndIndexes) {
    const std::string r = MakeTree("tree", {"b.txt", "A.txt", "sub1/x.txt", "sub1/inner/w.txt",
                                            "sub2/y.txt", "sub2/deep/z.txt"});
    const std::vector<std::string> expected = {r + "/A.txt",
                                               r + "/b.txt",
                                               r + "/sub1/x.txt",
                                               r + "/sub2/y.txt",
                                               r + "/sub1/inner/w.txt",
                                               r + "/sub2/deep/z.txt"};
    clsFiles files;
    files.Initialize(r);
    EXPECT_EQ(files.Path(), r);
    ExpectList(files, expected);
    EXPECT_EQ(files.Filename(5), "w.txt");
    clsFiles slash;  // a closing separator makes no difference
    slash.Initialize(r + "/");
    ExpectList(slash, expected);

    EXPECT_EQ(ErrorText([&] { files.FileNamePath(0); }),
              "Index '0' is either below 1 or larger than 6");
    EXPECT_EQ(ErrorText([&] { files.Filename(7); }),
              "Index '7' is either below 1 or larger than 6");

    // A second Initialize appends.
    files.Initialize(r + "/sub2");
    EXPECT_EQ(files.Count(), 8);
    EXPECT_EQ(files.FileNamePath(8), r + "/sub2/deep/z.txt");

    // A count set past the entries never reads beyond them.
    files.Count(100);
    EXPECT_EQ(ErrorText([&] { files.FileNamePath(50); }),
              "Index '50' is either below 1 or larger than 100");
    files.Count(-3);
    EXPECT_EQ(ErrorText([&] { files.FileNamePathRandom(); }), "The file list is empty.");
}

TEST(ClsFiles, BubbleSortAndRandomPick) {
    const std::string r = MakeTree("sort", {"b", "a/z", "B", "C/a", "_"});
    clsFiles files;
    files.Initialize(r);
    EXPECT_EQ(files.FileNamePath(3), r + "/b");
    files.BubbleSort();
    const std::vector<std::string> sorted = {r + "/B", r + "/C/a", r + "/_", r + "/a/z", r + "/b"};
    ExpectList(files, sorted);

    // One draw per pick, scaled by the count and floored.
    quadrix::SharedRandom().Seed(77);
    const double first = Rnd(), second = Rnd();
    quadrix::SharedRandom().Seed(77);
    EXPECT_EQ(files.FileNamePathRandom(), sorted[static_cast<size_t>(first * 5)]);
    EXPECT_EQ(Rnd(), second);
}

TEST(ClsFiles, EmptyMissingAndLoopingFolders) {
    const std::string empty = MakeTree("empty", {});
    clsFiles files;
    files.Initialize(empty);
    EXPECT_EQ(files.Count(), 0);
    EXPECT_EQ(ErrorText([&] { files.FileNamePathRandom(); }), "The file list is empty.");

    const std::string missing = empty + "/missing";
    EXPECT_NE(ErrorText([&] { files.Initialize(missing); }).find(missing), std::string::npos);
    EXPECT_EQ(files.Path(), empty);  // unchanged

    // A link back up the tree is followed once, not until the path is too long.
    const std::string loop = MakeTree("loop", {"f", "sub/g"});
    fs::create_directory_symlink(loop, fs::path(loop) / "sub" / "up");
    clsFiles looped;
    looped.Initialize(loop);
    EXPECT_EQ(looped.Count(), 2);
}
