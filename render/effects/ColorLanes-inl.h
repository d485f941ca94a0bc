// Hue, saturation and value of a vector of pixels held in registers, and
// HSV back to pixels, for conversions chained with other arithmetic without
// a round trip through memory. Lane by lane the arithmetic is Color::Hue,
// Saturation, Value and HSV's, operation for operation (or a table of the
// quotients those operations give), so the results agree to the last bit on
// every target. The project is built without fused multiply-adds, which would
// round differently.
//
// Included once per target by files that go through foreach_target.h, hence
// the include guard that toggles.

#if defined(PIXELMOTH_COLOR_LANES_INL_H_) == defined(HWY_TARGET_TOGGLE)
#ifdef PIXELMOTH_COLOR_LANES_INL_H_
#undef PIXELMOTH_COLOR_LANES_INL_H_
#else
#define PIXELMOTH_COLOR_LANES_INL_H_
#endif

#include <cstdint>

#include "framework/Color.h"
#include "render/effects/ColorTables.h"
#include "hwy/highway.h"

HWY_BEFORE_NAMESPACE();
namespace pixelmoth::HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;

// Doubles, one lane per pixel, and the pixels themselves as 32-bit lanes
// (red in the low byte, alpha in the high) in a vector of the same count.
using DF = hn::ScalableTag<double>;
using DI = hn::Rebind<std::int32_t, DF>;
using DU = hn::Rebind<std::uint32_t, DF>;
using VF = hn::Vec<DF>;
using VI = hn::Vec<DI>;
using VU = hn::Vec<DU>;

HWY_INLINE VU LoadPixels(const Color* p) { return hn::LoadU(DU(), reinterpret_cast<const std::uint32_t*>(p)); }
HWY_INLINE void StorePixels(VU px, Color* p) { hn::StoreU(px, DU(), reinterpret_cast<std::uint32_t*>(p)); }

// Red, green and blue, each in the low byte of a lane.
HWY_INLINE void Channels(VU px, VI& r, VI& g, VI& b) {
  const DI di;
  const VI all = hn::BitCast(di, px), byte = hn::Set(di, 0xFF);
  r = hn::And(all, byte);
  g = hn::And(hn::ShiftRight<8>(all), byte);
  b = hn::And(hn::ShiftRight<16>(all), byte);
}

// Saturation and value from the maximum and minimum, as Color computes them,
// looked up rather than divided.
HWY_INLINE void SvOf(VI mx, VI mn, VF& s, VF& v) {
  const DF df;
  const hn::Rebind<std::int64_t, DF> di64;
  const VI satIndex = hn::Add(hn::ShiftLeft<8>(mx), hn::Sub(mx, mn));
  s = hn::GatherIndex(df, color_tables::kSaturation.data(), hn::PromoteTo(di64, satIndex));
  v = hn::GatherIndex(df, color_tables::kValue.data(), hn::PromoteTo(di64, mx));
}

HWY_INLINE void ToSv(VU px, VF& s, VF& v) {
  VI r, g, b;
  Channels(px, r, g, b);
  SvOf(hn::Max(hn::Max(r, g), b), hn::Min(hn::Min(r, g), b), s, v);
}

// Hue, saturation and value, as Color computes them.
HWY_INLINE void ToHsv(VU px, VF& h, VF& s, VF& v) {
  const DF df;
  const DI di;
  VI r, g, b;
  Channels(px, r, g, b);
  const VI mx = hn::Max(hn::Max(r, g), b), mn = hn::Min(hn::Min(r, g), b);
  const VI d = hn::Sub(mx, mn);
  // The sector is the first of r, g, b that holds the maximum.
  const auto isR = hn::Eq(mx, r);
  const auto isG = hn::AndNot(isR, hn::Eq(mx, g));
  const VI num = hn::IfThenElse(isR, hn::Sub(g, b), hn::IfThenElse(isG, hn::Sub(b, r), hn::Sub(r, g)));
  const VI redOffset = hn::IfThenElseZero(hn::Lt(num, hn::Zero(di)), hn::Set(di, 6));
  const VI offset = hn::IfThenElse(isR, redOffset, hn::IfThenElse(isG, hn::Set(di, 2), hn::Set(di, 4)));
  // Dividing by 1 where Color divides by nothing: greys. Small integers are
  // exact as doubles, so the maximum can be taken after widening.
  const VF dd = hn::PromoteTo(df, d);
  const VF hue = hn::Div(hn::Add(hn::Div(hn::PromoteTo(df, num), hn::Max(dd, hn::Set(df, 1.0))),
                                 hn::PromoteTo(df, offset)),
                         hn::Set(df, 6.0));
  h = hn::IfThenElseZero(hn::Ne(dd, hn::Zero(df)), hue);
  SvOf(mx, mn, s, v);
}

// x > 0 ? (x < 1 ? x : 1) : 0, as Color clamps: NaN gives 0.
HWY_INLINE VF Clamp01(VF x) {
  const DF df;
  const VF one = hn::Set(df, 1.0);
  return hn::IfThenElseZero(hn::Gt(x, hn::Zero(df)), hn::IfThenElse(hn::Lt(x, one), x, one));
}

// x * 255 + 0.5 lies in 0.5..255.5: truncation is floor.
HWY_INLINE VI ToByte(VF x) {
  const DF df;
  return hn::DemoteTo(DI(), hn::Add(hn::Mul(x, hn::Set(df, 255.0)), hn::Set(df, 0.5)));
}

// HSV(h, s, v, 0): opaque pixels.
HWY_INLINE VU FromHsv(VF hue, VF saturation, VF value) {
  const DF df;
  const VF one = hn::Set(df, 1.0);
  VF h = hn::Sub(hue, hn::Floor(hue));
  h = hn::IfThenElseZero(hn::Lt(h, one), h);  // 1.0 and NaN wrap to 0
  const VF s = Clamp01(saturation), v = Clamp01(value);
  const VF h6 = hn::Mul(hn::Set(df, 6.0), h);
  const VF fi = hn::Floor(h6);
  const VF f = hn::Sub(h6, fi);
  const VF p = hn::Mul(v, hn::Sub(one, s));
  const VF q = hn::Mul(v, hn::Sub(one, hn::Mul(s, f)));
  const VF t = hn::Mul(v, hn::Sub(one, hn::Mul(s, hn::Sub(one, f))));
  const auto k0 = hn::Eq(fi, hn::Zero(df));
  const auto k1 = hn::Eq(fi, one);
  const auto k2 = hn::Eq(fi, hn::Set(df, 2.0));
  const auto k3 = hn::Eq(fi, hn::Set(df, 3.0));
  const auto k4 = hn::Eq(fi, hn::Set(df, 4.0));
  // Sectors 0..5 give (v,t,p), (q,v,p), (p,v,t), (p,q,v), (t,p,v), (v,p,q).
  VF r = hn::IfThenElse(k1, q, v);
  r = hn::IfThenElse(hn::Or(k2, k3), p, r);
  r = hn::IfThenElse(k4, t, r);
  VF g = hn::IfThenElse(k0, t, p);
  g = hn::IfThenElse(hn::Or(k1, k2), v, g);
  g = hn::IfThenElse(k3, q, g);
  VF b = hn::IfThenElse(hn::Or(k0, k1), p, q);
  b = hn::IfThenElse(k2, t, b);
  b = hn::IfThenElse(hn::Or(k3, k4), v, b);
  const VI px = hn::Or(hn::Or(ToByte(r), hn::ShiftLeft<8>(ToByte(g))), hn::ShiftLeft<16>(ToByte(b)));
  return hn::BitCast(DU(), px);
}

}  // namespace pixelmoth::HWY_NAMESPACE
HWY_AFTER_NAMESPACE();

#endif  // PIXELMOTH_COLOR_LANES_INL_H_
