// The recording session joins a game however it starts: one chosen on the title is recorded
// with its choice, through the hooks the program's start puts on both forms.
#include <gtest/gtest.h>

#include <filesystem>

#include "TempDir.h"
#include "platform/files/ProgramFolder.h"
#include "platform/headless/Headless.h"
#include "platform/headless/ReplayBackend.h"
#include "program/Program.h"
#include "program/Replay.h"
#include "title/modModeArgs.h"

TEST(Session, AGameChosenOnTheTitleIsRecordedWithItsChoice) {
    TempDir config;
    SavedEnv savedConfig{"XDG_CONFIG_HOME"};
    setenv("XDG_CONFIG_HOME", config.path().c_str(), 1);
    // tests/data lies two levels below the repository root, whose images/ the title reads.
    platform::SetProgramFolder(
        std::filesystem::path(QUADRIX_TEST_DATA).parent_path().parent_path().string());
    ResetProgramState();
    auto headless = std::make_unique<platform::Headless>();
    headless->SetScreenSize(800, 600);
    headless->SetPassLimit(20'000);
    platform::HeadlessScript script;
    std::string error;
    // The game ends on Escape at pass 40, the title on the next one and a Yes.
    ASSERT_TRUE(platform::HeadlessScript::Parse(
        "answer yes\nat pass 9 click cmdCasual\nat pass 40 key down Escape\n"
        "at pass 41 key up Escape\nat pass 80 key down Escape\nat pass 81 key up Escape\n",
        script, &error))
        << error;
    headless->Load(script);
    platform::InstallBackend(std::make_unique<platform::ReplayRecorder>(std::move(headless)));
    SetReplayTargets("", false);
    RunProgram(GameChoice{});

    ASSERT_TRUE(LastGameOutcome());
    ReplayFile replay;
    EXPECT_TRUE(ParseReplay(LastGameOutcome()->recorded, "recorded", replay, error)) << error;
    EXPECT_EQ(replay.choice.mode, GameMode::Casual);
    EXPECT_TRUE(replay.passes == LastGameOutcome()->passes && replay.passes > 10);
    ResetProgramState();
    platform::UseHeadless();
    platform::SetProgramFolder("");
}
