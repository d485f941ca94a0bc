#include "framework/Random.h"

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
