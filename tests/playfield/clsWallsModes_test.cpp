// Every game mode, at both levels and with the layout options, sets its walls up on the
// smallest and the largest screen: placement ends, and every wall is folded into the playfield.
#include <gtest/gtest.h>

#include "main/GameSettings.h"
#include "main/modMain.h"
#include "platform/Numbers.h"
#include "playfield/PlayfieldFixture.h"
#include "playfield/clsWalls.h"
#include "title/modModes.h"

namespace {

using WallsModesTest = PlayfieldFixture;

TEST_F(WallsModesTest, EveryModeSetsUpOnSmallAndLargeScreens) {
    const int32_t screens[][2] = {{640, 480}, {3840, 2160}};
    int32_t configurations = 0;
    for (const auto& screen : screens) {
        gScreenWidth = screen[0];
        gScreenHeight = screen[1];
        for (int mode = 0; mode < kGameModeCount; ++mode) {
            // Ouch, Anarchy, Speed and Pieces; Solid only changes colours.
            for (int options = 0; options < 16; ++options) {
                OptionFlags flags;
                flags.ouch = (options & 1) != 0;
                flags.anarchy = (options & 2) != 0;
                flags.speed = (options & 4) != 0;
                flags.pieces = (options & 8) != 0;
                const OptionEffect effect = ApplyOptionFlags(flags);
                ApplyMode(static_cast<GameMode>(mode), effect.level);
                ASSERT_TRUE(CompleteSettings());
                const int32_t capacity =
                    Nearest(Int(gWallsPerColumn + 1) * gRows * gWallLength +
                            Int(gWallsPerRow + 1) * static_cast<double>(gColumns) * gWallLength);
                SCOPED_TRACE(testing::Message() << screen[0] << "x" << screen[1] << " mode " << mode
                                                << " options " << options);
                clsWalls walls;
                walls.Initialize(capacity);
                ++configurations;
                const int32_t w = gCellWidth * gColumns;
                const int32_t h = gCellHeight * gRows;
                for (int32_t i = 0; i < walls.WallCount(); ++i) {
                    const clsWalls::Wall& wall = walls.GetWall(i);
                    if (!wall.Alive) continue;
                    ASSERT_TRUE(wall.X1 > 0 && wall.X1 <= w && wall.X2 > 0 && wall.X2 <= w) << i;
                    ASSERT_TRUE(wall.Y1 > 0 && wall.Y1 <= h && wall.Y2 > 0 && wall.Y2 <= h) << i;
                    ASSERT_EQ(std::abs(wall.DirX) + std::abs(wall.DirY), 1) << i;
                    ASSERT_TRUE(wall.Speed == 1 || wall.Speed == 2) << i;
                }
                ASSERT_LE(walls.SkippedCount(), 10) << "only a rare wall finds no room";
            }
        }
    }
    EXPECT_EQ(configurations, 2 * kGameModeCount * 16);
}

}  // namespace
