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
// Inline definitions: these run once or more per pixel in every effect.

namespace color_detail {
inline int Max3(int a, int b, int c) noexcept {
  int m = a > b ? a : b;
  return m > c ? m : c;
}
inline int Min3(int a, int b, int c) noexcept {
  int m = a < b ? a : b;
  return m < c ? m : c;
}
inline std::uint8_t ToByte(double component) noexcept {
  return static_cast<std::uint8_t>(std::floor(component * 255.0 + 0.5));
}
inline double Clamp01(double x) noexcept { return x < 0.0 ? 0.0 : (x > 1.0 ? 1.0 : x); }
}  // namespace color_detail

inline double Color::Value() const noexcept {
  return color_detail::Max3(red, green, blue) / 255.0;
}

inline double Color::Saturation() const noexcept {
  const int mx = color_detail::Max3(red, green, blue);
  if (mx == 0) return 0.0;
  const int mn = color_detail::Min3(red, green, blue);
  return static_cast<double>(mx - mn) / static_cast<double>(mx);
}

inline double Color::Hue() const noexcept {
  const int r = red, g = green, b = blue;
  const int mx = color_detail::Max3(r, g, b);
  const int mn = color_detail::Min3(r, g, b);
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

inline Color HSV(double hue, double saturation, double value, int alpha) noexcept {
  using namespace color_detail;
  double h = hue - std::floor(hue);
  if (!(h < 1.0)) h = 0.0;  // a tiny negative hue wraps to exactly 1.0; NaN too
  const double s = Clamp01(saturation);
  const double v = Clamp01(value);
  const double h6 = 6.0 * h;
  const double fi = std::floor(h6);
  const double f = h6 - fi;
  const double p = v * (1.0 - s);
  const double q = v * (1.0 - s * f);
  const double t = v * (1.0 - s * (1.0 - f));
  double r, g, b;
  switch (static_cast<int>(fi)) {
    case 0: r = v; g = t; b = p; break;
    case 1: r = q; g = v; b = p; break;
    case 2: r = p; g = v; b = t; break;
    case 3: r = p; g = q; b = v; break;
    case 4: r = t; g = p; b = v; break;
    default: r = v; g = p; b = q; break;
  }
  return Color{ToByte(r), ToByte(g), ToByte(b), static_cast<std::uint8_t>(alpha)};
}
