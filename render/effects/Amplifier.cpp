#include <algorithm>
#include <vector>

#include "render/effects/ColorRows.h"
#include "render/effects/Effect.h"

// Amplifier: a loud poster under a grid of plus-shaped dots. Every pixel with
// some colour keeps its hue at high saturation and full value; every nearly
// grey one takes one of three random hues by how dark it is, keeping its value.
// Then plus signs, white where the working picture is dark and black where it
// is bright, are drawn at a spacing set by the strength and the width.

namespace {
constexpr Color kWhite{255, 255, 255, 0};
constexpr Color kBlack{0, 0, 0, 0};

struct Poster {
  double dark, middle, light;  // the hues of the nearly grey pixels
  double boost;

  // in[0..n) recoloured into out[0..n).
  void Run(const Color* in, std::int64_t n, Color* out) const {
    double h[ColorRows::kRun], s[ColorRows::kRun], val[ColorRows::kRun];
    for (std::int64_t i = 0; i < n; i += ColorRows::kRun) {
      const std::int64_t m = std::min(ColorRows::kRun, n - i);
      ColorRows::ToHSV(in + i, m, h, s, val);
      for (std::int64_t k = 0; k < m; ++k) {
        const bool coloured = s[k] > 0.1;
        const double greyHue = val[k] < 0.33 ? dark : (val[k] < 0.67 ? middle : light);
        h[k] = coloured ? h[k] : greyHue;
        s[k] = coloured ? 0.8 + boost : 0.7 + boost;
        val[k] = coloured ? 1.0 : val[k];
      }
      ColorRows::FromHSV(h, s, val, m, out + i);
    }
  }
};
}  // namespace

void Amplifier(const EffectContext& c) {
  const std::int64_t v = c.v, W = c.W, H = c.H;
  Poster poster;
  poster.boost = static_cast<double>(v) / 200.0;
  poster.dark = Rnd();
  poster.middle = Rnd();
  poster.light = Rnd();

  // Each pixel is read and then written at its own place only, so rows give
  // the result of columns.
  std::vector<Color> row(W);
  for (std::int64_t y = 0; y < H; ++y) {
    ColorRows::ReadRun(c.picSurf, 0, y, W, row.data());
    poster.Run(row.data(), W, row.data());
    ColorRows::WriteRun(c.fxSurf, 0, y, W, row.data());
  }

  // Below a step of 1 there are no dots: the grid would never advance.
  const std::int64_t step = v * W / 700;
  if (step < 1) return;
  for (std::int64_t x = 0; x <= W - 1; x += step) {
    for (std::int64_t y = 0; y <= H - 1; y += step) {
      const Color dot = c.picSurf.Pixel(x, y).Value() < 0.5 ? kWhite : kBlack;
      c.fxSurf.SetPixel(x, y, dot);
      c.fxSurf.SetPixel(x + 1, y, dot);
      c.fxSurf.SetPixel(x - 1, y, dot);
      c.fxSurf.SetPixel(x, y + 1, dot);
      c.fxSurf.SetPixel(x, y - 1, dot);
    }
  }
}
