#include "render/effects/RaiseColours.h"

#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "render/effects/RaiseColours.cpp"
#include "hwy/foreach_target.h"  // IWYU pragma: keep
#include "hwy/highway.h"
#include "render/effects/ColorLanes-inl.h"

HWY_BEFORE_NAMESPACE();
namespace pixelmoth::HWY_NAMESPACE {

// One vector's conversions depend one on the other and keep the processor
// waiting on them: two vectors are worked side by side.
HWY_INLINE VU Raise(const Color* px, const double* hueFactor, const double* saturationFactor, VF valueFactors) {
  const DF df;
  VF h, s, v;
  ToHsv(LoadPixels(px), h, s, v);
  h = hn::Mul(h, hn::LoadU(df, hueFactor));
  if (saturationFactor) s = hn::Mul(s, hn::LoadU(df, saturationFactor));
  return FromHsv(h, s, hn::Mul(v, valueFactors));
}

void RaiseRun(Color* px, std::int64_t n, const double* hueFactor, const double* saturationFactor,
              double valueFactor) {
  const DF df;
  const std::int64_t N = static_cast<std::int64_t>(hn::Lanes(df));
  const VF valueFactors = hn::Set(df, valueFactor);
  auto at = [saturationFactor](std::int64_t i) { return saturationFactor ? saturationFactor + i : nullptr; };
  std::int64_t i = 0;
  for (; i + 2 * N <= n; i += 2 * N) {
    const VU first = Raise(px + i, hueFactor + i, at(i), valueFactors);
    const VU second = Raise(px + i + N, hueFactor + i + N, at(i + N), valueFactors);
    StorePixels(first, px + i);
    StorePixels(second, px + i + N);
  }
  for (; i + N <= n; i += N) StorePixels(Raise(px + i, hueFactor + i, at(i), valueFactors), px + i);
  for (; i < n; ++i) {
    const Color c = px[i];
    const double s = saturationFactor ? c.Saturation() * saturationFactor[i] : c.Saturation();
    px[i] = HSV(c.Hue() * hueFactor[i], s, c.Value() * valueFactor, 0);
  }
}

}  // namespace pixelmoth::HWY_NAMESPACE
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
namespace pixelmoth {
HWY_EXPORT(RaiseRun);
}  // namespace pixelmoth

void RaiseColours(Color* px, std::int64_t n, const double* hueFactor, const double* saturationFactor,
                  double valueFactor) noexcept {
  HWY_DYNAMIC_DISPATCH(pixelmoth::RaiseRun)(px, n, hueFactor, saturationFactor, valueFactor);
}
#endif  // HWY_ONCE
