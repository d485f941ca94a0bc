// Ghost: two passes, each ghosting the rows strictly inside a band with the
// pixel v rows below; the first band drawn from the width, the second from
// the height.
#include <gtest/gtest.h>

#include <vector>

#include "framework/Numbers.h"
#include "hwy/tests/hwy_gtest.h"
#include "tests/render/effects/EffectChecks.h"
#include "tests/render/effects/RunChecks.h"

namespace {

using namespace effect_checks;

Color Ghosted(Color c, Color below) {
  return HSV(Max(below.Hue(), c.Hue()), Max(below.Saturation(), c.Saturation()), Max(below.Value(), c.Value()), 0);
}

void PlainPass(const EffectContext& c, std::int64_t s, std::int64_t e) {
  for (std::int64_t x = 0; x < c.W; ++x)
    for (std::int64_t y = 0; y < c.H; ++y)
      c.fxSurf.SetPixel(x, y, s < y && y < e ? Ghosted(c.picSurf.Pixel(x, y), c.picSurf.Pixel(x, y + c.v))
                                             : c.picSurf.Pixel(x, y));
}

// Both passes column by column, as written.
void PlainGhost(const EffectContext& c) {
  const double w = static_cast<double>(c.W), h = static_cast<double>(c.H);
  const std::int64_t s1 = c.glitchRandom.InRange(ToInteger(w / 10.0), ToInteger(w / 1.5));
  const std::int64_t l1 = c.glitchRandom.InRange(ToInteger(w / 3.0), ToInteger(w / 1.6));
  PlainPass(c, s1, s1 + l1);
  const std::int64_t s2 = c.glitchRandom.InRange(ToInteger(h / 10.0), ToInteger(h / 1.5));
  const std::int64_t l2 = c.glitchRandom.InRange(ToInteger(h / 3.0), ToInteger(h / 1.6));
  PlainPass(c, s2, s2 + l2);
}

// The four draws answered in order: s1, l1, s2, l2.
ScriptedRandom Bands(std::vector<std::int64_t> answers, std::vector<std::int64_t>* bounds = nullptr) {
  auto call = std::make_shared<std::size_t>(0);
  return ScriptedRandom([call, answers, bounds](std::int64_t min, std::int64_t max) {
    if (bounds) bounds->push_back(min), bounds->push_back(max);
    return answers[(*call)++ % answers.size()];
  });
}

bool RowUnchanged(const Ref<Picture>& a, const Ref<Picture>& b, std::int64_t y) {
  for (std::int64_t x = 0; x < a->Width(); ++x)
    if (a->RGBSurface().Pixel(x, y) != b->RGBSurface().Pixel(x, y)) return false;
  return true;
}

HWY_BEFORE_TEST(GhostOnEveryTarget);

TEST_P(GhostOnEveryTarget, MatchesThePassesColumnByColumn) {
  ExpectSameAsReference(&Ghost, &PlainGhost, {{60, 40}, {40, 130}, {200, 100}, {17, 300}}, {1, 20, 100});
}

TEST(Ghost, SameSeedsGiveTheSamePreviewAndEveryPixelIsWritten) {
  ExpectRepeatableAndWhole(&Ghost, 70, 90, 20);
}

TEST(Ghost, OnlyTheRowsStrictlyInsideTheBandChange) {
  const Ref<Picture> source = MixedPicture(50, 100, 4);
  std::vector<std::int64_t> bounds;
  ScriptedRandom random = Bands({400, 20, 10, 5}, &bounds);  // first band below the picture; rows 11 to 14
  const EffectRun run = RunEffect(&Ghost, source, {1}, &random.Generator());
  EXPECT_EQ(bounds, (std::vector<std::int64_t>{5, 33, 16, 31, 10, 66, 33, 62}));
  for (std::int64_t y = 0; y < 100; ++y) EXPECT_EQ(RowUnchanged(run.fxLayer, source, y), y < 11 || y > 14) << y;
  // At strength 1 a band pixel meets the pixel right below it.
  RGBSurface from = source->RGBSurface(), to = run.fxLayer->RGBSurface();
  for (std::int64_t x = 0; x < 50; ++x) EXPECT_EQ(to.Pixel(x, 12), Ghosted(from.Pixel(x, 12), from.Pixel(x, 13)));
}

TEST(Ghost, AWidePictureGetsItsFirstBandBelowTheLastRow) {
  const Ref<Picture> source = MixedPicture(6000, 100, 5);
  std::vector<std::int64_t> bounds;
  ScriptedRandom random = Bands({600, 2000, 30, 40}, &bounds);
  EffectSetup inPlace{20};
  inPlace.samePicture = true;
  const EffectRun run = RunEffect(&Ghost, source, inPlace, &random.Generator());
  EXPECT_EQ(bounds, (std::vector<std::int64_t>{600, 4000, 2000, 3750, 10, 66, 33, 62}));
  // Even in place the first pass only copies: the second band alone shows.
  for (std::int64_t y = 0; y < 100; ++y) EXPECT_EQ(RowUnchanged(run.pic, source, y), y <= 30 || y >= 70) << y;
}

TEST(Ghost, SeparatePicturesShowTheSecondBandAndInPlaceBoth) {
  const Ref<Picture> source = MixedPicture(100, 100, 6);
  for (const bool samePicture : {false, true}) {
    ScriptedRandom random = Bands({10, 10, 50, 10});  // rows 11 to 19, then 51 to 59
    EffectSetup setup{20};
    setup.samePicture = samePicture;
    const EffectRun run = RunEffect(&Ghost, source, setup, &random.Generator());
    for (std::int64_t y = 0; y < 100; ++y) {
      const bool second = y > 50 && y < 60, first = y > 10 && y < 20;
      EXPECT_EQ(RowUnchanged(run.fxLayer, source, y), !second && !(samePicture && first)) << y << " " << samePicture;
    }
  }
}

}  // namespace
