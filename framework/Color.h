#pragma once
// Colours: red, green, blue and alpha bytes, where alpha 0 is fully opaque
// and 255 fully transparent. Hue, saturation and value are doubles in 0..1.

#include <cmath>
#include <cstdint>

struct Color {
  // No default member initialisers: a buffer of millions of pixels is
  // allocated without a pass that the fill would repeat. Color{} is zero.
  std::uint8_t red;
  std::uint8_t green;
  std::uint8_t blue;
  std::uint8_t alpha;

  // max(r, g, b) / 255.
  double Value() const noexcept;
  // (max - min) / max, 0 for black.
  double Saturation() const noexcept;
  // 0 for greys; otherwise the hexcone hue / 6, in [0, 1).
  double Hue() const noexcept;

  friend bool operator==(const Color& a, const Color& b) noexcept {
    return a.red == b.red && a.green == b.green && a.blue == b.blue && a.alpha == b.alpha;
  }
  friend bool operator!=(const Color& a, const Color& b) noexcept { return !(a == b); }
};
static_assert(sizeof(Color) == 4, "a Color is one 32-bit pixel");

inline Color RGB(int red, int green, int blue, int alpha = 0) noexcept {
  return Color{static_cast<std::uint8_t>(red), static_cast<std::uint8_t>(green),
               static_cast<std::uint8_t>(blue), static_cast<std::uint8_t>(alpha)};
}

// A colour from hue, saturation and value. The hue wraps around the circle,
// saturation and value are clamped to 0..1; components become bytes rounded
// to nearest, halves up.
Color HSV(double hue, double saturation, double value, int alpha = 0) noexcept;

// ---------------------------------------------------------------------------
// Inline definitions: these run once or more per pixel in every effect. They
// choose with selects rather than branches, because a photo's hue sectors
// change from pixel to pixel and a mispredicted branch costs more than the
// arithmetic. Every operation is the plain IEEE one of the formulas (no fused
// multiply-add, which rounds once instead of twice), so the batch versions in
// render/effects/ColorRows.h can reproduce them bit for bit.

namespace color_detail {
inline int Max3(int a, int b, int c) noexcept {
  int m = a > b ? a : b;
  return m > c ? m : c;
}
inline int Min3(int a, int b, int c) noexcept {
  int m = a < b ? a : b;
  return m < c ? m : c;
}
// For a component in 0..1 the sum lies in 0.5..255.5, so truncation is floor.
inline std::uint8_t ToByte(double component) noexcept {
  return static_cast<std::uint8_t>(static_cast<int>(component * 255.0 + 0.5));
}
// NaN clamps to 0, so no byte conversion ever sees one.
inline double Clamp01(double x) noexcept { return x > 0.0 ? (x < 1.0 ? x : 1.0) : 0.0; }
}  // namespace color_detail

inline double Color::Value() const noexcept {
  return color_detail::Max3(red, green, blue) / 255.0;
}

inline double Color::Saturation() const noexcept {
  const int mx = color_detail::Max3(red, green, blue);
  const int mn = color_detail::Min3(red, green, blue);
  const double s = static_cast<double>(mx - mn) / static_cast<double>(mx == 0 ? 1 : mx);
  return mx == 0 ? 0.0 : s;
}

inline double Color::Hue() const noexcept {
  const int r = red, g = green, b = blue;
  const int mx = color_detail::Max3(r, g, b);
  const int mn = color_detail::Min3(r, g, b);
  // The sector is the first of r, g, b that holds the maximum.
  const bool isR = mx == r;
  const bool isG = !isR && mx == g;
  const int num = isR ? g - b : (isG ? b - r : r - g);
  // Adding 0.0 leaves the quotient as it is: it is never -0.0.
  const double offset = isR ? (num < 0 ? 6.0 : 0.0) : (isG ? 2.0 : 4.0);
  const int d = mx - mn;
  const double h = (num / static_cast<double>(d == 0 ? 1 : d) + offset) / 6.0;
  return d == 0 ? 0.0 : h;
}

inline Color HSV(double hue, double saturation, double value, int alpha) noexcept {
  using namespace color_detail;
  double h = hue - std::floor(hue);
  h = h < 1.0 ? h : 0.0;  // a tiny negative hue wraps to exactly 1.0; NaN too
  const double s = Clamp01(saturation);
  const double v = Clamp01(value);
  const double h6 = 6.0 * h;
  const double fi = std::floor(h6);
  const double f = h6 - fi;
  const double p = v * (1.0 - s);
  const double q = v * (1.0 - s * f);
  const double t = v * (1.0 - s * (1.0 - f));
  // Sectors 0..5 give (v,t,p), (q,v,p), (p,v,t), (p,q,v), (t,p,v), (v,p,q).
  const int k = static_cast<int>(fi);
  const double r = k == 1 ? q : (k == 2 || k == 3 ? p : (k == 4 ? t : v));
  const double g = k == 0 ? t : (k == 1 || k == 2 ? v : (k == 3 ? q : p));
  const double b = k <= 1 ? p : (k == 2 ? t : (k <= 4 ? v : q));
  return Color{ToByte(r), ToByte(g), ToByte(b), static_cast<std::uint8_t>(alpha)};
}
