#include "render/effects/BoostDraws.h"

#include <bit>
#include <cstring>

#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "render/effects/BoostDraws.cpp"
#include "hwy/foreach_target.h"  // IWYU pragma: keep
#include "hwy/highway.h"

#ifndef PIXELMOTH_BOOST_DRAWS_STEPS
#define PIXELMOTH_BOOST_DRAWS_STEPS
namespace {

// Eight values at a time: given the values still owed to the pixel before
// (0, 1 or 2) and which of the eight lie below 0.5, which of them are pixels'
// r values (firsts) and what is owed after them.
struct Step {
  std::uint8_t firsts;
  std::uint8_t owed;
};
struct Steps {
  Step at[3][256];
};
constexpr Steps MakeSteps() {
  Steps s{};
  for (int owedBefore = 0; owedBefore < 3; ++owedBefore)
    for (int low = 0; low < 256; ++low) {
      int owed = owedBefore, firsts = 0;
      for (int j = 0; j < 8; ++j) {
        if (owed > 0) {
          --owed;
        } else {
          firsts |= 1 << j;
          owed = (low >> j) & 1 ? 2 : 0;
        }
      }
      s.at[owedBefore][low] = Step{static_cast<std::uint8_t>(firsts), static_cast<std::uint8_t>(owed)};
    }
  return s;
}
constexpr Steps kSteps = MakeSteps();

}  // namespace
#endif

HWY_BEFORE_NAMESPACE();
namespace pixelmoth::HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;

// Bit i tells whether d[i] < 0.5, for i < 64: a vector compared at a time.
HWY_INLINE std::uint64_t LowBits(const double* d) {
  const hn::ScalableTag<double> df;
  const std::int64_t N = static_cast<std::int64_t>(hn::Lanes(df));
  const auto half = hn::Set(df, 0.5);
  std::uint64_t low = 0;
  for (std::int64_t i = 0; i < 64; i += N) {
    std::uint8_t bytes[8] = {};
    hn::StoreMaskBits(df, hn::Lt(hn::LoadU(df, d + i), half), bytes);
    std::uint64_t bits;
    std::memcpy(&bits, bytes, sizeof bits);
    low |= bits << i;
  }
  return low;
}

// 64 values a step: the bits of those below 0.5, all compared at once; then
// of those that start a pixel, eight at a time from the table, so that the
// pixels' positions depend on each other only once per eight values; then
// the pixels one after the other. A raised pixel's factors are stored in any
// case and kept by counting it.
std::int64_t DecodeRun(const double* d, std::int64_t n, BoostDraws::Raised& raised) {
  std::int64_t found = 0, count = 0;
  std::uint64_t bits = 0;  // of the pixels from found & ~63 on, stored once complete
  unsigned owed = 0;
  for (std::int64_t c = 0;; c += 64) {
    const std::uint64_t low = LowBits(d + c);
    std::uint64_t firsts = 0;
    for (int b = 0; b < 8; ++b) {
      const Step step = kSteps.at[owed][(low >> (8 * b)) & 0xFF];
      firsts |= static_cast<std::uint64_t>(step.firsts) << (8 * b);
      owed = step.owed;
    }
    for (; firsts != 0; firsts &= firsts - 1) {
      const int p = std::countr_zero(firsts);
      const std::uint64_t up = low >> p & 1;
      bits |= up << (found & 63);
      raised.hueFactor[count] = 1 + d[c + p + 1];
      raised.saturationFactor[count] = 1 + d[c + p + 2];
      count += static_cast<std::int64_t>(up);
      ++found;
      if ((found & 63) == 0 || found == n) {
        raised.bits[(found - 1) >> 6] = bits;
        bits = 0;
        if (found == n) {
          for (std::int64_t w = ((n - 1) >> 6) + 1; w < BoostDraws::kRun / 64; ++w) raised.bits[w] = 0;
          raised.count = count;
          return c + p + 1 + 2 * static_cast<std::int64_t>(up);
        }
      }
    }
  }
}

}  // namespace pixelmoth::HWY_NAMESPACE
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
namespace pixelmoth {
HWY_EXPORT(DecodeRun);
}  // namespace pixelmoth

std::int64_t BoostDraws::Decode(const double* values, std::int64_t n, Raised& raised) noexcept {
  return HWY_DYNAMIC_DISPATCH(pixelmoth::DecodeRun)(values, n, raised);
}
#endif  // HWY_ONCE
