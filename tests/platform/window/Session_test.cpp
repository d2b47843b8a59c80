// The shape of a whole run: the title's timer loop hands over to a game form, whose own timer
// loop runs the game; unloading it brings the title back, and quitting the title leaves only
// the auxiliary form, which unloads itself and so ends the message loop.

#include "WindowTest.h"

using platform::Application;

TEST_F(WindowTest, TitleToGameToTitleGivesTheSameFramesForTheSameScriptAndSeed) {
    // One whole run on a fresh back end; its frame hashes.
    auto runSession = [&](uint32_t seed) {
        SetUp();
        log.clear();
        LoopForm title("frmTitle", log), game("frmMain", log);
        title.random.seed(seed);
        game.random.seed(seed);
        game.pace = 16;
        int firstTitlePasses = 0;
        title.after = [&] {
            if (game.passes != 0) return (void)title.Unload();
            firstTitlePasses = title.passes;
            game.Show();
        };
        SideForm aux;
        int auxTicks = 0;
        aux.Run(10, [&] { Application::Get().FormCount() == 1 ? aux.Unload() : ++auxTicks; });
        title.Show();

        // The title's button at pump 4 starts a game; at 520 ms three close requests on it, all
        // refused, so it ends at its next pass; at 900 ms the title is closed, which ends the run.
        Script(
            "at pass 4 click cmdStop\nat ms 520 close frmMain tasklist\n"
            "at ms 520 close frmMain system\nat ms 520 close\nat ms 900 close\n");
        EXPECT_TRUE(Application::Get().RunMessageLoop());  // no form left
        // The click arrives in the title loop's DoEvents of pump 4 and ends the loop on that pass.
        const uint64_t entry = title.entryPasses.at(0);
        EXPECT_GT(entry, 0u);
        EXPECT_LT(entry, 4u);
        EXPECT_EQ(firstTitlePasses, static_cast<int>(4 - entry));
        // The title loop is only ever entered with the game gone, and is activated on its return.
        EXPECT_EQ(log, (Log{"frmTitle load", "frmTitle activate", "frmTitle enter with 2 forms",
                            "frmTitle click at pass " + std::to_string(4 - entry), "frmMain load",
                            "frmMain activate", "frmMain enter with 3 forms", "frmMain query 3",
                            "frmMain query 2", "frmMain query 0", "frmMain query 1",
                            "frmMain unload", "frmTitle activate", "frmTitle enter with 2 forms",
                            "frmTitle query 0", "frmTitle query 1", "frmTitle unload"}));
        // About 500 ms of 16 ms passes, not cut short and not run on.
        EXPECT_GE(game.passes, 25);
        EXPECT_LE(game.passes, 35);
        EXPECT_GT(auxTicks, 0);  // other timers fire inside the loops' DoEvents
        return headless->FrameHashes();
    };

    const std::vector<uint64_t> first = runSession(7);
    EXPECT_GT(first.size(), 50u);
    EXPECT_NE(first.front(), first.back());  // each frame adds a dot
    EXPECT_EQ(first, runSession(7));
    EXPECT_NE(first, runSession(8));
}
