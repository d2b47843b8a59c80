#include <deque>
#include <memory>
#include <vector>

#include "PlayfieldFixture.h"
#include "graphics/modGraphic.h"
#include "playfield/clsMan.h"
#include "playfield/clsWell.h"

namespace {

constexpr COLORREF kOutside = RGB(1, 1, 1);
constexpr COLORREF kMark = RGB(9, 8, 7);

class WellTest : public PlayfieldFixture {
  protected:
    void SetUp() override {
        PlayfieldFixture::SetUp();
        MainForm().mMan = std::make_unique<clsMan>();
        FillPicture(kOutside);
    }
    clsWell well;
};

bool Inside(int32_t x, int32_t y, int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
    return x1 <= x && x < x2 && y1 <= y && y < y2;
}

TEST_F(WellTest, BarsCloseTheWellExceptTheTwoPocketOpenings) {
    well.DrawBackground();
    const int32_t L = gWellLeft, T = gWellTop, R = gWellRight, B = gWellBottom;
    // Flood the fill colour from the well's middle: it must reach both pockets and no further.
    std::vector<bool> seen(static_cast<size_t>((W + LW) * (H + LH)));
    std::deque<POINT> todo{{(L + R) / 2, (T + B) / 2}};
    bool startPocket = false, goalPocket = false;
    while (!todo.empty()) {
        const POINT p = todo.front();
        todo.pop_front();
        if (p.x < 0 || p.y < 0 || p.x >= W + LW || p.y >= H + LH) continue;
        const size_t i = static_cast<size_t>(p.y * (W + LW) + p.x);
        if (seen[i] || Pixel(p.x, p.y) != gNormalColor1) continue;
        seen[i] = true;
        ASSERT_TRUE(
            Inside(p.x, p.y, L, T, R, B) ||
            Inside(p.x, p.y, L - gCellWidth, B - gCellHeight, L + gCellWidth, B + gCellHeight) ||
            Inside(p.x, p.y, R - gCellWidth, T - gCellHeight, R + gCellWidth, T + gCellHeight))
            << "leak at " << p.x << "," << p.y;
        startPocket = startPocket || (p.x < L && p.y > B);
        goalPocket = goalPocket || (p.x > R && p.y < T);
        todo.push_back({p.x + 1, p.y});
        todo.push_back({p.x - 1, p.y});
        todo.push_back({p.x, p.y + 1});
        todo.push_back({p.x, p.y - 1});
    }
    EXPECT_TRUE(startPocket);
    EXPECT_TRUE(goalPocket);
    // The openings' edges: the top bar stops one cell short, the right bar starts one cell down.
    EXPECT_EQ(Pixel(R - gCellWidth + LW - 1, T), gNormalColor2);
    EXPECT_EQ(Pixel(R - gCellWidth + LW, T), gNormalColor1);
    EXPECT_EQ(Pixel(R, T + gCellHeight - 1), gNormalColor1);
    EXPECT_EQ(Pixel(R, T + gCellHeight), gNormalColor2);
    EXPECT_EQ(Pixel(L + gCellWidth - 1, B), gNormalColor1);
    EXPECT_EQ(Pixel(L + gCellWidth, B), gNormalColor2);
    EXPECT_EQ(Pixel(R + gCellWidth + LW - 1, T + gCellHeight + LH - 1), gNormalColor2);
}

TEST_F(WellTest, ColoursFollowTheGameState) {
    frmMain& form = MainForm();
    const int32_t L = gWellLeft, T = gWellTop;
    form.mMan->Hit = true;
    well.DrawBackground();
    EXPECT_EQ(Pixel(L + 20, T + 20), gAltColor1);
    EXPECT_EQ(Pixel(L, T), gAltColor2);

    // Won: two new random colours per call, fill first.
    form.mState = 2;
    form.mStateCounter = 29;
    quadrix::SharedRandom().Seed(5);
    const COLORREF fill = RandomColor();
    const COLORREF line = RandomColor();
    quadrix::SharedRandom().Seed(5);
    well.DrawBackground();
    EXPECT_EQ(Pixel(L + 20, T + 20), fill);
    EXPECT_EQ(Pixel(L, T), line);
    // From 30 on the inside keeps what was drawn there; the bars still change.
    form.mStateCounter = 30;
    FillRectangle(Dc(), L + 20, T + 20, L + 25, T + 25, kMark);
    well.DrawBackground();
    EXPECT_EQ(Pixel(L + 20, T + 20), kMark);
    EXPECT_NE(Pixel(L, T), line);
}

TEST_F(WellTest, DecorationFortyIsAClosedBlockOnTheBottomEdge) {
    gColumns = 20;
    gRows = 14;
    CompleteDerived();
    MainForm().picMain.Move(0, 0, 20 * CW + LW, 14 * CH + LH);
    FillPicture(kOutside);
    gWellDecoration = 20;
    well.DrawBackground();
    EXPECT_EQ(Pixel(275, 275), gNormalColor1);
    EXPECT_EQ(Pixel(300, 392), gNormalColor2);

    gWellDecoration = 40;  // block (270, 270)-(510, 390) on the well's bottom at 390
    well.DrawBackground();
    EXPECT_EQ(Pixel(270, 300), gNormalColor2);
    EXPECT_EQ(Pixel(509, 300), gNormalColor2);
    EXPECT_EQ(Pixel(300, 270), gNormalColor2);
    EXPECT_EQ(Pixel(275, 275), gNormalColor3);
    EXPECT_EQ(Pixel(300, 392), gNormalColor3);  // cuts through the bottom bar
    EXPECT_EQ(Pixel(272, 392), gNormalColor2);
    EXPECT_EQ(Pixel(265, 300), gNormalColor1);
}

}  // namespace
