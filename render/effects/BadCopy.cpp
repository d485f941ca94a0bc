#include <algorithm>
#include <cstdint>
#include <vector>

#include "render/effects/ColorRows.h"
#include "render/effects/Effect.h"
#include "render/effects/FixedHue.h"

// Bad Copy: a faulty copy in three strokes. In every column the part above a
// random row slides up by a random number of rows (at most the strength),
// wrapping round at the bottom; every pixel then takes the hue 0.7; last, each
// pixel is replaced by one of its row up to a tenth of its column index
// further right, which smears the picture more strongly towards the right.

namespace {
// Columns rewritten together in the smear: its draws come column by column,
// its pixels are visited row by row within the strip. A strip this wide
// reads each row in runs of 2 KB and more (a pixel reads up to a tenth of
// its column further right), which costs little more than whole rows.
constexpr std::int64_t kStrip = 512;
}  // namespace

void BadCopy(const EffectContext& c) {
  const std::int64_t v = c.v, W = c.W, H = c.H;

  std::vector<std::int64_t> offset(W), limit(W);
  for (std::int64_t x = 0; x < W; ++x) {
    offset[x] = c.glitchRandom.InRange(0, v);
    limit[x] = c.glitchRandom.InRange(H / 10, H / 2);
  }

  // Slide and tint. Each pixel reads only its own column, at its own row or,
  // wrapped round, above it, so row by row it reads in the same state as
  // column by column: rows above already rewritten, its row and those below
  // not yet.
  std::vector<Color> row(W);
  for (std::int64_t y = 0; y < H; ++y) {
    for (std::int64_t x = 0; x < W; ++x) {
      std::int64_t sy = y;
      if (y < limit[x]) sy = y + offset[x] < H ? y + offset[x] : y + offset[x] - H;
      row[x] = c.picSurf.Pixel(x, sy);
    }
    WithHue(row.data(), W, 0.7, row.data());
    ColorRows::WriteRun(c.fxSurf, 0, y, W, row.data());
  }

  // Smear. A pixel reads its own row at its column or right of it, which no
  // pixel visited before it has rewritten, in any order that keeps the
  // columns of a row ascending. The draws come column by column.
  std::vector<std::int32_t> source(std::min(kStrip, W) * H);
  for (std::int64_t x0 = 0; x0 < W; x0 += kStrip) {
    const std::int64_t k = std::min(kStrip, W - x0);
    for (std::int64_t j = 0; j < k; ++j) {
      const std::int64_t x = x0 + j;
      c.glitchRandom.InRangeMany(x, 11 * x / 10, source.data() + j * H, H);
    }
    for (std::int64_t y = 0; y < H; ++y)
      for (std::int64_t j = 0; j < k; ++j) c.fxSurf.SetPixel(x0 + j, y, c.fxSurf.Pixel(source[j * H + y], y));
  }
}
