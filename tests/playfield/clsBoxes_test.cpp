#include <memory>

#include "PlayfieldFixture.h"
#include "graphics/modGraphic.h"
#include "playfield/clsBoxes.h"

namespace {

constexpr COLORREF kWhite = 0xFFFFFF;
constexpr COLORREF kBox = RGB(200, 30, 90);

class BoxesTest : public PlayfieldFixture {
  protected:
    void SetUp() override {
        PlayfieldFixture::SetUp();
        FillPicture(kWhite);
    }
    clsBoxes boxes;
};

TEST_F(BoxesTest, RingOverwritesTheOldestSlotAndMoveGrowsLiveBoxes) {
    boxes.Initialize(3);
    for (int32_t i = 0; i < 4; ++i)
        boxes.Add(10 * i, 20 * i, RGB(i, 0, 0));
    EXPECT_EQ(boxes.BoxI(), 1);
    EXPECT_EQ(boxes.BoxAt(0).X, 30);
    EXPECT_EQ(boxes.BoxAt(0).Color, RGB(3, 0, 0));
    EXPECT_EQ(boxes.BoxAt(0).SizeX, 1);
    boxes.Move();
    EXPECT_EQ(boxes.BoxAt(0).SizeX, 2);
    EXPECT_EQ(boxes.BoxAt(2).SizeY, 2);

    boxes.Initialize(2);
    boxes.Add(0, 0, kBox);
    boxes.Move();
    EXPECT_EQ(boxes.BoxAt(0).SizeX, 2);
    EXPECT_EQ(boxes.BoxAt(1).SizeX, 0);  // a dead slot does not grow
}

TEST_F(BoxesTest, NewBoxIsAThreeLineOutlineMixedWithTheBackground) {
    boxes.Initialize(50);
    boxes.Add(100, 100, kBox);
    FillRectangle(Dc(), 95, 100, 100, 120, 0);  // black under part of its left side
    boxes.Draw();
    // Outline of pen LW inside (95, 95)-(110, 110); the centre square is left alone.
    EXPECT_EQ(Pixel(95, 95), kBox);  // over white it keeps its colour
    EXPECT_EQ(Pixel(109, 109), kBox);
    EXPECT_EQ(Pixel(104, 95), kBox);
    EXPECT_EQ(Pixel(97, 104), kWhite);  // over black it turns white
    EXPECT_EQ(Pixel(100, 100), kWhite);
    EXPECT_EQ(Pixel(104, 104), kWhite);
    EXPECT_EQ(Pixel(110, 105), kWhite);
    EXPECT_EQ(Pixel(105, 110), kWhite);
    EXPECT_EQ(Pixel(94, 94), kWhite);
    EXPECT_EQ(Pixel(96, 111), 0u);         // the black strip below the outline is untouched
    EXPECT_EQ(GetROP2(Dc()), R2_COPYPEN);  // the mode is put back
}

TEST_F(BoxesTest, BoxDiesAfterTheDrawPastFifteenHundredPixels) {
    boxes.Initialize(50);
    // Centre far right and below, so the grown outline's top-left corner is in the picture.
    boxes.Add(1600, 1600, kBox);
    for (int i = 1; i < 300; ++i)
        boxes.Move();
    ASSERT_EQ(boxes.BoxAt(0).SizeX, 300);
    boxes.Draw();
    EXPECT_TRUE(boxes.BoxAt(0).Alive);  // 1500 pixels is not past
    EXPECT_EQ(Pixel(100, 100), kBox);
    boxes.Move();
    FillPicture(kWhite);
    boxes.Draw();  // drawn one last time at 1505
    EXPECT_EQ(Pixel(95, 95), kBox);
    EXPECT_FALSE(boxes.BoxAt(0).Alive);
    FillPicture(kWhite);
    boxes.Move();
    boxes.Draw();
    EXPECT_EQ(Pixel(95, 95), kWhite);
    EXPECT_EQ(boxes.BoxAt(0).SizeX, 301);
}

TEST_F(BoxesTest, OnlyTheWonStateDrawsOnTheForm) {
    frmMain& form = MainForm();
    form.picMain.Move(150, 100, W + LW, H + LH);
    FillPicture(kWhite);
    boxes.Initialize(50);
    boxes.Add(20, 20, kBox);
    HDC own = form.hDC();
    FillRectangle(own, 165, 115, 190, 140, kWhite);
    form.mState = 0;
    boxes.Draw();
    EXPECT_EQ(GetPixel(own, 165, 115), kWhite);
    EXPECT_EQ(Pixel(15, 15), kBox);
    form.mState = 2;
    boxes.Draw();
    EXPECT_EQ(GetPixel(own, 165, 115), kBox);  // (15, 15) shifted by the picture's position
    EXPECT_EQ(GetROP2(own), R2_COPYPEN);
}

}  // namespace
