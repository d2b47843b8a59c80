// The shape of a whole run: a title whose timer loop hands over to a game form, whose own
// timer loop runs the game and brings the title back on unload; quitting the title leaves only
// the auxiliary form, which unloads itself and so ends the message loop.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/clock/Clock.h"
#include "platform/headless/Headless.h"
#include "platform/input/Keys.h"
#include "platform/window/Application.h"
#include "platform/window/CommandButton.h"
#include "platform/window/Form.h"
#include "platform/window/MessageBox.h"
#include "platform/window/Timer.h"

namespace {

using platform::Application;

std::vector<std::string> gLog;

bool Held(int vk) {
    BYTE keys[256];
    GetKeyboardState(keys);
    return keys[vk] & 0x80;
}

class AuxForm : public platform::Form {
  public:
    AuxForm() : Form("kelForm") {
        Add(tmrMain);
        tmrMain.SetInterval(1000);
        tmrMain.OnTimer = [this] {
            const auto& loaded = Application::Get().LoadedForms();
            if (loaded.size() == 1 && loaded.front() == this) Unload();
        };
    }
    void Form_Load() override { tmrMain.SetEnabled(true); }
    void Form_Unload() override { gLog.push_back("aux unload"); }
    platform::Timer tmrMain{"tmrMain"};
};

class GameForm;

class TitleForm : public platform::Form {
  public:
    explicit TitleForm(GameForm& game) : Form("frmTitle"), game_(game) {
        Add(tmrMain);
        Add(cmdCasual);
        tmrMain.OnTimer = [this] { Loop(); };
        cmdCasual.OnClick = [this] { state = 4; };
    }
    void Form_Activate() override {
        gLog.push_back("title activate");
        tmrMain.SetInterval(1);
        tmrMain.SetEnabled(true);
    }
    void Form_Unload() override { gLog.push_back("title unload"); }
    void Loop();
    platform::Timer tmrMain{"tmrMain"};
    platform::CommandButton cmdCasual{"cmdCasual"};
    int state = 0;
    bool escape = false;

  private:
    GameForm& game_;
    bool escapeHeld_ = false;
};

class GameForm : public platform::Form {
  public:
    GameForm() : Form("frmMain") {
        Add(tmrMain);
        tmrMain.OnTimer = [this] { Loop(); };
    }
    void Form_Load() override {
        gLog.push_back("game load");
        tmrMain.SetInterval(1);
        tmrMain.SetEnabled(true);
    }
    void Form_QueryUnload(bool& cancel, platform::UnloadMode mode) override {
        if (mode != platform::UnloadMode::Code) {
            cancel = true;
            state = 4;
        }
    }
    void Form_Unload() override {
        gLog.push_back("game unload");
        title->Show();
    }
    void Loop() {
        tmrMain.SetEnabled(false);
        state = 0;
        Show();
        int passes = 0;
        while (state != 4) {
            ++passes;
            platform::DoEvents();
            Sleep(16);
            if (Held(VK_ESCAPE)) state = 4;
        }
        gLog.push_back("game ends after " + std::to_string(passes) + " passes");
        Unload();
    }
    TitleForm* title = nullptr;
    platform::Timer tmrMain{"tmrMain"};
    int state = 0;
};

void TitleForm::Loop() {
    if (Application::Get().FormCount() > 2)
        platform::MsgBox("frmTitle should be invisible!", platform::MessageBoxButtons::OK, "");
    tmrMain.SetEnabled(false);
    state = 0;
    while (state != 4) {
        platform::DoEvents();
        Sleep(20);
        const bool down = Held(VK_ESCAPE);
        escape = escapeHeld_ && !down;  // released since the last pass
        escapeHeld_ = down;
        if (escape &&
            platform::MsgBox("Are you done provoking me?", platform::MessageBoxButtons::YesNo,
                             "Vask asks...") == platform::MessageBoxAnswer::Yes)
            state = 4;
    }
    if (escape)
        Unload();
    else
        game_.Load();
}

TEST(WindowSession, TitleToGameToTitleAndQuit) {
    platform::Headless& headless = platform::UseHeadless();
    Application::Get().Reset();
    gLog.clear();
    GameForm game;
    TitleForm title(game);
    game.title = &title;
    AuxForm aux;
    aux.Load();
    title.Show();

    platform::HeadlessScript script;
    std::string error;
    ASSERT_TRUE(platform::HeadlessScript::Parse(
        "at ms 100 key down Escape\n"  // title: Escape, answered No
        "at ms 150 key up Escape\n"
        "answer no\n"
        "at ms 300 click cmdCasual\n"   // a game
        "at ms 800 close\n"             // close request on the game: it ends at its next pass
        "at ms 1200 key down Escape\n"  // title again: Escape, answered Yes
        "at ms 1250 key up Escape\n"
        "answer yes\n",
        script, &error))
        << error;
    headless.Load(script);
    headless.SetPassLimit(100'000);

    EXPECT_TRUE(Application::Get().RunMessageLoop());
    EXPECT_EQ(Application::Get().FormCount(), 0u);
    ASSERT_EQ(gLog.size(), 7u);
    EXPECT_EQ(gLog[0], "title activate");
    EXPECT_EQ(gLog[1], "game load");
    EXPECT_EQ(gLog[2].rfind("game ends after ", 0), 0u);
    EXPECT_EQ(gLog[3], "game unload");
    EXPECT_EQ(gLog[4], "title activate");  // shown again from the game's unload
    EXPECT_EQ(gLog[5], "title unload");
    EXPECT_EQ(gLog[6], "aux unload");
    // About 500 ms of 16 ms passes, not cut short and not run on.
    const int passes = std::stoi(gLog[2].substr(16));
    EXPECT_GE(passes, 25);
    EXPECT_LE(passes, 35);
    // Only title and auxiliary form are loaded while the title loop runs, so no sanity
    // message; both Escape questions were asked with their answers taken in order.
    ASSERT_EQ(headless.MessageBoxes().size(), 2u);
    EXPECT_EQ(headless.MessageBoxes()[0].answer, platform::MessageBoxAnswer::No);
    EXPECT_EQ(headless.MessageBoxes()[1].answer, platform::MessageBoxAnswer::Yes);
}

}  // namespace
