#include "framework/Random.h"

#include <immintrin.h>

#include <algorithm>
#include <random>

#include "framework/Processor.h"
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

namespace {

// Draws taken at once: their words fill a few kilobytes of first-level cache.
constexpr std::int64_t kByteChunk = 256;

// out[i] = min + the high word of Scramble(word[i]) * n, modulo 256, for
// count a multiple of 8 and 0 < n < 2^32. False when some low word falls
// below n: that draw may have to be redrawn, which only the one-by-one
// method does.
__attribute__((target("arch=x86-64-v4"))) bool ScrambleToBytes(const std::uint64_t* word, std::int64_t count,
                                                                std::int64_t min, std::uint64_t n,
                                                                std::uint8_t* out) noexcept {
  const __m512i n8 = _mm512_set1_epi64(static_cast<long long>(n));
  const __m512i min8 = _mm512_set1_epi64(min);
  const __m512i low32 = _mm512_set1_epi64(0xFFFFFFFF);
  __mmask8 doubtful = 0;
  // The masked forms with every lane on: GCC 12 reports the plain ones,
  // which start from an undefined register, as maybe uninitialised.
  constexpr __mmask8 all = 0xFF;
  for (std::int64_t i = 0; i < count; i += 8) {
    // Scramble: rotl(s * 5, 7) * 9.
    __m512i x = _mm512_loadu_si512(word + i);
    x = _mm512_add_epi64(x, _mm512_maskz_slli_epi64(all, x, 2));
    x = _mm512_maskz_rol_epi64(all, x, 7);
    x = _mm512_add_epi64(x, _mm512_maskz_slli_epi64(all, x, 3));
    // x * n = (hi32(x) * n) * 2^32 + lo32(x) * n, each product below 2^64,
    // their sum below 2^96: its high word and its low word.
    const __m512i upper = _mm512_maskz_mul_epu32(all, _mm512_maskz_srli_epi64(all, x, 32), n8);
    const __m512i lower = _mm512_maskz_mul_epu32(all, x, n8);
    const __m512i middle = _mm512_add_epi64(upper, _mm512_maskz_srli_epi64(all, lower, 32));
    const __m512i high = _mm512_maskz_srli_epi64(all, middle, 32);
    const __m512i low = _mm512_or_si512(_mm512_maskz_slli_epi64(all, middle, 32), _mm512_and_si512(lower, low32));
    doubtful |= _mm512_cmplt_epu64_mask(low, n8);
    _mm_storel_epi64(reinterpret_cast<__m128i*>(out + i),
                     _mm512_maskz_cvtepi64_epi8(all, _mm512_add_epi64(high, min8)));
  }
  return doubtful == 0;
}

}  // namespace

void Random::ByteRun(const Bounds& r, std::uint8_t* out, std::int64_t count) noexcept {
  Xoshiro256 gen = gen_;
  std::int64_t i = 0;
  if (Processor::HasAvx512()) {
    std::uint64_t word[kByteChunk];
    while (count - i >= 8) {
      const std::int64_t m = std::min(kByteChunk, (count - i) & ~std::int64_t{7});
      const Xoshiro256 start = gen;
      gen.Advance(word, m);
      if (!ScrambleToBytes(word, m, r.min, r.n, out + i)) {
        // Once in billions of draws: the chunk again, one by one.
        gen = start;
        for (std::int64_t k = 0; k < m; ++k) out[i + k] = static_cast<std::uint8_t>(r.At(Below(gen, r.n)));
      }
      i += m;
    }
  }
  for (; i < count; ++i) out[i] = static_cast<std::uint8_t>(r.At(Below(gen, r.n)));
  gen_ = gen;
}

namespace rnd_detail {
Source::Source() : gen(DeviceSeed()) {}
Source global;
}  // namespace rnd_detail

namespace TestSeams {
void Seed(Random& r, std::uint64_t seed) { r.Seed(seed); }
void SeedRnd(std::uint64_t seed) { rnd_detail::global.gen.Seed(seed); }
void ScriptRandom(Random& r, std::function<std::int64_t(std::int64_t, std::int64_t)> script) {
  r.Script(std::move(script));
}
void ScriptRnd(std::function<double()> script) { rnd_detail::global.script = std::move(script); }
}  // namespace TestSeams
