#include <vector>

#include "render/effects/Effect.h"
#include "render/effects/FixedHue.h"
#include "render/effects/ShiftedRow.h"

// Corrupted: horizontal bands of random height. Every row of a band is shifted
// left by the band's random number of columns, wrapping round at the right
// edge, and takes the band's one random hue while keeping its source pixels'
// saturation and value.

namespace {
std::int64_t BandHeight(double v) { return static_cast<std::int64_t>((v * Rnd()) * 2.0); }
}  // namespace

void Corrupted(const EffectContext& c) {
  const std::int64_t H = c.H;
  const double v = static_cast<double>(c.v);
  const std::int64_t maxShift = static_cast<std::int64_t>(static_cast<double>(c.W) / 6.0);

  std::int64_t bandHeight = BandHeight(v);
  std::int64_t rowCounter = 1;
  std::int64_t shift = c.glitchRandom.InRange(1, maxShift);
  double bandHue = Rnd();

  std::vector<Color> source(c.W), out(c.W);
  for (std::int64_t y = 0; y < H; ++y) {
    if (bandHeight <= rowCounter) {
      rowCounter = 1;
      shift = c.glitchRandom.InRange(1, maxShift);
      bandHue = Rnd();
      bandHeight = BandHeight(v);
    }
    ShiftedRow(c.picSurf, c.fxSurf, y, shift, source.data(), out.data(),
               [bandHue](const Color* in, std::int64_t, std::int64_t n, Color* to) { WithHue(in, n, bandHue, to); });
    rowCounter = rowCounter + 1;
  }
}
