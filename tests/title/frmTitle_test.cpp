#include "title/frmTitle.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>

#include "TempDir.h"
#include "input/clsJoystick.h"
#include "input/clsKeyboard.h"
#include "main/GameSettings.h"
#include "main/frmMain.h"
#include "main/modMain.h"
#include "platform/Random.h"
#include "platform/files/ProgramFolder.h"
#include "platform/headless/FrameFile.h"
#include "platform/headless/Headless.h"
#include "platform/headless/ReplayBackend.h"
#include "platform/settings/SettingsStore.h"
#include "platform/window/Application.h"
#include "program/Program.h"
#include "program/Replay.h"
#include "title/modMouseSetting.h"

// The title window on the headless back end: a screen of the given size, the shared devices,
// the repository's images/ as the program's folder and a settings store of the test's own.
class TitleTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ::setenv("XDG_CONFIG_HOME", config_.path().c_str(), 1);
        // tests/data lies two levels below the repository root (it need not exist).
        platform::SetProgramFolder(
            std::filesystem::path(QUADRIX_TEST_DATA).parent_path().parent_path());
        UseScreen(1280, 1024);
    }

    void TearDown() override {
        ResetProgramState();
        platform::SetProgramFolder("");
        ::unsetenv("XDG_CONFIG_HOME");
    }

    // A fresh back end and devices for a screen; with a pad plugged in when asked.
    void UseScreen(int32_t width, int32_t height, bool pad = false) {
        platform::Application::Get().Reset();
        headless = &platform::UseHeadless();
        headless->SetScreenSize(width, height);
        headless->SetPassLimit(20'000);
        const uint32_t c = 32767;
        if (pad)
            headless->SetJoystick(
                0, {}, {.dwXpos = c, .dwYpos = c, .dwZpos = c, .dwRpos = c, .dwUpos = c});
        gScreenWidth = width;
        gScreenHeight = height;
        keyboard = std::make_unique<clsKeyboard>();
        joystick = std::make_unique<clsJoystick>();
        gKeyboard = keyboard.get();
        gJoystick = joystick.get();
        keyboard->Initialize();
        joystick->Initialize(0);
        quadrix::SharedRandom().Seed(7);
        for (platform::CheckBox* box : {&title.chkLevel2, &title.chkDisrupt, &title.chkSolid,
                                        &title.chkPieces, &title.chkSpeed})
            box->SetValue(0);
    }

    // Script lines for the message loop, by pass or time as the lines say.
    void Script(const std::string& text, platform::Headless* into = nullptr) {
        platform::HeadlessScript script;
        std::string error;
        ASSERT_TRUE(platform::HeadlessScript::Parse(text, script, &error)) << error;
        (into ? into : headless)->Load(script);
    }

    // Escape pressed and let go at the given passes, as script lines.
    static std::string Escape(int down, int up) {
        return "at pass " + std::to_string(down) + " key down Escape\nat pass " +
               std::to_string(up) + " key up Escape\n";
    }

    static std::string StoredMouse() {
        return platform::GetSetting("Quadrix_1_1", "Main", "Mouse", "none");
    }

    frmTitle& title = TitleForm();
    platform::Headless* headless = nullptr;
    std::unique_ptr<clsKeyboard> keyboard;
    std::unique_ptr<clsJoystick> joystick;

  private:
    TempDir config_;
};

using platform::Application;

using Box = std::array<int32_t, 4>;  // left, top, width, height

// The block in cells and the looser row in laid-out pixels for 4-pixel lines (it scales with
// the line), before the shift onto the grid.
const std::map<std::string, Box> kBlockCells = {
    {"cmdVertigo", {0, 0, 2, 12}}, {"cmdMini", {3, 2, 2, 2}},       {"cmdFun", {6, 0, 16, 2}},
    {"cmdCasual", {23, 0, 7, 2}},  {"cmdRidiculous", {4, 5, 4, 4}}, {"cmdWork", {11, 3, 19, 4}},
    {"cmdOuch", {9, 8, 8, 4}},     {"chkLevel2", {20, 9, 4, 2}},    {"cmdAbout", {26, 8, 4, 2}},
    {"cmdDont", {26, 11, 4, 4}},   {"cmdNoRules", {0, 13, 14, 2}},  {"hscMouse", {15, 13, 10, 2}},
};
const std::map<std::string, Box> kRowPixels = {
    {"cmdSpeedy", {28, 524, 101, 57}},  {"cmdElectric", {220, 524, 81, 49}},
    {"cmdFinal", {380, 524, 93, 45}},   {"chkSolid", {36, 588, 137, 41}},
    {"chkSpeed", {196, 588, 137, 41}},  {"chkDisrupt", {500, 516, 137, 41}},
    {"chkPieces", {516, 580, 137, 41}},
};

// Every control where the layout puts it. The committed logo is 406 x 86; worked by hand:
// at 1280 x 1024 the line is 4, the cell 28, the logo 541 x 115 at (369, 136), the grid offset
// (5, 24) and the block's shift (196, 252); at 1024 x 768 line 3, cell 21, logo 406 x 86 at
// (309, 102), offset (15, 18), shift (189, 189), the row at 3/4 of its pixels.
TEST_F(TitleTest, EveryControlSitsWhereTheLayoutPutsIt) {
    const struct {
        int32_t w, h, line, cell, shiftX, shiftY;
        Box logo, about;  // the about picture: snapped to the grid, cut to whole cells and a line
    } screens[] = {
        {1280, 1024, 4, 28, 5 + 196, 24 + 252, {369, 136, 541, 115}, {476 + 5, 252 + 24, 284, 480}},
        {1024, 768, 3, 21, 15 + 189, 18 + 189, {309, 102, 406, 86}, {357 + 15, 126 + 18, 276, 486}},
    };
    const auto at = [](const auto& c) { return Box{c.Left(), c.Top(), c.Width(), c.Height()}; };
    for (const auto& s : screens) {
        UseScreen(s.w, s.h);
        title.Show();
        EXPECT_EQ(std::pair(title.LineThickness(), title.CellSize()), std::pair(s.line, s.cell));
        const auto& logo = title.Logo();
        EXPECT_EQ((Box{int32_t(logo.X), int32_t(logo.Y), logo.Width(), logo.Height()}), s.logo);
        EXPECT_EQ(at(title), (Box{0, 0, s.w, s.h}));
        EXPECT_EQ(at(title.picAboutUs), s.about);
        // In fourths of a line: a cell is 28, a pixel of the row as laid out 1.
        for (const auto& [boxes, unit] : {std::pair{&kBlockCells, 28}, {&kRowPixels, 1}}) {
            for (const auto& [name, k] : *boxes) {
                const auto& controls = title.Controls();
                const auto c = std::ranges::find(controls, name, &platform::Control::Name);
                ASSERT_NE(c, controls.end()) << name;
                const auto px = [&, unit = unit](int32_t v) { return v * unit * s.line / 4; };
                EXPECT_EQ(at(**c), (Box{px(k[0]) + s.shiftX, px(k[1]) + s.shiftY, px(k[2]) + s.line,
                                        px(k[3]) + s.line}))
                    << name << " at " << s.w;
            }
        }
    }
    EXPECT_EQ(title.cmdVertigo.Caption, "V\r\ne\r\nr\r\nt\r\ni\r\ng\r\no");
    // Screens of a pixel or two: lines of a pixel, a painting of whatever white is left, and
    // a loop that runs and quits.
    for (const auto& [w, h] : {std::pair{1, 1}, {2, 65535}, {5, 1}}) {
        UseScreen(w, h);
        title.Show();
        EXPECT_EQ(title.LineThickness(), 1) << w << "x" << h;
        Script("answer yes\n" + Escape(5, 6));
        Application::Get().RunMessageLoop();
        EXPECT_FALSE(title.Loaded()) << w << "x" << h;
    }
}

// Whatever the draws, the painting has its two fixed lines each way and three panels, and
// nothing but black, white and the three panel colours.
TEST_F(TitleTest, PaintingAlwaysHasItsFixedLinesAndThreePanels) {
    title.Show();
    const kelSprite3& p = title.Painting();
    const int32_t cell = title.CellSize(), line = title.LineThickness();
    const int32_t lastY = title.GridOffsetY() + (1024 / cell - 1) * cell;
    const int32_t lastX = title.GridOffsetX() + (1280 / cell - 1) * cell;
    const std::set<COLORREF> colours = {RGB(0, 0, 0), RGB(255, 255, 255), RGB(0, 0, 255),
                                        RGB(255, 0, 0), RGB(255, 255, 0)};
    for (uint64_t seed = 1; seed <= 6; ++seed) {
        quadrix::SharedRandom().Seed(seed);
        title.Form_Activate();
        ASSERT_EQ(std::pair(p.Width(), p.Height()), std::pair(46 * 28, 37 * 28));
        std::set<COLORREF> seen;
        for (int32_t y = 0; y < p.Height(); ++y)
            for (int32_t x = 0; x < p.Width(); ++x)
                seen.insert(static_cast<COLORREF>(p.GetPixel(x, y)));
        EXPECT_EQ(seen, colours) << seed;
        bool lines = true;
        for (int32_t i = 0; i < line; ++i) {
            for (int32_t x = 0; x < p.Width(); ++x)
                lines &=
                    p.GetPixel(x, title.GridOffsetY() + i) == 0 && p.GetPixel(x, lastY + i) == 0;
            for (int32_t y = 0; y < p.Height(); ++y)
                lines &=
                    p.GetPixel(title.GridOffsetX() + i, y) == 0 && p.GetPixel(lastX + i, y) == 0;
        }
        EXPECT_TRUE(lines) << seed;
    }
}

// Option clicks recolour the mode buttons and set the record; "About..." stays white and
// "FIN" yellow, and "FIN" gets its caption back from a click's "Loading...".
TEST_F(TitleTest, OptionClicksRecolourTheButtons) {
    title.Show();
    title.tmrMain.SetEnabled(false);  // the clicks are dispatched here, not by the loop
    const std::tuple<std::string, COLORREF, int32_t, bool> cases[] = {
        // clicks, mode buttons' colour, level, anarchy
        {"", RGB(64, 96, 192), 1, false},
        {"click chkLevel2", RGB(64, 192, 96), 2, false},
        {"click chkDisrupt", RGB(192, 192, 0), 2, true},
        {"click chkLevel2", RGB(192, 96, 96), 1, true},  // clicked again: clear
    };
    for (const auto& [clicks, colour, level, anarchy] : cases) {
        title.cmdFinal.Caption = clicks.empty() ? "FIN" : "Loading...";
        if (!clicks.empty())
            Script("at pass " + std::to_string(headless->Pass() + 1) + " " + clicks);
        platform::DoEvents();
        title.Refresh();
        EXPECT_EQ(std::pair(title.Level(), gAnarchy), std::pair(level, anarchy)) << clicks;
        for (const platform::Control* control : title.Controls()) {
            const auto* b = dynamic_cast<const platform::CommandButton*>(control);
            if (!b) continue;
            const COLORREF want = b == &title.cmdAbout   ? RGB(255, 255, 255)
                                  : b == &title.cmdFinal ? RGB(255, 255, 0)
                                                         : colour;
            EXPECT_EQ(b->BackColor, want) << b->Name() << " after " << clicks;
            EXPECT_TRUE(b->Flat);
            // As shown: inside the button's one-pixel frame.
            EXPECT_EQ(headless->LastFrame()->row(b->Top() + 1)[b->Left() + 1], want) << b->Name();
        }
        EXPECT_EQ(title.cmdFinal.Caption, "FIN");
    }
}

// Controls drawn straight onto the window's image, and the painting's moves written as what
// they change, show the frames that a composed copy over the whole painting shows: also when
// the about picture hides between two moves and a click shows the window then, and after the
// drift turns.
TEST_F(TitleTest, ControlsOnTheImageAndMovedPaintingShowTheFramesOfAWholeCopy) {
    const std::string script =
        "at pass 3 click cmdAbout\nat pass 8 click cmdAbout\n"
        "at pass 9 click chkSolid\nat pass 12 click cmdAbout\n"
        "at pass 13 click picAboutUs\nat pass 14 click chkSolid\n"
        "answer yes\n" +
        Escape(180, 181);
    // The first run leaves the state the others see.
    const std::pair<bool, bool> runs[] = {{true, false}, {true, false}, {false, true}};
    std::vector<uint64_t> frames[std::size(runs)];
    for (size_t i = 0; i < std::size(runs); ++i) {
        UseScreen(640, 480);
        std::tie(title.ControlsOnImage, title.WholePainting) = runs[i];
        title.Show();
        Script(script);
        Application::Get().RunMessageLoop();
        frames[i] = headless->FrameHashes();
    }
    title.ControlsOnImage = true;
    title.WholePainting = false;
    EXPECT_GT(frames[1].size(), 30u);
    EXPECT_EQ(frames[1], frames[2]);
}

// A stored mouse value that is not a whole number from 0 to 199 gives 100.
TEST_F(TitleTest, StoredMouseValueIsReadBackOrGives100) {
    const std::pair<const char*, int32_t> stored[] = {
        {"37", 37}, {"0", 0}, {"200", 100}, {"-5", 100}, {"abc", 100}, {"12.5", 100},
    };
    for (const auto& [text, value] : stored) {
        Application::Get().Reset();
        title.hscMouse.SetValue(55);
        ASSERT_TRUE(platform::SaveSetting("Quadrix_1_1", "Main", "Mouse", text));
        LoadMouseSetting();  // the program's start
        title.Show();
        EXPECT_EQ(std::pair(title.hscMouse.Value(), gMouse), std::pair(value, value)) << text;
    }
}

// The title loop as the player ends it, from a fresh title with the scroll bar at 37: every
// way ends the program and stores the value.
TEST_F(TitleTest, QuittingAsksAndOnlyYesQuits) {
    const std::pair<std::string, size_t> cases[] = {
        // script, questions asked
        // Escape and No keep the title; Escape and Yes end the program. Between them the
        // pad's trigger (logical button 6) ticks "Ouch".
        {"answer no\nanswer yes\n" + Escape(5, 6) +
             "at pass 12 joystick 0 z 65535\nat pass 16 joystick 0 z 32767\n" + Escape(30, 31),
         2},
        // A mode click in the frame that sees Escape come up, and Yes.
        {"answer yes\n" + Escape(5, 8) + "at pass 9 click cmdCasual", 1},
        // The window's close button while the loop runs ends it as a Yes, without asking.
        {"at pass 9 close frmTitle user", 0},
    };
    for (const auto& [script, questions] : cases) {
        UseScreen(1280, 1024, true);
        platform::SaveSetting("Quadrix_1_1", "Main", "Mouse", "none");
        title.Show();
        title.hscMouse.SetValue(37);
        Script(script);
        Application::Get().RunMessageLoop();
        EXPECT_EQ(headless->MessageBoxes().size(), questions) << script;
        for (const auto& box : headless->MessageBoxes())
            EXPECT_EQ(box.title + box.text, "Vask asks...Are you done provoking me?");
        EXPECT_FALSE(title.Loaded()) << script;
        EXPECT_EQ(StoredMouse(), "37") << script;
        EXPECT_EQ(title.Level(), questions == 2 ? 2 : 1) << script;
    }
    // A close from code passes, and so does a close request while no loop runs.
    title.Show();
    EXPECT_TRUE(title.Unload());
    title.Show();
    Application::Get().CloseRequest("frmTitle", platform::UnloadMode::User);
    EXPECT_FALSE(title.Loaded());
}

// Whole runs: a mode click plays that mode's game and the title comes back with a new
// painting, twice; the first game is clicked in the frame that saw Escape come up and the
// player said No to quitting, which must start the game, not quit.
TEST_F(TitleTest, ModeClicksPlayTheirGamesAndTheTitleComesBack) {
    UseScreen(1024, 768);
    title.Show();
    title.hscMouse.SetValue(42);
    using Game = std::tuple<int32_t, int32_t, bool>;  // columns, rows, electric
    std::vector<Game> games;
    std::vector<uint64_t> paintings;  // as each mode was clicked
    MainForm().OnPassStart = [&] {
        if (MainForm().mStateCounter == 0) games.push_back({gColumns, gRows, gElectric});
    };
    const auto casual = title.cmdCasual.OnClick, electric = title.cmdElectric.OnClick;
    for (auto [b, click] : {std::pair{&title.cmdCasual, casual}, {&title.cmdElectric, electric}}) {
        b->OnClick = [&, click = click] {
            paintings.push_back(platform::FrameHash(*title.Painting().MainHDC()->bitmap));
            click();
        };
    }
    Script("answer no\nanswer yes\n" + Escape(5, 8) + "at pass 9 click cmdCasual\n" +
           Escape(40, 41) + "at pass 80 click cmdElectric\n" + Escape(110, 111) + Escape(150, 151));
    EXPECT_TRUE(Application::Get().RunMessageLoop());
    MainForm().OnPassStart = nullptr;
    title.cmdCasual.OnClick = casual;
    title.cmdElectric.OnClick = electric;
    EXPECT_EQ(games, (std::vector<Game>{{56, 12, false}, {42, 12, true}}));
    ASSERT_EQ(paintings.size(), 2u);
    EXPECT_NE(paintings[0], paintings[1]);
    EXPECT_EQ(headless->MessageBoxes().size(), 2u);  // No, then the Yes that ended the run
    EXPECT_EQ(StoredMouse(), "42");
}

// quadrix --mode: the game steers with the stored value (165), not the slider's 100 as laid
// out, and records it; the title that comes after shows it and quitting stores it again. The
// cursor stands 60 pixels right of the centre: outside 100's dead zone (50), inside 165's.
TEST_F(TitleTest, ModeFromTheCommandLineSteersWithTheStoredMouseValue) {
    ASSERT_TRUE(platform::SaveSetting("Quadrix_1_1", "Main", "Mouse", "165"));
    title.hscMouse.SetValue(100);
    ResetSharedState();
    auto owned = std::make_unique<platform::Headless>();
    owned->SetScreenSize(640, 480);
    owned->SetPassLimit(20'000);
    Script("at pass 20 cursor 380 240\n" + Escape(40, 41) + "answer yes\n" + Escape(100, 101),
           owned.get());
    platform::InstallBackend(std::make_unique<platform::ReplayRecorder>(std::move(owned)));
    SetReplayTargets("", false);
    uint64_t steered = 0, passes = 0;
    MainForm().OnPassWorkDone = [&] {
        ++passes;
        steered += gKeyboard->KeyHold('D');
    };
    RunProgram(GameChoice{GameMode::Casual, {}});
    MainForm().OnPassWorkDone = nullptr;
    EXPECT_GT(passes, 20u);
    EXPECT_EQ(steered, 0u);
    ASSERT_TRUE(LastGameOutcome());
    EXPECT_NE(LastGameOutcome()->recorded.find("\nmouse 165\n"), std::string::npos);
    EXPECT_FALSE(title.Loaded());
    EXPECT_EQ(title.hscMouse.Value(), 165);
    EXPECT_EQ(StoredMouse(), "165");
}
