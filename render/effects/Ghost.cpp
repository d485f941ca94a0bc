#include <algorithm>

#include "framework/Numbers.h"
#include "render/effects/ColorRows.h"
#include "render/effects/Effect.h"

namespace {

using ColorRows::kRun;

struct Band {
  std::int64_t s, e;  // the band holds the rows strictly between s and e
};

// s = InRange(side / 10, side / 1.5), then its length InRange(side / 3, side / 1.6).
Band DrawBand(Random& random, std::int64_t side) {
  const double d = static_cast<double>(side);
  const std::int64_t s = random.InRange(ToInteger(d / 10.0), ToInteger(d / 1.5));
  const std::int64_t l = random.InRange(ToInteger(d / 3.0), ToInteger(d / 1.6));
  return {s, s + l};
}

// One pass: inside the band every pixel takes the larger hue, saturation and
// value of itself and of the pixel v rows below; outside it is copied as
// read. Rows outside the band are skipped when `copyOutside` is false.
void Pass(const EffectContext& c, Band band, bool copyOutside) {
  const RGBSurface pic = c.picSurf, fx = c.fxSurf;  // held here, the compiler keeps them in registers
  Color px[kRun], below[kRun];
  double h[kRun], s[kRun], v[kRun], hb[kRun], sb[kRun], vb[kRun];
  for (std::int64_t y = 0; y < c.H; ++y) {
    const bool inBand = band.s < y && y < band.e;
    if (!inBand && !copyOutside) continue;
    for (std::int64_t x0 = 0; x0 < c.W; x0 += kRun) {
      const std::int64_t n = std::min(kRun, c.W - x0);
      ColorRows::ReadRun(pic, x0, y, n, px);
      if (inBand) {
        ColorRows::ReadRun(pic, x0, y + c.v, n, below);
        ColorRows::ToHSV(below, n, hb, sb, vb);
        ColorRows::ToHSV(px, n, h, s, v);
        for (std::int64_t i = 0; i < n; ++i) {
          h[i] = Max(hb[i], h[i]);
          s[i] = Max(sb[i], s[i]);
          v[i] = Max(vb[i], v[i]);
        }
        ColorRows::FromHSV(h, s, v, n, px);
      }
      ColorRows::WriteRun(fx, x0, y, n, px);
    }
  }
}

}  // namespace

// Ghosts a random band of rows: each band pixel takes the larger hue,
// saturation and value of itself and of the pixel v rows below it; two
// passes, the first band drawn from the width, the second from the height.
void Ghost(const EffectContext& c) {
  // A pass reads a pixel and the one v rows below it, which that pass has
  // not written yet in either order, so rows may be walked instead of
  // columns. Apart, every pass writes every pixel from the untouched
  // picture: the second one overwrites all the first one wrote, which need
  // not be computed. In place, a copy outside the band writes each pixel
  // onto itself and changes nothing.
  const bool inPlace = c.picSurf.SharesPixelsWith(c.fxSurf);
  const Band first = DrawBand(c.glitchRandom, c.W);
  if (inPlace) Pass(c, first, false);
  const Band second = DrawBand(c.glitchRandom, c.H);
  Pass(c, second, !inPlace);
}
