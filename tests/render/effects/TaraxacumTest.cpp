// Taraxacum: every pixel copied from its own row, 1 to v columns to its
// right, or from the column of that distance past the right edge; one draw
// per pixel, column by column.
#include <gtest/gtest.h>

#include "hwy/tests/hwy_gtest.h"
#include "tests/render/effects/EffectChecks.h"
#include "tests/render/effects/RunChecks.h"

namespace {

using namespace effect_checks;

// Column by column, top to bottom, a draw per pixel, as written.
void PlainTaraxacum(const EffectContext& c) {
  for (std::int64_t x = 0; x < c.W; ++x)
    for (std::int64_t y = 0; y < c.H; ++y) {
      const std::int64_t d = c.glitchRandom.InRange(1, c.v);
      c.fxSurf.SetPixel(x, y, c.picSurf.Pixel(x + d < c.W ? x + d : d, y));
    }
}

HWY_BEFORE_TEST(TaraxacumOnEveryTarget);

TEST_P(TaraxacumOnEveryTarget, MatchesTheColumnByColumnVersion) {
  // Sizes off the multiples of 64 that the rows are gathered in.
  ExpectSameAsReference(&Taraxacum, &PlainTaraxacum, {{100, 70}, {130, 9}, {257, 65}, {3, 200}}, {1, 20, 100});
}

TEST(Taraxacum, StrengthsBeyondAByteAreDrawnAllTheSame) {
  ExpectSameAsReference(&Taraxacum, &PlainTaraxacum, {{400, 5}}, {300});
}

TEST(Taraxacum, SameSeedsGiveTheSamePreviewAndEveryPixelIsWritten) {
  ExpectRepeatableAndWhole(&Taraxacum, 120, 80, 20);
}

TEST(Taraxacum, StrengthOneMovesThePictureOneColumnLeftAndRepeatsColumnOneAtTheEnd) {
  const Ref<Picture> source = MixedPicture(100, 30, 4);
  RGBSurface from = source->RGBSurface(), to = RunEffect(&Taraxacum, source, {1}).fxLayer->RGBSurface();
  for (std::int64_t y = 0; y < 30; ++y) {
    for (std::int64_t x = 0; x < 99; ++x) ASSERT_EQ(to.Pixel(x, y), from.Pixel(x + 1, y)) << x << ", " << y;
    EXPECT_EQ(to.Pixel(99, y), from.Pixel(1, y));
  }
}

TEST(Taraxacum, ColumnZeroIsNeverCopied) {
  const Ref<Picture> source =
      PictureOf(150, 40, [](std::int64_t x, std::int64_t y) { return x == 0 ? RGB(255, 0, 0) : RGB(0, x % 200, y); });
  for (const std::int64_t v : {1, 20, 100}) {
    RGBSurface to = RunEffect(&Taraxacum, source, {v, static_cast<std::uint64_t>(v)}).fxLayer->RGBSurface();
    for (std::int64_t y = 0; y < 40; ++y)
      for (std::int64_t x = 0; x < 150; ++x) ASSERT_NE(to.Pixel(x, y), RGB(255, 0, 0)) << v << ": " << x << ", " << y;
  }
}

TEST(Taraxacum, DrawsOncePerPixelColumnByColumn) {
  // Draw number k answers 1 + k mod 13: pixel (x, y) gets draw x * H + y.
  const std::int64_t W = 70, H = 90, v = 13;
  auto calls = std::make_shared<std::int64_t>(0);
  ScriptedRandom random([calls, v](std::int64_t min, std::int64_t max) {
    EXPECT_EQ(min, 1);
    EXPECT_EQ(max, v);
    return 1 + (*calls)++ % v;
  });
  const Ref<Picture> source = MixedPicture(W, H, 5);
  RGBSurface from = source->RGBSurface(), to = RunEffect(&Taraxacum, source, {v}, &random.Generator()).fxLayer->RGBSurface();
  EXPECT_EQ(random.Draws(), W * H);
  for (std::int64_t x = 0; x < W; ++x)
    for (std::int64_t y = 0; y < H; ++y) {
      const std::int64_t d = 1 + (x * H + y) % v;
      ASSERT_EQ(to.Pixel(x, y), from.Pixel(x + d < W ? x + d : d, y)) << x << ", " << y;
    }
}

TEST(Taraxacum, ADistanceOfAHundredOnAHundredWidePictureReadsTheNearestColumn) {
  ScriptedRandom random([](std::int64_t, std::int64_t max) { return max; });
  const Ref<Picture> source = MixedPicture(100, 20, 6);
  RGBSurface from = source->RGBSurface(), to = RunEffect(&Taraxacum, source, {100}, &random.Generator()).fxLayer->RGBSurface();
  for (std::int64_t y = 0; y < 20; ++y)
    for (std::int64_t x = 0; x < 100; ++x) ASSERT_EQ(to.Pixel(x, y), from.Pixel(99, y)) << x << ", " << y;
}

TEST(Taraxacum, InPlaceTheRightMarginTakesPixelsAlreadyMoved) {
  const Ref<Picture> source = MixedPicture(100, 30, 7);
  EffectSetup setup{1};
  setup.samePicture = true;
  RGBSurface from = source->RGBSurface(), to = RunEffect(&Taraxacum, source, setup).pic->RGBSurface();
  // Column 1 has become column 2 by the time the last column reads it.
  for (std::int64_t y = 0; y < 30; ++y) EXPECT_EQ(to.Pixel(99, y), from.Pixel(2, y));
}

}  // namespace
