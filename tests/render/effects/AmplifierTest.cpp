#include <gtest/gtest.h>

#include "hwy/tests/hwy_gtest.h"
#include "tests/render/effects/EffectChecks.h"
#include "tests/render/effects/RunChecks.h"

using namespace effect_checks;

namespace {

// Amplifier as its steps read, pixel by pixel.
void PlainAmplifier(const EffectContext& c) {
  const double boost = c.v / 200.0;
  const double dark = Rnd(), middle = Rnd(), light = Rnd();
  for (std::int64_t x = 0; x <= c.W - 1; ++x)
    for (std::int64_t y = 0; y <= c.H - 1; ++y) {
      const Color p = c.picSurf.Pixel(x, y);
      if (p.Saturation() > 0.1) {
        c.fxSurf.SetPixel(x, y, HSV(p.Hue(), 0.8 + boost, 1.0, 0));
      } else {
        const double val = p.Value();
        const double hue = val < 0.33 ? dark : (val < 0.67 ? middle : light);
        c.fxSurf.SetPixel(x, y, HSV(hue, 0.7 + boost, val, 0));
      }
    }
  const std::int64_t step = c.v * c.W / 700;
  if (step == 0) return;
  for (std::int64_t x = 0; x <= c.W - 1; x += step)
    for (std::int64_t y = 0; y <= c.H - 1; y += step) {
      const Color dot = c.picSurf.Pixel(x, y).Value() < 0.5 ? RGB(255, 255, 255) : RGB(0, 0, 0);
      c.fxSurf.SetPixel(x, y, dot);
      c.fxSurf.SetPixel(x + 1, y, dot);
      c.fxSurf.SetPixel(x - 1, y, dot);
      c.fxSurf.SetPixel(x, y + 1, dot);
      c.fxSurf.SetPixel(x, y - 1, dot);
    }
}

constexpr Color kWhite{255, 255, 255, 0};
constexpr Color kBlack{0, 0, 0, 0};
bool IsDot(Color c) { return c == kWhite || c == kBlack; }

EffectSetup Strength(std::int64_t v, bool inPlace = false) {
  EffectSetup s;
  s.v = v;
  s.samePicture = inPlace;
  return s;
}

// Coloured everywhere, value 200 / 255: the first pass gives bright colours,
// never black or white, and every dot is black.
Ref<Picture> Colourful(std::int64_t w, std::int64_t h) {
  return PictureOf(w, h, [](std::int64_t x, std::int64_t y) {
    return RGB(200, static_cast<int>((x * 5 + y * 3) % 150), 40);
  });
}

}  // namespace

HWY_BEFORE_TEST(AmplifierOnEveryTarget);

TEST_P(AmplifierOnEveryTarget, MatchesThePixelLoop) {
  // Dot steps 0, 1, 2, 3 and wider, with arms past every edge.
  ExpectSameAsReference(&Amplifier, &PlainAmplifier, {{100, 100}, {101, 37}, {700, 9}, {350, 3}}, {1, 7, 14, 20, 100});
}

TEST(Amplifier, NearlyGreyPixelsTakeTheHueOfTheirValueRange) {
  // Strength 1 in a picture 100 wide: dot step 0, so only the recolouring.
  ScriptedRnd rnd({0.1, 0.4, 0.8});
  struct Case {
    Color p;
    Color expected;
  };
  const double s = 0.7 + 1 / 200.0, coloured = 0.8 + 1 / 200.0;
  const Case cases[] = {
      {RGB(250, 225, 240), HSV(0.8, s, 250 / 255.0, 0)},               // saturation exactly 0.1: nearly grey
      {RGB(250, 224, 240), HSV(RGB(250, 224, 240).Hue(), coloured, 1.0, 0)},  // just above: coloured, full value
      {RGB(84, 84, 84), HSV(0.1, s, 84 / 255.0, 0)},                    // value 0.329: dark
      {RGB(85, 85, 85), HSV(0.4, s, 85 / 255.0, 0)},                    // value 0.333: middle
      {RGB(170, 170, 170), HSV(0.4, s, 170 / 255.0, 0)},                // value 0.667: still middle
      {RGB(171, 171, 171), HSV(0.8, s, 171 / 255.0, 0)},                // value 0.671: light
      {RGB(60, 10, 10), HSV(0.0, coloured, 1.0, 0)},                       // a dark red turns bright red
  };
  const EffectRun run = RunEffect(&Amplifier, PictureOf(100, 7, [&](std::int64_t, std::int64_t y) { return cases[y].p; }), Strength(1));
  for (std::int64_t y = 0; y < 7; ++y) EXPECT_EQ(run.fxLayer->RGBSurface().Pixel(50, y), cases[y].expected) << "case " << y;
}

TEST(Amplifier, DotStepIsStrengthTimesWidthOver700) {
  struct Case {
    std::int64_t v, w, step;
  };
  for (const Case& k : {Case{20, 1000, 28}, Case{20, 100, 2}, Case{100, 1000, 142}, Case{100, 6000, 857}}) {
    const EffectRun run = RunEffect(&Amplifier, Colourful(k.w, 3), Strength(k.v));
    // Row 1 holds the arms below the dots of row 0: exactly the dot columns.
    RGBSurface fx = run.fxLayer->RGBSurface();
    for (std::int64_t x = 0; x < k.w; ++x)
      ASSERT_EQ(fx.Pixel(x, 1) == kBlack, x % k.step == 0) << "x " << x << " at step " << k.step;
  }
}

TEST(Amplifier, DotStepOneLeavesEachPixelTheColourOfTheLastDotOverIt) {
  // Strength 1, 1000 wide: step 1. Pixel (x, y) ends as the dot at (x + 1, y),
  // in the last column as the dot at (x, y + 1), the corner as its own.
  const Ref<Picture> source = MixedPicture(1000, 5);
  const EffectRun run = RunEffect(&Amplifier, source, Strength(1));
  RGBSurface pic = source->RGBSurface(), fx = run.fxLayer->RGBSurface();
  const auto dot = [&](std::int64_t x, std::int64_t y) { return pic.Pixel(x, y).Value() < 0.5 ? kWhite : kBlack; };
  for (std::int64_t y = 0; y < 5; ++y)
    for (std::int64_t x = 0; x < 1000; ++x) {
      const Color expected = x < 999 ? dot(x + 1, y) : (y < 4 ? dot(x, y + 1) : dot(x, y));
      ASSERT_EQ(fx.Pixel(x, y), expected) << x << ", " << y;
    }
}

TEST(Amplifier, DotStepTwoKeepsThePixelsOfOddColumnAndOddRow) {
  const EffectRun run = RunEffect(&Amplifier, Colourful(100, 40), Strength(20));
  RGBSurface fx = run.fxLayer->RGBSurface();
  for (std::int64_t y = 0; y < 40; ++y)
    for (std::int64_t x = 0; x < 100; ++x) ASSERT_EQ(!IsDot(fx.Pixel(x, y)), x % 2 == 1 && y % 2 == 1) << x << ", " << y;
}

TEST(Amplifier, DotStepZeroDrawsNoDotsAndEnds) {
  for (const std::int64_t v : {1, 6}) {  // 100 and 600 below 700
    const EffectRun run = RunEffect(&Amplifier, Colourful(100, 30), Strength(v));
    EXPECT_TRUE(EveryPixelWritten(run.fxLayer));
    RGBSurface fx = run.fxLayer->RGBSurface();
    for (std::int64_t y = 0; y < 30; ++y)
      for (std::int64_t x = 0; x < 100; ++x) ASSERT_FALSE(IsDot(fx.Pixel(x, y))) << x << ", " << y;
  }
}

TEST(Amplifier, ArmsOutsideThePictureChangeNothing) {
  // 101 x 101 at strength 14: step 2, so the last dot column and row lie on
  // the edge and their arms reach column and row 101.
  const Ref<Picture> source = Colourful(101, 101);
  const EffectRun run = RunEffect(&Amplifier, source, Strength(14));
  RGBSurface fx = run.fxLayer->RGBSurface();
  EXPECT_EQ(fx.Pixel(100, 100), kBlack);
  EXPECT_EQ(fx.Pixel(99, 100), kBlack);
  EXPECT_FALSE(IsDot(fx.Pixel(99, 99)));
  EXPECT_TRUE(SamePixels(run.fxLayer, RunEffect(&PlainAmplifier, source, Strength(14)).fxLayer));
}

TEST(Amplifier, DotsTakeTheirColourFromTheWorkingPicture) {
  // A dark red (value 0.39) gives white dots from the picture; in place the
  // first pass has already made it bright red (value 1), so the dots are black.
  for (const bool inPlace : {false, true}) {
    const EffectRun run = RunEffect(&Amplifier, SolidPictureOf(1000, 60, RGB(100, 20, 20)), Strength(20, inPlace));
    EXPECT_EQ(run.fxLayer->RGBSurface().Pixel(28, 28), inPlace ? kBlack : kWhite);
  }
}

TEST(Amplifier, SameSeedsGiveTheSamePreviewAndEveryPixelIsWritten) {
  for (const std::int64_t v : {1, 20, 100}) ExpectRepeatableAndWhole(&Amplifier, 64, 48, v);
}
