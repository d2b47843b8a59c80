// The settings store and the replay keeper write through the one atomic writer, with the same
// care: a crash before the rename keeps the old file whole and leaves nothing beside it, and the
// file takes the umask (settings stay private). Read-only folders: tests/app/BadFiles_test.cpp.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "TempDir.h"
#include "platform/files/AtomicFile.h"
#include "platform/settings/SettingsStore.h"
#include "program/Replay.h"

namespace fs = std::filesystem;

TEST(KeptFiles, BothWritersKeepTheOldFileWhenInterrupted) {
    const TempDir dir;
    const SavedEnv config{"XDG_CONFIG_HOME"}, data{"XDG_DATA_HOME"};
    setenv("XDG_CONFIG_HOME", dir.File("config").c_str(), 1);
    setenv("XDG_DATA_HOME", dir.File("data").c_str(), 1);
    const mode_t umaskWas = umask(027);
    const struct {
        fs::path file;
        std::function<bool(const std::string&, std::string&)> write;
        std::function<std::string(const std::string&)> text;  // the file, for the value written
        fs::perms mode;
    } writers[] = {
        {dir.File("config/quadrix/Quadrix_1_1.ini"),
         [](const std::string& v, std::string& e) {
             return platform::SaveSetting("Quadrix_1_1", "Main", "Mouse", v, &e);
         },
         [](const std::string& v) { return "[Main]\nMouse=" + v + "\n"; }, fs::perms(0600)},
        {dir.File("data/quadrix/last.qxr"),
         [](const std::string& v, std::string& e) {
             return WriteFileAtomically(LastReplayPath(), v, e);
         },
         [](const std::string& v) { return v; }, fs::perms(0640)},
    };
    static std::string seenTemp, seenText;
    for (const auto& w : writers) {
        SCOPED_TRACE(w.file);
        std::string error;
        ASSERT_TRUE(w.write("42", error)) << error;  // making the folders on the way
        platform::SetBeforeRenameHook([](const std::string& temp) {
            seenTemp = temp;
            std::ifstream in(temp, std::ios::binary);
            seenText.assign(std::istreambuf_iterator<char>(in), {});
            return false;  // the "crash" between writing the new file and putting it in place
        });
        EXPECT_FALSE(w.write("199", error));
        platform::SetBeforeRenameHook(nullptr);
        EXPECT_NE(error.find(w.file.string()), std::string::npos) << error;
        EXPECT_NE(error.find(": interrupted before the new file was put in place"),
                  std::string::npos)
            << error;
        EXPECT_EQ(seenText, w.text("199"));  // complete, and beside the old file
        EXPECT_EQ(fs::path(seenTemp).parent_path(), w.file.parent_path());
        EXPECT_EQ(std::distance(fs::directory_iterator(w.file.parent_path()), {}), 1);
        std::ifstream in(w.file, std::ios::binary);
        EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), w.text("42"));
        EXPECT_EQ(fs::status(w.file).permissions(), w.mode);
    }
    umask(umaskWas);
}
