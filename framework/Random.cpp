#include "framework/Random.h"

// The scrambling of a chunk of draws, and their bounding into bytes or
// conversion to doubles in [0, 1), compiled for every vector target
// (foreach_target.h), the best one chosen at the first call.
#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "framework/Random.cpp"
#include "hwy/foreach_target.h"  // IWYU pragma: keep
#include "hwy/highway.h"

HWY_BEFORE_NAMESPACE();
namespace pixelmoth::HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;

// Xoshiro256::Scramble a vector at a time: rotl(s * 5, 7) * 9.
template <class V>
HWY_INLINE V Scramble(V x) {
  x = hn::Add(x, hn::ShiftLeft<2>(x));
  x = hn::Or(hn::ShiftLeft<7>(x), hn::ShiftRight<57>(x));
  return hn::Add(x, hn::ShiftLeft<3>(x));
}

// out[i] = min + the high word of Scramble(word[i]) * n, modulo 256, for
// 0 < n < 2^32. False when some low word falls below n: that draw may have to
// be redrawn, which only the one-by-one method does.
bool ScrambleToBytes(const std::uint64_t* word, std::int64_t count, std::int64_t min, std::uint64_t n,
                     std::uint8_t* out) {
  std::int64_t i = 0;
#if HWY_TARGET != HWY_SCALAR  // one lane: no room for the 32-bit halves
  const hn::ScalableTag<std::uint64_t> d;
  const hn::Repartition<std::uint32_t, decltype(d)> d32;
  const hn::Rebind<std::uint8_t, decltype(d)> d8;
  const std::int64_t N = static_cast<std::int64_t>(hn::Lanes(d));
  // Two draws a vector take more instructions than one draw at a time.
  if (N >= 4) {
    const auto n64 = hn::Set(d, n);
    const auto min64 = hn::Set(d, static_cast<std::uint64_t>(min));
    const auto n32 = hn::BitCast(d32, n64);
    const auto low32 = hn::Set(d, 0xFFFFFFFFu);
    auto doubtful = hn::Zero(d);
    for (; i + N <= count; i += N) {
      const auto x = Scramble(hn::LoadU(d, word + i));
      // x * n = (hi32(x) * n) * 2^32 + lo32(x) * n, each product below 2^64,
      // their sum below 2^96: its high word and its low word.
      const auto upper = hn::MulEven(hn::BitCast(d32, hn::ShiftRight<32>(x)), n32);
      const auto lower = hn::MulEven(hn::BitCast(d32, x), n32);
      const auto middle = hn::Add(upper, hn::ShiftRight<32>(lower));
      const auto high = hn::ShiftRight<32>(middle);
      const auto low = hn::Or(hn::ShiftLeft<32>(middle), hn::And(lower, low32));
      doubtful = hn::Or(doubtful, hn::VecFromMask(d, hn::Lt(low, n64)));
      hn::StoreU(hn::TruncateTo(d8, hn::Add(high, min64)), d8, out + i);
    }
    if (!hn::AllTrue(d, hn::Eq(doubtful, hn::Zero(d)))) return false;
  }
#endif
  for (; i < count; ++i) {
    const unsigned __int128 m = static_cast<unsigned __int128>(Xoshiro256::Scramble(word[i])) * n;
    if (static_cast<std::uint64_t>(m) < n) return false;
    out[i] = static_cast<std::uint8_t>(static_cast<std::uint64_t>(min) + static_cast<std::uint64_t>(m >> 64));
  }
  return true;
}

// out[i] = Xoshiro256::Unit(Scramble(word[i])), as Rnd converts a draw.
void ScrambleToUnit(const std::uint64_t* word, std::int64_t count, double* out) {
  const hn::ScalableTag<std::uint64_t> d;
  const hn::Rebind<double, decltype(d)> df;
  const hn::Rebind<std::int64_t, decltype(d)> di;
  const std::int64_t N = static_cast<std::int64_t>(hn::Lanes(d));
  const auto unit = hn::Set(df, 0x1.0p-53);  // Xoshiro256::Unit's scale
  std::int64_t i = 0;
  for (; i + N <= count; i += N) {
    const auto x = Scramble(hn::LoadU(d, word + i));
    // Below 2^53: exact as a signed integer and as a double.
    const auto top = hn::BitCast(di, hn::ShiftRight<11>(x));
    hn::StoreU(hn::Mul(hn::ConvertTo(df, top), unit), df, out + i);
  }
  for (; i < count; ++i) out[i] = Xoshiro256::Unit(Xoshiro256::Scramble(word[i]));
}

}  // namespace pixelmoth::HWY_NAMESPACE
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
#include <algorithm>
#include <random>

#include "framework/TestSeams.h"

namespace {
std::uint64_t SplitMix64(std::uint64_t& state) noexcept {
  std::uint64_t z = (state += 0x9e3779b97f4a7c15ULL);
  z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
  z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
  return z ^ (z >> 31);
}

std::uint64_t DeviceSeed() {
  std::random_device device;
  return (static_cast<std::uint64_t>(device()) << 32) ^ device();
}
}  // namespace

void Xoshiro256::Seed(std::uint64_t seed) noexcept {
  std::uint64_t state = seed;
  for (std::uint64_t& word : s_) word = SplitMix64(state);
}

Random::Random() : gen_(DeviceSeed()) {}

namespace pixelmoth {
HWY_EXPORT(ScrambleToBytes);
HWY_EXPORT(ScrambleToUnit);
}  // namespace pixelmoth

namespace {
// Draws taken at once: their words fill a few kilobytes of first-level cache.
constexpr std::int64_t kChunk = 256;
}  // namespace

void Random::ByteRun(const Bounds& r, std::uint8_t* out, std::int64_t count) noexcept {
  Xoshiro256 gen = gen_;
  std::uint64_t word[kChunk];
  for (std::int64_t i = 0; i < count;) {
    const std::int64_t m = std::min(kChunk, count - i);
    const Xoshiro256 start = gen;
    gen.Advance(word, m);
    if (!HWY_DYNAMIC_DISPATCH(pixelmoth::ScrambleToBytes)(word, m, r.min, r.n, out + i)) {
      // Once in billions of draws: the chunk again, one by one.
      gen = start;
      for (std::int64_t k = 0; k < m; ++k) out[i + k] = static_cast<std::uint8_t>(r.At(Below(gen, r.n)));
    }
    i += m;
  }
  gen_ = gen;
}

namespace rnd_detail {
Source::Source() : gen(DeviceSeed()) {}
Source global;
}  // namespace rnd_detail

void RndMany(double* out, std::int64_t count) {
  rnd_detail::Source& s = rnd_detail::global;
  if (s.script) [[unlikely]] {
    for (std::int64_t i = 0; i < count; ++i) out[i] = s.script();
    return;
  }
  std::uint64_t word[kChunk];
  for (std::int64_t i = 0; i < count; i += kChunk) {
    const std::int64_t m = std::min(kChunk, count - i);
    s.gen.Advance(word, m);
    HWY_DYNAMIC_DISPATCH(pixelmoth::ScrambleToUnit)(word, m, out + i);
  }
}

namespace TestSeams {
void Seed(Random& r, std::uint64_t seed) { r.Seed(seed); }
void SeedRnd(std::uint64_t seed) { rnd_detail::global.gen.Seed(seed); }
void ScriptRandom(Random& r, std::function<std::int64_t(std::int64_t, std::int64_t)> script) {
  r.Script(std::move(script));
}
void ScriptRnd(std::function<double()> script) { rnd_detail::global.script = std::move(script); }
}  // namespace TestSeams
#endif  // HWY_ONCE
