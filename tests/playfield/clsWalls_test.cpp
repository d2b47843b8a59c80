// Wall ring: folding, point tests, motion and the push of the man.
#include <gtest/gtest.h>

#include <memory>

#include "playfield/PlayfieldFixture.h"
#include "playfield/clsMan.h"
#include "playfield/clsWalls.h"

namespace {

clsWalls::Wall MakeWall(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t dx, int32_t dy,
                        int32_t speed = 1) {
    clsWalls::Wall w;
    w.X1 = x1;
    w.Y1 = y1;
    w.X2 = x2;
    w.Y2 = y2;
    w.DirX = dx;
    w.DirY = dy;
    w.Speed = speed;
    w.ColorA = RGB(1, 2, 3);
    w.ColorB = RGB(4, 5, 6);
    w.Alive = true;
    return w;
}

class WallsTest : public PlayfieldFixture {
  protected:
    void SetUp() override {
        PlayfieldFixture::SetUp();
        FillPicture();
        walls.Clear(8);
        MainForm().mMan = std::make_unique<clsMan>();
    }
    void TearDown() override {
        MainForm().mMan.reset();
        PlayfieldFixture::TearDown();
    }
    void PlaceMan(int32_t x, int32_t y) {
        MainForm().mMan->mX = x;
        MainForm().mMan->mY = y;
    }
    POINT Man() const { return POINT{MainForm().mMan->mX, MainForm().mMan->mY}; }
    // Paints one line-sized square in a colour other than the path.
    static void Block(int32_t x, int32_t y) { SetPixelV(Dc(), x, y, RGB(255, 255, 255)); }

    clsWalls walls;
};

TEST_F(WallsTest, FoldingKeepsCoordinatesInOnePeriod) {
    EXPECT_EQ(clsWallsPeer::WrapX(walls, 0), W);
    EXPECT_EQ(clsWallsPeer::WrapX(walls, W), W);
    EXPECT_EQ(clsWallsPeer::WrapX(walls, W + 1), 1);
    EXPECT_EQ(clsWallsPeer::WrapX(walls, -5), W - 5);
    EXPECT_EQ(clsWallsPeer::WrapX(walls, 1), 1);
    EXPECT_EQ(clsWallsPeer::WrapY(walls, 0), H);
    EXPECT_EQ(clsWallsPeer::WrapY(walls, H), H);
    EXPECT_EQ(clsWallsPeer::WrapY(walls, H + 1), 1);
    EXPECT_EQ(clsWallsPeer::WrapY(walls, -LH), H - LH);
    // Only one period is taken away.
    EXPECT_EQ(clsWallsPeer::WrapX(walls, 2 * W + 7), W + 7);
}

TEST_F(WallsTest, PointTestsBlockTheFarLineOnlyForTheMan) {
    EXPECT_FALSE(walls.ManCollide2(150, 70, 1, 0, 1)) << "no live walls";
    const int32_t x2 = 100 + 3 * CW + LW;
    walls.SetWall(0, MakeWall(100, 60, x2, 60 + CH + LH, 1, 0));

    EXPECT_TRUE(walls.ManCollide(100, 60));
    EXPECT_TRUE(walls.ManCollide(x2 - 1, 70)) << "last pixel column of the wall";
    EXPECT_TRUE(walls.ManCollide(x2 - 1, 60 + CH + LH - 1));
    EXPECT_FALSE(walls.ManCollide(x2, 70));
    EXPECT_FALSE(walls.ManCollide(99, 70));
    EXPECT_FALSE(walls.ManCollide(150, 60 + CH + LH));

    // The far line is left out, so a wall of the same kind may start on it.
    EXPECT_FALSE(walls.ManCollide2(x2 - LW, 70, 1, 0, 1));
    EXPECT_TRUE(walls.ManCollide2(x2 - LW - 1, 70, 1, 0, 1));
    EXPECT_FALSE(walls.ManCollide2(150, 60 + CH, 1, 0, 1));
    EXPECT_TRUE(walls.ManCollide2(150, 60 + CH - 1, 1, 0, 1));
    // Other kinds never count.
    EXPECT_FALSE(walls.ManCollide2(150, 70, -1, 0, 1));
    EXPECT_FALSE(walls.ManCollide2(150, 70, 1, 0, 2));
    EXPECT_FALSE(walls.ManCollide2(150, 70, 0, 1, 1));

    // Any colour but the path blocks, with no wall there; so does a point off the picture.
    Block(20, 20);
    EXPECT_TRUE(walls.ManCollide(20, 20));
    EXPECT_FALSE(walls.ManCollide(25, 20));
    EXPECT_TRUE(walls.ManCollide(-1, 20));
    EXPECT_TRUE(walls.ManCollide(W + LW, 20));
    EXPECT_TRUE(walls.ManCollide(20, H + LH));

    walls.Remove(0);
    EXPECT_FALSE(walls.ManCollide(150, 70));
    EXPECT_FALSE(walls.ManCollide2(150, 70, 1, 0, 1));
}

TEST_F(WallsTest, WrappedWallsRunToTheFullPictureSize) {
    // X-wrapped: [0, 45) and [250, 305).
    const int32_t x2 = clsWallsPeer::WrapX(walls, 250 + 3 * CW + LW);
    ASSERT_EQ(x2, 45);
    walls.SetWall(0, MakeWall(250, 60, x2, 95, 1, 0));
    for (int32_t x : {0, 44, 250, 299, W + LW - 1})
        EXPECT_TRUE(walls.ManCollide(x, 70)) << x;
    for (int32_t x : {45, 249})
        EXPECT_FALSE(walls.ManCollide(x, 70)) << x;
    EXPECT_TRUE(walls.ManCollide2(W + LW - 1, 70, 1, 0, 1));
    EXPECT_TRUE(walls.ManCollide2(x2 - LW - 1, 70, 1, 0, 1));
    EXPECT_FALSE(walls.ManCollide2(x2 - LW, 70, 1, 0, 1));

    // Y-wrapped vertical mover: [0, 35) and [210, 245).
    walls.SetWall(1, MakeWall(150, 210, 185, 35, 0, 1));
    for (int32_t y : {0, 34, 210, H + LH - 1})
        EXPECT_TRUE(walls.ManCollide(160, y)) << y;
    EXPECT_FALSE(walls.ManCollide(160, 35));
    EXPECT_TRUE(walls.ManCollide2(160, H + LH - 1, 0, 1, 1));
    EXPECT_FALSE(walls.ManCollide2(160, 30, 0, 1, 1));

    // The push sees the right-hand piece up to the picture's last column: tries 1 to 4 are
    // off the picture or inside the wall, try 5 (one line down) leaves it.
    PlaceMan(W, 90);
    walls.WallCollide(1);
    EXPECT_EQ(Man().x, W);
    EXPECT_EQ(Man().y, 95);
    // A horizontal mover that is Y-wrapped never pushes, although it blocks.
    walls.Clear(8);
    walls.SetWall(0, MakeWall(100, 220, 195, 15, 1, 0));
    EXPECT_TRUE(walls.ManCollide(120, 5));
    PlaceMan(120, 5);
    walls.WallCollide(1);
    EXPECT_EQ(Man().x, 120);
}

TEST_F(WallsTest, MoveFoldsEachCornerAndHonoursSpeed) {
    walls.SetWall(0, MakeWall(W - 3 * CW, 60, W, 95, 1, 0));            // right mover about to wrap
    walls.SetWall(1, MakeWall(LW, 120, LW + 3 * CW + LW, 155, -1, 0));  // left mover
    walls.SetWall(2, MakeWall(60, 200, 95, H, 0, 1, 2));                // fast down mover
    walls.SetWall(3, MakeWall(120, 30, 155, 125, 0, -1));               // up mover
    clsWalls::Wall dead = MakeWall(10, 10, 50, 50, 1, 0);
    dead.Alive = false;
    walls.SetWall(4, dead);

    walls.Move(1);
    EXPECT_EQ(walls.GetWall(0).X1, W - 3 * CW + LW);
    EXPECT_EQ(walls.GetWall(0).X2, LW) << "the right corner folds on its own";
    EXPECT_EQ(walls.GetWall(0).Y1, 60);
    EXPECT_EQ(walls.GetWall(1).X1, W) << "fold of 0";
    EXPECT_EQ(walls.GetWall(1).X2, 3 * CW + LW);
    EXPECT_EQ(walls.GetWall(2).Y1, 200 + LH);
    EXPECT_EQ(walls.GetWall(2).Y2, LH);
    EXPECT_EQ(walls.GetWall(3).Y1, 30 - LH);
    EXPECT_EQ(walls.GetWall(4).X1, 10) << "dead walls stay";

    // The second pass moves only speed-2 walls.
    walls.Move(2);
    EXPECT_EQ(walls.GetWall(0).X1, W - 3 * CW + LW);
    EXPECT_EQ(walls.GetWall(1).X1, W);
    EXPECT_EQ(walls.GetWall(3).Y1, 30 - LH);
    EXPECT_EQ(walls.GetWall(2).Y1, 200 + 2 * LH);
    EXPECT_EQ(walls.GetWall(2).Y2, 2 * LH);

    // Once both corners have crossed, the wall is plain again.
    for (int i = 0; i < 3 * 6; ++i)
        walls.Move(1);
    EXPECT_LT(walls.GetWall(0).X1, walls.GetWall(0).X2);
    EXPECT_EQ(walls.GetWall(0).X1, LW);
}

TEST_F(WallsTest, PushCarriesTheManAheadOrToTheFirstFreeSpot) {
    // Right mover from 100 to 195 in the row 60..95; the man stands in its leading column.
    walls.SetWall(0, MakeWall(100, 60, 195, 95, 1, 0));
    const POINT expected[] = {
        {195, 75},  // try 1: one line ahead
        {200, 75},  // try 2: two lines ahead
        {195, 80},  // try 7, after 3 to 6 are blocked or inside the wall
        {195, 70},  // try 9
        {200, 85},  // try 15
    };
    for (const POINT& e : expected) {
        PlaceMan(190, 75);
        walls.WallCollide(1);
        EXPECT_EQ(Man().x, e.x);
        EXPECT_EQ(Man().y, e.y);
        Block(e.x, e.y);  // the next round finds this spot taken
    }

    // A down mover over every candidate spot as well: all eighteen refused, the man stays.
    walls.SetWall(1, MakeWall(150, 40, 250, 120, 0, 1));
    PlaceMan(190, 75);
    walls.WallCollide(1);
    EXPECT_EQ(Man().x, 190);
    EXPECT_EQ(Man().y, 75);
}

TEST_F(WallsTest, PushTriesTheEighteenSpotsInOrder) {
    // A one-line right mover holding the man: every spot lies outside it, so the pixels alone
    // decide. Each round blocks the spots of all earlier tries.
    const POINT tries[18] = {{1, 0}, {2, 0},   {1, 0},  {-1, 0},  {0, 1},  {0, -1},
                             {1, 1}, {-1, -1}, {1, -1}, {-1, 1},  {2, 0},  {-2, 0},
                             {0, 2}, {0, -2},  {2, 2},  {-2, -2}, {2, -2}, {-2, 2}};
    walls.SetWall(0, MakeWall(150, 120, 155, 125, 1, 0));
    int32_t checked = 0;
    for (int k = 0; k < 18; ++k) {
        FillPicture();
        bool repeat = false;
        for (int j = 0; j < k; ++j) {
            Block(150 + tries[j].x * LW, 120 + tries[j].y * LH);
            repeat = repeat || (tries[j].x == tries[k].x && tries[j].y == tries[k].y);
        }
        if (repeat) continue;  // tries 3 and 11 repeat tries 1 and 2 for this wall
        PlaceMan(150, 120);
        walls.WallCollide(1);
        EXPECT_EQ(Man().x, 150 + tries[k].x * LW) << "try " << k + 1;
        EXPECT_EQ(Man().y, 120 + tries[k].y * LH) << "try " << k + 1;
        ++checked;
    }
    EXPECT_EQ(checked, 16);
}

TEST_F(WallsTest, PushFollowsBothAxesAndOnlyWhenAllowed) {
    // A left mover and a down mover both hold the man at their leading edges: diagonal.
    walls.SetWall(0, MakeWall(100, 100, 195, 135, -1, 0));
    walls.SetWall(1, MakeWall(60, 30, 125, 125, 0, 1));
    PlaceMan(100, 120);
    walls.WallCollide(1);
    EXPECT_EQ(Man().x, 95);
    EXPECT_EQ(Man().y, 125);

    // Pass 2: only speed-2 walls push.
    walls.Clear(8);
    walls.SetWall(0, MakeWall(100, 60, 195, 95, 1, 0));
    PlaceMan(190, 75);
    walls.WallCollide(2);
    EXPECT_EQ(Man().x, 190);
    walls.SetWall(0, MakeWall(100, 60, 195, 95, 1, 0, 2));
    walls.WallCollide(2);
    EXPECT_EQ(Man().x, 195);

    // Electric walls and the won state never push.
    gElectric = true;
    PlaceMan(190, 75);
    walls.WallCollide(1);
    EXPECT_EQ(Man().x, 190);
    gElectric = false;
    MainForm().mState = 2;
    walls.WallCollide(1);
    EXPECT_EQ(Man().x, 190);
    MainForm().mState = 0;
    walls.WallCollide(1);
    EXPECT_EQ(Man().x, 195);
}

}  // namespace
