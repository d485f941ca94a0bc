// Random.InRangeMany and RndMany, which the per-pixel effects draw with: the
// values of as many InRange or Rnd calls, in order, leaving the generator
// where they would.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <vector>

#include "framework/Random.h"
#include "framework/TestSeams.h"
#include "hwy/tests/hwy_gtest.h"

namespace {

constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();

TEST(RandomRun, GivesTheValuesOfAsManyInRangeCalls) {
  struct Bounds {
    std::int64_t min, max;
  };
  for (const Bounds b : {Bounds{1, 20}, Bounds{-5, 5}, Bounds{5, -5}, Bounds{7, 7}, Bounds{0, std::int64_t{1} << 62},
                         Bounds{kMin, kMax}, Bounds{kMin, 0}, Bounds{-3, kMax}}) {
    Random one(42), many(42);
    std::vector<std::int64_t> expected(1001), got(1001);
    for (std::int64_t& e : expected) e = one.InRange(b.min, b.max);
    many.InRangeMany(b.min, b.max, got.data(), 1001);
    EXPECT_EQ(got, expected) << b.min << " .. " << b.max;
    EXPECT_EQ(many.InRange(0, 1000000), one.InRange(0, 1000000)) << "the generator moved on alike";
  }
}

TEST(RandomRun, NarrowTypesHoldTheSameValues) {
  Random one(3), many(3);
  std::vector<std::uint8_t> bytes(5000);
  many.InRangeMany(1, 100, bytes.data(), 5000);
  for (std::uint8_t b : bytes) ASSERT_EQ(b, one.InRange(1, 100));
}

HWY_BEFORE_TEST(RandomRunsOnEveryTarget);

TEST_P(RandomRunsOnEveryTarget, BytesHoldTheLowByteOfEachValueForEveryLengthAndRange) {
  // Ranges of up to 2^32 values go a vector at a time, in chunks of 256;
  // wider ones one by one. Values past 255 keep their low byte.
  struct Bounds {
    std::int64_t min, max;
  };
  for (const Bounds b : {Bounds{1, 20}, Bounds{1, 1}, Bounds{0, 255}, Bounds{200, 300}, Bounds{-5, 5}, Bounds{9, 2},
                         Bounds{0, 0xFFFFFFFE}, Bounds{0, 0xFFFFFFFF}, Bounds{kMin, kMax}})
    for (const std::int64_t count : {0, 7, 8, 9, 255, 256, 257, 1001}) {
      Random one(5), many(5);
      std::vector<std::uint8_t> expected(count), got(count);
      for (std::uint8_t& e : expected) e = static_cast<std::uint8_t>(one.InRange(b.min, b.max));
      many.InRangeMany(b.min, b.max, got.data(), count);
      EXPECT_EQ(got, expected) << b.min << " .. " << b.max << ", " << count << " values";
      EXPECT_EQ(many.NextRaw(), one.NextRaw()) << b.min << " .. " << b.max << ", " << count << " values";
    }
}

TEST_P(RandomRunsOnEveryTarget, RndManyGivesTheValuesOfAsManyRndCalls) {
  // Runs past a chunk of 256 draws, and ends that fill no whole vector.
  for (const std::int64_t count : {0, 1, 7, 255, 256, 257, 1001}) {
    TestSeams::SeedRnd(77);
    std::vector<double> expected(count), got(count);
    for (double& e : expected) e = Rnd();
    const double after = Rnd();
    TestSeams::SeedRnd(77);
    RndMany(got.data(), count);
    EXPECT_EQ(got, expected) << count << " values";
    EXPECT_EQ(Rnd(), after) << count << " values: the generator moved on alike";
  }
}

TEST(RandomRun, RndManyTakesAScriptsValues) {
  double next = 0.0;
  TestSeams::ScriptRnd([&next] { return next += 0.25; });
  double out[3];
  RndMany(out, 3);
  TestSeams::ScriptRnd(nullptr);
  EXPECT_EQ(out[0], 0.25);
  EXPECT_EQ(out[2], 0.75);
}

TEST_P(RandomRunsOnEveryTarget, BytesRedrawWhereOneByOneDrawsWould) {
  // With this seed and n = 4294901761 the 680th output is refused and drawn
  // again: 1001 values take 1002 outputs.
  const std::int64_t max = 4294901760;
  Random one(2730958), many(2730958), raw(2730958);
  std::vector<std::uint8_t> expected(1001), got(1001);
  for (std::uint8_t& e : expected) e = static_cast<std::uint8_t>(one.InRange(0, max));
  for (int i = 0; i < 1002; ++i) raw.NextRaw();
  const std::uint64_t next = one.NextRaw();
  ASSERT_EQ(next, raw.NextRaw()) << "the seed no longer gives a redraw";
  many.InRangeMany(0, max, got.data(), 1001);
  EXPECT_EQ(got, expected);
  EXPECT_EQ(many.NextRaw(), next);
}

TEST(RandomRun, AScriptAnswersEveryValue) {
  Random r(1);
  int calls = 0;
  TestSeams::ScriptRandom(r, [&calls](std::int64_t min, std::int64_t max) { return min + max + calls++; });
  std::int32_t out[4];
  r.InRangeMany(2, 10, out, 4);
  EXPECT_EQ(calls, 4);
  EXPECT_EQ(out[0], 12);
  EXPECT_EQ(out[3], 15);
}

TEST(RandomRun, NoValuesLeaveTheGeneratorAlone) {
  Random one(9), many(9);
  many.InRangeMany(0, 5, static_cast<int*>(nullptr), 0);
  EXPECT_EQ(many.InRange(0, 1 << 30), one.InRange(0, 1 << 30));
}

}  // namespace
