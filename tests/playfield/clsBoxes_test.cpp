#include "playfield/clsBoxes.h"
#include "PlayfieldFixture.h"
#include "graphics/modGraphic.h"

constexpr COLORREF kBox = RGB(200, 30, 90);

class BoxesTest : public PlayfieldFixture {
  protected:
    void SetUp() override {
        PlayfieldFixture::SetUp();
        FillPicture(kWhite);
        boxes.Initialize(3);
    }
    clsBoxes boxes;
};

TEST_F(BoxesTest, NewBoxIsAThreeLineOutlineMixedWithTheBackground) {
    for (int32_t i = 0; i < 3; ++i)
        boxes.Add(200, 50 * i, kBox);
    boxes.Add(100, 100, kBox);
    EXPECT_EQ(boxes.BoxI(), 1);  // the fourth took the oldest slot
    FillRectangle(Dc(), 95, 100, 100, 120, kBlack);
    boxes.Draw();
    // Pen LW inside (95, 95)-(110, 110), the centre square left alone; over black: white. The
    // pen is round, so the outermost corner pixels keep the background.
    const Px want[] = {{96, 95, kBox},     {108, 109, kBox},   {97, 104, kWhite},
                       {100, 100, kWhite}, {110, 105, kWhite}, {96, 111, kBlack},
                       {95, 95, kWhite},   {109, 109, kWhite}};
    ExpectPixels(want);
    EXPECT_EQ(GetROP2(Dc()), R2_COPYPEN);
}

TEST_F(BoxesTest, BoxDiesAfterTheDrawPastFifteenHundredPixels) {
    boxes.Add(1600, 1600, kBox);  // far enough that the grown outline's corner is in view
    for (int i = 1; i < 300; ++i)
        boxes.Move();
    boxes.Draw();
    EXPECT_TRUE(boxes.BoxAt(0).Alive);  // 5 x 300 = 1500 is not past it
    EXPECT_EQ(Pixel(101, 100), kBox);   // next to the outline's round corner
    boxes.Move();
    boxes.Draw();  // drawn one last time
    EXPECT_EQ(Pixel(96, 95), kBox);
    EXPECT_FALSE(boxes.BoxAt(0).Alive);
    FillPicture(kWhite);
    boxes.Move();
    boxes.Draw();
    EXPECT_EQ(Pixel(96, 95), kWhite);
    EXPECT_EQ(boxes.BoxAt(0).SizeX, 301);  // dead boxes do not grow
}

TEST_F(BoxesTest, OnlyTheWonStateDrawsOnTheFormAndNeverTwiceOnThePlayfield) {
    frmMain& form = MainForm();
    form.picMain.Move(60, 60, W + LW, H + LH);
    boxes.Add(20, 20, kBox);
    boxes.Draw();
    EXPECT_EQ(GetPixel(form.hDC(), 76, 75), kBlack);  // the form around the playfield
    // A win turns the form white; over white a box keeps its colour.
    form.mState = GameState::Won;
    form.SetBackColor(kWhite);
    FillPicture(kWhite);
    boxes.Draw();
    // (16, 15) moved by the picture's place, on the form's own surface (the round corner
    // leaves (15, 15) alone).
    EXPECT_EQ(GetPixel(form.hDC(), 76, 75), kBox);
    EXPECT_EQ(Pixel(16, 15), kBox);
    EXPECT_EQ(Pixel(76, 75), kWhite);
}
