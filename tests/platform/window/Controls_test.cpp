#include "WindowTest.h"
#include "platform/headless/ReplayBackend.h"
#include "platform/input/Keys.h"
#include "platform/window/CheckBox.h"
#include "platform/window/ControlPaint.h"
#include "platform/window/HScrollBar.h"
#include "platform/window/MessageBox.h"
#include "platform/window/PictureBox.h"

TEST_F(WindowTest, CheckBoxScrollBarAndImmovableTimer) {
    LoopForm form("frmOptions", log);  // its timer is among the controls
    platform::CheckBox chk("chkLevel2");
    platform::HScrollBar hsc("hscMouse");
    form.Add(chk);
    form.Add(hsc);
    std::vector<int> seen;
    chk.OnClick = [&] { seen.push_back(chk.Value()); };

    // Code that changes the value fires the click; setting the same value does not.
    EXPECT_TRUE(chk.SetValue(1));
    EXPECT_TRUE(chk.SetValue(1));
    EXPECT_FALSE(chk.SetValue(3));
    chk.Click();  // the player's click clears a ticked box
    chk.Click();
    EXPECT_EQ(seen, (std::vector<int>{1, 0, 1}));

    hsc.Min = 0;
    hsc.Max = 199;
    EXPECT_TRUE(hsc.SetValue(100));
    EXPECT_FALSE(hsc.SetValue(200));
    EXPECT_FALSE(hsc.SetValue(-1));
    EXPECT_EQ(hsc.Value(), 100);

    // Moving every control of the form skips the timer without harm.
    chk.Move(5, 6, 30, 10);
    hsc.Move(1, 30, 60, 10);
    for (platform::Control* c : form.Controls())
        c->Move(c->Left() + 2, c->Top() + 3);
    EXPECT_EQ(std::pair(chk.Left(), chk.Top()), std::pair(7, 9));
    EXPECT_EQ(hsc.Left(), 3);
    EXPECT_EQ(form.tmrMain.Left(), 0);

    EXPECT_EQ(platform::DisplayCaption("Fast && Faded"), "Fast & Faded");
    EXPECT_EQ(platform::DisplayCaption("&About"), "About");
}

// The scroll bar as the player works it: every case starts from 100 and runs its script
// lines in one pump. The bar lies at x 4..59: arrows 4..11 and 52..59, the thumb's 32 pixels
// of travel from 12, the thumb at 28..35 for 100.
TEST_F(WindowTest, ScrollBarArrowsTrackThumbAndKeys) {
    platform::Form form("frmTitle");
    platform::HScrollBar hsc("hscMouse"), other("hscOther");
    form.Add(hsc);
    form.Add(other);
    hsc.Min = 0;
    hsc.Max = 199;
    hsc.LargeChange = 10;
    hsc.Move(4, 20, 56, 8);
    other.Move(4, 40, 56, 8);
    int clicks = 0;
    hsc.OnClick = [&] { ++clicks; };
    other.OnClick = [&] { clicks += 100; };
    form.Show();
    const struct {
        const char* script;
        int32_t value;
        int clicks;
    } cases[] = {
        {"cursor 11 24\nmouse down left\nmouse up left", 99, 1},  // the arrows' inner pixels
        {"cursor 52 24\nmouse down left\nmouse up left", 101, 1},
        {"cursor 15 24\nmouse down left\nmouse up left", 90, 1},  // track
        {"cursor 45 24\nmouse down left\nmouse up left", 110, 1},
        {"cursor 45 24\nmouse down left\ncursor 45 44\nmouse up left", 110, 0},  // on neither
        // The thumb caught 2 pixels in follows the cursor, beyond the ends too, and lets go.
        {"cursor 30 24\nmouse down left\ncursor 44 24\nmouse up left", 187, 1},
        {"cursor 30 24\nmouse down left\ncursor 80 30\nmouse up left\ncursor 10 24", 199, 0},
        {"cursor 30 24\nmouse down left\ncursor 0 24\nmouse up left", 0, 0},
        // Pressed, it has the focus: held keys step once, a tap between pumps too.
        {"cursor 30 24\nmouse down left\nmouse up left\nkey down Right", 101, 1},
        {"cursor 30 24\nmouse down left\nmouse up left\nkey down Left\nkey up Left", 99, 1},
        {"cursor 30 24\nmouse down left\nmouse up left\nkey down Down", 101, 1},
        // Another control took the focus.
        {"cursor 30 44\nmouse down left\nmouse up left\nkey down Right", 100, 100},
    };
    for (const auto& c : cases) {
        hsc.SetValue(100);
        clicks = 0;
        headless->SetKey(VK_LEFT, false);
        headless->SetKey(VK_RIGHT, false);
        platform::DoEvents();
        Script(c.script, headless->Pass() + 1);
        platform::DoEvents();
        platform::DoEvents();  // a held key steps once, not once per pump
        EXPECT_EQ(hsc.Value(), c.value) << c.script;
        EXPECT_EQ(clicks, c.clicks) << c.script;
    }
}

TEST_F(WindowTest, PictureBoxKeepsItsImageAndComposesAboveTheForm) {
    platform::Form form("frmMain");
    platform::PictureBox pic("picMain");
    form.Add(pic);
    form.SetBackColor(RGB(0, 0, 255));
    pic.Move(10, 8, 20, 10);
    pic.SetBackColor(RGB(255, 255, 255));
    const HDC dc = pic.hDC();
    SetPixelV(dc, 1, 1, RGB(255, 0, 0));

    // Growing keeps the top-left content and the context; the new area takes the back colour.
    pic.Move(10, 8, 25, 12);
    EXPECT_EQ(pic.hDC(), dc);
    EXPECT_EQ(GetPixel(dc, 1, 1), RGB(255, 0, 0));
    EXPECT_EQ(GetPixel(dc, 24, 11), RGB(255, 255, 255));
    // Setting the back colour clears the image.
    pic.SetBackColor(RGB(0, 255, 0));
    EXPECT_EQ(GetPixel(dc, 1, 1), RGB(0, 255, 0));

    // Refresh presents only while the form is shown and on top.
    pic.Refresh();
    EXPECT_TRUE(headless->FrameHashes().empty());
    form.Show();
    pic.Refresh();
    ASSERT_EQ(headless->FrameHashes().size(), 1u);
    auto at = [&](int32_t x, int32_t y) { return headless->LastFrame()->row(y)[x]; };
    EXPECT_EQ(std::pair(headless->LastFrame()->width, headless->LastFrame()->height),
              std::pair(64, 48));
    // The form's blue around the picture's green, corners and both sides included.
    constexpr COLORREF kBlue = RGB(0, 0, 255), kGreen = RGB(0, 255, 0);
    EXPECT_EQ((std::vector{at(0, 0), at(10, 8), at(34, 19), at(35, 20), at(9, 12), at(35, 12)}),
              (std::vector{kBlue, kGreen, kGreen, kBlue, kBlue, kBlue}));

    // A hidden picture box is left out; the form's own image shows through.
    pic.Visible = false;
    form.Refresh();
    EXPECT_EQ(at(10, 8), RGB(0, 0, 255));
    EXPECT_NE(headless->FrameHashes()[0], headless->FrameHashes()[1]);

    // A button is drawn as a filled box with a frame.
    platform::CommandButton cmd("cmdGo");
    form.Add(cmd);
    cmd.BackColor = RGB(64, 96, 192);
    cmd.Flat = true;
    cmd.Caption = "Fast && Faded";
    cmd.Move(40, 30, 20, 12);
    form.Refresh();
    EXPECT_EQ(std::pair(at(40, 30), at(41, 31)), std::pair(RGB(0, 0, 0), RGB(64, 96, 192)));

    // A released image keeps one pixel until it is asked for again, then comes back whole in
    // the back colour, through the same context.
    const HDC formDC = form.hDC();
    SetPixelV(formDC, 0, 0, RGB(1, 2, 3));
    form.ReleaseImage();
    EXPECT_EQ(formDC->bitmap->pixels.size(), 1u);
    EXPECT_EQ(form.hDC(), formDC);
    EXPECT_EQ(std::pair(formDC->bitmap->width, GetPixel(formDC, 0, 0)), std::pair(64, kBlue));
}

// The back end is told the form's image is as in the last frame only when nothing asked for
// it since, and the same image was the last frame's base.
TEST_F(WindowTest, FormImageIsAsBeforeUntilAskedFor) {
    struct Seen : platform::BackendDecorator {
        using BackendDecorator::BackendDecorator;
        void Present(const platform::FrameParts& parts) override {
            asLast.push_back(parts.baseAsLast);
            inner_->Present(parts);
        }
        std::vector<bool> asLast;
    };
    auto inner = std::make_unique<platform::Headless>();
    inner->SetScreenSize(64, 48);
    auto owned = std::make_unique<Seen>(std::move(inner));
    Seen& seen = *owned;
    platform::InstallBackend(std::move(owned));
    platform::Form form("frmMain");
    platform::PictureBox pic("picMain");
    platform::CommandButton cmd("cmdGo");
    form.Add(pic);
    form.Add(cmd);
    cmd.Visible = false;
    pic.Move(10, 8, 20, 10);
    form.Show();
    const struct {
        std::function<void()> step;
        bool asLast;
    } steps[] = {
        {[] {}, false},  // the first frame
        {[&] { SetPixelV(pic.hDC(), 1, 1, RGB(255, 0, 0)); }, true},
        {[&] { SetPixelV(form.hDC(), 1, 1, RGB(255, 0, 0)); }, false},
        {[] {}, true},
        {[&] { form.SetBackColor(RGB(0, 0, 255)); }, false},
        {[&] { form.Move(0, 0, 64, 48); }, false},
        {[&] { cmd.Visible = true; }, false},  // composed with the button
        {[&] { cmd.Visible = false; }, false},
        {[] {}, true},
        {[&] { form.ReleaseImage(); }, false},
    };
    for (const auto& s : steps) {
        seen.asLast.clear();
        s.step();
        pic.Refresh();
        EXPECT_EQ(seen.asLast, std::vector{s.asLast}) << &s - steps;
    }
}

// Scripted answers come in order (the title's tests ask with them); unscripted, a question is
// answered No, which keeps a running title running.
TEST_F(WindowTest, MessageBoxAnswersAreTakenInOrderThenNo) {
    using enum platform::MessageBoxAnswer;
    using Buttons = platform::MessageBoxButtons;
    headless->Load(platform::HeadlessScript().Answer(OK));
    const auto ask = [](Buttons buttons) { return platform::MsgBox("again?", buttons, "t"); };
    EXPECT_EQ((std::vector{ask(Buttons::OK), ask(Buttons::YesNo)}), (std::vector{OK, No}));
    EXPECT_EQ(headless->MessageBoxes().size(), 2u);
}
