#include <algorithm>

#include "framework/Numbers.h"
#include "framework/System.h"
#include "render/effects/ColorRows.h"
#include "render/effects/Effect.h"

namespace {

using ColorRows::kRun;

// Rewrites the rectangle [x0, x1) x [y0, y1), which lies inside the picture,
// with each pixel's hue, saturation and value passed through `recolour`.
template <typename Change>
void Recolour(const EffectContext& c, std::int64_t x0, std::int64_t x1, std::int64_t y0, std::int64_t y1,
              Change recolour) {
  const RGBSurface pic = c.picSurf, fx = c.fxSurf;  // held here, the compiler keeps them in registers
  Color px[kRun];
  double h[kRun], s[kRun], v[kRun];
  for (std::int64_t y = y0; y < y1; ++y) {
    for (std::int64_t x = x0; x < x1; x += kRun) {
      const std::int64_t n = std::min(kRun, x1 - x);
      ColorRows::ReadRun(pic, x, y, n, px);
      ColorRows::ToHSV(px, n, h, s, v);
      for (std::int64_t i = 0; i < n; ++i) recolour(h[i], s[i], v[i]);
      ColorRows::FromHSV(h, s, v, n, px);
      ColorRows::WriteRun(fx, x, y, n, px);
    }
  }
}

}  // namespace

// Darkens and pales the whole picture to 90 % of its saturation and value,
// then recolours two to five random blocks from the picture: hue turned by a
// random amount per block, saturation times 1.8 (at most 1), value raised by
// 1 % per strength step. Logs each block before painting it.
void Diacritix(const EffectContext& c) {
  const std::int64_t W = c.W, H = c.H;
  // Each pixel is rewritten from its own colour alone, in the darkening and
  // in every block, so rows may be walked instead of columns; a block's
  // positions outside the picture read a clamped pixel and write nothing,
  // so the block is cut at the edges.
  Recolour(c, 0, W, 0, H, [](double&, double& s, double& v) {
    s *= 0.9;
    v *= 0.9;
  });

  Random& random = c.glitchRandom;
  const std::int64_t n = random.InRange(2, 5);
  const std::int64_t aW = random.InRange(20, ToInteger(static_cast<double>(W) / 3.0));
  const std::int64_t aH = random.InRange(20, ToInteger(static_cast<double>(H) / 3.0));
  const std::int64_t aY = random.InRange(0, H - aH - 1);
  const std::int64_t aX = random.InRange(0, W - aW - 1);
  const double valueFactor = 1.0 + static_cast<double>(c.v) / 100.0;
  for (std::int64_t i = 1; i <= n; ++i) {
    const std::int64_t bw = random.InRange(ToInteger(static_cast<double>(W) / 50.0),
                                           ToInteger(static_cast<double>(W) / 10.0));
    const std::int64_t k = random.InRange(1, 15);
    const std::int64_t bh = ToInteger(static_cast<double>(k * bw) / 5.0 + 3.0);
    const std::int64_t bx = random.InRange(aX, aX + aW);
    const std::int64_t by = random.InRange(aY, aY + aH);
    const double hueShift = Rnd();
    System::DebugLog("block #" + Str(i) + " x: " + Str(bx) + " y: " + Str(by) + " w: " + Str(bw) +
                     " h: " + Str(bh));
    Recolour(c, std::max<std::int64_t>(bx, 0), std::min(bx + bw, W), std::max<std::int64_t>(by, 0),
             std::min(by + bh, H), [hueShift, valueFactor](double& h, double& s, double& v) {
               h = h + hueShift;
               s = Min(1.0, s * 1.8);
               v = valueFactor * v;
             });
  }
}
