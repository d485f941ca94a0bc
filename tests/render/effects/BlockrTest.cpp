// Blockr: blocks every b pixels, b + 1 wide and high, each rebuilt with one
// factor, 1.0, 2.0 or 1.2; two draws per block.
#include <gtest/gtest.h>

#include <vector>

#include "framework/Numbers.h"
#include "hwy/tests/hwy_gtest.h"
#include "tests/render/effects/EffectChecks.h"
#include "tests/render/effects/RunChecks.h"

namespace {

using namespace effect_checks;

Color Scaled(Color c, double m) { return HSV(c.Hue() * m, c.Saturation() * m, c.Value() * m, 0); }

// Block by block, each block column by column, as written.
void PlainBlockr(const EffectContext& c) {
  const std::int64_t b = ToInteger(static_cast<double>(c.v) * 1.5);
  for (std::int64_t bx = 0; bx <= c.W - 1; bx += b)
    for (std::int64_t by = 0; by <= c.H - 1; by += b) {
      const std::int64_t kind = c.glitchRandom.InRange(0, 4);
      const double f = static_cast<double>(c.glitchRandom.InRange(1, 2));
      const double m = kind < 3 ? f : Min(f, 1.2);
      for (std::int64_t i = 0; i <= b; ++i)
        for (std::int64_t j = 0; j <= b; ++j)
          c.fxSurf.SetPixel(bx + i, by + j, Scaled(c.picSurf.Pixel(bx + i, by + j), m));
    }
}

// The draws of block n (in block order) answered from kinds[n] and fs[n].
ScriptedRandom ByBlock(std::vector<std::int64_t> kinds, std::vector<std::int64_t> fs) {
  auto call = std::make_shared<std::size_t>(0);
  return ScriptedRandom([call, kinds, fs](std::int64_t, std::int64_t) {
    const std::size_t n = (*call)++;
    return n % 2 == 0 ? kinds[n / 2 % kinds.size()] : fs[n / 2 % fs.size()];
  });
}

HWY_BEFORE_TEST(BlockrOnEveryTarget);

TEST_P(BlockrOnEveryTarget, MatchesTheBlockByBlockVersion) {
  ExpectSameAsReference(&Blockr, &PlainBlockr, {{61, 47}, {150, 150}, {300, 31}, {31, 301}}, {1, 3, 20, 100});
}

TEST(Blockr, SameSeedsGiveTheSamePreviewAndEveryPixelIsWritten) {
  ExpectRepeatableAndWhole(&Blockr, 95, 64, 7);
}

TEST(Blockr, TheStrengthSetsTheBlockStepAndTwoDrawsAreMadePerBlock) {
  struct Case {
    std::int64_t v, w, h, blocks;
  };
  const Case cases[] = {
      {1, 7, 5, 35},          // b = 1: a block per pixel
      {3, 9, 8, 6},           // b = 4: columns 0, 4, 8 by rows 0, 4
      {20, 1000, 700, 816},   // b = 30: 34 block columns of 24 blocks
      {20, 300, 30, 10},      // a width that is a multiple of b starts no block at 300
      {100, 150, 150, 1},     // b = 150: the whole picture is one block
      {100, 151, 150, 2},
  };
  for (const Case& k : cases) {
    std::vector<std::int64_t> bounds;
    ScriptedRandom random([&bounds](std::int64_t min, std::int64_t max) {
      bounds.push_back(min), bounds.push_back(max);
      return min;
    });
    RunEffect(&Blockr, SolidPictureOf(k.w, k.h, RGB(10, 20, 30)), {k.v}, &random.Generator());
    EXPECT_EQ(random.Draws(), 2 * k.blocks) << k.v << ": " << k.w << " x " << k.h;
    for (std::size_t i = 0; i + 3 < bounds.size(); i += 4)
      ASSERT_EQ((std::vector<std::int64_t>(bounds.begin() + i, bounds.begin() + i + 4)),
                (std::vector<std::int64_t>{0, 4, 1, 2}));
  }
}

TEST(Blockr, ABlockTakesTheFactorOneTwoOrOnePointTwo) {
  // kind and f for the blocks of one row of tiles, and the factor each gives.
  const std::vector<std::int64_t> kinds = {0, 2, 3, 4, 1, 3}, fs = {2, 2, 2, 1, 1, 1};
  const double factors[] = {2.0, 2.0, 1.2, 1.0, 1.0, 1.0};
  const Ref<Picture> source = MixedPicture(6 * 30, 30, 9);
  ScriptedRandom random = ByBlock(kinds, fs);
  const EffectRun run = RunEffect(&Blockr, source, {20}, &random.Generator());
  RGBSurface from = source->RGBSurface(), to = run.fxLayer->RGBSurface();
  for (std::int64_t x = 0; x < 180; ++x)
    for (std::int64_t y = 0; y < 30; ++y)
      ASSERT_EQ(to.Pixel(x, y), Scaled(from.Pixel(x, y), factors[x / 30])) << x << ", " << y;
}

TEST(Blockr, ASharedColumnOrRowEndsWithTheLaterBlockApartAndTakesEveryBlockInPlace) {
  // Four blocks of b = 30 on 60 x 60: (0,0) 2.0, (0,30) 1.2, (30,0) 1.0, (30,30) 2.0.
  const Ref<Picture> source = MixedPicture(60, 60, 11);
  RGBSurface from = source->RGBSurface();
  {
    ScriptedRandom random = ByBlock({0, 3, 0, 0}, {2, 2, 1, 2});
    RGBSurface to = RunEffect(&Blockr, source, {20}, &random.Generator()).fxLayer->RGBSurface();
    EXPECT_EQ(to.Pixel(30, 5), Scaled(from.Pixel(30, 5), 1.0));   // column 30 is the right block's
    EXPECT_EQ(to.Pixel(5, 30), Scaled(from.Pixel(5, 30), 1.2));   // row 30 the lower block's
    EXPECT_EQ(to.Pixel(30, 30), Scaled(from.Pixel(30, 30), 2.0));
    EXPECT_EQ(to.Pixel(29, 29), Scaled(from.Pixel(29, 29), 2.0));
  }
  {
    ScriptedRandom random = ByBlock({0, 3, 0, 0}, {2, 2, 1, 2});
    EffectSetup setup{20};
    setup.samePicture = true;
    RGBSurface to = RunEffect(&Blockr, source, setup, &random.Generator()).pic->RGBSurface();
    EXPECT_EQ(to.Pixel(30, 5), Scaled(Scaled(from.Pixel(30, 5), 2.0), 1.0));
    EXPECT_EQ(to.Pixel(5, 30), Scaled(Scaled(from.Pixel(5, 30), 2.0), 1.2));
    EXPECT_EQ(to.Pixel(30, 30), Scaled(Scaled(Scaled(Scaled(from.Pixel(30, 30), 2.0), 1.2), 1.0), 2.0));
    EXPECT_EQ(to.Pixel(29, 29), Scaled(from.Pixel(29, 29), 2.0));
  }
}

}  // namespace
