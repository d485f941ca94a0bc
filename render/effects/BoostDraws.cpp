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
// only the raised pixels, one after the other: their factors, and their bit
// among the step's pixels, appended to the run's bits at once.
std::int64_t DecodeRun(const double* d, std::int64_t n, BoostDraws::Raised& raised) {
  for (std::uint64_t& w : raised.bits) w = 0;
  std::int64_t found = 0, count = 0;
  unsigned owed = 0;
  for (std::int64_t c = 0;; c += 64) {
    const std::uint64_t low = LowBits(d + c);
    std::uint64_t firsts = 0;
    for (int b = 0; b < 8; ++b) {
      const Step step = kSteps.at[owed][(low >> (8 * b)) & 0xFF];
      firsts |= static_cast<std::uint64_t>(step.firsts) << (8 * b);
      owed = step.owed;
    }
    std::int64_t pixels = std::popcount(firsts);
    const std::int64_t wanted = n - found;
    if (pixels >= wanted) {
      // The run ends at the wanted-th pixel of the step.
      std::uint64_t rest = firsts;
      for (std::int64_t k = 1; k < wanted; ++k) rest &= rest - 1;
      const int last = std::countr_zero(rest);
      firsts &= (std::uint64_t{2} << last) - 1;
      pixels = wanted;
    }
    std::uint64_t up = 0;  // bit k: the step's pixel k is raised
    for (std::uint64_t starts = firsts & low; starts != 0; starts &= starts - 1) {
      const int p = std::countr_zero(starts);
      up |= std::uint64_t{1} << std::popcount(firsts & ((std::uint64_t{1} << p) - 1));
      raised.hueFactor[count] = 1 + d[c + p + 1];
      raised.saturationFactor[count] = 1 + d[c + p + 2];
      ++count;
    }
    const int shift = static_cast<int>(found & 63);
    raised.bits[found >> 6] |= up << shift;
    if (shift + pixels > 64) raised.bits[(found >> 6) + 1] |= up >> (64 - shift);
    found += pixels;
    if (found == n) {
      // The run's last pixel starts at the last bit of firsts, and takes two
      // more values when it is raised.
      raised.count = count;
      const int last = 63 - std::countl_zero(firsts);
      return c + last + 1 + 2 * static_cast<std::int64_t>(low >> last & 1);
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
