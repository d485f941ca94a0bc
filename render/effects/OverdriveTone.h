#pragma once
// Overdrive's first pass, the tone bands: a pixel mapped by its value and
// saturation. From value 0.2 up the result depends on the colour's maximum and
// minimum alone, below it on the whole colour, so a table of 185,131 entries,
// built once from the formula itself, gives every result.

#include <cstdint>
#include <vector>

#include "framework/Color.h"

namespace overdrive {

inline constexpr Color kDeepBlue{3, 0, 119, 0};
inline constexpr Color kDeepRed{153, 0, 7, 0};
inline constexpr Color kOlive{170, 170, 17, 0};
inline constexpr Color kWhite{255, 255, 255, 0};

// The first row of the table that applies; every comparison strict.
inline Color Tone(Color p) {
  const double h = p.Hue(), s = p.Saturation(), val = p.Value();
  if (val < 0.2) return HSV(h, s, val / 2.0, 0);
  if (val < 0.4) return s < 0.2 ? kDeepBlue : HSV(0.6, s * 1.7, val, 0);
  if (val < 0.6) return s < 0.2 ? kDeepRed : HSV(0.95, s * 1.7, val * 1.1, 0);
  if (val < 0.8) return s < 0.2 ? kOlive : HSV(0.75, s * 1.7, val * 1.5, 0);
  return kWhite;
}

class ToneTable {
 public:
  static const ToneTable& Get() {
    static const ToneTable table;
    return table;
  }

  Color operator()(Color p) const noexcept { return entries_[Index(p.red, p.green, p.blue)]; }
  // px[i] = (*this)(px[i]) for a run of pixels, a vector of them at a time.
  void Run(Color* px, std::int64_t n) const noexcept;

  // Maxima 0..50 have a value below 0.2 (51 / 255 is 0.2 exactly): those
  // colours are listed after the (max, min) pairs of the brighter ones.
  static constexpr int kDarkEnd = 51;
  static constexpr int kBright = (256 - kDarkEnd) * 256;

  static int Index(int r, int g, int b) noexcept {
    const int mx = r > g ? (r > b ? r : b) : (g > b ? g : b);
    const int mn = r < g ? (r < b ? r : b) : (g < b ? g : b);
    // Arithmetic, not a choice: dark and bright pixels lie side by side.
    const int bright = (mx - kDarkEnd) * 256 + mn;
    const int dark = kBright + (r * kDarkEnd + g) * kDarkEnd + b;
    return mx >= kDarkEnd ? bright : dark;
  }

 private:
  ToneTable() : entries_(kBright + kDarkEnd * kDarkEnd * kDarkEnd) {
    for (int mx = kDarkEnd; mx < 256; ++mx)
      for (int mn = 0; mn <= mx; ++mn) entries_[Index(mx, mn, mn)] = Tone(RGB(mx, mn, mn));
    for (int r = 0; r < kDarkEnd; ++r)
      for (int g = 0; g < kDarkEnd; ++g)
        for (int b = 0; b < kDarkEnd; ++b) entries_[Index(r, g, b)] = Tone(RGB(r, g, b));
  }

  std::vector<Color> entries_;
};

}  // namespace overdrive
