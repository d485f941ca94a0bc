#pragma once
// Hue, saturation and value of a run of pixels raised by factors:
// px[i] = HSV(Hue × hueFactor[i], Saturation × saturationFactor[i],
// Value × valueFactor, 0), in place, with saturation factors of 1.0 when none
// are given. A factor of 1.0 changes no double, so the saturation is then the
// pixel's own.
//
// One conversion after the other in registers where the processor has
// AVX-512, otherwise through ColorRows' arrays; the results are the same.

#include <algorithm>
#include <cstdint>

#include "render/effects/ColorLanes.h"
#include "render/effects/ColorRows.h"

namespace raise_colours {

inline Color Raised(Color c, double hueFactor, double saturationFactor, double valueFactor) {
  return HSV(c.Hue() * hueFactor, c.Saturation() * saturationFactor, c.Value() * valueFactor, 0);
}

// Any x86-64: through ColorRows, which picks its own vector width.
inline void RunPortable(Color* px, std::int64_t n, const double* hueFactor, const double* saturationFactor,
                        double valueFactor) {
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

__attribute__((target("default"))) inline void Run(Color* px, std::int64_t n, const double* hueFactor,
                                                   const double* saturationFactor, double valueFactor) {
  RunPortable(px, n, hueFactor, saturationFactor, valueFactor);
}

__attribute__((target("arch=x86-64-v4"))) inline void Run(Color* px, std::int64_t n, const double* hueFactor,
                                                          const double* saturationFactor, double valueFactor) {
  const __m512d vf = _mm512_set1_pd(valueFactor);
  std::int64_t k = 0;
  for (; k + 8 <= n; k += 8) {
    const lanes::Hsv a = lanes::ToHsv(lanes::Load(px + k));
    const __m512d s = saturationFactor ? _mm512_mul_pd(a.s, _mm512_loadu_pd(saturationFactor + k)) : a.s;
    lanes::Store(px + k, lanes::FromHsv(_mm512_mul_pd(a.h, _mm512_loadu_pd(hueFactor + k)), s, _mm512_mul_pd(a.v, vf)));
  }
  for (; k < n; ++k) px[k] = Raised(px[k], hueFactor[k], saturationFactor ? saturationFactor[k] : 1.0, valueFactor);
}

}  // namespace raise_colours

inline void RaiseColours(Color* px, std::int64_t n, const double* hueFactor, const double* saturationFactor,
                         double valueFactor) {
  raise_colours::Run(px, n, hueFactor, saturationFactor, valueFactor);
}
