// The shape of a whole run: the title's timer loop hands over to a game form, whose own timer
// loop runs the game; unloading it brings the title back, and quitting the title leaves only
// the auxiliary form, which unloads itself and so ends the message loop.
#include <gtest/gtest.h>

#include "WindowTest.h"

namespace {

using platform::Application;

TEST_F(WindowTest, TitleToGameToTitleAndQuit) {
    LoopForm title("frmTitle", log), game("frmMain", log);
    SideForm aux;
    aux.Run(1000, [&] {
        if (Application::Get().FormCount() == 1) aux.Unload();
    });
    title.cmdStop.OnClick = [&] { title.quit = true; };
    title.after = [&] {
        if (game.passes == 0)
            game.Show();
        else
            title.Unload();
    };
    game.pace = 16;
    title.Show();

    platform::HeadlessScript script;
    std::string error;
    ASSERT_TRUE(
        platform::HeadlessScript::Parse("at ms 300 click cmdStop\n"  // a game
                                        "at ms 800 close\n"    // the game ends at its next pass
                                        "at ms 1200 close\n",  // the title ends the run
                                        script, &error))
        << error;
    headless->Load(script);
    EXPECT_TRUE(Application::Get().RunMessageLoop());
    EXPECT_EQ(Application::Get().FormCount(), 0u);
    // The title loop is only ever entered with the game gone.
    EXPECT_EQ(log, (Log{"frmTitle load", "frmTitle activate", "frmTitle enter with 2 forms",
                        "frmMain load", "frmMain activate", "frmMain enter with 3 forms",
                        "frmMain query 0", "frmMain query 1", "frmMain unload", "frmTitle activate",
                        "frmTitle enter with 2 forms", "frmTitle query 0", "frmTitle query 1",
                        "frmTitle unload"}));
    // About 500 ms of 16 ms passes, not cut short and not run on.
    EXPECT_GE(game.passes, 25);
    EXPECT_LE(game.passes, 35);
}

}  // namespace
