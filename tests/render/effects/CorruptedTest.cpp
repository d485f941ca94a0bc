#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "framework/Numbers.h"
#include "hwy/tests/hwy_gtest.h"
#include "tests/render/effects/EffectChecks.h"
#include "tests/render/effects/RunChecks.h"

using namespace effect_checks;

namespace {

// Corrupted as its steps read, pixel by pixel.
void PlainCorrupted(const EffectContext& c) {
  std::int64_t bandHeight = ToInteger((c.v * Rnd()) * 2.0);
  std::int64_t rowCounter = 1;
  std::int64_t shift = c.glitchRandom.InRange(1, ToInteger(c.W / 6.0));
  double bandHue = Rnd();
  for (std::int64_t y = 0; y <= c.H - 1; ++y) {
    if (bandHeight <= rowCounter) {
      rowCounter = 1;
      shift = c.glitchRandom.InRange(1, ToInteger(c.W / 6.0));
      bandHue = Rnd();
      bandHeight = ToInteger((c.v * Rnd()) * 2.0);
    }
    for (std::int64_t x = 0; x <= c.W - 1; ++x) {
      const std::int64_t sx = x + shift < c.W ? x + shift : x + shift - c.W;
      const Color p = c.picSurf.Pixel(sx, y);
      c.fxSurf.SetPixel(x, y, HSV(bandHue, p.Saturation(), p.Value(), 0));
    }
    rowCounter = rowCounter + 1;
  }
}

// The maximum channel holds the column (50 to 249); the recolouring keeps a
// pixel's value, so each result tells the column it was read from.
Ref<Picture> ColumnPicture(std::int64_t w, std::int64_t h) {
  return PictureOf(w, h, [](std::int64_t x, std::int64_t) { return RGB(50 + static_cast<int>(x % 200), 20, 10); });
}
std::int64_t SourceColumn(const Ref<Picture>& fx, std::int64_t x, std::int64_t y) {
  const Color p = fx->RGBSurface().Pixel(x, y);
  return std::max({p.red, p.green, p.blue}) - 50;
}

// glitchRandom answering 1, 2, 3, ... in turn.
ScriptedRandom Counting() {
  return ScriptedRandom([n = std::int64_t{0}](std::int64_t, std::int64_t) mutable { return ++n; });
}

}  // namespace

HWY_BEFORE_TEST(CorruptedOnEveryTarget);

TEST_P(CorruptedOnEveryTarget, MatchesThePixelLoop) {
  ExpectSameAsReference(&Corrupted, &PlainCorrupted, {{100, 100}, {37, 23}, {600, 9}, {5, 4}}, {1, 20, 100});
}

TEST(Corrupted, StrengthOneGivesEveryRowItsOwnBand) {
  for (const std::uint64_t seed : {1, 2, 3}) {
    ScriptedRandom random([](std::int64_t min, std::int64_t) { return min; });
    EffectSetup setup;
    setup.v = 1;
    setup.rndSeed = seed;
    RunEffect(&Corrupted, MixedPicture(120, 40), setup, &random.Generator());
    EXPECT_EQ(random.Draws(), 1 + 40);
  }
}

TEST(Corrupted, ShiftIsDrawnFromOneToASixthOfTheWidth) {
  std::set<std::pair<std::int64_t, std::int64_t>> bounds;
  ScriptedRandom random([&bounds](std::int64_t min, std::int64_t max) {
    bounds.insert({min, max});
    return max;
  });
  const EffectRun run = RunEffect(&Corrupted, ColumnPicture(200, 30), {}, &random.Generator());
  EXPECT_EQ(bounds, (std::set<std::pair<std::int64_t, std::int64_t>>{{1, 33}}));
  // Every row moved left by 33, the first 33 columns coming in at the right.
  for (std::int64_t y = 0; y < 30; ++y)
    for (std::int64_t x = 0; x < 200; ++x) ASSERT_EQ(SourceColumn(run.fxLayer, x, y), (x + 33) % 200) << x << ", " << y;
}

TEST(Corrupted, BandsReachAsTheRowCounterSays) {
  // At strength 20: first band height 4 (rows 0 to 2), then heights 2 (row
  // 3), 0 (row 4) and 8 (rows 5 to 11); each band's shift is the next count.
  ScriptedRandom random = Counting();
  ScriptedRnd rnd({0.1, 0.0, 0.0, 0.05, 0.0, 0.0, 0.0, 0.2}, 0.0);
  const EffectRun run = RunEffect(&Corrupted, ColumnPicture(150, 14), {}, &random.Generator());
  const std::int64_t shifts[14] = {1, 1, 1, 2, 3, 4, 4, 4, 4, 4, 4, 4, 5, 6};
  for (std::int64_t y = 0; y < 14; ++y) EXPECT_EQ(SourceColumn(run.fxLayer, 0, y), shifts[y]) << "row " << y;
}

TEST(Corrupted, AFirstBandOfHeightZeroOrOneCoversNoRow) {
  for (const double first : {0.0, 0.03}) {  // heights 0 and 1 at strength 20
    ScriptedRandom random = Counting();
    ScriptedRnd rnd({first}, 0.5);
    const EffectRun run = RunEffect(&Corrupted, ColumnPicture(150, 3), {}, &random.Generator());
    EXPECT_EQ(SourceColumn(run.fxLayer, 0, 0), 2);
  }
}

TEST(Corrupted, GreysStayGreyAndEveryPixelIsOpaque) {
  const EffectRun run = RunEffect(&Corrupted, GreyPicture(90, 50));
  EXPECT_TRUE(EveryPixelGrey(run.fxLayer));
  EXPECT_TRUE(EveryPixelOpaque(run.fxLayer));
}

TEST(Corrupted, InPlaceTheWrappedColumnsRepeatTheRecolouredStartOfTheRow) {
  // Shift 10 in a picture 150 wide: in place, pixel x >= 140 reads column
  // x - 140, already rewritten from column x - 130.
  ScriptedRandom random([](std::int64_t, std::int64_t) { return 10; });
  EffectSetup setup;
  setup.samePicture = true;
  const EffectRun run = RunEffect(&Corrupted, ColumnPicture(150, 5), setup, &random.Generator());
  for (std::int64_t x = 0; x < 150; ++x)
    EXPECT_EQ(SourceColumn(run.fxLayer, x, 2), x < 140 ? x + 10 : x - 130) << "x " << x;
}

TEST(Corrupted, SameSeedsGiveTheSamePreviewAndEveryPixelIsWritten) {
  for (const std::int64_t v : {1, 20, 100}) ExpectRepeatableAndWhole(&Corrupted, 64, 48, v);
}
