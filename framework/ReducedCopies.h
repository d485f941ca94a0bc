#pragma once
// Framework internals: what a picture's pixels keep beside them for drawing,
// all of it let go as soon as the pixels it comes from are written
// (PixelMemory.h tells):
// whether they are still the fresh transparent pixels they were made with;
// reduced copies of themselves, level k being the picture reduced 2^k times,
// each pixel the alpha-weighted average of the pixels it covers, made a tile
// at a time as views need them; and the reduction last drawn, so that a view
// that has not changed is drawn again at the cost of a copy.

#include <cstdint>
#include <memory>
#include <vector>

#include "framework/Color.h"
#include "framework/PixelMemory.h"
#include "framework/Reduction.h"

struct PixelBuffer;

namespace fw {

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

 private:
  struct View;
  // Pixels [x0, x1) x [y0, y1) of a picture or a level.
  struct Region {
    std::int64_t x0, y0, x1, y1;
  };
  // A level and which of its tiles are made; the rest of its memory is
  // never written, so takes no room.
  struct Level {
    Plane plane;
    std::int64_t tilesAcross = 0;
    std::vector<bool> made;  // row by row
  };

  // Level k (k >= 1), its memory taken when first needed.
  Level& LevelMemory(int k);
  // Level k (k >= 1), with at least the pixels of r made.
  const Plane& LevelWith(int k, const Region& r);
  void DropDerived();
  // Watches rows [y0, y1) of the picture as well as those already watched:
  // only the rows that what is kept comes from, since protecting pages
  // costs time in proportion to them and a write elsewhere changes nothing
  // kept.
  void Watch(std::int64_t y0, std::int64_t y1);

  const PixelBuffer& buffer_;
  pixel_memory::WriteWatch watch_;
  std::int64_t watched_[2] = {0, 0};  // the rows watched, while the watch is active
  bool fresh_ = false;
  // Level k at k - 1. When the pixels are written, the levels are let go
  // but for the memory of the one drawn last, which the next is made in.
  std::vector<Level> levels_;
  int lastLevel_ = 0;
  std::unique_ptr<View> view_;
};

}  // namespace fw
