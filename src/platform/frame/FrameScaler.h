// A frame drawn into a display image of another size: scaled to fit by one factor, centred
// between black bars. Shrinking averages the frame's pixels over the area each display pixel
// covers, so thin lines and text stay visible (grey where they must); enlarging repeats pixels,
// which keeps them sharp. Integer arithmetic only: the same picture on every machine.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/frame/FrameParts.h"

namespace platform {

struct FitRect {
    int32_t x = 0, y = 0, w = 0, h = 0;
};

// The largest rectangle of the frame's shape centred in a display of dstW x dstH.
FitRect FitInto(int32_t frameW, int32_t frameH, int32_t dstW, int32_t dstH);

class FrameScaler {
  public:
    // Draws the frame into dst (dstW x dstH pixels, pitch in pixels). Tables and rows are kept
    // for the next frame of the same sizes: no allocation while the sizes stay.
    void Draw(const FrameParts& parts, uint32_t* dst, int32_t dstPitch, int32_t dstW, int32_t dstH,
              PixelOrder order);
    // Where the frame went in the last Draw or Prepare.
    FitRect Placed() const { return placed_; }

    using Lanes = uint16_t __attribute__((vector_size(8)));  // a pixel's bytes, widened
    // What drawing rows needs of its own: one for each thread that draws.
    struct Scratch {
        std::vector<Lanes> row;  // one frame row, and two spare for whole vectors at its end
        std::vector<const uint32_t*> rows;  // the frame rows of one display row
        std::vector<uint16_t> weights;
    };
    // Draw in parts: Prepare for the frame's and the display's sizes, then DrawRows for bands
    // of display rows [top, bottom), each band with scratch of its own, in any order or at once.
    void Prepare(const FrameParts& parts, int32_t dstW, int32_t dstH);
    void DrawRows(const FrameParts& parts, uint32_t* dst, int32_t dstPitch, int32_t dstW,
                  int32_t top, int32_t bottom, PixelOrder order, Scratch& scratch) const;

  private:
    // For each display pixel along one axis: its first frame pixel and, for each of taps frame
    // pixels from there, a weight out of 256. Taps with no weight at either end are left out,
    // and no pixel's taps reach past the frame's end.
    struct Axis {
        int32_t from = -1, to = -1;  // the sizes it was made for
        int32_t taps = 0;
        std::vector<int32_t> first;
        std::vector<uint16_t> weight;  // taps per display pixel
        // The weights again, each repeated for a pixel's four bytes, two taps to a 16-byte
        // vector (pairs per display pixel; an odd last tap pairs with a zero).
        int32_t pairs = 0;
        std::vector<uint16_t> wide;
        void Build(int32_t frameSize, int32_t displaySize);
    };

    Axis across_, down_;
    Scratch scratch_;
    FitRect placed_;
};

}  // namespace platform
