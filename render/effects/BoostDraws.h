#pragma once
// The draws of a pass that takes, pixel after pixel, one value r of Rnd and,
// when r < 0.5, two more: the pixel's hue factor 1 + Rnd and saturation factor
// 1 + Rnd. Read one pixel at a time, every pixel's branch is a coin toss that
// the processor mispredicts half the time, and each pixel's draws can only be
// found once the previous pixel's are known. So the values are taken from Rnd
// ahead, in their order, and a decoder works out without branches which of
// them start a pixel.
//
// Never more values are taken ahead than the rest of the pass is sure to use,
// so Rnd ends the pass where the pixel loop would leave it. Where fewer are at
// hand than a run may need (the pass's last pixels), the values are taken one
// at a time as the pixel loop takes them.

#include <algorithm>
#include <array>
#include <cstdint>

#include "framework/Random.h"

class BoostDraws {
 public:
  static constexpr std::int64_t kRun = 512;

  // The draws of one run of pixels: which of them drew a raise (bit k of
  // `bits` for pixel k), and the factors of those pixels in their order.
  struct Raised {
    std::int64_t count = 0;
    std::uint64_t bits[kRun / 64];
    double hueFactor[kRun], saturationFactor[kRun];

    bool Has(std::int64_t k) const noexcept { return bits[k >> 6] >> (k & 63) & 1; }
  };

  // Decodes the draws of n pixels (1 <= n <= kRun) from values, which holds
  // at least 3n of them and kSpare more that may be read but mean nothing;
  // returns how many values the n pixels take.
  static constexpr std::int64_t kSpare = 128;
  static std::int64_t Decode(const double* values, std::int64_t n, Raised& raised) noexcept;

  // `pixels` is the number of pixels in the whole pass.
  explicit BoostDraws(std::int64_t pixels) noexcept : sure_(pixels) {}

  // The draws of the next n pixels of the pass, 1 <= n <= kRun.
  void Next(std::int64_t n, Raised& raised) {
    if (Refill(3 * n) >= 3 * n) {
      next_ += Decode(values_.data() + next_, n, raised);
      sure_ -= n;
      return;
    }
    std::fill(std::begin(raised.bits), std::end(raised.bits), 0);
    raised.count = 0;
    for (std::int64_t k = 0; k < n; ++k) {
      if (Take() < 0.5) {
        raised.bits[k >> 6] |= std::uint64_t{1} << (k & 63);
        raised.hueFactor[raised.count] = 1 + Take();
        raised.saturationFactor[raised.count] = 1 + Take();
        ++raised.count;
      }
      --sure_;
    }
  }

 private:
  static constexpr std::int64_t kAhead = 8 * kRun;

  // Makes at least `wanted` values not yet used at hand, as far as the pass
  // is sure to use them; returns how many are.
  std::int64_t Refill(std::int64_t wanted) {
    if (end_ - next_ >= wanted) return end_ - next_;
    if (next_ > 0) {
      std::copy(values_.data() + next_, values_.data() + end_, values_.data());
      end_ -= next_;
      next_ = 0;
    }
    const std::int64_t upTo = std::min(sure_, kAhead);
    if (upTo > end_) RndMany(values_.data() + end_, upTo - end_);
    end_ = std::max(end_, upTo);
    return end_;
  }

  double Take() { return next_ < end_ ? values_[next_++] : Rnd(); }

  // Values past the end keep whatever they held: the decoder reads them but
  // never uses them.
  std::array<double, kAhead + kSpare> values_{};
  std::int64_t next_ = 0, end_ = 0;
  std::int64_t sure_;  // values the rest of the pass is sure to take: one per pixel
};
