// Wall ring: folding, point tests, motion and the push of the man.
#include "PlayfieldFixture.h"

class WallsTest : public PlayfieldFixture {
  protected:
    // Puts the man at (x, y), lets the walls push and says where he ends.
    POINT Push(int32_t x, int32_t y, int32_t pass = 1) {
        Place(x, y);
        walls.WallCollide(pass);
        return ManAt();
    }
    static void Block(int32_t x, int32_t y) { SetPixelV(Dc(), x, y, kWhite); }
    bool Hits(int32_t x, int32_t y) const { return walls.ManCollide(x, y); }
};

TEST_F(WallsTest, FoldingAndPointTests) {
    const std::pair<int32_t, int32_t> foldX[] = {{0, W}, {W, W}, {W + 1, 1}, {-5, W - 5}};
    for (const auto& [x, want] : foldX)
        EXPECT_EQ(clsWallsPeer::WrapX(walls, x), want) << x;
    EXPECT_EQ(clsWallsPeer::WrapY(walls, 0), H);
    EXPECT_EQ(clsWallsPeer::WrapY(walls, H + 1), 1);

    EXPECT_FALSE(walls.ManCollide2(150, 70, 1, 0, 1)) << "no live walls";
    const int32_t x2 = 100 + 3 * CW + LW;
    walls.SetWall(0, LiveWall(100, 60, x2, 60 + CH + LH, 1, 0));
    EXPECT_TRUE(Hits(x2 - 1, 70)) << "last pixel column of the wall";
    EXPECT_FALSE(Hits(x2, 70));
    // The far line is left out, so a wall of the same kind may start on it.
    EXPECT_FALSE(walls.ManCollide2(x2 - LW, 70, 1, 0, 1));
    EXPECT_TRUE(walls.ManCollide2(x2 - LW - 1, 70, 1, 0, 1));
    EXPECT_FALSE(walls.ManCollide2(150, 60 + CH, 1, 0, 1));
    EXPECT_FALSE(walls.ManCollide2(150, 70, -1, 0, 1)) << "another kind";
    EXPECT_FALSE(walls.ManCollide2(150, 70, 1, 0, 2)) << "another speed";

    // Any colour but the path blocks, with no wall there; so does a point off the picture.
    Block(20, 20);
    EXPECT_TRUE(Hits(20, 20) && Hits(-1, 20) && Hits(20, H + LH));
    EXPECT_FALSE(Hits(25, 20));
    walls.Remove(0);
    EXPECT_FALSE(Hits(150, 70));
}

TEST_F(WallsTest, WrappedWallsRunToTheFullPictureSize) {
    // X-wrapped: [0, 45) and [250, 305).
    const int32_t x2 = clsWallsPeer::WrapX(walls, 250 + 3 * CW + LW);
    ASSERT_EQ(x2, 45);
    walls.SetWall(0, LiveWall(250, 60, x2, 95, 1, 0));
    for (int32_t x : {0, 44, 45, 249, 250, W + LW - 1})
        EXPECT_EQ(Hits(x, 70), x < 45 || x >= 250) << x;
    EXPECT_TRUE(walls.ManCollide2(W + LW - 1, 70, 1, 0, 1));
    EXPECT_FALSE(walls.ManCollide2(x2 - LW, 70, 1, 0, 1));
    // The push sees the right-hand piece up to the last column: tries 1 to 4 are off the
    // picture or inside the wall, try 5 (one line down) leaves it.
    EXPECT_EQ(Push(W, 90).y, 95);

    // Y-wrapped vertical mover: [0, 35) and [210, 245).
    walls.SetWall(1, LiveWall(150, 210, 185, 35, 0, 1));
    for (int32_t y : {0, 34, 210, H + LH - 1})
        EXPECT_TRUE(Hits(160, y)) << y;
    EXPECT_TRUE(walls.ManCollide2(160, H + LH - 1, 0, 1, 1));
    EXPECT_FALSE(walls.ManCollide2(160, 30, 0, 1, 1));

    // A horizontal mover that is Y-wrapped blocks but never pushes.
    walls.Clear(8);
    walls.SetWall(0, LiveWall(100, 220, 195, 15, 1, 0));
    EXPECT_TRUE(Hits(120, 5));
    EXPECT_EQ(Push(120, 5).x, 120);
}

TEST_F(WallsTest, MoveFoldsEachCornerAndHonoursSpeed) {
    walls.SetWall(0, LiveWall(W - 3 * CW, 60, W, 95, 1, 0));            // about to wrap
    walls.SetWall(1, LiveWall(LW, 120, LW + 3 * CW + LW, 155, -1, 0));  // left mover
    walls.SetWall(2, LiveWall(60, 200, 95, H, 0, 1, 2));                // fast down mover
    walls.Move(1);
    EXPECT_EQ(walls.GetWall(0).X1, W - 3 * CW + LW);
    EXPECT_EQ(walls.GetWall(0).X2, LW) << "the right corner folds on its own";
    EXPECT_EQ(walls.GetWall(1).X1, W) << "fold of 0";
    EXPECT_EQ(walls.GetWall(2).Y2, LH);
    // The second pass moves only speed-2 walls.
    walls.Move(2);
    EXPECT_EQ(walls.GetWall(0).X1, W - 3 * CW + LW);
    EXPECT_EQ(walls.GetWall(1).X1, W);
    EXPECT_EQ(walls.GetWall(2).Y1, 200 + 2 * LH);
    // Once both corners have crossed, the wall is plain again.
    for (int i = 0; i < 18; ++i)
        walls.Move(1);
    EXPECT_EQ(walls.GetWall(0).X1, LW);
    EXPECT_EQ(walls.GetWall(0).X2, 3 * CW + LW);
}

TEST_F(WallsTest, PushTriesTheEighteenSpotsInOrder) {
    // A one-line right mover holding the man: every spot lies outside it, so the pixels alone
    // decide. Each round blocks the spots of all earlier tries.
    const POINT tries[18] = {{1, 0}, {2, 0},   {1, 0},  {-1, 0},  {0, 1},  {0, -1},
                             {1, 1}, {-1, -1}, {1, -1}, {-1, 1},  {2, 0},  {-2, 0},
                             {0, 2}, {0, -2},  {2, 2},  {-2, -2}, {2, -2}, {-2, 2}};
    walls.SetWall(0, LiveWall(150, 120, 155, 125, 1, 0));
    int32_t checked = 0;
    for (int k = 0; k <= 18; ++k) {
        FillPicture();
        bool repeat = false;
        for (int j = 0; j < k; ++j) {
            Block(150 + tries[j].x * LW, 120 + tries[j].y * LH);
            repeat = repeat || (k < 18 && tries[j] == tries[k]);
        }
        if (repeat) continue;  // tries 3 and 11 repeat tries 1 and 2 for this wall
        const POINT want = k < 18 ? tries[k] : POINT{0, 0};  // all refused: he stays
        EXPECT_TRUE(Push(150, 120) == (POINT{150 + want.x * LW, 120 + want.y * LH}))
            << "try " << k + 1;
        ++checked;
    }
    EXPECT_EQ(checked, 17);
}

TEST_F(WallsTest, PushFollowsBothAxesAndOnlyWhenAllowed) {
    // A left mover and a down mover both hold the man at their leading edges: diagonal.
    walls.SetWall(0, LiveWall(100, 100, 195, 135, -1, 0));
    walls.SetWall(1, LiveWall(60, 30, 125, 125, 0, 1));
    EXPECT_TRUE(Push(100, 120) == (POINT{95, 125}));

    // Pass 2: only speed-2 walls push; electric walls and the won state never push.
    walls.Clear(8);
    walls.SetWall(0, LiveWall(100, 60, 195, 95, 1, 0));
    EXPECT_EQ(Push(190, 75, 2).x, 190);
    walls.SetWall(0, LiveWall(100, 60, 195, 95, 1, 0, 2));
    EXPECT_EQ(Push(190, 75, 2).x, 195);
    gElectric = true;
    EXPECT_EQ(Push(190, 75).x, 190);
    gElectric = false;
    MainForm().mState = GameState::Won;
    EXPECT_EQ(Push(190, 75).x, 190);
    MainForm().mState = GameState::Playing;
    EXPECT_EQ(Push(190, 75).x, 195);
}
