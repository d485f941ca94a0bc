#pragma once
// Framework internals: what a picture's pixels keep beside them for drawing,
// all of it let go as soon as the pixels are written (PixelMemory.h tells):
// whether they are still the fresh transparent pixels they were made with;
// reduced copies of themselves, level k being the picture reduced 2^k times,
// each pixel the alpha-weighted average of the pixels it covers; and the
// reduction last drawn, so that a view that has not changed is drawn again
// at the cost of a copy.

#include <cstdint>
#include <memory>
#include <vector>

#include "framework/Color.h"
#include "framework/PixelMemory.h"

struct PixelBuffer;

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

// A block of pixels of its own.
struct Plane {
  std::int64_t width = 0;
  std::int64_t height = 0;
  std::unique_ptr<Color[]> pixels;
  const Color* Row(std::int64_t y) const noexcept { return pixels.get() + y * width; }
};

class ReducedCopies {
 public:
  // The copies of a buffer, made on first use, with everything derived from
  // pixels written since they were made let go.
  static ReducedCopies& Of(PixelBuffer& buffer);
  // Marks a buffer as fresh and transparent until something writes into it.
  static void MarkFreshTransparent(PixelBuffer& buffer);

  explicit ReducedCopies(const PixelBuffer& buffer);
  ~ReducedCopies();
  ReducedCopies(const ReducedCopies&) = delete;
  ReducedCopies& operator=(const ReducedCopies&) = delete;

  // True while the pixels are the fresh transparent ones.
  bool AllTransparent() const noexcept { return fresh_; }

  // Draws the picture reduced (x.Reduces() or y.Reduces()) into the target
  // rows, the alpha-weighted average of what each target pixel covers.
  void DrawReduced(const AxisMap& x, const AxisMap& y, Color* target, std::int64_t targetWidth,
                   std::int64_t targetHeight);

  // Level k (k >= 1), made when first needed.
  const Plane& Level(int k);

 private:
  struct View;
  void DropDerived();
  void Watch();

  const PixelBuffer& buffer_;
  pixel_memory::WriteWatch watch_;
  bool fresh_ = false;
  // Level k at k - 1. When the pixels are written, the levels are let go
  // but for the memory of the one drawn last, which the next is made in.
  struct Made {
    Plane plane;
    bool made = false;
  };
  std::vector<Made> levels_;
  int lastLevel_ = 0;
  std::unique_ptr<View> view_;
};

}  // namespace fw
