#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "hwy/tests/hwy_gtest.h"
#include "tests/render/effects/EffectChecks.h"
#include "tests/render/effects/RunChecks.h"

using namespace effect_checks;

namespace {

// Bad Copy as its steps read, pixel by pixel.
void PlainBadCopy(const EffectContext& c) {
  for (std::int64_t x = 0; x <= c.W - 1; ++x) {
    const std::int64_t offset = c.glitchRandom.InRange(0, c.v);
    const std::int64_t limit = c.glitchRandom.InRange(c.H / 10, c.H / 2);
    for (std::int64_t y = 0; y <= c.H - 1; ++y) {
      std::int64_t sy = y;
      if (y < limit) sy = y + offset < c.H ? y + offset : y + offset - c.H;
      c.fxSurf.SetPixel(x, y, c.picSurf.Pixel(x, sy));
      const Color p = c.fxSurf.Pixel(x, y);
      c.fxSurf.SetPixel(x, y, HSV(0.7, p.Saturation(), p.Value(), 0));
    }
  }
  for (std::int64_t x = 0; x <= c.W - 1; ++x)
    for (std::int64_t y = 0; y <= c.H - 1; ++y) {
      const std::int64_t sx = c.glitchRandom.InRange(x, 11 * x / 10);
      c.fxSurf.SetPixel(x, y, c.fxSurf.Pixel(sx, y));
    }
}

// The maximum channel holds the row (50 on), which the tint keeps, so each
// result tells the row it came from.
Ref<Picture> RowPicture(std::int64_t w, std::int64_t h) {
  return PictureOf(w, h, [](std::int64_t, std::int64_t y) { return RGB(50 + static_cast<int>(y), 30, 20); });
}
std::int64_t SourceRow(const Ref<Picture>& fx, std::int64_t x, std::int64_t y) {
  const Color p = fx->RGBSurface().Pixel(x, y);
  return std::max({p.red, p.green, p.blue}) - 50;
}

// Every column gets offset 100 and slide limit 75; the smear keeps columns.
std::int64_t OffsetLimitAndOwnColumn(std::int64_t min, std::int64_t max) {
  if (min == 0 && max == 100) return 100;
  if (min == 15 && max == 75) return 75;
  return min;
}

}  // namespace

HWY_BEFORE_TEST(BadCopyOnEveryTarget);

TEST_P(BadCopyOnEveryTarget, MatchesThePixelLoop) {
  // Up to 198 rows a slid row can wrap round; from 91 columns the smear reads
  // past the right edge.
  ExpectSameAsReference(&BadCopy, &PlainBadCopy, {{100, 100}, {150, 150}, {37, 23}, {5, 250}}, {1, 20, 100});
}

TEST(BadCopy, AColumnOf150RowsWithOffset100AndLimit75) {
  for (const bool inPlace : {false, true}) {
    ScriptedRandom random(&OffsetLimitAndOwnColumn);
    EffectSetup setup;
    setup.v = 100;
    setup.samePicture = inPlace;
    const EffectRun run = RunEffect(&BadCopy, RowPicture(10, 150), setup, &random.Generator());
    for (std::int64_t y = 0; y < 150; ++y) {
      // Rows 50 to 74 read rows 0 to 24 wrapped round; in place those already
      // show rows 100 to 124.
      std::int64_t expected = y;
      if (y < 50) expected = y + 100;
      else if (y < 75) expected = inPlace ? y + 50 : y - 50;
      ASSERT_EQ(SourceRow(run.fxLayer, 4, y), expected) << "row " << y << (inPlace ? " in place" : "");
    }
  }
}

TEST(BadCopy, DrawsTwicePerColumnAndOncePerPixel) {
  ScriptedRandom random([](std::int64_t min, std::int64_t) { return min; });
  RunEffect(&BadCopy, SolidPictureOf(1000, 700, RGB(90, 40, 10)), {}, &random.Generator());
  EXPECT_EQ(random.Draws(), 702000);
}

TEST(BadCopy, TheSmearDrawsFromTheColumnToATenthFurther) {
  std::set<std::pair<std::int64_t, std::int64_t>> bounds;
  ScriptedRandom random([&bounds](std::int64_t min, std::int64_t max) {
    bounds.insert({min, max});
    return min;
  });
  EffectSetup setup;
  setup.v = 1;
  RunEffect(&BadCopy, SolidPictureOf(120, 100, RGB(90, 40, 10)), setup, &random.Generator());
  for (std::int64_t x = 0; x < 10; ++x) EXPECT_TRUE(bounds.count({x, x})) << x;
  EXPECT_TRUE(bounds.count({10, 11}));
  EXPECT_TRUE(bounds.count({100, 110}));
  EXPECT_TRUE(bounds.count({119, 130}));
  EXPECT_TRUE(bounds.count({0, 1}) && bounds.count({10, 50}));  // offset and slide limit
}

TEST(BadCopy, ColumnsZeroToNineKeepTheirPixelsInTheSmear) {
  // Columns differ in their value; with offsets 0 the slide keeps every row.
  // The value holds the column here, read back as SourceRow + 10.
  const Ref<Picture> source = PictureOf(120, 50, [](std::int64_t x, std::int64_t) { return RGB(40 + static_cast<int>(x), 30, 20); });
  ScriptedRandom random([](std::int64_t min, std::int64_t max) { return min == 0 ? 0 : max; });
  const EffectRun run = RunEffect(&BadCopy, source, {}, &random.Generator());
  for (std::int64_t x = 0; x < 120; ++x) {
    // Every draw answers its highest column: 11x div 10, past the edge the last.
    const std::int64_t from = std::min<std::int64_t>(11 * x / 10, 119);
    ASSERT_EQ(SourceRow(run.fxLayer, x, 7), from - 10) << "column " << x;
  }
}

TEST(BadCopy, GreysStayGreyAndEveryPixelIsOpaque) {
  const EffectRun run = RunEffect(&BadCopy, GreyPicture(90, 50));
  EXPECT_TRUE(EveryPixelGrey(run.fxLayer));
  EXPECT_TRUE(EveryPixelOpaque(run.fxLayer));
}

TEST(BadCopy, SameSeedsGiveTheSamePreviewAndEveryPixelIsWritten) {
  for (const std::int64_t v : {1, 20, 100}) ExpectRepeatableAndWhole(&BadCopy, 64, 48, v);
}
