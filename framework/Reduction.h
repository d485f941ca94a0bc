#pragma once
// Framework internals: drawing a picture reduced, in two steps. The picture
// is averaged over blocks of 2^k x 2^k pixels (a level, BlockAverages.cpp),
// then the level that fits the zoom is resampled to the target's pixels
// (Resample.cpp); each pixel of either is the alpha-weighted average of the
// pixels it covers.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "framework/Color.h"

namespace fw {

// One axis of a DrawPicture call. Target pixel t shows the picture's
// [start + (t - origin) * extent / size, start + (t + 1 - origin) * extent / size),
// within the source pixels lo..hi; t runs over [t0, t1).
struct AxisMap {
  double origin;
  double size;
  double start;
  double extent;
  std::int64_t lo, hi;
  std::int64_t t0, t1;

  // The source pixel under the centre of target pixel t.
  std::int64_t Nearest(std::int64_t t) const noexcept;
  bool Reduces() const noexcept { return size < extent; }
};

// The target pixels [begin, end) whose centres fall inside
// [origin, origin + size), unclipped.
void Covered(double origin, double size, std::int64_t& begin, std::int64_t& end) noexcept;

// A block of pixels of its own.
struct Plane {
  std::int64_t width = 0;
  std::int64_t height = 0;
  std::unique_ptr<Color[]> pixels;
  const Color* Row(std::int64_t y) const noexcept { return pixels.get() + y * width; }
};

// Pixels read: a picture's or a plane's.
struct Source {
  const Color* pixels;
  std::int64_t width;
  std::int64_t height;
  const Color* Row(std::int64_t y) const noexcept { return pixels + y * width; }
};

inline Source Of(const Plane& p) { return {p.pixels.get(), p.width, p.height}; }

// Pixels [x0, x1) x [y0, y1) of out, s reduced 2^shift times (shift 1 to 4):
// each the alpha-weighted average of the block of s that it covers, cut
// short at s's edges.
void AverageBlocks(const Source& s, int shift, std::int64_t x0, std::int64_t y0, std::int64_t x1, std::int64_t y1,
                   Plane& out);

// For each target pixel along one axis, the source pixels it covers and how
// much of each, the weights adding up to 1. Every target pixel reads the
// same number of source pixels, some weighing nothing, so that the loops
// over them take the same turns every time.
struct Taps {
  std::int64_t span = 1;            // source pixels read for each target pixel
  std::vector<std::int64_t> first;  // the first of them
  std::vector<float> weight;        // span for each target pixel

  // The source pixels read are [Begin(), End()).
  std::int64_t Begin() const { return first.empty() ? 0 : *std::min_element(first.begin(), first.end()); }
  std::int64_t End() const { return first.empty() ? 0 : *std::max_element(first.begin(), first.end()) + span; }
};

// Taps of target pixels [t0, t1) into a source reduced 2^level times, of
// size `pixels` along this axis.
Taps MakeTaps(const AxisMap& m, int level, std::int64_t pixels, std::int64_t t0, std::int64_t t1);

// Target rows [r0, r1) x columns of xs, into out (one row after another):
// each pixel the alpha-weighted average of the source it covers.
void Resample(const Source& s, const Taps& xs, const Taps& ys, std::size_t r0, std::size_t r1, Color* out);

}  // namespace fw
