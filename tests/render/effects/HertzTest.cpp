// Hertz: saturation and value averaged along the diagonal, a step apart,
// forward from the picture and backward in the preview; no draws.
#include <gtest/gtest.h>

#include "framework/Numbers.h"
#include "framework/System.h"
#include "hwy/tests/hwy_gtest.h"
#include "tests/render/effects/EffectChecks.h"
#include "tests/render/effects/RunChecks.h"

namespace {

using namespace effect_checks;

Color Averaged(Color a, Color b) {
  return HSV(a.Hue(), (b.Saturation() + a.Saturation()) / 2.0, (b.Value() + a.Value()) / 2.0, 0);
}

// The three passes one after the other, as written.
void PlainHertz(const EffectContext& c) {
  const std::int64_t step =
      ToInteger(((static_cast<double>(c.zW) + static_cast<double>(c.zH)) / static_cast<double>(2 * c.v)) /
                c.ZoomFactor);
  System::DebugLog(Str(c.W));
  for (std::int64_t y = 0; y < c.H; ++y)
    for (std::int64_t x = 0; x < c.W; ++x) c.fxSurf.SetPixel(x, y, c.picSurf.Pixel(x, y));
  for (std::int64_t y = 0; y <= c.H - step - 1; ++y)
    for (std::int64_t x = 0; x <= c.W - step - 1; ++x)
      c.fxSurf.SetPixel(x, y, Averaged(c.picSurf.Pixel(x, y), c.picSurf.Pixel(x + step, y + step)));
  for (std::int64_t y = step; y < c.H; ++y)
    for (std::int64_t x = step; x < c.W; ++x)
      c.fxSurf.SetPixel(x, y, Averaged(c.fxSurf.Pixel(x, y), c.fxSurf.Pixel(x - step, y - step)));
}

HWY_BEFORE_TEST(HertzOnEveryTarget);

TEST_P(HertzOnEveryTarget, MatchesThePassesOneAfterTheOther) {
  ExpectSameAsReference(&Hertz, &PlainHertz, {{60, 40}, {33, 71}, {100, 100}, {700, 9}}, {1, 7, 20, 100});
  for (const double zoom : {1.0 / 1.2, 0.5, 2.0736}) {
    const Ref<Picture> source = MixedPicture(90, 70, 5);
    EffectSetup setup{30};
    setup.zoomFactor = zoom;
    EXPECT_TRUE(SamePixels(RunEffect(&Hertz, source, setup).fxLayer, RunEffect(&PlainHertz, source, setup).fxLayer))
        << zoom;
  }
}

TEST(Hertz, SameSeedsGiveTheSamePreviewAndEveryPixelIsWritten) {
  ExpectRepeatableAndWhole(&Hertz, 90, 60, 20);
}

// The step, read off the preview: in the last row only the first `step`
// pixels are reached by neither pass, and keep their see-through alpha.
std::int64_t StepSeen(std::int64_t w, std::int64_t h, double zoom, std::int64_t v) {
  EffectSetup setup{v};
  setup.zoomFactor = zoom;
  const EffectRun run = RunEffect(&Hertz, SolidPictureOf(w, h, RGB(90, 140, 200, 77)), setup);
  RGBSurface s = run.fxLayer->RGBSurface();
  std::int64_t kept = 0;
  while (kept < w && s.Pixel(kept, h - 1).alpha == 77) ++kept;
  return kept;
}

TEST(Hertz, TheStepFollowsTheZoomedSizeAndTheStrength) {
  struct Case {
    double zoom;
    std::int64_t v, step;
  };
  for (const Case& k : {Case{1.0, 20, 42}, Case{1.0, 100, 8}, Case{1.0 / 1.2, 20, 42}})
    EXPECT_EQ(StepSeen(1000, 700, k.zoom, k.v), k.step) << k.zoom << " " << k.v;
}

TEST(Hertz, StrengthOneOnAThousandBySevenHundredIsAnExactCopy) {
  const Ref<Picture> source = MixedPicture(1000, 700, 2);
  EXPECT_TRUE(SamePixels(RunEffect(&Hertz, source, {1}).fxLayer, source));
}

TEST(Hertz, StepZeroRebuildsEveryPixelFromItselfTwice) {
  const Ref<Picture> source = MixedPicture(100, 100, 4);
  EffectSetup setup{100};
  setup.zoomFactor = 1.0 / 1.2;  // 83 + 83 over 200, times 1.2: just below 1
  const EffectRun run = RunEffect(&Hertz, source, setup);
  RGBSurface from = source->RGBSurface(), to = run.fxLayer->RGBSurface();
  for (std::int64_t y = 0; y < 100; ++y)
    for (std::int64_t x = 0; x < 100; ++x) {
      const Color once = Averaged(from.Pixel(x, y), from.Pixel(x, y));
      ASSERT_EQ(to.Pixel(x, y), Averaged(once, once)) << x << ", " << y;
    }
}

TEST(Hertz, AZoomHeldInForAMinuteGivesStepZero) {
  // Zoomed in past 10^40 both zoomed sides are the largest 64-bit integer;
  // their sum must not overflow, and the step comes out 0.
  const Ref<Picture> source = MixedPicture(100, 100, 4);
  EffectSetup huge{20}, stepZero{100};
  huge.zoomFactor = 1e40;
  stepZero.zoomFactor = 1.0 / 1.2;
  EXPECT_TRUE(SamePixels(RunEffect(&Hertz, source, huge).fxLayer, RunEffect(&Hertz, source, stepZero).fxLayer));
}

TEST(Hertz, LogsThePictureWidthOnce) {
  TestSeams::ClearLog();
  RunEffect(&Hertz, MixedPicture(1000, 7), {20});
  EXPECT_EQ(TestSeams::LogLines(), std::vector<std::string>{"1000"});
}

TEST(Hertz, InPlaceGivesWhatSeparatePicturesGive) {
  const Ref<Picture> source = MixedPicture(120, 90, 6);
  for (const std::int64_t v : {1, 5, 20}) {
    EffectSetup inPlace{v};
    inPlace.samePicture = true;
    EXPECT_TRUE(SamePixels(RunEffect(&Hertz, source, inPlace).pic, RunEffect(&Hertz, source, {v}).fxLayer)) << v;
  }
}

}  // namespace
