// The shape of a whole run: the title's timer loop hands over to a game form, whose own timer
// loop runs the game; unloading it brings the title back, and quitting the title leaves only
// the auxiliary form, which unloads itself and so ends the message loop.
#include <gtest/gtest.h>

#include "WindowTest.h"

namespace {

using platform::Application;

// One whole run on a fresh back end; its frame hashes.
std::vector<uint64_t> RunSession(uint32_t seed) {
    platform::Headless& headless = platform::UseHeadless();
    headless.SetScreenSize(64, 48);
    headless.SetPassLimit(10'000);
    Application::Get().Reset();
    Log log;
    LoopForm title("frmTitle", log), game("frmMain", log);
    title.random.seed(seed);
    game.random.seed(seed);
    game.pace = 16;
    title.cmdStop.OnClick = [&] { title.quit = true; };
    title.after = [&] {
        if (game.passes == 0)
            game.Show();
        else
            title.Unload();
    };
    SideForm aux;
    aux.Run(1000, [&] {
        if (Application::Get().FormCount() == 1) aux.Unload();
    });
    title.Show();

    // A game at 300 ms; at 800 ms three close requests on it, all refused, so it ends at its
    // next pass; at 1200 ms the title is closed, which ends the run.
    platform::HeadlessScript script;
    std::string error;
    EXPECT_TRUE(
        platform::HeadlessScript::Parse("at ms 300 click cmdStop\n"
                                        "at ms 800 close frmMain tasklist\n"
                                        "at ms 800 close frmMain system\n"
                                        "at ms 800 close\n"
                                        "at ms 1200 close\n",
                                        script, &error))
        << error;
    headless.Load(script);
    EXPECT_TRUE(Application::Get().RunMessageLoop());
    EXPECT_EQ(Application::Get().FormCount(), 0u);
    // The title loop is only ever entered with the game gone, and is activated on its return.
    EXPECT_EQ(log, (Log{"frmTitle load", "frmTitle activate", "frmTitle enter with 2 forms",
                        "frmMain load", "frmMain activate", "frmMain enter with 3 forms",
                        "frmMain query 3", "frmMain query 2", "frmMain query 0", "frmMain query 1",
                        "frmMain unload", "frmTitle activate", "frmTitle enter with 2 forms",
                        "frmTitle query 0", "frmTitle query 1", "frmTitle unload"}));
    // About 500 ms of 16 ms passes, not cut short and not run on.
    EXPECT_GE(game.passes, 25);
    EXPECT_LE(game.passes, 35);
    return headless.FrameHashes();
}

TEST(WindowSession, TitleToGameToTitleGivesTheSameFramesForTheSameScriptAndSeed) {
    const std::vector<uint64_t> first = RunSession(7);
    EXPECT_GT(first.size(), 50u);
    EXPECT_NE(first.front(), first.back());  // each frame adds a dot
    EXPECT_EQ(first, RunSession(7));
    EXPECT_NE(first, RunSession(8));
}

}  // namespace
