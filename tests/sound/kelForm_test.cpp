#include "sound/kelForm.h"

#include <gtest/gtest.h>

#include <cmath>

#include "platform/headless/Headless.h"
#include "platform/window/Application.h"

namespace {

LOGFONTA SelectedFont(kelForm& form) {
    LOGFONTA logfont{};
    GetObjectA(GetCurrentObject(form.hDC(), GdiKind::Font), sizeof(logfont), &logfont);
    return logfont;
}

class kelFormTest : public ::testing::Test {
  protected:
    void SetUp() override {
        headless = &platform::UseHeadless();
        // A form that never unloads would keep the message loop going: stop it instead.
        headless->SetPassLimit(1000);
    }
    platform::Headless* headless = nullptr;
};

}  // namespace

TEST_F(kelFormTest, UnloadsItselfOnceItIsTheLastForm) {
    platform::Application& app = platform::Application::Get();
    platform::Form title("frmTitle");
    title.Load();
    kelForm& form = kelForm::Instance();
    ASSERT_TRUE(form.Loaded());
    EXPECT_TRUE(form.tmrMain.Enabled());
    EXPECT_EQ(form.tmrMain.Interval(), 1000);
    EXPECT_FALSE(form.Visible());
    EXPECT_EQ(app.FormCount(), 2u);

    // Ticks while another form is loaded change nothing.
    for (int i = 0; i < 3; ++i) {
        headless->Advance(1000);
        app.DoEvents();
    }
    EXPECT_TRUE(form.Loaded());

    // Alone, it is gone within a second and the message loop ends with no form left.
    title.Unload();
    ASSERT_EQ(app.FormCount(), 1u);
    const uint64_t before = headless->ElapsedMicroseconds();
    EXPECT_TRUE(app.RunMessageLoop());
    EXPECT_FALSE(form.Loaded());
    EXPECT_EQ(app.FormCount(), 0u);
    EXPECT_LE(headless->ElapsedMicroseconds() - before, 1000000u + 50000u);

    // Touching it again loads it again, timer running.
    EXPECT_TRUE(kelForm::Instance().Loaded());
    EXPECT_TRUE(form.tmrMain.Enabled());
    EXPECT_TRUE(app.RunMessageLoop());
    EXPECT_FALSE(form.Loaded());
}

TEST_F(kelFormTest, FontIsSelectedAndMeasuresInItsScale) {
    kelForm& form = kelForm::Instance();
    EXPECT_EQ(form.Caption, "Form2");
    EXPECT_EQ(form.FontName(), "MS Sans Serif");

    form.SetFont("DejaVu Sans", 12, true, false);
    LOGFONTA logfont = SelectedFont(form);
    EXPECT_STREQ(logfont.lfFaceName, "DejaVu Sans");
    EXPECT_EQ(logfont.lfHeight, -16);
    EXPECT_EQ(logfont.lfWeight, FW_BOLD);
    EXPECT_EQ(logfont.lfItalic, 0);

    form.ScaleMode = kelForm::ScaleModes::Pixels;
    const float pixels = form.TextWidth("Quadrix");
    const float lineHeight = form.TextHeight("Q");
    EXPECT_GT(pixels, 20.0f);
    EXPECT_GT(lineHeight, 10.0f);
    // Lines: the widest counts for the width, each one for the height.
    EXPECT_EQ(form.TextWidth("Quadrix\r\nQ"), pixels);
    EXPECT_EQ(form.TextHeight("Q\nQ\nQ"), 3 * lineHeight);
    form.ScaleMode = kelForm::ScaleModes::Twips;
    EXPECT_EQ(form.TextWidth("Quadrix"), 15 * pixels);

    // Unloaded and loaded again it starts from its laid-out font and scale.
    form.Unload();
    kelForm::Instance();
    EXPECT_EQ(form.ScaleMode, kelForm::ScaleModes::Twips);
    logfont = SelectedFont(form);
    EXPECT_STREQ(logfont.lfFaceName, "MS Sans Serif");
    EXPECT_EQ(logfont.lfWeight, FW_NORMAL);
    form.Unload();
}
