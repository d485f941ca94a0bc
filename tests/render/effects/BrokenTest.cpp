#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "framework/Numbers.h"
#include "hwy/tests/hwy_gtest.h"
#include "tests/render/effects/EffectChecks.h"
#include "tests/render/effects/RunChecks.h"

using namespace effect_checks;

namespace {

// Broken as its steps read, pixel by pixel.
void PlainBroken(const EffectContext& c) {
  const std::int64_t startRow = c.glitchRandom.InRange(ToInteger(c.W / 8.0), ToInteger(c.W / 1.2));
  const std::int64_t shift = c.glitchRandom.InRange(1, ToInteger(c.W / 6.0));
  for (std::int64_t y = 0; y <= c.H - 1; ++y)
    for (std::int64_t x = 0; x <= c.W - 1; ++x) {
      std::int64_t sx = x;
      if (y >= startRow) sx = x + shift < c.W ? x + shift : x + shift - c.W;
      const Color p = c.picSurf.Pixel(sx, y);
      const double s = p.Saturation(), h = p.Hue(), val = p.Value();
      const double r = Rnd();
      c.fxSurf.SetPixel(x, y, HSV(s, Min(h, 0.5), val + (r / 100.0) * c.v, 0));
    }
}

// Broken's colour for a source pixel with noise 0.
Color Swapped(Color p) { return HSV(p.Saturation(), Min(p.Hue(), 0.5), p.Value(), 0); }

// Every column a different colour, so that a result tells its source column.
Color ColumnColour(std::int64_t x) {
  return RGB(60 + static_cast<int>(x % 190), 30 + static_cast<int>((x * 7) % 200), 15);
}
Ref<Picture> ColumnPicture(std::int64_t w, std::int64_t h) {
  return PictureOf(w, h, [](std::int64_t x, std::int64_t) { return ColumnColour(x); });
}

}  // namespace

HWY_BEFORE_TEST(BrokenOnEveryTarget);

TEST_P(BrokenOnEveryTarget, MatchesThePixelLoop) {
  ExpectSameAsReference(&Broken, &PlainBroken, {{100, 100}, {37, 23}, {600, 9}, {5, 40}}, {1, 20, 100});
}

TEST(Broken, SaturationBecomesHueAndHueCappedAtHalfBecomesSaturation) {
  // With noise 0 nothing but the components' roles change.
  ScriptedRnd rnd({}, 0.0);
  const Ref<Picture> source = MixedPicture(60, 30);
  const EffectRun run = RunEffect(&Broken, source);
  // 60 wide: the start row is at least 7, below the last of these rows.
  RGBSurface pic = source->RGBSurface(), fx = run.fxLayer->RGBSurface();
  for (std::int64_t y = 0; y < 7; ++y)
    for (std::int64_t x = 0; x < 60; ++x) ASSERT_EQ(fx.Pixel(x, y), Swapped(pic.Pixel(x, y))) << x << ", " << y;
  for (std::int64_t y = 0; y < 30; ++y)
    for (std::int64_t x = 0; x < 60; ++x) ASSERT_LE(fx.Pixel(x, y).Saturation(), 0.5 + 1e-9);
}

TEST(Broken, NoiseRaisesTheValueByRTimesStrengthOverAHundred) {
  ScriptedRnd rnd({}, 0.5);
  EffectSetup setup;
  setup.v = 20;
  const Color grey = RGB(100, 100, 100);
  const EffectRun run = RunEffect(&Broken, SolidPictureOf(100, 100, grey), setup);
  EXPECT_EQ(run.fxLayer->RGBSurface().Pixel(3, 3), HSV(0.0, 0.0, grey.Value() + 0.1, 0));
}

TEST(Broken, StartRowAndShiftAreDrawnFromTheWidth) {
  struct Case {
    std::int64_t w, h, low, high, shiftHigh;
  };
  for (const Case& k : {Case{100, 100, 12, 83, 16}, Case{1000, 100, 125, 833, 166}, Case{100, 1000, 12, 83, 16}}) {
    std::vector<std::pair<std::int64_t, std::int64_t>> bounds;
    ScriptedRandom random([&bounds](std::int64_t min, std::int64_t max) {
      bounds.push_back({min, max});
      return min;
    });
    RunEffect(&Broken, MixedPicture(k.w, k.h), {}, &random.Generator());
    ASSERT_EQ(bounds.size(), 2u);
    EXPECT_EQ(bounds[0], std::make_pair(k.low, k.high)) << k.w << " x " << k.h;
    EXPECT_EQ(bounds[1], std::make_pair(std::int64_t{1}, k.shiftHigh)) << k.w << " x " << k.h;
  }
}

TEST(Broken, RowsFromTheStartRowShiftLeftAndWrap) {
  // 1000 x 100: even the earliest start row, 125, lies below the picture.
  {
    ScriptedRnd rnd({}, 0.0);
    ScriptedRandom random([](std::int64_t min, std::int64_t max) { return min == 1 ? max : min; });
    const Ref<Picture> source = ColumnPicture(1000, 100);
    const EffectRun run = RunEffect(&Broken, source, {}, &random.Generator());
    for (std::int64_t x = 0; x < 1000; x += 37) EXPECT_EQ(run.fxLayer->RGBSurface().Pixel(x, 99), Swapped(ColumnColour(x)));
  }
  // 100 x 1000 with start row 12 and shift 16: rows 12 on read x + 16, wrapped.
  ScriptedRnd rnd({}, 0.0);
  ScriptedRandom random([](std::int64_t min, std::int64_t max) { return min == 1 ? max : min; });
  const EffectRun run = RunEffect(&Broken, ColumnPicture(100, 1000), {}, &random.Generator());
  RGBSurface fx = run.fxLayer->RGBSurface();
  for (const std::int64_t y : {0, 11, 12, 500, 999})
    for (std::int64_t x = 0; x < 100; ++x)
      ASSERT_EQ(fx.Pixel(x, y), Swapped(ColumnColour(y >= 12 ? (x + 16) % 100 : x))) << x << ", " << y;
}

TEST(Broken, InPlaceTheWrappedColumnsAreRecolouredTwice) {
  ScriptedRnd rnd({}, 0.0);
  ScriptedRandom random([](std::int64_t min, std::int64_t max) { return min == 1 ? max : min; });
  EffectSetup setup;
  setup.samePicture = true;
  const EffectRun run = RunEffect(&Broken, ColumnPicture(100, 20), setup, &random.Generator());
  RGBSurface fx = run.fxLayer->RGBSurface();
  for (std::int64_t x = 0; x < 100; ++x) {
    // Start row 12, shift 16: rows above keep their columns, read just before written.
    ASSERT_EQ(fx.Pixel(x, 5), Swapped(ColumnColour(x))) << x;
    const Color expected = x < 84 ? Swapped(ColumnColour(x + 16)) : Swapped(Swapped(ColumnColour(x - 84 + 16)));
    ASSERT_EQ(fx.Pixel(x, 15), expected) << x;
  }
}

TEST(Broken, SameSeedsGiveTheSamePreviewAndEveryPixelIsWrittenOpaque) {
  for (const std::int64_t v : {1, 20, 100}) ExpectRepeatableAndWhole(&Broken, 64, 48, v);
  EXPECT_TRUE(EveryPixelOpaque(RunEffect(&Broken, MixedPicture(64, 48)).fxLayer));
}
