// Wall layout: placement, merging, "Pieces", directions, random draw order, colours, the bound
// on placement attempts, every mode's set-up and the picture.
#include "PlayfieldFixture.h"
#include "graphics/kelSprite3.h"

class WallsLayoutTest : public PlayfieldFixture {
  protected:
    bool Add(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t dx, int32_t dy) {
        return clsWallsPeer::AddWall(walls, x1, y1, x2, y2, dx, dy);
    }
    // Rnd()'s next ten draws from this seed, then the seed again.
    static std::vector<double> Draws(uint32_t seed) {
        quadrix::SharedRandom().Seed(seed);
        std::vector<double> u(10);
        for (double& v : u)
            v = Rnd();
        quadrix::SharedRandom().Seed(seed);
        return u;
    }
};

TEST_F(WallsLayoutTest, EndToEndWallsMergeUnlessPiecesIsTicked) {
    // Starts on the first one's end line: swallows it.
    ASSERT_TRUE(Add(60, 60, 155, 95, 1, 0) && Add(150, 60, 245, 95, 1, 0));
    EXPECT_FALSE(walls.GetWall(0).Alive);
    EXPECT_EQ(walls.GetWall(1).X1, 60);
    EXPECT_EQ(walls.GetWall(1).X2, 245);
    // Ends on an older wall's start line: takes its far end; vertical movers join likewise.
    ASSERT_TRUE(Add(150, 120, 245, 155, -1, 0) && Add(60, 120, 155, 155, -1, 0));
    EXPECT_EQ(walls.GetWall(3).X2, 245);
    ASSERT_TRUE(Add(60, 30, 95, 125, 0, 1) && Add(60, 120, 95, 215, 0, 1));
    EXPECT_EQ(walls.GetWall(5).Y1, 30);
    EXPECT_EQ(walls.LiveCount(), 3);
    // Another kind neither joins nor is refused; its own kind overlapping is refused.
    ASSERT_TRUE(Add(150, 180, 245, 215, 1, 0) && Add(60, 180, 155, 215, -1, 0));
    EXPECT_FALSE(Add(90, 180, 185, 215, -1, 0));
    EXPECT_EQ(walls.LiveCount(), 5);

    // "Pieces": a wall whose end line is the other's start line is refused and changes
    // nothing, and so is one ending right before the other starts; a cell apart is fine.
    gPiecesOff = false;
    walls.Clear(8);
    ASSERT_TRUE(Add(150, 60, 245, 95, 1, 0));
    EXPECT_FALSE(Add(60, 60, 155, 95, 1, 0));
    EXPECT_EQ(walls.mWallI, 1);
    ASSERT_TRUE(Add(155, 120, 250, 155, 1, 0));
    EXPECT_FALSE(Add(60, 120, 155, 155, 1, 0));
    EXPECT_TRUE(Add(30, 180, 125, 215, 1, 0) && Add(150, 180, 245, 215, 1, 0));
    EXPECT_EQ(walls.LiveCount(), 4);
}

TEST_F(WallsLayoutTest, ColoursAndTheRing) {
    ASSERT_TRUE(Add(60, 30, 155, 65, -1, 0) && Add(200, 30, 235, 125, 0, -1));
    EXPECT_EQ(walls.GetWall(0).ColorA, gWallLeftColorA);
    EXPECT_EQ(walls.GetWall(1).ColorB, gWallUpColorB);
    // Solid: the face gets lightness + 0.2, the shadow saturation + 0.2.
    gSolid = true;
    gWallLeftColorA = RGB(255, 0, 0);
    gWallLeftColorB = RGB(128, 64, 64);
    ASSERT_TRUE(Add(60, 150, 155, 185, -1, 0));
    EXPECT_EQ(walls.GetWall(2).ColorA, RGB(255, 102, 102));
    EXPECT_EQ(walls.GetWall(2).ColorB, RGB(147, 45, 45));

    // The ring wraps after its last slot and overwrites the oldest wall.
    walls.Clear(2);
    for (int32_t y : {30, 90, 150})
        ASSERT_TRUE(Add(60, y, 155, y + 35, -1, 0));
    EXPECT_EQ(walls.GetWall(0).Y1, 150);
    EXPECT_EQ(walls.mWallI, 1);
    // A ring index set from outside to a slot that does not exist starts the ring over.
    walls.mWallI = 7;
    ASSERT_TRUE(Add(60, 210, 155, 245, -1, 0));
    EXPECT_EQ(walls.GetWall(0).Y1, 210);
    // No slots at all: nothing is placed, and set-up still ends.
    walls.Initialize(0);
    EXPECT_EQ(walls.LiveCount(), 0);
    EXPECT_GT(walls.SkippedCount(), 0);
}

TEST_F(WallsLayoutTest, GridRowsAndColumnsAlternateDirections) {
    gWallsPerRow = 2;
    walls.Initialize(138);
    ASSERT_GT(walls.LiveCount(), 10);
    ASSERT_NE(walls.Dollar(), nullptr);
    EXPECT_EQ(walls.Dollar()->Width(), 32);
    EXPECT_EQ(walls.Dollar()->Height(), 32);
    for (int32_t i = 0; i < walls.WallCount(); ++i) {
        const clsWalls::Wall& w = walls.GetWall(i);
        if (!w.Alive) continue;
        // Odd rows (columns) move left (up), even ones right (down).
        const int32_t line = w.DirX != 0 ? w.Y1 / CH : w.X1 / CW;
        EXPECT_EQ(w.DirX + w.DirY, line % 2 != 0 ? -1 : 1) << i;
        EXPECT_EQ(w.DirX != 0 ? w.Y2 - w.Y1 : w.X2 - w.X1, CH + LH) << i;
    }
}

TEST_F(WallsLayoutTest, RandomDrawsFollowTheGivenOrder) {
    // One row of walls (rows 0 and 2 are margins) and no columns.
    gRows = 3;
    gWellMarginColumns = 5;
    gWallsPerRow = 1.5;
    gRandomDirections = true;
    gWallColorMode = 2;
    gSpeedFactor = 1.1;
    ASSERT_TRUE(CompleteSettings());
    std::vector<double> u = Draws(77);
    walls.Initialize(20);
    const clsWalls::Wall& w = walls.GetWall(0);
    ASSERT_TRUE(w.Alive);
    // u0 decides the extra wall; then direction, column, speed, two colours.
    EXPECT_EQ(w.DirX, u[1] < 0.5 ? -1 : 1);
    EXPECT_EQ(w.X1, clsWallsPeer::WrapX(walls, CW * (Int(u[2] * 10) + 1)));
    EXPECT_EQ(w.Y1, CH);
    EXPECT_EQ(w.Speed, Int(u[3] * 1.1) + 1);
    EXPECT_EQ(w.ColorA, RGB(Int(u[4] * 256), Int(u[5] * 256), Int(u[6] * 256)));
    EXPECT_EQ(w.ColorB, RGB(Int(u[7] * 256), Int(u[8] * 256), Int(u[9] * 256)));

    // The free layout: column, row, direction (+1 below one half), speed, colours.
    gAnarchy = true;
    u = Draws(78);
    clsWalls free;
    free.Initialize(20);
    const clsWalls::Wall& f = free.GetWall(0);
    ASSERT_TRUE(f.Alive);
    EXPECT_EQ(f.X1, clsWallsPeer::WrapX(free, LW * (Int(u[0] * 11 * 6) - 6)));
    EXPECT_EQ(f.Y1, LH * 6);
    EXPECT_EQ(f.DirX, u[2] < 0.5 ? 1 : -1);
    EXPECT_EQ(f.Speed, Int(u[3] * 1.1) + 1);
    EXPECT_EQ(f.ColorA, RGB(Int(u[4] * 256), Int(u[5] * 256), Int(u[6] * 256)));
}

TEST_F(WallsLayoutTest, CrowdedLayoutGivesUpOnWallsThatDoNotFit) {
    // "Pieces" with ten walls of three cells wanted in every row of ten cells, and in every
    // column: only a few fit, and set-up must still end.
    gPiecesOff = false;
    gWallsPerRow = gWallsPerColumn = 10;
    walls.Initialize(Nearest(11.0 * 8 * 3 + 11.0 * 10 * 3));
    EXPECT_GT(walls.SkippedCount(), 0);
    EXPECT_EQ(walls.LiveCount() + walls.SkippedCount(), 6 * 10 + 8 * 10);
    // What was placed keeps the rule: no wall's corner lies in another of its kind.
    for (int32_t i = 0; i < walls.WallCount(); ++i) {
        const clsWalls::Wall w = walls.GetWall(i);
        if (!w.Alive) continue;
        walls.SetWall(i, clsWalls::Wall{});
        EXPECT_FALSE(walls.ManCollide2(w.X1, w.Y1, w.DirX, w.DirY, w.Speed)) << i;
        walls.SetWall(i, w);
    }
}

// Set-up joins a new wall to one of its kind whose corner it touches: the placement buckets
// find the same wall as walking them all, the first slot, on crowded layouts and on walls that
// cover no cell (no length, or folded both ways).
TEST_F(WallsLayoutTest, BucketsFindTheWallThatWalkingFinds) {
    gScreenWidth = 1024;
    gScreenHeight = 768;
    for (const OptionFlags& options : {OptionFlags{}, OptionFlags{.anarchy = true},
                                       OptionFlags{.speed = true, .pieces = true}}) {
        UseMode(GameMode::Final, options);
        clsWalls layout;
        layout.Initialize(Capacity() + 3);
        const int32_t n = layout.WallCount();
        // Kinds of their own for the walls that cover no cell, and a later slot with the first
        // wall's corners.
        clsWalls::Wall flat = layout.GetWall(0), folded = flat, again = flat;
        flat.X2 = flat.X1;
        flat.Speed = 7;
        folded.X1 = 2 * gCellWidth;
        folded.X2 = gCellWidth;
        folded.Y1 = 2 * gCellHeight;
        folded.Y2 = gCellHeight;
        folded.Speed = 8;
        layout.SetWall(n - 3, flat);
        layout.SetWall(n - 2, folded);
        layout.SetWall(n - 1, again);
        clsWallsPeer::Index(layout);
        std::vector<int32_t> slots = {n - 3, n - 2, n - 1};
        for (int32_t i = 0; i < n - 3; i += 7)
            slots.push_back(i);
        for (const int32_t i : slots) {
            const clsWalls::Wall& w = layout.GetWall(i);
            clsWalls::Wall faster = w;
            faster.Speed = 3 - w.Speed;
            for (const clsWalls::Wall& kind : {w, faster}) {
                for (const auto& [x, y] : {std::pair{w.X1, w.Y1},
                                           {w.X2, w.Y1},
                                           {w.X1, w.Y2},
                                           {w.X2, w.Y2},
                                           {w.X1 + gLineWidth, w.Y1}}) {
                    const auto [byBuckets, walking] = clsWallsPeer::FindWall(layout, x, y, kind);
                    ASSERT_EQ(byBuckets, walking) << i << " at " << x << "," << y;
                }
            }
        }
    }
}

// Every game mode, at both levels and with the layout options, sets its walls up on the
// smallest and the largest screen: placement ends, and every wall is folded into the playfield.
TEST_F(WallsLayoutTest, EveryModeSetsUpOnSmallAndLargeScreens) {
    for (const auto& [sw, sh] : {std::pair{640, 480}, std::pair{3840, 2160}}) {
        gScreenWidth = sw;
        gScreenHeight = sh;
        for (int mode = 0; mode < kGameModeCount; ++mode) {
            // Ouch, Anarchy, Speed and Pieces; Solid only changes colours.
            for (int o = 0; o < 16; ++o) {
                SCOPED_TRACE(testing::Message()
                             << sw << "x" << sh << " mode " << mode << " options " << o);
                UseMode(static_cast<GameMode>(mode), OptionFlags{.ouch = (o & 1) != 0,
                                                                 .anarchy = (o & 2) != 0,
                                                                 .speed = (o & 4) != 0,
                                                                 .pieces = (o & 8) != 0});
                clsWalls layout;
                layout.Initialize(Capacity());
                const int32_t w = gCellWidth * gColumns, h = gCellHeight * gRows;
                for (int32_t i = 0; i < layout.WallCount(); ++i) {
                    const clsWalls::Wall& a = layout.GetWall(i);
                    if (!a.Alive) continue;
                    ASSERT_TRUE(a.X1 > 0 && a.X1 <= w && a.X2 > 0 && a.X2 <= w) << i;
                    ASSERT_TRUE(a.Y1 > 0 && a.Y1 <= h && a.Y2 > 0 && a.Y2 <= h) << i;
                    ASSERT_EQ(std::abs(a.DirX) + std::abs(a.DirY), 1) << i;
                    ASSERT_TRUE(a.Speed == 1 || a.Speed == 2) << i;
                }
                ASSERT_LE(layout.SkippedCount(), 10) << "only a rare wall finds no room";
            }
        }
    }
}
