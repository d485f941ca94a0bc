#include <algorithm>
#include <vector>

#include "framework/Numbers.h"
#include "render/effects/ColorRows.h"
#include "render/effects/Effect.h"
#include "render/effects/ShiftedRow.h"

// Broken: every pixel's colour components trade roles (its saturation becomes
// the hue, its hue capped at 0.5 the saturation) and its value gets random
// noise that grows with the strength; from a start row drawn from the width
// down to the bottom, the rows are also shifted left by one random number of
// columns, wrapping round at the right edge.

namespace {
// out[i] = HSV(s, Min(h, 0.5), value + (noise[i] / 100.0) * v) of in[i].
void Recolour(const Color* in, const double* noise, std::int64_t n, double v, Color* out) {
  double h[ColorRows::kRun], s[ColorRows::kRun], val[ColorRows::kRun];
  for (std::int64_t i = 0; i < n; i += ColorRows::kRun) {
    const std::int64_t m = std::min(ColorRows::kRun, n - i);
    ColorRows::ToHSV(in + i, m, h, s, val);
    for (std::int64_t k = 0; k < m; ++k) {
      const double hue = s[k];
      s[k] = Min(h[k], 0.5);
      h[k] = hue;
      val[k] = val[k] + (noise[i + k] / 100.0) * v;
    }
    ColorRows::FromHSV(h, s, val, m, out + i);
  }
}
}  // namespace

void Broken(const EffectContext& c) {
  const std::int64_t W = c.W, H = c.H;
  const std::int64_t startRow = c.glitchRandom.InRange(static_cast<std::int64_t>(static_cast<double>(W) / 8.0),
                                                       static_cast<std::int64_t>(static_cast<double>(W) / 1.2));
  const std::int64_t shift = c.glitchRandom.InRange(1, static_cast<std::int64_t>(static_cast<double>(W) / 6.0));
  const double v = static_cast<double>(c.v);

  std::vector<Color> source(W), out(W);
  std::vector<double> noise(W);
  for (std::int64_t y = 0; y < H; ++y) {
    // One draw per pixel, in row order, before the row's arithmetic.
    RndMany(noise.data(), W);
    // Rows above the start row keep their place: a shift of 0.
    ShiftedRow(c.picSurf, c.fxSurf, y, y >= startRow ? shift : 0, source.data(), out.data(),
               [&noise, v](const Color* in, std::int64_t x, std::int64_t n, Color* to) {
                 Recolour(in, noise.data() + x, n, v, to);
               });
  }
}
