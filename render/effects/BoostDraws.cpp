#include "render/effects/BoostDraws.h"

#include <immintrin.h>

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

#define PIXELMOTH_AVX512 __attribute__((target("arch=x86-64-v4")))

// `count` bits appended at bit `at` of the words.
PIXELMOTH_AVX512 inline void Append(std::uint64_t* words, std::int64_t at, std::uint64_t bits, int count) noexcept {
  const int shift = static_cast<int>(at & 63);
  words[at >> 6] |= bits << shift;
  if (shift + count > 64) words[(at >> 6) + 1] |= bits >> (64 - shift);
}

// The values eight at a time, 1 added, those at the set bits of `at` stored
// one after the other from `to`; returns how many.
PIXELMOTH_AVX512 inline std::int64_t Gather(const double* values, std::uint64_t at, double* to) noexcept {
  const __m512d one = _mm512_set1_pd(1.0);
  std::int64_t count = 0;
  for (int g = 0; g < 8 && at >> (8 * g); ++g) {
    const __mmask8 m = static_cast<__mmask8>(at >> (8 * g));
    _mm512_storeu_pd(to + count, _mm512_maskz_compress_pd(m, _mm512_add_pd(one, _mm512_loadu_pd(values + 8 * g))));
    count += __builtin_popcount(m);
  }
  return count;
}

}  // namespace

// One pixel at a time, without a branch on the coin toss: a raised pixel's
// factors are stored in any case and kept by counting it.
std::int64_t DecodeBoostDrawsPortable(const double* d, std::int64_t n, BoostDraws::Raised& raised) noexcept {
  for (std::uint64_t& w : raised.bits) w = 0;
  std::int64_t at = 0, count = 0;
  for (std::int64_t k = 0; k < n; ++k) {
    const bool up = d[at] < 0.5;
    raised.bits[k >> 6] |= static_cast<std::uint64_t>(up) << (k & 63);
    raised.hueFactor[count] = 1 + d[at + 1];
    raised.saturationFactor[count] = 1 + d[at + 2];
    count += up;
    at += 1 + 2 * static_cast<std::int64_t>(up);
  }
  raised.count = count;
  return at;
}

// 64 values a step: the bits of those below 0.5, then of those that start a
// pixel (eight at a time from the table), then of the raised pixels' factors,
// which lie one and two places after their r and may fall into the next step.
PIXELMOTH_AVX512 std::int64_t DecodeBoostDrawsAvx512(const double* d, std::int64_t n, BoostDraws::Raised& raised) noexcept {
  const __m512d half = _mm512_set1_pd(0.5);
  for (std::uint64_t& w : raised.bits) w = 0;
  std::int64_t found = 0, hue = 0, saturation = 0;
  std::uint64_t hueCarry = 0, saturationCarry = 0;
  unsigned owed = 0;
  for (std::int64_t c = 0;; c += 64) {
    std::uint64_t low = 0;
    for (int g = 0; g < 8; ++g)
      low |= static_cast<std::uint64_t>(_mm512_cmp_pd_mask(_mm512_loadu_pd(d + c + 8 * g), half, _CMP_LT_OQ)) << (8 * g);
    std::uint64_t firsts = 0;
    for (int b = 0; b < 8; ++b) {
      const Step step = kSteps.at[owed][(low >> (8 * b)) & 0xFF];
      firsts |= static_cast<std::uint64_t>(step.firsts) << (8 * b);
      owed = step.owed;
    }
    // Past the run's last pixel the values are the next run's, or nothing.
    const std::int64_t wanted = n - found;
    if (__builtin_popcountll(firsts) > wanted) firsts &= _pdep_u64(std::uint64_t{1} << wanted, firsts) - 1;
    const int count = __builtin_popcountll(firsts);
    const std::uint64_t starts = firsts & low;
    Append(raised.bits, found, _pext_u64(low, firsts), count);
    hue += Gather(d + c, starts << 1 | hueCarry, raised.hueFactor + hue);
    saturation += Gather(d + c, starts << 2 | saturationCarry, raised.saturationFactor + saturation);
    hueCarry = starts >> 63;
    saturationCarry = starts >> 62;
    found += count;
    if (found == n) {
      hue += Gather(d + c + 64, hueCarry, raised.hueFactor + hue);
      saturation += Gather(d + c + 64, saturationCarry, raised.saturationFactor + saturation);
      raised.count = hue;
      const int last = 63 - __builtin_clzll(firsts);
      return c + last + (low >> last & 1 ? 3 : 1);
    }
  }
}
