#include "framework/ReducedCopies.h"

#include <algorithm>
#include <cmath>

#include "framework/Blend.h"
#include "framework/Numbers.h"
#include "framework/Picture.h"

namespace fw {

namespace {

// The pixels along a side of level k of a picture with `side` pixels there.
std::int64_t LevelSide(std::int64_t side, int k) { return (side + (std::int64_t{1} << k) - 1) >> k; }

// Level pixels along a side of a tile, the unit in which a level is made as
// views need it, so that a view of a part of a large picture costs the part.
constexpr std::int64_t kTile = 64;

// A reduction no larger than this many times the target is kept whole, so
// that a pan draws it again at the cost of a copy; a larger one is kept as
// far as the target shows it, which a pan makes again.
constexpr std::int64_t kWholeViewTargets = 1;

}  // namespace

// The reduction last drawn: target pixels [t0, t1) of both axes as they lie
// when the origin's whole part is taken off, which a pan changes nothing in.
struct ReducedCopies::View {
  bool made = false;
  AxisMap x{}, y{};
  std::int64_t x0 = 0, y0 = 0;  // the target pixel of pixels(0, 0), origins' whole parts taken off
  Plane pixels;

  static bool SameAxis(const AxisMap& a, const AxisMap& b) {
    return a.size == b.size && a.start == b.start && a.extent == b.extent && a.lo == b.lo && a.hi == b.hi &&
           a.origin - std::floor(a.origin) == b.origin - std::floor(b.origin);
  }
  // Whether it holds the target pixels that ax and ay cover; the same axes
  // read the same level.
  bool Holds(const AxisMap& ax, const AxisMap& ay) const {
    const std::int64_t sx = ToInteger(std::floor(ax.origin)), sy = ToInteger(std::floor(ay.origin));
    return made && SameAxis(ax, x) && SameAxis(ay, y) && ax.t0 - sx >= x0 &&
           ax.t1 - sx <= x0 + pixels.width && ay.t0 - sy >= y0 && ay.t1 - sy <= y0 + pixels.height;
  }
};

ReducedCopies::ReducedCopies(const PixelBuffer& buffer) : buffer_(buffer) {}
ReducedCopies::~ReducedCopies() = default;

ReducedCopies& ReducedCopies::Of(PixelBuffer& buffer) {
  if (!buffer.copies) buffer.copies = std::make_unique<ReducedCopies>(buffer);
  ReducedCopies& c = *buffer.copies;
  if (c.watch_.Written()) c.DropDerived();
  return c;
}

void ReducedCopies::MarkFreshTransparent(PixelBuffer& buffer) {
  ReducedCopies& c = Of(buffer);
  c.Watch(0, buffer.height);
  c.fresh_ = c.watch_.Active();
}

void ReducedCopies::DropDerived() {
  fresh_ = false;
  for (std::size_t i = 0; i < levels_.size(); ++i) {
    Level& level = levels_[i];
    if (static_cast<int>(i) + 1 == lastLevel_) {
      level.made.assign(level.made.size(), false);
    } else {
      level = Level();
    }
  }
  if (view_) view_->made = false;
  watch_.Stop();
}

void ReducedCopies::Watch(std::int64_t y0, std::int64_t y1) {
  if (watch_.Active()) {
    if (y0 >= watched_[0] && y1 <= watched_[1]) return;
    y0 = std::min(y0, watched_[0]);
    y1 = std::max(y1, watched_[1]);
  }
  watch_.Grow(buffer_.pixels.get() + y0 * buffer_.width, static_cast<std::size_t>((y1 - y0) * buffer_.width));
  watched_[0] = y0;
  watched_[1] = y1;
}

ReducedCopies::Level& ReducedCopies::LevelMemory(int k) {
  if (levels_.size() < static_cast<std::size_t>(k)) levels_.resize(static_cast<std::size_t>(k));
  Level& level = levels_[static_cast<std::size_t>(k - 1)];
  if (!level.plane.pixels) {
    const std::int64_t width = LevelSide(buffer_.width, k), height = LevelSide(buffer_.height, k);
    // Not filled: the pages of tiles never made are never touched.
    level.plane.pixels.reset(new Color[static_cast<std::size_t>(width * height)]);
    level.plane.width = width;
    level.plane.height = height;
    level.tilesAcross = (width + kTile - 1) / kTile;
    level.made.assign(static_cast<std::size_t>(level.tilesAcross * ((height + kTile - 1) / kTile)), false);
  }
  return level;
}

const Plane& ReducedCopies::LevelWith(int k, const Region& r) {
  // Lower levels, made below, never move this one: levels_ holds k already.
  Level& level = LevelMemory(k);
  const Plane& plane = level.plane;
  auto made = [&](std::int64_t tx, std::int64_t ty) {
    return level.made[static_cast<std::size_t>(ty * level.tilesAcross + tx)];
  };
  // At most 2^4 x 2^4 pixels summed at once: higher levels come from lower ones.
  const int from = std::max(0, k - 4);
  const int shift = k - from;
  const std::int64_t x1 = std::min(r.x1, plane.width), y1 = std::min(r.y1, plane.height);
  // The picture's rows the tiles made come from, when made from the picture
  // itself; a lower level watches the rows of the tiles it makes.
  std::int64_t readFrom = buffer_.height, readTo = 0;
  for (std::int64_t ty = r.y0 / kTile; ty * kTile < y1; ++ty) {
    for (std::int64_t tx = r.x0 / kTile; tx * kTile < x1; ++tx) {
      if (made(tx, ty)) continue;
      // A run of tiles not made, made at once so that the rows read are long.
      std::int64_t end = tx + 1;
      while (end * kTile < x1 && !made(end, ty)) ++end;
      const Region tiles{tx * kTile, ty * kTile, std::min(end * kTile, plane.width),
                         std::min((ty + 1) * kTile, plane.height)};
      const Source s = from == 0 ? Source{buffer_.pixels.get(), buffer_.width, buffer_.height}
                                 : fw::Of(LevelWith(from, {tiles.x0 << shift, tiles.y0 << shift, tiles.x1 << shift,
                                                           tiles.y1 << shift}));
      AverageBlocks(s, shift, tiles.x0, tiles.y0, tiles.x1, tiles.y1, level.plane);
      for (std::int64_t t = tx; t < end; ++t) level.made[static_cast<std::size_t>(ty * level.tilesAcross + t)] = true;
      if (from == 0) {
        readFrom = std::min(readFrom, tiles.y0 << k);
        readTo = std::max(readTo, std::min(tiles.y1 << k, buffer_.height));
      }
      tx = end - 1;  // on past the run
    }
  }
  if (readFrom < readTo) Watch(readFrom, readTo);
  return plane;
}

void ReducedCopies::DrawReduced(const AxisMap& x, const AxisMap& y, Color* target, std::int64_t targetWidth,
                                std::int64_t targetHeight) {
  // The level read: the smallest still at least as large as the target
  // shows the picture, so each target pixel covers one to two of its pixels
  // along each axis.
  const double scale = std::max(x.size / x.extent, y.size / y.extent);
  int level = 0;
  while (level < 30 && std::ldexp(1.0, -(level + 1)) >= scale) ++level;
  const std::int64_t width = LevelSide(buffer_.width, level), height = LevelSide(buffer_.height, level);

  const std::int64_t sx = ToInteger(std::floor(x.origin)), sy = ToInteger(std::floor(y.origin));
  if (!view_ || !view_->Holds(x, y)) {
    // Kept whole when small enough, so that a pan draws it again at the
    // cost of a copy; else as far as the target shows it.
    std::int64_t wx0, wx1, wy0, wy1;
    Covered(x.origin, x.size, wx0, wx1);
    Covered(y.origin, y.size, wy0, wy1);
    const double limit = static_cast<double>(kWholeViewTargets * targetWidth * targetHeight);
    const bool whole = static_cast<double>(wx1 - wx0) * static_cast<double>(wy1 - wy0) <= limit;
    const std::int64_t tx0 = whole ? wx0 : x.t0, tx1 = whole ? wx1 : x.t1;
    const std::int64_t ty0 = whole ? wy0 : y.t0, ty1 = whole ? wy1 : y.t1;
    const Taps xs = MakeTaps(x, level, width, tx0, tx1);
    const Taps ys = MakeTaps(y, level, height, ty0, ty1);
    // The pixels read, with at least those of the taps made.
    if (level > 0) lastLevel_ = level;
    const Source s = level == 0 ? Source{buffer_.pixels.get(), buffer_.width, buffer_.height}
                                : fw::Of(LevelWith(level, {xs.Begin(), ys.Begin(), xs.End(), ys.End()}));
    if (!view_) view_ = std::make_unique<View>();
    View& v = *view_;
    if (v.pixels.width * v.pixels.height != (tx1 - tx0) * (ty1 - ty0) || !v.pixels.pixels)
      v.pixels.pixels.reset(new Color[static_cast<std::size_t>((tx1 - tx0) * (ty1 - ty0))]);
    v.pixels.width = tx1 - tx0;
    v.pixels.height = ty1 - ty0;
    v.x = x;
    v.y = y;
    v.x0 = tx0 - sx;
    v.y0 = ty0 - sy;
    Resample(s, xs, ys, 0, static_cast<std::size_t>(ty1 - ty0), v.pixels.pixels.get());
    v.made = true;
    if (level == 0) Watch(ys.Begin(), ys.End());  // a level's tiles are watched as they are made
  }
  const View& v = *view_;
  const std::int64_t columns = x.t1 - x.t0;
  for (std::int64_t t = y.t0; t < y.t1; ++t)
    BlendRow(v.pixels.Row(t - sy - v.y0) + (x.t0 - sx - v.x0), target + t * targetWidth + x.t0, columns);
}

}  // namespace fw
