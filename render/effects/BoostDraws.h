#pragma once
// The draws of a pass that takes, pixel after pixel, one value r of Rnd and,
// when r < 0.5, two more: the pixel's hue factor 1 + Rnd and saturation factor
// 1 + Rnd. Read one pixel at a time, every pixel's branch is a coin toss that
// the processor mispredicts half the time, and each pixel's draws can only be
// found once the previous pixel's are known. So the values are taken from Rnd
// ahead, in their order, and which of them start a pixel is worked out eight
// values at a time from a table.
//
// Never more values are taken ahead than the rest of the pass is sure to use,
// so Rnd ends the pass where the pixel loop would leave it.

#include <emmintrin.h>

#include <algorithm>
#include <array>
#include <cstdint>

#include "framework/Random.h"

namespace boost_draws {

// Eight values at a time: given the values still owed to the pixel before
// (0, 1 or 2) and which of the eight lie below 0.5, which of them are pixels'
// r values (firsts) and what is owed after them.
struct Step {
  std::uint8_t firsts;
  std::uint8_t owed;
};
struct Steps {
  Step at[3][256];
  std::int32_t position[256][8];  // the set bits of a mask, in order, then 0s
  std::uint8_t count[256];
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
  for (int mask = 0; mask < 256; ++mask) {
    int n = 0;
    for (int j = 0; j < 8; ++j)
      if (mask >> j & 1) s.position[mask][n++] = j;
    s.count[mask] = static_cast<std::uint8_t>(n);
  }
  return s;
}
inline constexpr Steps kSteps = MakeSteps();

// Which of eight values lie below 0.5, as the bits of one byte.
inline unsigned LowBits(const double* d) {
  const __m128d half = _mm_set1_pd(0.5);
  unsigned bits = 0;
  for (int j = 0; j < 8; j += 2) bits |= static_cast<unsigned>(_mm_movemask_pd(_mm_cmplt_pd(_mm_loadu_pd(d + j), half))) << j;
  return bits;
}

}  // namespace boost_draws

class BoostDraws {
 public:
  static constexpr std::int64_t kRun = 512;

  // The pixels of one run that drew a raise, in order: their places in the
  // run and their factors.
  struct Raised {
    std::int64_t count = 0;
    std::int64_t index[kRun];
    double hueFactor[kRun], saturationFactor[kRun];
  };

  // `pixels` is the number of pixels in the whole pass.
  explicit BoostDraws(std::int64_t pixels) : sure_(pixels) {}

  // The draws of the next n pixels of the pass, n <= kRun.
  void Next(std::int64_t n, Raised& raised) {
    raised.count = 0;
    const std::int64_t covered = ReadAhead(n, raised);
    // The last pixels of the pass, one draw at a time.
    for (std::int64_t k = covered; k < n; ++k) {
      if (Take() < 0.5) {
        raised.index[raised.count] = k;
        raised.hueFactor[raised.count] = 1 + Take();
        raised.saturationFactor[raised.count] = 1 + Take();
        ++raised.count;
      }
      --sure_;
    }
  }

 private:
  static constexpr std::int64_t kAhead = 3 * kRun;

  // The pixels among the first n whose three possible values are at hand,
  // read without a branch per pixel; returns how many.
  std::int64_t ReadAhead(std::int64_t n, Raised& raised) {
    using boost_draws::kSteps;
    Refill(3 * n);
    const std::int64_t m = end_;
    // Where each pixel's r stands among the m values, eight values a step.
    std::int64_t found = 0;
    int owed = 0;
    for (std::int64_t c = 0; c < m && found < n; c += 8) {
      const boost_draws::Step step = kSteps.at[owed][boost_draws::LowBits(values_.data() + c)];
      // Bits past the m values mark no pixel.
      const unsigned mask = m - c >= 8 ? step.firsts : step.firsts & ((1u << (m - c)) - 1u);
      const __m128i base = _mm_set1_epi32(static_cast<int>(c));
      const __m128i* at = reinterpret_cast<const __m128i*>(kSteps.position[mask]);
      __m128i* to = reinterpret_cast<__m128i*>(firsts_.data() + found);
      _mm_storeu_si128(to, _mm_add_epi32(_mm_loadu_si128(at), base));
      _mm_storeu_si128(to + 1, _mm_add_epi32(_mm_loadu_si128(at + 1), base));
      found += kSteps.count[mask];
      owed = step.owed;
    }
    std::int64_t covered = std::min(n, found);
    // Only the last pixel found can lack its factors.
    const double* d = values_.data();
    if (covered == found && covered > 0 && d[firsts_[covered - 1]] < 0.5 && firsts_[covered - 1] + 2 >= m) --covered;
    std::int64_t count = 0;
    for (std::int64_t k = 0; k < covered; ++k) {
      const std::int64_t at = firsts_[k];
      raised.index[count] = k;
      raised.hueFactor[count] = 1 + d[at + 1];
      raised.saturationFactor[count] = 1 + d[at + 2];
      count += d[at] < 0.5;
    }
    raised.count = count;
    next_ = covered == 0 ? 0 : firsts_[covered - 1] + (d[firsts_[covered - 1]] < 0.5 ? 3 : 1);
    sure_ -= covered;
    return covered;
  }

  // Moves the values not yet used to the front and takes more, up to
  // `wanted` at hand, as far as the pass is sure to use them.
  void Refill(std::int64_t wanted) {
    std::copy(values_.data() + next_, values_.data() + end_, values_.data());
    end_ -= next_;
    next_ = 0;
    // A local pointer, so that the generator's state can stay in registers.
    const std::int64_t upTo = std::min({wanted, sure_, kAhead});
    double* values = values_.data();
    for (std::int64_t i = end_; i < upTo; ++i) values[i] = Rnd();
    end_ = std::max(end_, upTo);
  }

  double Take() { return next_ < end_ ? values_[next_++] : Rnd(); }

  // Values past the end keep whatever they held: they are read but never used.
  std::array<double, kAhead + 8> values_{};
  std::array<std::int32_t, kRun + 8> firsts_{};
  std::int64_t next_ = 0, end_ = 0;
  std::int64_t sure_;  // values the rest of the pass is sure to take: one per pixel
};
