#include "framework/Numbers.h"
#include "render/effects/Effect.h"

// Coaxial: interlaced, wavy scan lines. Odd rows turn opaque black; each even
// row is read sideways along a sine wave whose phase advances row by row at a
// rate renewed at random, each pixel from up to two columns further right,
// and about one pixel in five gets a small random change of hue, saturation
// and value instead of being copied.
//
// Plain pixel loops: every pixel's draws decide where it reads, and in place
// a read left of x must see this run's own writes, which the loop order gives.

namespace {
// Truncation toward zero; the columns lie far inside the 64-bit range.
inline std::int64_t Column(double c) noexcept { return static_cast<std::int64_t>(c); }
}  // namespace

void Coaxial(const EffectContext& c) {
  const std::int64_t W = c.W, H = c.H;
  const double amplitude = Max(static_cast<double>(c.v) / (5000.0 / static_cast<double>(H)), 1.0);
  const Color black = HSV(0.0, 0.0, 0.0, 0);
  double phase = 0.0;
  double phaseStep = Rnd() / (static_cast<double>(H) / 250.0);
  for (std::int64_t y = 0; y < H; ++y) {
    if (Rnd() < 0.1) phaseStep = Rnd() / (static_cast<double>(H) / 250.0);
    phase = phase + phaseStep;
    if (y % 2 == 1) {
      for (std::int64_t x = 0; x < W; ++x) c.fxSurf.SetPixel(x, y, black);
      continue;
    }
    const double wave = amplitude * Sin(phase);
    for (std::int64_t x = 0; x < W; ++x) {
      const double d = wave + static_cast<double>(x);
      if (Rnd() < 0.8) {
        c.fxSurf.SetPixel(x, y, c.picSurf.Pixel(Column(Rnd() * 2.0 + d), y));
        continue;
      }
      const Color forHue = c.picSurf.Pixel(Column(Rnd() * 2.0 + d), y);
      const double j1 = Rnd();
      const Color forSaturation = c.picSurf.Pixel(Column(Rnd() * 2.0 + d), y);
      const double j2 = Rnd();
      const Color forValue = c.picSurf.Pixel(Column(Rnd() * 2.0 + d), y);
      const double j3 = Rnd();
      c.fxSurf.SetPixel(x, y,
                        HSV(forHue.Hue() + j1 / 10.0, forSaturation.Saturation() - j2 / 5.0,
                            forValue.Value() + j3 / 10.0, 0));
    }
  }
}
