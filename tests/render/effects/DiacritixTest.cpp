// Diacritix: everything darkened to 90 % saturation and value, then two to
// five blocks recoloured from the picture, each logged before it is painted.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/Numbers.h"
#include "framework/System.h"
#include "hwy/tests/hwy_gtest.h"
#include "tests/render/effects/EffectChecks.h"
#include "tests/render/effects/RunChecks.h"

namespace {

using namespace effect_checks;

Color Darkened(Color c) { return HSV(c.Hue(), c.Saturation() * 0.9, c.Value() * 0.9, 0); }
Color Recoloured(Color c, double shift, double valueFactor) {
  return HSV(c.Hue() + shift, Min(1.0, c.Saturation() * 1.8), valueFactor * c.Value(), 0);
}

// Column by column, block after block, as written.
void PlainDiacritix(const EffectContext& c) {
  for (std::int64_t x = 0; x < c.W; ++x)
    for (std::int64_t y = 0; y < c.H; ++y) c.fxSurf.SetPixel(x, y, Darkened(c.picSurf.Pixel(x, y)));
  const double w = static_cast<double>(c.W), h = static_cast<double>(c.H);
  const std::int64_t n = c.glitchRandom.InRange(2, 5);
  const std::int64_t aW = c.glitchRandom.InRange(20, ToInteger(w / 3.0));
  const std::int64_t aH = c.glitchRandom.InRange(20, ToInteger(h / 3.0));
  const std::int64_t aY = c.glitchRandom.InRange(0, c.H - aH - 1);
  const std::int64_t aX = c.glitchRandom.InRange(0, c.W - aW - 1);
  for (std::int64_t i = 1; i <= n; ++i) {
    const std::int64_t bw = c.glitchRandom.InRange(ToInteger(w / 50.0), ToInteger(w / 10.0));
    const std::int64_t k = c.glitchRandom.InRange(1, 15);
    const std::int64_t bh = ToInteger(static_cast<double>(k * bw) / 5.0 + 3.0);
    const std::int64_t bx = c.glitchRandom.InRange(aX, aX + aW);
    const std::int64_t by = c.glitchRandom.InRange(aY, aY + aH);
    const double shift = Rnd();
    System::DebugLog("block #" + Str(i) + " x: " + Str(bx) + " y: " + Str(by) + " w: " + Str(bw) + " h: " + Str(bh));
    for (std::int64_t px = bx; px <= bx + bw - 1; ++px)
      for (std::int64_t py = by; py <= by + bh - 1; ++py)
        c.fxSurf.SetPixel(px, py, Recoloured(c.picSurf.Pixel(px, py), shift, 1.0 + static_cast<double>(c.v) / 100.0));
  }
}

// Both generators scripted: glitchRandom answers `answers` in order, Rnd
// always `shift`; every draw is written into `order`, "R(min,max)" or "D".
class RecordedDraws {
 public:
  RecordedDraws(std::vector<std::int64_t> answers, double shift)
      : random_([this, answers](std::int64_t min, std::int64_t max) {
          order += "R(" + std::to_string(min) + "," + std::to_string(max) + ")";
          return answers[calls_++ % answers.size()];
        }) {
    TestSeams::ScriptRnd([this, shift] {
      order += "D";
      return shift;
    });
  }
  ~RecordedDraws() { TestSeams::ScriptRnd(nullptr); }
  RecordedDraws(const RecordedDraws&) = delete;
  RecordedDraws& operator=(const RecordedDraws&) = delete;
  Random& Generator() { return random_.Generator(); }

  std::string order;

 private:
  std::size_t calls_ = 0;
  ScriptedRandom random_;
};

HWY_BEFORE_TEST(DiacritixOnEveryTarget);

TEST_P(DiacritixOnEveryTarget, MatchesTheColumnByColumnVersionAndItsLog) {
  ExpectSameAsReference(&Diacritix, &PlainDiacritix, {{100, 100}, {300, 120}, {120, 300}, {600, 100}}, {1, 20, 100});
  const Ref<Picture> source = MixedPicture(200, 150, 2);
  TestSeams::ClearLog();
  RunEffect(&Diacritix, source, {20, 5, 6});
  const std::vector<std::string> fast = TestSeams::LogLines();
  TestSeams::ClearLog();
  RunEffect(&PlainDiacritix, source, {20, 5, 6});
  EXPECT_EQ(fast, TestSeams::LogLines());
}

TEST(Diacritix, SameSeedsGiveTheSamePreviewAndEveryPixelIsWritten) {
  ExpectRepeatableAndWhole(&Diacritix, 100, 120, 20);
}

TEST(Diacritix, DrawsFiveForTheAreaThenFourAndAShiftPerBlockAndLogsEachBlock) {
  // n 3; area 25 x 30 at (10, 20); every block 4 wide, k 2 (4 high), at (12, 21).
  RecordedDraws draws({3, 25, 30, 20, 10, 4, 2, 12, 21, 4, 2, 12, 21, 4, 2, 12, 21}, 0.25);
  TestSeams::ClearLog();
  const Ref<Picture> source = MixedPicture(150, 100, 4);
  const EffectRun run = RunEffect(&Diacritix, source, {20}, &draws.Generator());
  const std::string block = "R(3,15)R(1,15)R(10,35)R(20,50)D";
  EXPECT_EQ(draws.order, "R(2,5)R(20,50)R(20,33)R(0,69)R(0,124)" + block + block + block);
  EXPECT_EQ(TestSeams::LogLines(), (std::vector<std::string>{"block #1 x: 12 y: 21 w: 4 h: 4",
                                                             "block #2 x: 12 y: 21 w: 4 h: 4",
                                                             "block #3 x: 12 y: 21 w: 4 h: 4"}));
  // Apart, the blocks start from the picture; everything else is darkened.
  RGBSurface from = source->RGBSurface(), to = run.fxLayer->RGBSurface();
  for (std::int64_t x = 0; x < 150; ++x)
    for (std::int64_t y = 0; y < 100; ++y) {
      const bool inBlock = x >= 12 && x < 16 && y >= 21 && y < 25;
      ASSERT_EQ(to.Pixel(x, y), inBlock ? Recoloured(from.Pixel(x, y), 0.25, 1.2) : Darkened(from.Pixel(x, y)))
          << x << ", " << y;
    }
}

TEST(Diacritix, ABlockPastTheCornerPaintsOnlyItsPixelsInside) {
  // n 2; area 20 x 20 at (79, 79); block 1 is 10 x 33 at (99, 99), block 2 is 2 x 3 at (79, 79).
  RecordedDraws draws({2, 20, 20, 79, 79, 10, 15, 99, 99, 2, 1, 79, 79}, 0.5);
  TestSeams::ClearLog();
  const Ref<Picture> source = MixedPicture(100, 100, 5);
  const EffectRun run = RunEffect(&Diacritix, source, {100}, &draws.Generator());
  EXPECT_EQ(TestSeams::LogLines(),
            (std::vector<std::string>{"block #1 x: 99 y: 99 w: 10 h: 33", "block #2 x: 79 y: 79 w: 2 h: 3"}));
  RGBSurface from = source->RGBSurface(), to = run.fxLayer->RGBSurface();
  EXPECT_EQ(to.Pixel(99, 99), Recoloured(from.Pixel(99, 99), 0.5, 2.0));
  EXPECT_EQ(to.Pixel(98, 99), Darkened(from.Pixel(98, 99)));
  EXPECT_EQ(to.Pixel(99, 98), Darkened(from.Pixel(99, 98)));
  EXPECT_EQ(to.Pixel(80, 81), Recoloured(from.Pixel(80, 81), 0.5, 2.0));
  EXPECT_EQ(to.Pixel(81, 81), Darkened(from.Pixel(81, 81)));
  EXPECT_EQ(to.Pixel(80, 82), Darkened(from.Pixel(80, 82)));
}

TEST(Diacritix, InPlaceOverlappingBlocksRecolourTwice) {
  RecordedDraws draws({2, 20, 20, 10, 10, 5, 5, 12, 12, 5, 5, 12, 12}, 0.1);  // two 5 x 8 blocks at (12, 12)
  const Ref<Picture> source = MixedPicture(100, 100, 6);
  EffectSetup setup{1};
  setup.samePicture = true;
  const EffectRun run = RunEffect(&Diacritix, source, setup, &draws.Generator());
  const Color c = source->RGBSurface().Pixel(14, 15);
  EXPECT_EQ(run.pic->RGBSurface().Pixel(14, 15), Recoloured(Recoloured(Darkened(c), 0.1, 1.01), 0.1, 1.01));
}

}  // namespace
