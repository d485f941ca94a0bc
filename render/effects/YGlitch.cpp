#include <algorithm>
#include <vector>

#include "render/effects/ColorRows.h"
#include "render/effects/Effect.h"

// Rolls most columns up by a random 0 to v rows, the rows pushed off the top
// coming back in at the bottom; a column whose choice is 0 or 1 stays.
void YGlitch(const EffectContext& c) {
  const std::int64_t W = c.W, H = c.H, v = c.v;
  // Two draws per column, in column order, before any pixel: the pixels
  // themselves draw nothing.
  std::vector<std::int64_t> shift(static_cast<std::size_t>(W));
  for (std::int64_t& s : shift) {
    const std::int64_t offset = c.glitchRandom.InRange(0, v);
    const std::int64_t r = c.glitchRandom.InRange(0, 10);
    s = r > 1 ? offset : 0;
  }

  // A column reads and writes only itself, top row first; walking the rows
  // keeps that order within every column, also in place. Row y takes its
  // pixels from rows y to y + v, which no row has rewritten yet: they are
  // read whole into a ring of v + 1 rows before row y is written. A source
  // that wraps past the bottom lies in a row above y and is read from the
  // picture as the run has left it, rewritten already when in place.
  const RGBSurface pic = c.picSurf, fx = c.fxSurf;
  const std::int64_t ringRows = v + 1;
  std::vector<Color> ring(static_cast<std::size_t>(ringRows * W)), out(static_cast<std::size_t>(W));
  std::vector<const Color*> rowAt(static_cast<std::size_t>(ringRows));  // rowAt[o]: row y + o
  auto load = [&](std::int64_t row) {
    if (row < H) ColorRows::ReadRun(pic, 0, row, W, ring.data() + (row % ringRows) * W);
  };
  for (std::int64_t row = 0; row < std::min(v, H); ++row) load(row);
  for (std::int64_t y = 0; y < H; ++y) {
    load(y + v);
    for (std::int64_t o = 0; o < ringRows; ++o) rowAt[o] = ring.data() + ((y + o) % ringRows) * W;
    if (y + v < H) {
      for (std::int64_t x = 0; x < W; ++x) out[x] = rowAt[shift[x]][x];
    } else {
      for (std::int64_t x = 0; x < W; ++x) {
        const std::int64_t s = y + shift[x];
        out[x] = s < H ? rowAt[shift[x]][x] : pic.Pixel(x, s - H);
      }
    }
    ColorRows::WriteRun(fx, 0, y, W, out.data());
  }
}
