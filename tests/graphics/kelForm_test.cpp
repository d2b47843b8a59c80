#include "graphics/kelForm.h"

#include <gtest/gtest.h>

#include "platform/headless/Headless.h"
#include "platform/window/Application.h"

// The selected font as "face height weight italic".
static std::string SelectedFont(kelForm& form) {
    LOGFONTA f{};
    GetObjectA(GetCurrentObject(form.hDC(), GdiKind::Font), sizeof(f), &f);
    return std::string(f.lfFaceName) + " " + std::to_string(f.lfHeight) + " " +
           std::to_string(f.lfWeight) + " " + std::to_string(f.lfItalic);
}

TEST(kelForm, UnloadsItselfOnceItIsTheLastForm) {
    // With a pass limit: a form that never unloads would keep the message loop going.
    platform::Headless& headless = platform::UseHeadless();
    headless.SetPassLimit(1000);
    platform::Application& app = platform::Application::Get();
    platform::Form title("frmTitle");
    title.Load();
    kelForm& form = kelForm::Instance();
    ASSERT_TRUE(form.Loaded() && !form.Visible());
    EXPECT_TRUE(form.tmrMain.Enabled() && form.tmrMain.Interval() == 1000);
    EXPECT_EQ(app.FormCount(), 2u);
    for (int i = 0; i < 3; ++i) {  // ticks while another form is loaded change nothing
        headless.Advance(1000);
        app.DoEvents();
    }
    EXPECT_TRUE(form.Loaded());

    // Alone, it is gone within a second and the message loop ends with no form left.
    title.Unload();
    const uint64_t before = headless.ElapsedMicroseconds();
    EXPECT_TRUE(app.RunMessageLoop());
    EXPECT_TRUE(!form.Loaded() && app.FormCount() == 0u);
    EXPECT_LE(headless.ElapsedMicroseconds() - before, 1000000u + 50000u);
    // Touching it again loads it again, timer running.
    EXPECT_TRUE(kelForm::Instance().Loaded() && form.tmrMain.Enabled());
    EXPECT_TRUE(app.RunMessageLoop());
    EXPECT_FALSE(form.Loaded());
}

TEST(kelForm, FontIsSelectedAndMeasuresInItsScale) {
    platform::UseHeadless().SetPassLimit(1000);
    kelForm& form = kelForm::Instance();
    EXPECT_EQ(form.Caption, "Form2");
    EXPECT_EQ(form.FontName(), "MS Sans Serif");
    form.SetFont("DejaVu Sans", 12, true, false);
    EXPECT_EQ(SelectedFont(form), "DejaVu Sans -16 700 0");

    form.ScaleMode = kelForm::ScaleModes::Pixels;
    const float pixels = form.TextWidth("Quadrix"), lineHeight = form.TextHeight("Q");
    EXPECT_TRUE(pixels > 20.0f && lineHeight > 10.0f);
    // Lines: the widest counts for the width, each one for the height.
    EXPECT_EQ(form.TextWidth("Quadrix\r\nQ"), pixels);
    EXPECT_EQ(form.TextHeight("Q\nQ\nQ"), 3 * lineHeight);
    form.ScaleMode = kelForm::ScaleModes::Twips;
    EXPECT_EQ(form.TextWidth("Quadrix"), 15 * pixels);

    // Unloaded and loaded again it starts from its laid-out font and scale.
    form.Unload();
    kelForm::Instance();
    EXPECT_EQ(form.ScaleMode, kelForm::ScaleModes::Twips);
    EXPECT_EQ(SelectedFont(form), "MS Sans Serif -11 400 0");
    form.Unload();
}
