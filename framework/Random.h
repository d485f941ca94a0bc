#pragma once
// The framework's random generators: `Random` objects (xoshiro256**, state
// filled from splitmix64 of the seed) and the separate global `Rnd`.
// The running application seeds both from std::random_device; tests and the
// benchmark seed or script them through TestSeams.

#include <cstdint>
#include <functional>
#include <memory>
#include <type_traits>

class Xoshiro256 {
 public:
  explicit Xoshiro256(std::uint64_t seed) noexcept { Seed(seed); }
  void Seed(std::uint64_t seed) noexcept;
  std::uint64_t Next() noexcept {
    const std::uint64_t result = Scramble(s_[1]);
    Step(s_[0], s_[1], s_[2], s_[3]);
    return result;
  }
  // The next `count` steps at once, keeping for each the word that its
  // output is scrambled from: step i would have returned Scramble(word[i]).
  // Apart from the scrambling the steps form one chain of dependent
  // operations; the scrambling can then be done many lanes at a time.
  void Advance(std::uint64_t* word, std::int64_t count) noexcept {
    std::uint64_t s0 = s_[0], s1 = s_[1], s2 = s_[2], s3 = s_[3];
    for (std::int64_t i = 0; i < count; ++i) {
      word[i] = s1;
      Step(s0, s1, s2, s3);
    }
    s_[0] = s0, s_[1] = s1, s_[2] = s2, s_[3] = s3;
  }
  static std::uint64_t Scramble(std::uint64_t s1) noexcept { return Rotl(s1 * 5, 7) * 9; }
  // An output as a double in [0, 1): its top 53 bits times 2^-53.
  static double Unit(std::uint64_t output) noexcept { return static_cast<double>(output >> 11) * 0x1.0p-53; }

 private:
  static std::uint64_t Rotl(std::uint64_t x, int k) noexcept { return (x << k) | (x >> (64 - k)); }
  static void Step(std::uint64_t& s0, std::uint64_t& s1, std::uint64_t& s2, std::uint64_t& s3) noexcept {
    const std::uint64_t t = s1 << 17;
    s2 ^= s0;
    s3 ^= s1;
    s1 ^= s2;
    s0 ^= s3;
    s2 ^= t;
    s3 = Rotl(s3, 45);
  }
  std::uint64_t s_[4];
};

class Random {
 public:
  // Seeded from std::random_device.
  Random();
  explicit Random(std::uint64_t seed) : gen_(seed) {}

  // An integer r with min <= r <= max, both included; crossed bounds are
  // swapped. Lemire's unbiased bounded method.
  std::int64_t InRange(std::int64_t min, std::int64_t max) {
    if (script_) [[unlikely]] return script_(min, max);
    const Bounds r(min, max);
    return r.At(Below(gen_, r.n));
  }

  // count values of InRange(min, max) into out[0] to out[count - 1], in
  // order: the same values as count calls (scripted ones too), faster for a
  // long run, since the generator's state stays in registers throughout.
  template <typename T>
  void InRangeMany(std::int64_t min, std::int64_t max, T* out, std::int64_t count) {
    if (script_) [[unlikely]] {
      for (std::int64_t i = 0; i < count; ++i) out[i] = static_cast<T>(script_(min, max));
      return;
    }
    const Bounds r(min, max);
    if constexpr (std::is_same_v<T, std::uint8_t>) {
      if (r.n != 0 && r.n <= 0xFFFFFFFFu) return ByteRun(r, out, count);
    }
    Xoshiro256 gen = gen_;
    for (std::int64_t i = 0; i < count; ++i) out[i] = static_cast<T>(r.At(Below(gen, r.n)));
    gen_ = gen;
  }

  // Test seams (TestSeams.h forwards here).
  void Seed(std::uint64_t seed) noexcept { gen_.Seed(seed); }
  void Script(std::function<std::int64_t(std::int64_t, std::int64_t)> script) {
    script_ = std::move(script);
  }
  std::uint64_t NextRaw() noexcept { return gen_.Next(); }

 private:
  // The bounds in order and the count of values between them, 0 for the
  // full 64-bit range. Worked out once for a run of draws.
  struct Bounds {
    Bounds(std::int64_t a, std::int64_t b) noexcept
        : min(a < b ? a : b),
          n(static_cast<std::uint64_t>(a < b ? b : a) - static_cast<std::uint64_t>(min) + 1u) {}
    // The value at `offset` from min; over the full range, the draw itself.
    std::int64_t At(std::uint64_t offset) const noexcept {
      return static_cast<std::int64_t>(n == 0 ? offset : static_cast<std::uint64_t>(min) + offset);
    }
    std::int64_t min;
    std::uint64_t n;
  };

  // InRangeMany into bytes for 0 < r.n < 2^32: the scrambling and the
  // bounding a vector of draws at a time.
  void ByteRun(const Bounds& r, std::uint8_t* out, std::int64_t count) noexcept;

  // Uniform in 0..n-1 (the raw draw for n = 0), unbiased.
  static std::uint64_t Below(Xoshiro256& gen, std::uint64_t n) noexcept {
    if (n == 0) return gen.Next();
    unsigned __int128 m = static_cast<unsigned __int128>(gen.Next()) * n;
    std::uint64_t low = static_cast<std::uint64_t>(m);
    if (low < n) [[unlikely]] {
      const std::uint64_t threshold = (0 - n) % n;
      while (low < threshold) {
        m = static_cast<unsigned __int128>(gen.Next()) * n;
        low = static_cast<std::uint64_t>(m);
      }
    }
    return static_cast<std::uint64_t>(m >> 64);
  }

  Xoshiro256 gen_;
  std::function<std::int64_t(std::int64_t, std::int64_t)> script_;
};

namespace rnd_detail {
struct Source {
  Source();
  Xoshiro256 gen;
  std::function<double()> script;
};
extern Source global;
}  // namespace rnd_detail

// A double in [0, 1) from the framework's own generator.
inline double Rnd() {
  rnd_detail::Source& s = rnd_detail::global;
  if (s.script) [[unlikely]] return s.script();
  return Xoshiro256::Unit(s.gen.Next());
}

// count values of Rnd() into out[0] to out[count - 1], in order (scripted
// ones too): the generator's steps one after the other, their scrambling and
// conversion a vector at a time.
void RndMany(double* out, std::int64_t count);
