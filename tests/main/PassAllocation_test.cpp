// Once a game has warmed up, a whole pass (the event pump and showing the frame included)
// allocates nothing. This binary counts every allocation for that.
#include "../../bench/AllocationCounter.h"
#include "GameFixture.h"
#include "title/modModeArgs.h"

// Frames are composed as usual but not recorded, as a real screen keeps no history.
class Screen : public platform::Headless {
  public:
    void Present(const platform::FrameParts&) override {}
};

TEST_F(GameFixture, AWarmPassAllocatesNothing) {
    for (auto [mode, solid] : {std::pair{GameMode::Final, true}, std::pair{GameMode::Final, false},
                               std::pair{GameMode::Dont, true}}) {
        SCOPED_TRACE(std::string(ModeControlName(mode)) + (solid ? " solid" : " outlined"));
        auto screen = std::make_unique<Screen>();
        screen->SetScreenSize(1280, 1024);
        platform::InstallBackend(std::move(screen));
        StartProgram();
        quadrix::SharedRandom().Seed(5);
        ApplyChoice(GameChoice{mode, {.solid = solid}});
        frmMain& form = MainForm();
        std::vector<uint64_t> perPass;
        perPass.reserve(200);
        uint64_t before = 0;
        form.OnPassWorkDone = nullptr;
        form.OnPassStart = [&] { before = gAllocations.load(); };
        form.OnPassEnd = [&] {
            perPass.push_back(gAllocations.load() - before);
            if (perPass.size() == 150) form.mState = GameState::Over;
        };
        platform::HeadlessScript walk;
        walk.At(5).KeyDown('D').At(40).KeyDown('W');
        static_cast<platform::Headless&>(platform::CurrentBackend()).Load(walk);
        // The first game brought the title back; its loop would run before the next game.
        TitleForm().tmrMain.SetEnabled(false);
        PlayGame();
        ASSERT_EQ(perPass.size(), 150u);
        for (size_t i = 20; i < perPass.size(); ++i)
            EXPECT_EQ(perPass[i], 0u) << "pass " << i + 1;
    }
}
