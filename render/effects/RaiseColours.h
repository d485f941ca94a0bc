#pragma once
// Hue, saturation and value of a run of pixels raised by factors:
// px[i] = HSV(Hue × hueFactor[i], Saturation × saturationFactor[i],
// Value × valueFactor, 0), in place. Without saturation factors the
// saturation is the pixel's own, as a factor of 1.0 would leave it.

#include <algorithm>
#include <cstdint>

#include "render/effects/ColorRows.h"

inline void RaiseColours(Color* px, std::int64_t n, const double* hueFactor, const double* saturationFactor,
                         double valueFactor) noexcept {
  double h[ColorRows::kRun], s[ColorRows::kRun], val[ColorRows::kRun];
  for (std::int64_t i = 0; i < n; i += ColorRows::kRun) {
    const std::int64_t m = std::min(ColorRows::kRun, n - i);
    ColorRows::ToHSV(px + i, m, h, s, val);
    for (std::int64_t k = 0; k < m; ++k) {
      h[k] = h[k] * hueFactor[i + k];
      if (saturationFactor) s[k] = s[k] * saturationFactor[i + k];
      val[k] = val[k] * valueFactor;
    }
    ColorRows::FromHSV(h, s, val, m, px + i);
  }
}
