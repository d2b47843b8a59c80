// Wall layout: the grid and free layouts, placement with the overlap points, merging, colours
// and the wall set's picture.
#include <memory>
#include <vector>

#include "graphics/kelSprite3.h"
#include "main/modMain.h"
#include "platform/Numbers.h"
#include "platform/Random.h"
#include "platform/files/ProgramFolder.h"
#include "playfield/clsWalls.h"
#include "playfield/modColor.h"

namespace {

// Beyond this many cells the layout walks the walls instead of keeping buckets.
constexpr int64_t kMaxIndexCells = 1 << 20;

// Lightens (or saturates) a colour by 0.2 for the solid style.
COLORREF Brighten(COLORREF c, bool saturation) {
    double r = 0, g = 0, b = 0, h = 0, l = 0, s = 0;
    ColorToRGB(c, r, g, b);
    RGBToHSL(r, g, b, h, l, s);
    double& v = saturation ? s : l;
    v = v + 0.2;
    if (v > 1.0) v = 1.0;
    HSLToRGB(h, l, s, r, g, b);
    return RGB(Nearest(r), Nearest(g), Nearest(b));
}

// Direction by parity, or a coin when directions are random.
int32_t ParityDirection(int32_t index) {
    if (gRandomDirections) return Rnd() < 0.5 ? -1 : 1;
    return (index % 2 != 0) ? -1 : 1;
}

// Whole part of a per-row mean, plus one with the chance of its fraction (one draw).
int32_t CountWithFraction(double mean) {
    int32_t n = Int(mean);
    const float fraction = static_cast<float>(mean - Int(mean));
    if (fraction > Rnd()) n = n + 1;
    return n;
}

}  // namespace

void clsWalls::StartIndex() {
    mIndexColumns = gColumns + 1;
    mIndexRows = gRows + 1;
    mIndexed = gCellWidth > 0 && gCellHeight > 0 && gColumns > 0 && gRows > 0 &&
               static_cast<int64_t>(mIndexColumns) * mIndexRows <= kMaxIndexCells;
    if (mIndexed) mIndex.assign(static_cast<size_t>(mIndexColumns) * mIndexRows, {});
    mUnindexed.clear();
}

void clsWalls::Initialize(int32_t pWallCount) {
    Clear(pWallCount);
    StartIndex();
    if (gAnarchy) {
        FreeLayout();
    } else {
        GridLayout();
    }
    mIndexed = false;
    std::vector<std::vector<int32_t>>().swap(mIndex);
    std::vector<int32_t>().swap(mUnindexed);
    auto dollar = std::make_unique<kelSprite3>();
    dollar->Initialize(false, -1, -1, -1, platform::ProgramFolder() + "/images/Dollar.bmp", 255);
    mDollar = std::move(dollar);
}

// Unbounded retries would hang set-up on a crowded screen, so each wall gets kMaxAttempts.
template <typename Attempt>
void clsWalls::Place(Attempt attempt) {
    if (mWallCount <= 0) {
        ++mSkipped;
        return;
    }
    for (int32_t i = 0; i < kMaxAttempts; ++i) {
        if (attempt()) return;
    }
    ++mSkipped;
}

void clsWalls::GridLayout() {
    const int32_t cw = gCellWidth;
    const int32_t ch = gCellHeight;
    const int32_t lw = gLineWidth;
    const int32_t lh = gLineHeight;

    // A wall of gWallLength cells along grid line `line`: a row when `row`, else a column.
    auto gridWall = [&](int32_t line, bool row) {
        const int32_t d = ParityDirection(line);
        const int32_t at = Int(Rnd() * (row ? gColumns : gRows)) + 1;
        const int32_t x1 = WrapX(cw * (row ? at : line));
        const int32_t y1 = WrapY(ch * (row ? line : at));
        const int32_t x2 = WrapX(x1 + (row ? gWallLength : 1) * cw + lw);
        const int32_t y2 = WrapY(y1 + (row ? 1 : gWallLength) * ch + lh);
        return AddWall(x1, y1, x2, y2, row ? d : 0, row ? 0 : d);
    };
    for (int32_t r = gWellMarginRows; r <= gRows - gWellMarginRows - 1; ++r) {
        const int32_t n = CountWithFraction(gWallsPerRow);
        for (int32_t k = 0; k < n; ++k)
            Place([&] { return gridWall(r, true); });
    }
    for (int32_t c = gWellMarginColumns; c <= gColumns - gWellMarginColumns - 1; ++c) {
        const int32_t n = CountWithFraction(gWallsPerColumn);
        for (int32_t k = 0; k < n; ++k)
            Place([&] { return gridWall(c, false); });
    }
}

void clsWalls::FreeLayout() {
    const int32_t cw = gCellWidth;
    const int32_t ch = gCellHeight;
    const int32_t lw = gLineWidth;
    const int32_t lh = gLineHeight;
    const int32_t cwl = gCellWidthLines;
    const int32_t chl = gCellHeightLines;

    const int32_t across = Nearest((gRows - 2 * gWellMarginRows) * gWallsPerRow);
    for (int32_t k = 0; k < across; ++k) {
        Place([&] {
            const int32_t ux = Int(Rnd() * (gColumns + 1) * cwl) - cwl;
            const int32_t uy =
                Int(Rnd() * ((gRows - 2 * gWellMarginRows - 1) * chl + 1)) + chl * gWellMarginRows;
            const int32_t d = Rnd() < 0.5 ? 1 : -1;
            const int32_t x1 = WrapX(lw * ux);
            const int32_t y1 = WrapY(lh * uy);
            const int32_t x2 = WrapX(x1 + gWallLength * cw + lw);
            const int32_t y2 = WrapY(y1 + ch + lh);
            return AddWall(x1, y1, x2, y2, d, 0);
        });
    }
    const int32_t down = Nearest((gColumns - 2 * gWellMarginColumns) * gWallsPerColumn);
    for (int32_t k = 0; k < down; ++k) {
        Place([&] {
            const int32_t ux = Int(Rnd() * ((gColumns - 2 * gWellMarginColumns - 1) * cwl + 1)) +
                               cwl * gWellMarginColumns;
            const int32_t uy = Int(Rnd() * (gRows + 1) * chl) - chl;
            const int32_t d = Rnd() < 0.5 ? 1 : -1;
            const int32_t x1 = WrapX(lw * ux);
            const int32_t y1 = WrapY(lh * uy);
            const int32_t x2 = WrapX(x1 + cw + lw);
            const int32_t y2 = WrapY(y1 + gWallLength * ch + lh);
            return AddWall(x1, y1, x2, y2, 0, d);
        });
    }
}

bool clsWalls::AddWall(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t dx, int32_t dy) {
    if (mWallCount <= 0) return false;
    const int32_t lw = gLineWidth;
    const int32_t lh = gLineHeight;
    const int32_t s = Int(Rnd() * gSpeedFactor) + 1;

    // Overlap points: with pieces, the corners and the spots just outside them, so a new wall
    // neither overlaps nor touches one of its kind.
    if (gPiecesOff) {
        if (ManCollide2(x1, y1, dx, dy, s)) return false;
        if (!gAnarchy && ManCollide2(WrapX(x2 - 2 * lw), WrapY(y2 - 2 * lh), dx, dy, s))
            return false;
    } else {
        const int32_t px[12] = {x1,      x2 - lw, x1,          x2 - lw, x1 - 2 * lw, x1,
                                x2 + lw, x2 - lw, x1 - 2 * lw, x1,      x2 + lw,     x2 - lw};
        const int32_t py[12] = {y1, y1,          y2 - lh, y2 - lh, y1,      y1 - 2 * lh,
                                y1, y1 - 2 * lh, y2 - lh, y2 + lh, y2 - lh, y2 + lh};
        for (int i = 0; i < 12; ++i) {
            if (ManCollide2(WrapX(px[i]), WrapY(py[i]), dx, dy, s)) return false;
        }
    }

    // Without pieces, touching walls of one kind join into one longer wall.
    if (gPiecesOff) {
        int32_t i = FindWall(WrapX(x1 + lw), y1, dx, dy, s);
        if (i >= 0) {
            x1 = mWall[static_cast<size_t>(i)].X1;
            Remove(i);
        }
        i = FindWall(WrapX(x2 - lw), y2, dx, dy, s);
        if (i >= 0) {
            x2 = mWall[static_cast<size_t>(i)].X2;
            Remove(i);
        }
        i = FindWall(x1, WrapY(y1 + lh), dx, dy, s);
        if (i >= 0) {
            y1 = mWall[static_cast<size_t>(i)].Y1;
            Remove(i);
        }
        i = FindWall(x2, WrapY(y2 - lh), dx, dy, s);
        if (i >= 0) {
            y2 = mWall[static_cast<size_t>(i)].Y2;
            Remove(i);
        }
    }

    // The ring index is public: one set from outside to a slot that does not exist starts the
    // ring over instead of writing past the array.
    if (mWallI < 0 || mWallI >= mWallCount) mWallI = 0;
    Wall& w = mWall[static_cast<size_t>(mWallI)];
    w.X1 = x1;
    w.Y1 = y1;
    w.X2 = x2;
    w.Y2 = y2;
    w.Speed = s;
    w.Alive = true;
    w.DirX = dx;
    w.DirY = dy;
    if (mIndexed) IndexWall(mWallI);

    COLORREF a = 0;
    COLORREF b = 0;
    PickColors(dx, dy, a, b);
    if (gSolid) {
        w.ColorA = Brighten(a, false);
        w.ColorB = Brighten(b, true);
    } else {
        w.ColorA = a;
        w.ColorB = b;
    }

    mWallI = mWallI + 1;
    if (mWallI > mWallCount - 1) mWallI = 0;
    return true;
}

void clsWalls::PickColors(int32_t dx, int32_t dy, COLORREF& pFirst, COLORREF& pSecond) const {
    if (gWallColorMode == 2) {
        pFirst = RandomColor();
        pSecond = RandomColor();
        return;
    }
    if (dx == -1) {
        pFirst = gWallLeftColorA;
        pSecond = gWallLeftColorB;
    } else if (dx == 1) {
        pFirst = gWallRightColorA;
        pSecond = gWallRightColorB;
    } else if (dy == -1) {
        pFirst = gWallUpColorA;
        pSecond = gWallUpColorB;
    } else if (dy == 1) {
        pFirst = gWallDownColorA;
        pSecond = gWallDownColorB;
    }
}
