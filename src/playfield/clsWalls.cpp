// The wall ring: folding, point tests, motion and the push of the man.
#include "playfield/clsWalls.h"

#include <algorithm>
#include <utility>

#include "graphics/kelSprite3.h"
#include "main/frmMain.h"
#include "main/modMain.h"
#include "playfield/Backdrop.h"
#include "playfield/clsMan.h"

namespace {

// The playfield's right and bottom ends, its far grid line included.
std::pair<int32_t, int32_t> FarEdges() {
    return {gCellWidth * gColumns + gLineWidth, gCellHeight * gRows + gLineHeight};
}

// One displacement the push may try, in lines.
struct Step {
    int32_t dx;
    int32_t dy;
};

// Tries 3 to 18 of the push; tries 1 and 2 follow the wall and are computed per push.
constexpr Step kFallback[16] = {{1, 0},  {-1, 0},  {0, 1},  {0, -1}, {1, 1}, {-1, -1},
                                {1, -1}, {-1, 1},  {2, 0},  {-2, 0}, {0, 2}, {0, -2},
                                {2, 2},  {-2, -2}, {2, -2}, {-2, 2}};

// Direction of the first live wall of at least this speed that travels along the axis (X when
// horizontal) and holds the point: p is the point's place along the axis, q across it, end the
// picture's size along it. Only a wall wrapped along its own axis is held in two pieces.
int32_t HoldingDirection(const std::vector<clsWalls::Wall>& walls, int32_t speed, bool horizontal,
                         int32_t p, int32_t q, int32_t end) {
    for (const clsWalls::Wall& w : walls) {
        const int32_t dir = horizontal ? w.DirX : w.DirY;
        if (!w.Alive || w.Speed < speed || dir == 0) continue;
        const int32_t a1 = horizontal ? w.X1 : w.Y1;
        const int32_t a2 = horizontal ? w.X2 : w.Y2;
        const int32_t b1 = horizontal ? w.Y1 : w.X1;
        const int32_t b2 = horizontal ? w.Y2 : w.X2;
        const bool along = a2 < a1 ? (0 <= p && p < a2) || (a1 <= p && p < end) : a1 <= p && p < a2;
        if (along && b1 <= q && q < b2) return dir;
    }
    return 0;
}

}  // namespace

clsWalls::clsWalls() = default;
clsWalls::~clsWalls() = default;

void clsWalls::Clear(int32_t pWallCount) {
    mWallCount = pWallCount > 0 ? pWallCount : 0;
    mWall.assign(static_cast<size_t>(mWallCount), Wall{});
    mCrossing.clear();
    mCrossing.reserve(mWall.size());
    mWallI = 0;
    mSkipped = 0;
}

int32_t clsWalls::LiveCount() const {
    int32_t n = 0;
    for (const Wall& w : mWall)
        n += w.Alive ? 1 : 0;
    return n;
}

uint32_t clsWalls::Checksum() const {
    uint32_t h = 2166136261u;
    auto mix = [&h](int32_t v) { h = (h ^ static_cast<uint32_t>(v)) * 16777619u; };
    for (size_t i = 0; i < mWall.size(); ++i) {
        if (!mWall[i].Alive) continue;
        mix(static_cast<int32_t>(i));
        mix(mWall[i].X1);
        mix(mWall[i].Y1);
        mix(mWall[i].X2);
        mix(mWall[i].Y2);
    }
    return h;
}

// Only one period is added or taken away: callers stay within one period.
int32_t clsWalls::WrapX(int32_t x) const {
    const int32_t w = gCellWidth * gColumns;
    if (x > 0) return x <= w ? x : x - w;
    return w + x;
}

int32_t clsWalls::WrapY(int32_t y) const {
    const int32_t h = gCellHeight * gRows;
    if (y > 0) return y <= h ? y : y - h;
    return h + y;
}

int32_t clsWalls::FindWall(int32_t x, int32_t y, int32_t dx, int32_t dy, int32_t speed) const {
    const auto matches = [&](int32_t i) {
        const Wall& w = mWall[static_cast<size_t>(i)];
        return w.Alive && w.DirX == dx && w.DirY == dy && w.Speed == speed &&
               (x == w.X1 || x == w.X2) && (y == w.Y1 || y == w.Y2);
    };
    if (mIndexed) {
        // A wall with a corner at (x, y) covers one of the four pixels around it, so it is in
        // the bucket of one of their cells; the first slot of all is the one walking finds.
        const auto [right, bottom] = FarEdges();
        if (x >= 0 && y >= 0 && x <= right && y <= bottom) {
            int32_t found = -1;
            for (const int32_t py : {y - 1, y}) {
                for (const int32_t px : {x - 1, x}) {
                    if (px < 0 || py < 0 || px >= right || py >= bottom) continue;
                    for (int32_t i : Bucket(px, py)) {
                        if ((found < 0 || i < found) && matches(i)) found = i;
                    }
                }
            }
            for (int32_t i : mUnindexed) {
                if ((found < 0 || i < found) && matches(i)) found = i;
            }
            return found;
        }
    }
    for (int32_t i = 0; i < mWallCount; ++i) {
        if (matches(i)) return i;
    }
    return -1;
}

bool clsWalls::ManCollide(int32_t pX, int32_t pY) const {
    // Anything drawn in another colour than the path blocks, walls or not; a point outside the
    // picture reads as an invalid colour. The pass's fill and well are not painted yet: they
    // answer for themselves.
    frmMain& form = MainForm();
    if (form.mBackdrop->PixelAt(form.picMain.hDC(), pX, pY) != gNormalColor1) return true;
    const auto [right, bottom] = FarEdges();
    for (const Wall& w : mWall) {
        if (!w.Alive) continue;
        if (w.X2 < w.X1) {
            if (w.Y1 <= pY && pY < w.Y2 && ((0 <= pX && pX < w.X2) || (w.X1 <= pX && pX < right)))
                return true;
        } else if (w.Y2 < w.Y1) {
            if (w.X1 <= pX && pX < w.X2 && ((0 <= pY && pY < w.Y2) || (w.Y1 <= pY && pY < bottom)))
                return true;
        } else if (w.X1 <= pX && pX < w.X2 && w.Y1 <= pY && pY < w.Y2) {
            return true;
        }
    }
    return false;
}

namespace {

// The overlap rectangles of placement: the wall without its far line. An X-wrapped wall's
// right piece runs to the picture's full width, a Y-wrapped wall's lower piece to its height.
bool Contains2(const clsWalls::Wall& w, int32_t pX, int32_t pY, int32_t lw, int32_t lh,
               int32_t right, int32_t bottom) {
    if (w.X2 < w.X1) {
        return w.Y1 <= pY && pY < w.Y2 - lh &&
               ((0 <= pX && pX < w.X2 - lw) || (w.X1 <= pX && pX < right));
    }
    if (w.Y2 < w.Y1) {
        return w.X1 <= pX && pX < w.X2 - lw &&
               ((0 <= pY && pY < w.Y2 - lh) || (w.Y1 <= pY && pY < bottom));
    }
    return w.X1 <= pX && pX < w.X2 - lw && w.Y1 <= pY && pY < w.Y2 - lh;
}

}  // namespace

bool clsWalls::ManCollide2(int32_t pX, int32_t pY, int32_t pDirX, int32_t pDirY,
                           int32_t pSpeed) const {
    if (mIndexed) return IndexedCollide2(pX, pY, pDirX, pDirY, pSpeed);
    const int32_t lw = gLineWidth;
    const int32_t lh = gLineHeight;
    const auto [right, bottom] = FarEdges();
    // The far line is left out, so a wall of the same kind may start on another's end line.
    for (const Wall& w : mWall) {
        if (!w.Alive || w.DirX != pDirX || w.DirY != pDirY || w.Speed != pSpeed) continue;
        if (Contains2(w, pX, pY, lw, lh, right, bottom)) return true;
    }
    return false;
}

// The answer is only "some wall contains the point", so looking at the walls of the point's
// cell alone gives the same result as walking them all. Buckets may hold stale slots (removed
// or overwritten walls); every candidate is tested in full.
bool clsWalls::IndexedCollide2(int32_t pX, int32_t pY, int32_t pDirX, int32_t pDirY,
                               int32_t pSpeed) const {
    const int32_t lw = gLineWidth;
    const int32_t lh = gLineHeight;
    const auto [right, bottom] = FarEdges();
    if (pX < 0 || pY < 0 || pX >= right || pY >= bottom) return false;
    for (int32_t i : Bucket(pX, pY)) {
        const Wall& w = mWall[static_cast<size_t>(i)];
        if (!w.Alive || w.DirX != pDirX || w.DirY != pDirY || w.Speed != pSpeed) continue;
        if (Contains2(w, pX, pY, lw, lh, right, bottom)) return true;
    }
    return false;
}

const std::vector<int32_t>& clsWalls::Bucket(int32_t pX, int32_t pY) const {
    const int32_t bx = std::min(pX / gCellWidth, mIndexColumns - 1);
    const int32_t by = std::min(pY / gCellHeight, mIndexRows - 1);
    return mIndex[static_cast<size_t>(by * mIndexColumns + bx)];
}

void clsWalls::IndexWall(int32_t pIndex) {
    const Wall& w = mWall[static_cast<size_t>(pIndex)];
    const auto [right, bottom] = FarEdges();
    // The pieces a wall may cover, as in the point tests.
    struct Span {
        int32_t from, to;
    };
    Span xs[2] = {{w.X1, w.X2}, {0, 0}};
    Span ys[2] = {{w.Y1, w.Y2}, {0, 0}};
    if (w.X2 < w.X1) {
        xs[0] = {0, w.X2};
        xs[1] = {w.X1, right};
    } else if (w.Y2 < w.Y1) {
        ys[0] = {0, w.Y2};
        ys[1] = {w.Y1, bottom};
    }
    bool indexed = false;
    for (const Span& sx : xs) {
        for (const Span& sy : ys) {
            const int32_t x0 = std::max(sx.from, 0);
            const int32_t x1 = std::min(sx.to, right);
            const int32_t y0 = std::max(sy.from, 0);
            const int32_t y1 = std::min(sy.to, bottom);
            if (x0 >= x1 || y0 >= y1) continue;
            const int32_t cx1 = std::min((x1 - 1) / gCellWidth, mIndexColumns - 1);
            const int32_t cy1 = std::min((y1 - 1) / gCellHeight, mIndexRows - 1);
            for (int32_t cy = y0 / gCellHeight; cy <= cy1; ++cy) {
                for (int32_t cx = x0 / gCellWidth; cx <= cx1; ++cx) {
                    mIndex[static_cast<size_t>(cy * mIndexColumns + cx)].push_back(pIndex);
                }
            }
            indexed = true;
        }
    }
    if (!indexed) mUnindexed.push_back(pIndex);
}

void clsWalls::Remove(int32_t pIndex) {
    if (pIndex < 0 || pIndex >= mWallCount) return;
    mWall[static_cast<size_t>(pIndex)].Alive = false;
}

void clsWalls::Move(int32_t pSpeed) {
    const int32_t lw = gLineWidth;
    const int32_t lh = gLineHeight;
    // Each corner folds on its own, so a wall becomes wrapped (and stops being so) as its
    // corners cross the edges.
    for (Wall& w : mWall) {
        if (!w.Alive || w.Speed < pSpeed) continue;
        w.X1 = WrapX(w.X1 + w.DirX * lw);
        w.X2 = WrapX(w.X2 + w.DirX * lw);
        w.Y1 = WrapY(w.Y1 + w.DirY * lh);
        w.Y2 = WrapY(w.Y2 + w.DirY * lh);
    }
}

void clsWalls::WallCollide(int32_t pSpeed) {
    frmMain& form = MainForm();
    if (form.mState == GameState::Won || gElectric || !form.mMan) return;
    clsMan& man = *form.mMan;
    const int32_t mx = man.mX;
    const int32_t my = man.mY;
    const int32_t lw = gLineWidth;
    const int32_t lh = gLineHeight;
    const auto [right, bottom] = FarEdges();

    // A wall pushes only along the axis it travels.
    const int32_t hx = HoldingDirection(mWall, pSpeed, true, mx, my, right);
    const int32_t vy = HoldingDirection(mWall, pSpeed, false, my, mx, bottom);
    if (hx == 0 && vy == 0) return;

    // One line ahead of the wall, then two, then the fixed list of nearby spots.
    const Step ahead[2] = {{hx, vy}, {2 * hx, 2 * vy}};
    for (const Step& s : ahead) {
        if (!ManCollide(mx + s.dx * lw, my + s.dy * lh)) {
            man.mX = mx + s.dx * lw;
            man.mY = my + s.dy * lh;
            return;
        }
    }
    for (const Step& s : kFallback) {
        if (!ManCollide(mx + s.dx * lw, my + s.dy * lh)) {
            man.mX = mx + s.dx * lw;
            man.mY = my + s.dy * lh;
            return;
        }
    }
}
