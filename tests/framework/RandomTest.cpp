// Random and Rnd against xoshiro256** seeded by splitmix64, both written here
// from the published algorithms, and Lemire's bounded draw.

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <set>
#include <utility>
#include <vector>

#include "framework/Random.h"
#include "framework/TestSeams.h"

namespace {

constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();

// splitmix64 (Steele, Lea and Flood; Vigna's reference code).
std::uint64_t SplitMix(std::uint64_t& x) {
  x += 0x9e3779b97f4a7c15u;
  std::uint64_t z = x;
  z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9u;
  z = (z ^ (z >> 27)) * 0x94d049bb133111ebu;
  return z ^ (z >> 31);
}

std::uint64_t RotateLeft(std::uint64_t x, int k) { return (x << k) | (x >> (64 - k)); }

// xoshiro256** 1.0 (Blackman and Vigna), its state four splitmix64 outputs.
class Reference {
 public:
  explicit Reference(std::uint64_t seed) {
    for (std::uint64_t& word : s_) word = SplitMix(seed);
  }
  std::uint64_t Next() {
    const std::uint64_t result = RotateLeft(s_[1] * 5, 7) * 9;
    const std::uint64_t t = s_[1] << 17;
    s_[2] ^= s_[0];
    s_[3] ^= s_[1];
    s_[1] ^= s_[2];
    s_[0] ^= s_[3];
    s_[2] ^= t;
    s_[3] = RotateLeft(s_[3], 45);
    return result;
  }
  // Lemire: the high word of next * n, redrawn while the low word falls
  // below (2^64 - n) mod n.
  std::int64_t InRange(std::int64_t min, std::int64_t max) {
    if (min > max) std::swap(min, max);
    const std::uint64_t n = static_cast<std::uint64_t>(max) - static_cast<std::uint64_t>(min) + 1;
    if (n == 0) return static_cast<std::int64_t>(Next());
    const std::uint64_t threshold = (0 - n) % n;
    unsigned __int128 m;
    do {
      m = static_cast<unsigned __int128>(Next()) * n;
    } while (static_cast<std::uint64_t>(m) < threshold);
    return static_cast<std::int64_t>(static_cast<std::uint64_t>(min) + static_cast<std::uint64_t>(m >> 64));
  }
  double Unit() { return static_cast<double>(Next() >> 11) * 0x1.0p-53; }

 private:
  std::uint64_t s_[4];
};

const std::uint64_t kSeeds[] = {0, 1, 42, 0x123456789abcdefu, std::numeric_limits<std::uint64_t>::max()};

TEST(Random, TheReferenceMatchesThePublishedFirstValues) {
  std::uint64_t x = 0;
  EXPECT_EQ(SplitMix(x), 0xe220a8397b1dcdafu);
  EXPECT_EQ(SplitMix(x), 0x6e789e6aa1b965f4u);
}

// First values worked out apart from this code and from the reference above.
TEST(Random, KnownFirstValuesOfASeed) {
  Random zero(0);
  for (std::uint64_t expected : {0x99ec5f36cb75f2b4u, 0xbf6e1f784956452au, 0x1a5f849d4933e6e0u, 0x6aa594f1262d2d2cu})
    EXPECT_EQ(zero.NextRaw(), expected);

  Random dice(42);
  std::vector<std::int64_t> rolls;
  for (int i = 0; i < 10; ++i) rolls.push_back(dice.InRange(1, 6));
  EXPECT_EQ(rolls, (std::vector<std::int64_t>{1, 3, 5, 6, 6, 5, 5, 6, 5, 4}));

  Random wide(42);
  std::vector<std::int64_t> draws;
  for (int i = 0; i < 5; ++i) draws.push_back(wide.InRange(1000, -1000));  // crossed
  EXPECT_EQ(draws, (std::vector<std::int64_t>{-833, -242, 360, 850, 984}));

  TestSeams::SeedRnd(7);
  for (std::uint64_t top : {6310231968177966u, 2510767866374405u, 7562691848873359u})
    EXPECT_EQ(Rnd(), static_cast<double>(top) * 0x1.0p-53);
}

TEST(Random, ASeedGivesXoshiroStartedBySplitMix) {
  for (std::uint64_t seed : kSeeds) {
    Random r(seed);
    Reference ref(seed);
    for (int i = 0; i < 20; ++i) ASSERT_EQ(r.NextRaw(), ref.Next()) << "seed " << seed << " draw " << i;
  }
}

TEST(Random, SeedingAgainRestartsTheSequence) {
  Random r(5);
  const std::int64_t first = r.InRange(0, 1000000);
  r.InRange(0, 1000000);
  TestSeams::Seed(r, 5);
  EXPECT_EQ(r.InRange(0, 1000000), first);
}

TEST(Random, InRangeIsLemiresBoundedDraw) {
  const std::pair<std::int64_t, std::int64_t> ranges[] = {
      {1, 6}, {0, 0}, {-5, 5}, {0, 1}, {-1000000007, 1000000007}, {kMin, kMax - 1}, {kMin + 1, kMax}, {kMin, -1},
      {0, kMax}, {kMin, kMax},
  };
  for (const auto& [lo, hi] : ranges) {
    Random r(99);
    Reference ref(99);
    for (int i = 0; i < 200; ++i) ASSERT_EQ(r.InRange(lo, hi), ref.InRange(lo, hi)) << lo << ".." << hi;
  }
}

TEST(Random, InRangeStaysWithinItsBoundsAndReachesBoth) {
  Random r(7);
  const std::pair<std::int64_t, std::int64_t> ranges[] = {{-2, 2}, {0, 1}, {10, 12}, {kMax - 3, kMax}, {kMin, kMin + 2}};
  for (const auto& [lo, hi] : ranges) {
    std::set<std::int64_t> seen;
    for (int i = 0; i < 2000; ++i) {
      const std::int64_t v = r.InRange(lo, hi);
      ASSERT_GE(v, lo);
      ASSERT_LE(v, hi);
      seen.insert(v);
    }
    EXPECT_EQ(seen.size(), static_cast<std::size_t>(hi - lo + 1)) << lo << ".." << hi;
  }
}

TEST(Random, CrossedBoundsAreSwapped) {
  Random a(3), b(3);
  for (int i = 0; i < 50; ++i) EXPECT_EQ(a.InRange(10, -4), b.InRange(-4, 10));
}

TEST(Random, ASingleValueRangeGivesThatValue) {
  Random r(11);
  for (int i = 0; i < 10; ++i) EXPECT_EQ(r.InRange(42, 42), 42);
  EXPECT_EQ(r.InRange(kMin, kMin), kMin);
  EXPECT_EQ(r.InRange(kMax, kMax), kMax);
}

TEST(Random, TheFullRangeGivesTheRawDraw) {
  Random r(13);
  Reference ref(13);
  for (int i = 0; i < 10; ++i) EXPECT_EQ(r.InRange(kMin, kMax), static_cast<std::int64_t>(ref.Next()));
}

TEST(Rnd, IsTheTopFiftyThreeBitsOfItsOwnGenerator) {
  for (std::uint64_t seed : kSeeds) {
    TestSeams::SeedRnd(seed);
    Reference ref(seed);
    for (int i = 0; i < 20; ++i) {
      const double v = Rnd();
      ASSERT_EQ(v, ref.Unit()) << "seed " << seed << " draw " << i;
      ASSERT_GE(v, 0.0);
      ASSERT_LT(v, 1.0);
    }
  }
}

TEST(Rnd, IsSeparateFromRandomObjects) {
  TestSeams::SeedRnd(21);
  Random r(21);
  r.InRange(0, 9);
  r.InRange(0, 9);
  Reference ref(21);
  EXPECT_EQ(Rnd(), ref.Unit());
}

TEST(Random, AScriptReplacesTheDrawsUntilRemoved) {
  Random r(17);
  std::vector<std::pair<std::int64_t, std::int64_t>> asked;
  TestSeams::ScriptRandom(r, [&asked](std::int64_t lo, std::int64_t hi) {
    asked.emplace_back(lo, hi);
    return hi;
  });
  EXPECT_EQ(r.InRange(3, 9), 9);
  EXPECT_EQ(r.InRange(-1, 1), 1);
  EXPECT_EQ(asked, (std::vector<std::pair<std::int64_t, std::int64_t>>{{3, 9}, {-1, 1}}));
  TestSeams::ScriptRandom(r, nullptr);
  Reference ref(17);  // the script drew nothing from the generator
  EXPECT_EQ(r.InRange(0, 1000), ref.InRange(0, 1000));
}

TEST(Rnd, AScriptReplacesTheDrawsUntilRemoved) {
  TestSeams::SeedRnd(19);
  double next = 0.0;
  TestSeams::ScriptRnd([&next] { return next += 0.25; });
  EXPECT_EQ(Rnd(), 0.25);
  EXPECT_EQ(Rnd(), 0.5);
  TestSeams::ScriptRnd(nullptr);
  Reference ref(19);
  EXPECT_EQ(Rnd(), ref.Unit());
}

}  // namespace
