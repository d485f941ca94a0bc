#include "render/effects/ColorRows.h"

// Compiled once for every target (foreach_target.h); the best one the
// processor runs is chosen at the first call.
#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "render/effects/ColorRows.cpp"
#include "hwy/foreach_target.h"  // IWYU pragma: keep
#include "hwy/highway.h"
#include "render/effects/ColorLanes-inl.h"

HWY_BEFORE_NAMESPACE();
namespace pixelmoth::HWY_NAMESPACE {

// Whole vectors, then the last pixels one at a time.
void ToHSVRun(const Color* in, std::int64_t n, double* h, double* s, double* v) {
  const DF df;
  const std::int64_t N = static_cast<std::int64_t>(hn::Lanes(df));
  std::int64_t i = 0;
  for (; i + N <= n; i += N) {
    VF hv, sv, vv;
    ToHsv(LoadPixels(in + i), hv, sv, vv);
    hn::StoreU(hv, df, h + i);
    hn::StoreU(sv, df, s + i);
    hn::StoreU(vv, df, v + i);
  }
  for (; i < n; ++i) h[i] = in[i].Hue(), s[i] = in[i].Saturation(), v[i] = in[i].Value();
}

void ToSVRun(const Color* in, std::int64_t n, double* s, double* v) {
  const DF df;
  const std::int64_t N = static_cast<std::int64_t>(hn::Lanes(df));
  std::int64_t i = 0;
  for (; i + N <= n; i += N) {
    VF sv, vv;
    ToSv(LoadPixels(in + i), sv, vv);
    hn::StoreU(sv, df, s + i);
    hn::StoreU(vv, df, v + i);
  }
  for (; i < n; ++i) s[i] = in[i].Saturation(), v[i] = in[i].Value();
}

void FromHSVRun(const double* h, const double* s, const double* v, std::int64_t n, Color* out, int alpha) {
  const DF df;
  const std::int64_t N = static_cast<std::int64_t>(hn::Lanes(df));
  const VU alphaBits = hn::Set(DU(), static_cast<std::uint32_t>(alpha & 0xFF) << 24);
  std::int64_t i = 0;
  for (; i + N <= n; i += N) {
    const VU px = FromHsv(hn::LoadU(df, h + i), hn::LoadU(df, s + i), hn::LoadU(df, v + i));
    StorePixels(hn::Or(px, alphaBits), out + i);
  }
  for (; i < n; ++i) out[i] = HSV(h[i], s[i], v[i], alpha);
}

}  // namespace pixelmoth::HWY_NAMESPACE
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
namespace pixelmoth {
HWY_EXPORT(ToHSVRun);
HWY_EXPORT(ToSVRun);
HWY_EXPORT(FromHSVRun);
}  // namespace pixelmoth

namespace ColorRows {

void ToHSV(const Color* in, std::int64_t n, double* h, double* s, double* v) noexcept {
  HWY_DYNAMIC_DISPATCH(pixelmoth::ToHSVRun)(in, n, h, s, v);
}

void ToSV(const Color* in, std::int64_t n, double* s, double* v) noexcept {
  HWY_DYNAMIC_DISPATCH(pixelmoth::ToSVRun)(in, n, s, v);
}

void FromHSV(const double* h, const double* s, const double* v, std::int64_t n, Color* out, int alpha) noexcept {
  HWY_DYNAMIC_DISPATCH(pixelmoth::FromHSVRun)(h, s, v, n, out, alpha);
}

}  // namespace ColorRows
#endif  // HWY_ONCE
