// Random.InRangeMany, which the per-pixel effects draw with: the values of as
// many InRange calls, in order, leaving the generator where they would.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <vector>

#include "framework/Random.h"
#include "framework/TestSeams.h"

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
