// The wall bars of one game: a fixed ring of walls that travel along the grid rows and columns,
// wrap around the playfield edges, push the man ahead of them and are painted onto the
// playfield every tick.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/raster/gdi.h"

class Backdrop;
class kelSprite3;

class clsWalls {
  public:
    struct Wall {
        int32_t X1 = 0;
        int32_t Y1 = 0;
        // Exclusive, including the far grid line's thickness.
        int32_t X2 = 0;
        int32_t Y2 = 0;
        int32_t DirX = 0;
        int32_t DirY = 0;
        int32_t Speed = 0;
        COLORREF ColorA = 0;
        COLORREF ColorB = 0;
        bool Alive = false;
    };

    clsWalls();
    ~clsWalls();
    clsWalls(const clsWalls&) = delete;
    clsWalls& operator=(const clsWalls&) = delete;

    // Attempts per wall before its placement is given up: a crowded layout must not hang set-up.
    static constexpr int32_t kMaxAttempts = 1000;

    // Ring index: the slot the next new wall is written to.
    int32_t mWallI = 0;

    // Generates the whole layout, then loads images/Dollar.bmp below the program's folder
    // (platform::Error when it is missing).
    void Initialize(int32_t pWallCount);
    // One movement pass: walls whose speed is at least pSpeed advance one line.
    void Move(int32_t pSpeed);
    // Pushes the man out of a wall of speed >= pSpeed that has run into him.
    void WallCollide(int32_t pSpeed);
    void Remove(int32_t pIndex);
    void RemoveRandom() {}
    // True when the point is blocked: not path colour on the playfield, or inside a live wall.
    bool ManCollide(int32_t pX, int32_t pY) const;
    // True when the point lies in a live wall of this kind, its far line left out.
    bool ManCollide2(int32_t pX, int32_t pY, int32_t pDirX, int32_t pDirY, int32_t pSpeed) const;
    void DrawBackground();
    void DrawForeground();
    // The same pixels as DrawBackground() followed by DrawForeground(), with much less writing;
    // for a pass that draws nothing between the two. What `under` keeps is painted first: in
    // the usual case band by band with the walls, so that each band stays in the cache.
    void Draw(Backdrop* under = nullptr);
    // Shadow and face of one wall in the solid style.
    void DrawSolidBackground(int32_t pX1, int32_t pY1, int32_t pX2, int32_t pY2, COLORREF pColorA,
                             COLORREF pColorB);
    void DrawSolidForeground(int32_t pX1, int32_t pY1, int32_t pX2, int32_t pY2, COLORREF pColorA,
                             COLORREF pColorB);
    void Terminate() {}

    // Capacity given to Initialize (or Clear).
    int32_t WallCount() const { return mWallCount; }
    const Wall& GetWall(int32_t pIndex) const { return mWall[static_cast<size_t>(pIndex)]; }
    // Overwrites one slot; for tests and tools that set up walls by hand.
    void SetWall(int32_t pIndex, const Wall& pWall) { mWall[static_cast<size_t>(pIndex)] = pWall; }
    // A ring of pWallCount dead slots with no layout and no picture; for tests and tools.
    void Clear(int32_t pWallCount);
    int32_t LiveCount() const;
    // A fingerprint of where the live walls are, slot by slot: replays compare it per pass.
    uint32_t Checksum() const;
    // Walls the last Initialize gave up on after kMaxAttempts refused placements.
    int32_t SkippedCount() const { return mSkipped; }
    const kelSprite3* Dollar() const { return mDollar.get(); }

  private:
    friend class clsWallsPeer;

    int32_t WrapX(int32_t x) const;
    int32_t WrapY(int32_t y) const;
    int32_t FindWall(int32_t x, int32_t y, int32_t dx, int32_t dy, int32_t speed) const;
    bool AddWall(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t dx, int32_t dy);
    void PickColors(int32_t dx, int32_t dy, COLORREF& pFirst, COLORREF& pSecond) const;
    void GridLayout();
    void FreeLayout();
    // Repeats a placement with fresh draws until AddWall accepts it or the bound is reached.
    template <typename Attempt>
    void Place(Attempt attempt);
    void DrawOutlines(HDC hdc, const Wall& w) const;
    // The outline style's fills of one wall, without the outlines.
    void DrawFills(HDC hdc, const Wall& w) const;
    // Cell buckets of the walls placed so far, so that the overlap test of a crowded layout
    // need not walk every wall for every point. Used only while Initialize places walls.
    void StartIndex();  // empty buckets, where the playfield's cells are few enough
    void IndexWall(int32_t pIndex);
    // The bucket of the cell holding a point on the playfield.
    const std::vector<int32_t>& Bucket(int32_t pX, int32_t pY) const;
    bool IndexedCollide2(int32_t pX, int32_t pY, int32_t pDirX, int32_t pDirY,
                         int32_t pSpeed) const;

    int32_t mWallCount = 0;
    int32_t mSkipped = 0;
    std::vector<Wall> mWall;
    // The live walls that cross the band being drawn.
    std::vector<const Wall*> mCrossing;
    std::unique_ptr<kelSprite3> mDollar;
    bool mIndexed = false;
    int32_t mIndexColumns = 0;
    int32_t mIndexRows = 0;
    std::vector<std::vector<int32_t>> mIndex;
    // Slots whose walls cover no cell (no bucket holds them).
    std::vector<int32_t> mUnindexed;
};
