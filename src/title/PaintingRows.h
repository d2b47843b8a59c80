// The title's painting is made of lines and panels that run from edge to edge, so its rows are
// a few rows repeated. Kept once each, and twice over so that a row wrapped at any place is one
// run, they let a move of the painting write only the pixels that change: a whole-window copy
// of the painting, every few frames, was most of the title's time.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/raster/gdi.h"

class PaintingRows {
  public:
    // Learns the painting's rows. False, with moves refused, for a monochrome painting or one
    // of more different rows than are worth keeping.
    bool Take(const Bitmap& painting);
    void Forget();

    // The painting wrapped with its top left at (x, y) into image, where it differs from the
    // painting at (fromX, fromY): image must hold the latter, and now holds the former, apart
    // from what lies over it. False, writing nothing, unless a painting was taken that is at
    // least as large as image.
    bool Move(Bitmap& image, int32_t fromX, int32_t fromY, int32_t x, int32_t y);

  private:
    const uint32_t* Row(uint32_t k) const { return rows_.data() + size_t{k} * 2 * width_; }

    int32_t width_ = 0, height_ = 0;
    std::vector<uint32_t> rowOf_;  // painting row -> its kept row
    std::vector<uint32_t> rows_;   // the kept rows, each 2 * width_ pixels
    // Where the last row compared differs, as [from, to) pairs, for the rows after it.
    std::vector<int32_t> spans_;
};
