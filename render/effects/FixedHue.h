#pragma once
// A run of pixels recoloured to one hue, each keeping its own saturation and
// value: out[i] = HSV(hue, in[i].Saturation(), in[i].Value(), 0).

#include <algorithm>
#include <cstdint>

#include "render/effects/ColorRows.h"

inline void WithHue(const Color* in, std::int64_t n, double hue, Color* out) noexcept {
  double h[ColorRows::kRun], s[ColorRows::kRun], v[ColorRows::kRun];
  std::fill(h, h + ColorRows::kRun, hue);
  for (std::int64_t i = 0; i < n; i += ColorRows::kRun) {
    const std::int64_t m = std::min(ColorRows::kRun, n - i);
    ColorRows::ToSV(in + i, m, s, v);
    ColorRows::FromHSV(h, s, v, m, out + i);
  }
}
