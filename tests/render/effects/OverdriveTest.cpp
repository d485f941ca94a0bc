#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <random>
#include <vector>

#include "framework/Numbers.h"
#include "hwy/tests/hwy_gtest.h"
#include "render/effects/BoostDraws.h"
#include "render/effects/OverdriveTone.h"
#include "render/effects/RaiseColours.h"
#include "tests/render/effects/EffectChecks.h"
#include "tests/render/effects/RunChecks.h"

using namespace effect_checks;

namespace {

constexpr Color kDeepBlue{0x03, 0x00, 0x77, 0};
constexpr Color kDeepRed{0x99, 0x00, 0x07, 0};
constexpr Color kOlive{0xAA, 0xAA, 0x11, 0};
constexpr Color kWhite{0xFF, 0xFF, 0xFF, 0};

// The tone bands: the first row of the table that applies, every comparison
// strict. Its bounds and colours are checked case by case in
// ToneBandsWithTheirExactBoundsAndFixedColours.
Color PlainTone(Color p) {
  const double h = p.Hue(), s = p.Saturation(), val = p.Value();
  if (val < 0.2) return HSV(h, s, val / 2.0, 0);
  if (val < 0.4 && s < 0.2) return kDeepBlue;
  if (val < 0.4) return HSV(0.6, s * 1.7, val, 0);
  if (val < 0.6 && s < 0.2) return kDeepRed;
  if (val < 0.6) return HSV(0.95, s * 1.7, val * 1.1, 0);
  if (val < 0.8 && s < 0.2) return kOlive;
  if (val < 0.8) return HSV(0.75, s * 1.7, val * 1.5, 0);
  return kWhite;
}

// Overdrive as its steps read, pass by pass, pixel by pixel.
void PlainOverdrive(const EffectContext& c) {
  const std::int64_t W = c.W, H = c.H;
  for (std::int64_t x = 0; x <= W - 1; ++x)
    for (std::int64_t y = 0; y <= H - 1; ++y) c.fxSurf.SetPixel(x, y, PlainTone(c.picSurf.Pixel(x, y)));
  for (std::int64_t x = 0; x <= W - 1; ++x)
    for (std::int64_t y = 0; y <= H - 1; ++y) {
      if (Rnd() < 0.5) {
        const Color p = c.fxSurf.Pixel(x, y);
        const double hueFactor = 1 + Rnd();
        const double saturationFactor = 1 + Rnd();
        c.fxSurf.SetPixel(x, y, HSV(p.Hue() * hueFactor, p.Saturation() * saturationFactor, p.Value(), 0));
      }
    }
  std::int64_t bandRowsLeft = c.glitchRandom.InRange(ToInteger(H / 20.0), ToInteger(H / 10.0));
  double bandBoost = Rnd() / 2.0;
  for (std::int64_t y = 0; y <= H - 1; ++y) {
    if (bandRowsLeft > 0) {
      bandRowsLeft = bandRowsLeft - 1;
    } else {
      bandRowsLeft = c.glitchRandom.InRange(ToInteger(H / 20.0), ToInteger(H / 10.0));
      bandBoost = Rnd();
    }
    for (std::int64_t x = 0; x <= W - 1; ++x) {
      const Color p = c.fxSurf.Pixel(x, y);
      c.fxSurf.SetPixel(x, y, HSV(p.Hue() * (1 + bandBoost), p.Saturation(), p.Value(), 0));
    }
  }
  const std::int64_t patchColumn = c.glitchRandom.InRange(0, ToInteger(0.9 * W));
  const std::int64_t patchRow = c.glitchRandom.InRange(0, ToInteger(0.9 * H));
  const std::int64_t patchSize = ToInteger(static_cast<double>(W) / static_cast<double>(c.v) * 2.0);
  for (std::int64_t x = patchColumn; x <= W - 1; ++x)
    for (std::int64_t y = 0; y <= H - 1; ++y) {
      if (y < patchRow + patchSize && x < patchColumn + patchSize) {
        const Color p = c.fxSurf.Pixel(x, y);
        const double hueFactor = 1 + 2 * Rnd();
        const double saturationFactor = 1 + 2 * Rnd();
        c.fxSurf.SetPixel(x, y, HSV(p.Hue() * hueFactor, p.Saturation() * saturationFactor, p.Value() * 1.2, 0));
      }
    }
}

}  // namespace

HWY_BEFORE_TEST(OverdriveOnEveryTarget);

TEST_P(OverdriveOnEveryTarget, MatchesThePixelLoop) {
  // Heights past one run of 512 rows, widths past a strip of 512 columns
  // (two whole ones and a piece), ends that fill no whole vector.
  ExpectSameAsReference(&Overdrive, &PlainOverdrive, {{100, 100}, {37, 23}, {300, 530}, {3, 2}}, {1, 20, 100});
  ExpectSameAsReference(&Overdrive, &PlainOverdrive, {{1030, 9}}, {1, 100});
}

// Every colour once (a run's last pixels past a whole vector): alpha cycling
// through values that keep no pattern with the colours.
std::vector<Color> EveryColour() {
  std::vector<Color> colours((1 << 24) + 3);
  for (std::size_t i = 0; i < colours.size(); ++i) colours[i] = RGB(i & 0xFF, (i >> 8) & 0xFF, (i >> 16) & 0xFF, static_cast<int>(i % 251));
  return colours;
}

TEST(Overdrive, ToneTableGivesTheFormulaForEveryColour) {
  const overdrive::ToneTable& table = overdrive::ToneTable::Get();
  for (const Color c : EveryColour())
    ASSERT_EQ(table(c), PlainTone(c)) << int(c.red) << " " << int(c.green) << " " << int(c.blue);
}

// The table itself holds the formula (above); a run on each target gives the
// table's colours.
TEST_P(OverdriveOnEveryTarget, ToneRunGivesTheTableForEveryColour) {
  const std::vector<Color> colours = EveryColour();
  std::vector<Color> toned = colours;
  const overdrive::ToneTable& table = overdrive::ToneTable::Get();
  table.Run(toned.data(), static_cast<std::int64_t>(toned.size()));
  for (std::size_t i = 0; i < colours.size(); ++i)
    ASSERT_EQ(toned[i], table(colours[i])) << int(colours[i].red) << " " << int(colours[i].green) << " "
                                            << int(colours[i].blue);
}

namespace {

// Rnd for the passes one after the other: `boost` for each of the second
// pass's first draws (0.5 and above: no pixel raised), then `bands` for the
// band boosts, then `rest` for ever.
std::vector<double> PassDraws(std::int64_t pixels, double boost, std::vector<double> bands) {
  std::vector<double> draws(pixels, boost);
  draws.insert(draws.end(), bands.begin(), bands.end());
  return draws;
}

// glitchRandom for a picture w wide and h high: the band heights at their
// lowest, the patch at the given corner (its two draws come last).
ScriptedRandom Patch(std::int64_t w, std::int64_t h, std::int64_t column, std::int64_t row) {
  return ScriptedRandom([=, patchDraws = 0](std::int64_t min, std::int64_t max) mutable {
    if (patchDraws == 0 && min == 0 && max == 9 * w / 10) return ++patchDraws, column;
    if (patchDraws == 1 && min == 0 && max == 9 * h / 10) return ++patchDraws, row;
    return min;
  });
}

// The third pass with a band boost of 0: each colour converted there and back.
Color Unboosted(Color c) { return HSV(c.Hue(), c.Saturation(), c.Value(), 0); }

}  // namespace

TEST(Overdrive, ToneBandsWithTheirExactBoundsAndFixedColours) {
  struct Case {
    Color p, tone;
  };
  const Case cases[] = {
      {RGB(50, 50, 50), HSV(0.0, 0.0, 50 / 255.0 / 2.0, 0)},  // value below 0.2: halved
      {RGB(0, 0, 0), RGB(0, 0, 0)},                           // black stays black
      {RGB(51, 51, 51), kDeepBlue},                           // value exactly 0.2, grey
      {RGB(101, 90, 95), kDeepBlue},                          // value below 0.4, saturation below 0.2
      {RGB(102, 102, 102), kDeepRed},                         // exactly 0.4
      {RGB(153, 150, 140), kOlive},                           // exactly 0.6
      {RGB(204, 10, 10), kWhite},                             // exactly 0.8, whatever the hue
      {RGB(255, 0, 128), kWhite},
      {RGB(100, 80, 90), HSV(0.6, 0.2 * 1.7, 100 / 255.0, 0)},          // saturation exactly 0.2: coloured
      {RGB(150, 120, 130), HSV(0.95, 0.2 * 1.7, 150 / 255.0 * 1.1, 0)},
      {RGB(200, 100, 100), HSV(0.75, 0.5 * 1.7, 200 / 255.0 * 1.5, 0)},
  };
  const std::int64_t n = sizeof cases / sizeof cases[0];
  // Nothing raised, band boosts 0, the patch (2 x 2 at strength 100) in
  // column 0, rows 0 and 1.
  ScriptedRnd rnd(PassDraws(100 * n, 0.5, {0.0}), 0.0);
  ScriptedRandom random = Patch(100, n, 0, 0);
  EffectSetup setup;
  setup.v = 100;
  const EffectRun run = RunEffect(&Overdrive, PictureOf(100, n, [&](std::int64_t, std::int64_t y) { return cases[y].p; }),
                                  setup, &random.Generator());
  for (std::int64_t y = 0; y < n; ++y) EXPECT_EQ(run.fxLayer->RGBSurface().Pixel(50, y), Unboosted(cases[y].tone)) << "case " << y;
}

TEST(Overdrive, BandsAreFiveToTenRowsHighFirstAndSixToElevenLater) {
  // 100 rows: band heights drawn from 5 to 10. Each band boost differs, so
  // a column of one colour changes exactly where a band starts.
  for (const bool highest : {false, true}) {
    std::vector<std::pair<std::int64_t, std::int64_t>> bounds;
    ScriptedRandom random([&bounds, highest](std::int64_t min, std::int64_t max) {
      if (min == 0) return max;  // the patch in the last columns
      bounds.push_back({min, max});
      return highest ? max : min;
    });
    std::vector<double> boosts;
    for (int k = 0; k < 20; ++k) boosts.push_back(0.03 * k);
    ScriptedRnd rnd(PassDraws(40 * 100, 0.5, boosts), 0.0);
    EffectSetup setup;
    setup.v = 100;
    const EffectRun run = RunEffect(&Overdrive, SolidPictureOf(40, 100, RGB(180, 100, 60)), setup, &random.Generator());
    for (const auto& b : bounds) EXPECT_EQ(b, std::make_pair(std::int64_t{5}, std::int64_t{10}));
    std::vector<std::int64_t> starts;
    RGBSurface fx = run.fxLayer->RGBSurface();
    for (std::int64_t y = 1; y < 100; ++y)
      if (fx.Pixel(3, y) != fx.Pixel(3, y - 1)) starts.push_back(y);
    std::vector<std::int64_t> expected;
    for (std::int64_t y = highest ? 10 : 5; y < 100; y += highest ? 11 : 6) expected.push_back(y);
    EXPECT_EQ(starts, expected) << (highest ? "highest" : "lowest");
  }
}

TEST(Overdrive, PatchReachesFromRowZeroDownPastItsRow) {
  // 100 x 100 at strength 20: patch size 10, corner column 30 and row 50, so
  // columns 30 to 39 and rows 0 to 59.
  ScriptedRnd rnd(PassDraws(100 * 100, 0.5, {0.0}), 0.0);
  ScriptedRandom random = Patch(100, 100, 30, 50);
  const EffectRun run = RunEffect(&Overdrive, SolidPictureOf(100, 100, RGB(100, 100, 100)), {}, &random.Generator());
  RGBSurface fx = run.fxLayer->RGBSurface();
  const Color outside = fx.Pixel(0, 99);
  EXPECT_EQ(outside, Unboosted(kDeepBlue));
  for (std::int64_t y = 0; y < 100; ++y)
    for (std::int64_t x = 0; x < 100; ++x)
      ASSERT_EQ(fx.Pixel(x, y) != outside, x >= 30 && x < 40 && y < 60) << x << ", " << y;
  // One per pixel, the first band and 16 later ones, two per patch pixel.
  EXPECT_EQ(rnd.Draws(), 100 * 100 + 1 + 16 + 2 * 10 * 60);
}

TEST(Overdrive, DrawsOnePerPixelTwoPerRaisedPixelOnePerBandTwoPerPatchPixel) {
  // Bands at their lowest: rows 5, 11, ... 95 start 16 later bands; the
  // patch at (0, 0) is 10 x 10 at strength 20.
  for (const double every : {0.5, 0.4}) {
    ScriptedRnd rnd({}, every);
    ScriptedRandom random = Patch(100, 100, 0, 0);
    RunEffect(&Overdrive, MixedPicture(100, 100), {}, &random.Generator());
    const std::int64_t raised = every < 0.5 ? 100 * 100 : 0;
    EXPECT_EQ(rnd.Draws(), 100 * 100 + 2 * raised + 1 + 16 + 2 * 10 * 10) << every;
    EXPECT_EQ(random.Draws(), 1 + 16 + 2);
  }
}

TEST(Overdrive, InPlaceGivesTheSameResultAsSeparatePictures) {
  const Ref<Picture> source = MixedPicture(150, 120);
  for (const std::int64_t v : {1, 20, 100}) {
    EffectSetup separate, inPlace;
    separate.v = inPlace.v = v;
    inPlace.samePicture = true;
    EXPECT_TRUE(SamePixels(RunEffect(&Overdrive, source, separate).fxLayer, RunEffect(&Overdrive, source, inPlace).fxLayer))
        << "strength " << v;
  }
}

TEST(Overdrive, SameSeedsGiveTheSamePreviewAndEveryPixelIsWrittenOpaque) {
  for (const std::int64_t v : {1, 20, 100}) ExpectRepeatableAndWhole(&Overdrive, 64, 48, v);
  EXPECT_TRUE(EveryPixelOpaque(RunEffect(&Overdrive, MixedPicture(64, 48)).fxLayer));
}

TEST_P(OverdriveOnEveryTarget, RaisedColoursAreTheFormula) {
  std::mt19937 g(9);
  std::uniform_real_distribution<double> factor(1.0, 3.0);
  const std::int64_t n = 1001;  // more than one run, and no whole number of vectors
  std::vector<Color> px(n);
  std::vector<double> hue(n), saturation(n);
  for (std::int64_t i = 0; i < n; ++i) {
    px[i] = RGB(static_cast<int>(g() % 256), static_cast<int>(g() % 256), static_cast<int>(g() % 256), 9);
    hue[i] = factor(g);
    saturation[i] = factor(g);
  }
  for (const bool withSaturation : {true, false}) {
    std::vector<Color> raised = px;
    RaiseColours(raised.data(), n, hue.data(), withSaturation ? saturation.data() : nullptr, 1.2);
    for (std::int64_t i = 0; i < n; ++i) {
      const Color expected =
          HSV(px[i].Hue() * hue[i], px[i].Saturation() * (withSaturation ? saturation[i] : 1.0), px[i].Value() * 1.2, 0);
      ASSERT_EQ(raised[i], expected) << i;
    }
  }
}

TEST_P(OverdriveOnEveryTarget, BoostDrawsAreReadAsThePixelLoopTakesThem) {
  // Each pixel takes r, and when r < 0.5 its hue and saturation factors. The
  // patterns put raised pixels at every place of a 64-value step, with their
  // factors running into the next step.
  std::mt19937 g(5);
  std::uniform_real_distribution<double> any(0.0, 1.0);
  const std::vector<std::function<double(std::int64_t)>> patterns = {
      [](std::int64_t) { return 0.25; },                         // every pixel raised
      [](std::int64_t) { return 0.5; },                          // none: 0.5 is not below
      [&](std::int64_t) { return any(g); },
      [](std::int64_t i) { return i % 5 == 0 ? 0.1 : 0.9; },
      [](std::int64_t i) { return i % 64 >= 61 ? 0.4999 : 0.75; },
  };
  for (std::size_t p = 0; p < patterns.size(); ++p) {
    std::vector<double> values(3 * BoostDraws::kRun + BoostDraws::kSpare);
    for (std::size_t i = 0; i < values.size(); ++i) values[i] = patterns[p](static_cast<std::int64_t>(i));
    for (const std::int64_t n : {1, 2, 63, 64, 65, 200, 511, 512}) {
      std::vector<bool> up;
      std::vector<double> hue, saturation;
      std::int64_t at = 0;
      for (std::int64_t k = 0; k < n; ++k) {
        up.push_back(values[at++] < 0.5);
        if (!up.back()) continue;
        hue.push_back(1 + values[at++]);
        saturation.push_back(1 + values[at++]);
      }
      BoostDraws::Raised raised;
      ASSERT_EQ(BoostDraws::Decode(values.data(), n, raised), at) << "pattern " << p << ", " << n << " pixels";
      ASSERT_EQ(raised.count, static_cast<std::int64_t>(hue.size()));
      for (std::int64_t k = 0; k < n; ++k) ASSERT_EQ(raised.Has(k), up[k]) << "pixel " << k;
      for (std::int64_t k = 0; k < raised.count; ++k) {
        ASSERT_EQ(raised.hueFactor[k], hue[k]);
        ASSERT_EQ(raised.saturationFactor[k], saturation[k]);
      }
    }
  }
}
