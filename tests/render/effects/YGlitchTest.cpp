// YGlitch: columns rolled up by a random offset, kept when their choice is 0
// or 1; two draws per column.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "tests/render/effects/EffectChecks.h"
#include "tests/render/effects/RunChecks.h"

namespace {

using namespace effect_checks;

// Column by column, top to bottom, one source row per pixel.
void PlainYGlitch(const EffectContext& c) {
  for (std::int64_t x = 0; x < c.W; ++x) {
    const std::int64_t offset = c.glitchRandom.InRange(0, c.v);
    const std::int64_t r = c.glitchRandom.InRange(0, 10);
    for (std::int64_t y = 0; y < c.H; ++y) {
      if (r > 1) {
        std::int64_t s = y + offset;
        if (s >= c.H) s -= c.H;
        c.fxSurf.SetPixel(x, y, c.picSurf.Pixel(x, s));
      } else {
        c.fxSurf.SetPixel(x, y, c.picSurf.Pixel(x, y));
      }
    }
  }
}

// Draws answered by column: offset first, then the choice.
ScriptedRandom ByColumn(std::function<std::pair<std::int64_t, std::int64_t>(std::int64_t x)> offsetAndChoice) {
  auto call = std::make_shared<std::int64_t>(0);
  return ScriptedRandom([call, offsetAndChoice](std::int64_t, std::int64_t) {
    const std::int64_t n = (*call)++;
    const auto [offset, r] = offsetAndChoice(n / 2);
    return n % 2 == 0 ? offset : r;
  });
}

TEST(YGlitch, MatchesTheColumnByColumnVersion) {
  ExpectSameAsReference(&YGlitch, &PlainYGlitch, {{100, 100}, {37, 120}, {250, 101}, {13, 9}}, {1, 20, 100});
}

TEST(YGlitch, SameSeedsGiveTheSamePreviewAndEveryPixelIsWritten) {
  ExpectRepeatableAndWhole(&YGlitch, 80, 110, 20);
}

TEST(YGlitch, DrawsTheOffsetThenTheChoiceOncePerColumn) {
  std::vector<std::pair<std::int64_t, std::int64_t>> bounds;
  ScriptedRandom random([&bounds](std::int64_t min, std::int64_t max) {
    bounds.emplace_back(min, max);
    return min;
  });
  RunEffect(&YGlitch, MixedPicture(57, 100), {33}, &random.Generator());
  ASSERT_EQ(random.Draws(), 2 * 57);
  for (std::size_t i = 0; i < bounds.size(); i += 2) {
    EXPECT_EQ(bounds[i], std::make_pair(std::int64_t{0}, std::int64_t{33}));
    EXPECT_EQ(bounds[i + 1], std::make_pair(std::int64_t{0}, std::int64_t{10}));
  }
}

TEST(YGlitch, AnOffsetOfAHundredOnAHundredRowPictureIsAnUnchangedCopy) {
  const Ref<Picture> source = MixedPicture(40, 100);
  ScriptedRandom random = ByColumn([](std::int64_t) { return std::make_pair(std::int64_t{100}, std::int64_t{5}); });
  EXPECT_TRUE(SamePixels(RunEffect(&YGlitch, source, {100}, &random.Generator()).fxLayer, source));
}

TEST(YGlitch, AChoiceOfZeroOrOneKeepsTheColumnWhateverItsOffset) {
  const Ref<Picture> source = MixedPicture(30, 20);
  ScriptedRandom random = ByColumn([](std::int64_t x) { return std::make_pair(std::int64_t{7}, x % 3); });
  const EffectRun run = RunEffect(&YGlitch, source, {20}, &random.Generator());
  RGBSurface from = source->RGBSurface(), to = run.fxLayer->RGBSurface();
  for (std::int64_t x = 0; x < 30; ++x)
    for (std::int64_t y = 0; y < 20; ++y)
      ASSERT_EQ(to.Pixel(x, y), from.Pixel(x, x % 3 > 1 ? (y + 7) % 20 : y)) << x << ", " << y;
}

TEST(YGlitch, AtStrengthOneTheLastRowOfAMovedColumnShowsItsFirstRow) {
  const Ref<Picture> source = MixedPicture(5, 100);
  ScriptedRandom random = ByColumn([](std::int64_t) { return std::make_pair(std::int64_t{1}, std::int64_t{2}); });
  const EffectRun run = RunEffect(&YGlitch, source, {1}, &random.Generator());
  for (std::int64_t x = 0; x < 5; ++x) {
    EXPECT_EQ(run.fxLayer->RGBSurface().Pixel(x, 99), source->RGBSurface().Pixel(x, 0));
    EXPECT_EQ(run.fxLayer->RGBSurface().Pixel(x, 0), source->RGBSurface().Pixel(x, 1));
  }
}

TEST(YGlitch, InPlaceTheBottomRowsCopyRowsTheColumnHasRewritten) {
  const Ref<Picture> source = MixedPicture(4, 10);
  ScriptedRandom random = ByColumn([](std::int64_t) { return std::make_pair(std::int64_t{3}, std::int64_t{5}); });
  EffectSetup setup{20};
  setup.samePicture = true;
  const EffectRun run = RunEffect(&YGlitch, source, setup, &random.Generator());
  ASSERT_EQ(run.pic, run.fxLayer);
  RGBSurface before = source->RGBSurface(), after = run.pic->RGBSurface();
  for (std::int64_t x = 0; x < 4; ++x) {
    for (std::int64_t y = 0; y < 7; ++y) EXPECT_EQ(after.Pixel(x, y), before.Pixel(x, y + 3));
    // Rows offset to 2 x offset - 1 of the column as it was.
    for (std::int64_t y = 7; y < 10; ++y) EXPECT_EQ(after.Pixel(x, y), before.Pixel(x, y - 4));
  }
}

}  // namespace
