#include <gtest/gtest.h>

#include <numbers>

#include "framework/Numbers.h"
#include "tests/render/effects/EffectChecks.h"
#include "tests/render/effects/RunChecks.h"

using namespace effect_checks;

namespace {

// Coaxial as its steps read, pixel by pixel.
void PlainCoaxial(const EffectContext& c) {
  double phase = 0.0;
  double phaseStep = Rnd() / (c.H / 250.0);
  for (std::int64_t y = 0; y <= c.H - 1; ++y) {
    const double r = Rnd();
    if (r < 0.1) phaseStep = Rnd() / (c.H / 250.0);
    phase = phase + phaseStep;
    for (std::int64_t x = 0; x <= c.W - 1; ++x) {
      if (y % 2 == 1) {
        c.fxSurf.SetPixel(x, y, HSV(0.0, 0.0, 0.0, 0));
        continue;
      }
      const double amplitude = Max(c.v / (5000.0 / c.H), 1.0);
      const double d = amplitude * Sin(phase) + static_cast<double>(x);
      if (Rnd() < 0.8) {
        const double r1 = Rnd();
        c.fxSurf.SetPixel(x, y, c.picSurf.Pixel(ToInteger(r1 * 2.0 + d), y));
      } else {
        const std::int64_t c1 = ToInteger(Rnd() * 2.0 + d);
        const double j1 = Rnd();
        const std::int64_t c2 = ToInteger(Rnd() * 2.0 + d);
        const double j2 = Rnd();
        const std::int64_t c3 = ToInteger(Rnd() * 2.0 + d);
        const double j3 = Rnd();
        const double hue = c.picSurf.Pixel(c1, y).Hue() + j1 / 10.0;
        const double saturation = c.picSurf.Pixel(c2, y).Saturation() - j2 / 5.0;
        const double value = c.picSurf.Pixel(c3, y).Value() + j3 / 10.0;
        c.fxSurf.SetPixel(x, y, HSV(hue, saturation, value, 0));
      }
    }
  }
}

// Red holds the column, so a copied pixel tells where it was read.
Ref<Picture> ColumnPicture(std::int64_t w, std::int64_t h) {
  return PictureOf(w, h, [](std::int64_t x, std::int64_t y) { return RGB(static_cast<int>(x), 100, static_cast<int>(y % 256)); });
}

// The first phase step that puts row 0 at the given phase.
double StepFor(double phase, std::int64_t h) { return phase * (h / 250.0); }

constexpr Color kBlack{0, 0, 0, 0};

}  // namespace

TEST(Coaxial, MatchesThePixelLoop) {
  ExpectSameAsReference(&Coaxial, &PlainCoaxial, {{100, 100}, {37, 23}, {5, 3}, {260, 101}}, {1, 20, 100});
}

TEST(Coaxial, OddRowsAreOpaqueBlackAndEveryPixelIsWritten) {
  for (const std::int64_t h : {100, 101}) {
    const EffectRun run = RunEffect(&Coaxial, SolidPictureOf(40, h, RGB(200, 60, 30)));
    RGBSurface fx = run.fxLayer->RGBSurface();
    EXPECT_TRUE(EveryPixelWritten(run.fxLayer));
    for (std::int64_t y = 0; y < h; ++y) {
      std::int64_t black = 0;
      for (std::int64_t x = 0; x < 40; ++x) black += fx.Pixel(x, y) == kBlack;
      EXPECT_EQ(black, y % 2 == 1 ? 40 : 0) << "row " << y << " of " << h;
    }
  }
}

TEST(Coaxial, AmplitudeFollowsStrengthAndHeight) {
  // Row 0 at phase pi/2 and each pixel copied from 2 x 0.45 + amplitude + x:
  // pixel 0 reads column trunc(amplitude + 0.9).
  struct Case {
    std::int64_t v, h, column;
  };
  for (const Case& k : {Case{1, 100, 1}, Case{1, 5000, 1}, Case{1, 6000, 2}, Case{100, 100, 2},
                        Case{100, 6000, 120}, Case{20, 1000, 4}}) {
    std::vector<double> draws{StepFor(std::numbers::pi / 2, k.h), 0.5};
    for (int x = 0; x < 130; ++x) draws.insert(draws.end(), {0.0, 0.45});
    ScriptedRnd rnd(draws);
    EffectSetup setup;
    setup.v = k.v;
    const EffectRun run = RunEffect(&Coaxial, ColumnPicture(130, k.h), setup);
    EXPECT_EQ(run.fxLayer->RGBSurface().Pixel(0, 0).red, k.column) << "v " << k.v << ", " << k.h << " rows";
  }
}

TEST(Coaxial, DrawsOnceBeforeTheRowsOnceOrTwicePerRowTwoPerCopyAndSevenPerJitter) {
  const std::int64_t w = 30, h = 11, evenRows = 6;
  struct Case {
    double every;  // what each draw answers
    std::int64_t draws;
  };
  for (const Case& k : {Case{0.5, 1 + h + evenRows * w * 2},           // copied, step kept
                        Case{0.9, 1 + h + evenRows * w * 7},           // jittered, step kept
                        Case{0.05, 1 + 2 * h + evenRows * w * 2}}) {   // copied, step renewed
    ScriptedRnd rnd({}, k.every);
    RunEffect(&Coaxial, MixedPicture(w, h));
    EXPECT_EQ(rnd.Draws(), k.draws) << "every draw " << k.every;
  }
}

TEST(Coaxial, ColumnsAreTruncatedTowardZero) {
  // Row 0 at phase 3 pi / 2, amplitude 1: pixel x reads 2 x 0.25 - 1 + x.
  // -0.5 and 0.5 both read column 0; 1.5 reads 1, not 2.
  std::vector<double> draws{StepFor(3 * std::numbers::pi / 2, 100), 0.5};
  for (int x = 0; x < 4; ++x) draws.insert(draws.end(), {0.0, 0.25});
  ScriptedRnd rnd(draws);
  EffectSetup setup;
  setup.v = 1;
  const EffectRun run = RunEffect(&Coaxial, ColumnPicture(100, 100), setup);
  RGBSurface fx = run.fxLayer->RGBSurface();
  EXPECT_EQ(fx.Pixel(0, 0).red, 0);
  EXPECT_EQ(fx.Pixel(1, 0).red, 0);
  EXPECT_EQ(fx.Pixel(2, 0).red, 1);
  EXPECT_EQ(fx.Pixel(3, 0).red, 2);
}

TEST(Coaxial, InPlaceReadsLeftOfTheColumnSeeThisRunsWrites) {
  // Phase 3 pi / 2: every pixel of row 0 reads one column left of itself, and
  // in place that column already holds what was copied into it, so the whole
  // row repeats pixel 0. At phase pi / 2 the reads lie right of x and see
  // the picture as it was, in place or not.
  for (const double phase : {3 * std::numbers::pi / 2, std::numbers::pi / 2}) {
    for (const bool inPlace : {false, true}) {
      std::vector<double> draws{StepFor(phase, 100), 0.5};
      for (int x = 0; x < 100; ++x) draws.insert(draws.end(), {0.0, 0.25});
      ScriptedRnd rnd(draws);
      EffectSetup setup;
      setup.v = 1;
      setup.samePicture = inPlace;
      const EffectRun run = RunEffect(&Coaxial, ColumnPicture(100, 100), setup);
      RGBSurface fx = run.fxLayer->RGBSurface();
      for (std::int64_t x = 1; x < 99; ++x) {
        const int expected = phase > std::numbers::pi ? (inPlace ? 0 : static_cast<int>(x) - 1) : static_cast<int>(x) + 1;
        ASSERT_EQ(fx.Pixel(x, 0).red, expected) << "x " << x << (inPlace ? " in place" : "");
      }
    }
  }
}

TEST(Coaxial, JitteredPixelsTakeHueSaturationAndValueFromThreeSamples) {
  // Row 0 at phase pi / 6, amplitude 1: pixel 0 is displaced to 0.5 and
  // jittered, its samples read at 0.5, 1.1 and 2.1, each jitter 0.5.
  const Ref<Picture> source = PictureOf(100, 100, [](std::int64_t x, std::int64_t) {
    return x == 0 ? RGB(200, 100, 50) : (x == 1 ? RGB(120, 120, 60) : RGB(10, 20, 80));
  });
  ScriptedRnd rnd({StepFor(std::numbers::pi / 6, 100), 0.5, 0.9, 0.0, 0.5, 0.3, 0.5, 0.8, 0.5});
  EffectSetup setup;
  setup.v = 1;
  const EffectRun run = RunEffect(&Coaxial, source, setup);
  RGBSurface pic = source->RGBSurface();
  const Color expected = HSV(pic.Pixel(0, 0).Hue() + 0.05, pic.Pixel(1, 0).Saturation() - 0.1,
                             pic.Pixel(2, 0).Value() + 0.05, 0);
  EXPECT_EQ(run.fxLayer->RGBSurface().Pixel(0, 0), expected);
}

TEST(Coaxial, SameSeedsGiveTheSamePreviewAndEveryPixelIsWritten) {
  for (const std::int64_t v : {1, 20, 100}) ExpectRepeatableAndWhole(&Coaxial, 64, 48, v);
}
