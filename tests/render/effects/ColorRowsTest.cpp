// The fast colour conversions (Color's inline functions and the run
// conversions of ColorRows, on every vector target the processor runs)
// against the formulas written out plainly.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

#include "framework/Color.h"
#include "hwy/tests/hwy_gtest.h"
#include "render/effects/ColorRows.h"

namespace {

// ---- The formulas, one branch per case, as they are written down. ----

double RefValue(int r, int g, int b) { return std::max({r, g, b}) / 255.0; }

double RefSaturation(int r, int g, int b) {
  const int mx = std::max({r, g, b}), mn = std::min({r, g, b});
  if (mx == 0) return 0.0;
  return static_cast<double>(mx - mn) / static_cast<double>(mx);
}

double RefHue(int r, int g, int b) {
  const int mx = std::max({r, g, b}), mn = std::min({r, g, b});
  if (mx == mn) return 0.0;
  const double d = static_cast<double>(mx - mn);
  double h;
  if (mx == r) {
    h = (g - b) / d;
    if (h < 0.0) h += 6.0;
  } else if (mx == g) {
    h = (b - r) / d + 2.0;
  } else {
    h = (r - g) / d + 4.0;
  }
  return h / 6.0;
}

std::uint8_t RefByte(double c) { return static_cast<std::uint8_t>(std::floor(c * 255.0 + 0.5)); }

Color RefHSV(double h, double s, double v, int alpha) {
  h = h - std::floor(h);
  if (h >= 1.0) h = 0.0;  // a tiny negative hue: h - floor(h) rounds up to 1.0
  s = s < 0.0 ? 0.0 : (s > 1.0 ? 1.0 : s);
  v = v < 0.0 ? 0.0 : (v > 1.0 ? 1.0 : v);
  const double i = std::floor(6.0 * h);
  const double f = 6.0 * h - i;
  const double p = v * (1.0 - s), q = v * (1.0 - s * f), t = v * (1.0 - s * (1.0 - f));
  double r, g, b;
  switch (static_cast<int>(i)) {
    case 0: r = v; g = t; b = p; break;
    case 1: r = q; g = v; b = p; break;
    case 2: r = p; g = v; b = t; break;
    case 3: r = p; g = q; b = v; break;
    case 4: r = t; g = p; b = v; break;
    default: r = v; g = p; b = q; break;
  }
  return Color{RefByte(r), RefByte(g), RefByte(b), static_cast<std::uint8_t>(alpha)};
}

bool SameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// Every RGB value once, with a varying alpha that the conversions ignore.
Color Nth(std::uint32_t n) {
  return Color{static_cast<std::uint8_t>(n), static_cast<std::uint8_t>(n >> 8),
               static_cast<std::uint8_t>(n >> 16), static_cast<std::uint8_t>(n * 7)};
}

constexpr std::uint32_t kAllRGB = 1u << 24;

TEST(ColorConversion, EveryRGBValueGivesTheFormulasHueSaturationAndValueAndBack) {
  std::int64_t mismatches = 0;
  for (std::uint32_t n = 0; n < kAllRGB; ++n) {
    const Color c = Nth(n);
    const double rh = RefHue(c.red, c.green, c.blue), rs = RefSaturation(c.red, c.green, c.blue),
                 rv = RefValue(c.red, c.green, c.blue);
    mismatches += !SameBits(c.Hue(), rh) || !SameBits(c.Saturation(), rs) || !SameBits(c.Value(), rv) ||
                  HSV(rh, rs, rv, 0) != RefHSV(rh, rs, rv, 0);
  }
  EXPECT_EQ(mismatches, 0);
}

HWY_BEFORE_TEST(ColorRowsOnEveryTarget);

TEST_P(ColorRowsOnEveryTarget, MatchThePixelFunctionsOnEveryRGBValue) {
  // The pixel functions are the formulas (EveryRGBValueGivesTheFormulas...).
  // Odd run lengths and offsets exercise the vector loops' tails.
  constexpr std::int64_t kLen = 4099;
  std::vector<Color> px(kLen), back(kLen);
  std::vector<double> h(kLen), s(kLen), v(kLen), s2(kLen), v2(kLen);
  std::int64_t mismatches = 0;
  for (std::uint32_t start = 0; start < kAllRGB; start += kLen) {
    const std::int64_t n = std::min<std::int64_t>(kLen, kAllRGB - start);
    for (std::int64_t i = 0; i < n; ++i) px[i] = Nth(start + static_cast<std::uint32_t>(i));
    ColorRows::ToHSV(px.data(), n, h.data(), s.data(), v.data());
    ColorRows::ToSV(px.data(), n, s2.data(), v2.data());
    ColorRows::FromHSV(h.data(), s.data(), v.data(), n, back.data(), 0);
    for (std::int64_t i = 0; i < n; ++i) {
      const Color c = px[i];
      const double ch = c.Hue(), cs = c.Saturation(), cv = c.Value();
      mismatches += !SameBits(h[i], ch) || !SameBits(s[i], cs) || !SameBits(v[i], cv) || !SameBits(s2[i], cs) ||
                    !SameBits(v2[i], cv) || back[i] != HSV(ch, cs, cv, 0);
    }
  }
  EXPECT_EQ(mismatches, 0);
}

// Hues around every sector boundary and the wrap, from both sides.
std::vector<double> EdgeHues() {
  std::vector<double> hues;
  for (int k = -12; k <= 12; ++k) {
    const double at = k / 6.0;
    hues.push_back(at);
    hues.push_back(std::nextafter(at, -1e9));
    hues.push_back(std::nextafter(at, 1e9));
  }
  for (double x : {0.0, -0.0, 1.0, 2.0, -1.0, 1e-300, -1e-300, -1e-17, 1.0 - 1e-17, 0.999999999, 1.9999999,
                   12345.678, -98765.4321, 1e15 + 0.5, 4.5e15, -4.5e15, 1e300, -1e300})
    hues.push_back(x);
  return hues;
}

std::vector<double> EdgeComponents() {
  std::vector<double> c;
  for (int i = 0; i <= 16; ++i) c.push_back(i / 16.0);
  for (int i = 0; i <= 255; i += 17) {
    c.push_back((i + 0.5) / 255.0);  // a product of exactly a half
    c.push_back(std::nextafter((i + 0.5) / 255.0, 0.0));
  }
  for (double x : {-0.0, -1e-300, -0.5, -7.0, std::nextafter(1.0, 2.0), 1.2, 2.0, 1e300}) c.push_back(x);
  return c;
}

TEST(ColorConversion, HSVMatchesTheFormulaOverADenseGridAndItsEdges) {
  std::vector<double> hues = EdgeHues();
  for (int i = -1536; i <= 1536; ++i) hues.push_back(i / 768.0 + 1e-7 * (i % 3));
  std::int64_t mismatches = 0, cases = 0;
  for (double sat : EdgeComponents())
    for (double val : EdgeComponents())
      for (double hue : hues) {
        mismatches += HSV(hue, sat, val, 0) != RefHSV(hue, sat, val, 0);
        ++cases;
      }
  EXPECT_EQ(mismatches, 0) << "of " << cases;
}

TEST_P(ColorRowsOnEveryTarget, HSVMatchesThePixelFunctionOverAGridAndItsEdges) {
  // Every sector boundary lies on the grid of 96ths.
  std::vector<double> hues = EdgeHues();
  for (int i = -192; i <= 192; ++i) hues.push_back(i / 96.0 + 1e-7 * (i % 3));
  const std::int64_t n = static_cast<std::int64_t>(hues.size());
  std::vector<double> s(n), v(n);
  std::vector<Color> out(n);
  std::int64_t mismatches = 0, cases = 0;
  for (double sat : EdgeComponents())
    for (double val : EdgeComponents()) {
      for (std::int64_t i = 0; i < n; ++i) s[i] = sat, v[i] = val;
      ColorRows::FromHSV(hues.data(), s.data(), v.data(), n, out.data(), 0);
      for (std::int64_t i = 0; i < n; ++i) mismatches += out[i] != HSV(hues[i], sat, val, 0);
      cases += n;
    }
  EXPECT_EQ(mismatches, 0) << "of " << cases;
}

TEST_P(ColorRowsOnEveryTarget, HSVMatchesTheFormulaOnArbitraryComponents) {
  // Components off any grid, as the effects make them: products and means
  // of hues, saturations and values, some outside 0 to 1. Runs of every
  // length up to 40 take the vector loop and its last pixels alike.
  std::mt19937_64 g(11);
  std::uniform_real_distribution<double> hue(-2.0, 3.0), component(-0.25, 1.25);
  constexpr std::int64_t kCount = 1 << 18;
  std::vector<double> h(kCount), s(kCount), v(kCount);
  for (std::int64_t i = 0; i < kCount; ++i) h[i] = hue(g), s[i] = component(g), v[i] = component(g);
  std::vector<Color> out(kCount);
  for (std::int64_t i = 0, n = 1; i < kCount; i += n, n = n % 40 + 1)
    ColorRows::FromHSV(h.data() + i, s.data() + i, v.data() + i, std::min(n, kCount - i), out.data() + i, 0);
  std::int64_t mismatches = 0;
  for (std::int64_t i = 0; i < kCount; ++i) mismatches += out[i] != RefHSV(h[i], s[i], v[i], 0);
  EXPECT_EQ(mismatches, 0);
}

TEST_P(ColorRowsOnEveryTarget, HSVOfNaNOrInfiniteComponentsIsDefinedAndAgrees) {
  const double nan = std::numeric_limits<double>::quiet_NaN(), inf = std::numeric_limits<double>::infinity();
  const std::vector<double> odd = {nan, inf, -inf, 0.5};
  for (double h : odd)
    for (double s : odd)
      for (double v : odd) {
        // Many at once take the vector path.
        double hs[64], ss[64], vs[64];
        for (int i = 0; i < 64; ++i) hs[i] = h, ss[i] = s, vs[i] = v;
        Color many[64];
        ColorRows::FromHSV(hs, ss, vs, 64, many, 0);
        EXPECT_EQ(many[5], HSV(h, s, v, 0));
      }
  // NaN clamps like 0; a NaN or infinite hue is red's.
  EXPECT_EQ(HSV(0.5, nan, 1.0, 0), RGB(255, 255, 255));
  EXPECT_EQ(HSV(nan, 1.0, 1.0, 0), RGB(255, 0, 0));
  EXPECT_EQ(HSV(inf, 1.0, nan, 0), RGB(0, 0, 0));
}

TEST_P(ColorRowsOnEveryTarget, HSVCarriesTheAlphaItIsGiven) {
  double h[37], s[37], v[37];
  for (int i = 0; i < 37; ++i) h[i] = i / 37.0, s[i] = 1, v[i] = 1;
  Color out[37];
  ColorRows::FromHSV(h, s, v, 37, out, 200);
  for (int i = 0; i < 37; ++i) EXPECT_EQ(out[i], HSV(h[i], 1, 1, 200)) << i;
  EXPECT_EQ(out[36].alpha, 200);
}

TEST(ColorConversion, WellKnownColours) {
  EXPECT_EQ(HSV(1.25, 1, 1, 0), HSV(0.25, 1, 1, 0));
  EXPECT_EQ(HSV(1.0, 1, 1, 0), RGB(255, 0, 0));
  EXPECT_EQ(HSV(1.0 / 3.0, 1, 1, 0), RGB(0, 255, 0));
  EXPECT_EQ(HSV(0.5, 0.5, 0.5, 0), RGB(64, 128, 128));  // 63.75 rounds up
  EXPECT_DOUBLE_EQ(RGB(0, 0, 255).Hue(), 2.0 / 3.0);
  EXPECT_EQ(RGB(0, 0, 0).Saturation(), 0.0);
  EXPECT_EQ(RGB(7, 7, 7).Hue(), 0.0);
}

}  // namespace
