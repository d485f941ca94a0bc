#include "render/effects/OverdriveTone.h"

#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "render/effects/OverdriveTone.cpp"
#include "hwy/foreach_target.h"  // IWYU pragma: keep
#include "hwy/highway.h"

HWY_BEFORE_NAMESPACE();
namespace pixelmoth::HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;

// A vector of table indices at a time, and its entries gathered at once.
void ToneRun(const Color* entries, Color* px, std::int64_t n) {
  using overdrive::ToneTable;
  const hn::ScalableTag<std::int32_t> d;
  const std::int64_t N = static_cast<std::int64_t>(hn::Lanes(d));
  const auto byte = hn::Set(d, 0xFF), darkEnd = hn::Set(d, ToneTable::kDarkEnd);
  const auto* table = reinterpret_cast<const std::int32_t*>(entries);
  auto* pixels = reinterpret_cast<std::int32_t*>(px);
  std::int64_t k = 0;
  for (; k + N <= n; k += N) {
    const auto p = hn::LoadU(d, pixels + k);
    const auto r = hn::And(p, byte), g = hn::And(hn::ShiftRight<8>(p), byte), b = hn::And(hn::ShiftRight<16>(p), byte);
    const auto mx = hn::Max(hn::Max(r, g), b), mn = hn::Min(hn::Min(r, g), b);
    const auto bright = hn::Add(hn::ShiftLeft<8>(hn::Sub(mx, darkEnd)), mn);
    const auto dark =
        hn::Add(hn::Set(d, ToneTable::kBright), hn::Add(hn::Mul(hn::Add(hn::Mul(r, darkEnd), g), darkEnd), b));
    const auto index = hn::IfThenElse(hn::Lt(mx, darkEnd), dark, bright);
    hn::StoreU(hn::GatherIndex(d, table, index), d, pixels + k);
  }
  for (; k < n; ++k) px[k] = entries[ToneTable::Index(px[k].red, px[k].green, px[k].blue)];
}

}  // namespace pixelmoth::HWY_NAMESPACE
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
namespace pixelmoth {
HWY_EXPORT(ToneRun);
}  // namespace pixelmoth

void overdrive::ToneTable::Run(Color* px, std::int64_t n) const noexcept {
  HWY_DYNAMIC_DISPATCH(pixelmoth::ToneRun)(entries_.data(), px, n);
}
#endif  // HWY_ONCE
