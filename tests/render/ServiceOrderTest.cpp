// The order in which one paint serves its requests: apply, cancel, then the
// effect blocks 1 to 12, each tried once; and a paint that an exception ends.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "app/Pixelmoth.h"
#include "framework/Exceptions.h"
#include "framework/TestSeams.h"
#include "tests/render/RenderFixture.h"
#include "tests/support/Texts.h"

namespace {
using ServiceOrderTest = PaintProbeTest;

std::vector<std::int64_t> Numbers(const std::vector<BlockRecord>& blocks) {
  std::vector<std::int64_t> numbers;
  for (const BlockRecord& b : blocks) numbers.push_back(b.n);
  return numbers;
}

std::int64_t CountContaining(const std::vector<std::string>& lines, const std::string& part) {
  return std::count_if(lines.begin(), lines.end(),
                       [&](const std::string& l) { return l.find(part) != std::string::npos; });
}

TEST_F(ServiceOrderTest, EveryBlockInNumberOrderWithItsCaptionAndTheFrameValues) {
  pic = SolidPicture(300, 200, RGB(9, 9, 9));
  fxLayer = MakeRef<Picture>(300, 200);
  w->ZoomFactor = 0.5;
  w->FXSlider()->SetValue(37);
  for (std::int64_t n = 12; n >= 1; --n) w->EffectTrigger(n) = true;

  ProbePaint();

  ASSERT_EQ(Numbers(blocks), (std::vector<std::int64_t>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}));
  for (const BlockRecord& b : blocks) {
    SCOPED_TRACE(b.n);
    EXPECT_EQ(b.toolText, texts::EffectName(b.n));
    EXPECT_EQ(b.W, 300);
    EXPECT_EQ(b.H, 200);
    EXPECT_EQ(b.v, 37);
    EXPECT_EQ(b.zW, 150);
    EXPECT_EQ(b.zH, 100);
    EXPECT_EQ(b.zoomFactor, 0.5);
  }
  EXPECT_EQ(w->ToolText()->Text(), "Overdrive");
  EXPECT_EQ(Flags(), std::vector<bool>(14, false));
}

TEST_F(ServiceOrderTest, TwoTriggersInOnePaint) {
  pic = SolidPicture(120, 100, RGB(9, 9, 9));
  fxLayer = MakeRef<Picture>(120, 100);
  w->triggerFX2 = true;
  w->triggerFX5 = true;
  const std::int64_t paintsBefore = Paints();

  ProbePaint();

  ASSERT_EQ(Numbers(blocks), (std::vector<std::int64_t>{2, 5}));
  EXPECT_EQ(blocks[0].toolText, "Hertz");
  EXPECT_EQ(blocks[1].toolText, "Diacritix");
  EXPECT_EQ(w->ToolText()->Text(), "Diacritix");
  EXPECT_FALSE(w->triggerFX2);
  EXPECT_FALSE(w->triggerFX5);
  // The later block writes over the earlier one's result.
  EXPECT_EQ(fxLayer->RGBSurface().Pixel(0, 0), ProbeMark(5));
  // This paint and the one its repaint requests bring after it.
  EXPECT_EQ(Paints() - paintsBefore, 2);
}

TEST_F(ServiceOrderTest, ApplyAndCancelTogetherComeBeforeTheBlocks) {
  const Ref<Picture> preview = SolidPicture(120, 100, RGB(1, 200, 1));
  pic = SolidPicture(120, 100, RGB(9, 9, 9));
  fxLayer = preview;
  w->superGlitchMode = true;
  w->applyFX = true;
  w->cancelFX = true;
  w->triggerFX4 = true;
  TestSeams::ClearLog();

  ProbePaint();

  EXPECT_EQ(TestSeams::LogLines(), (std::vector<std::string>{"apply detected", "cancel detected"}));
  // The preview became the working picture; the cancel then gave a fresh
  // layer, so the pictures end separate whatever the mode.
  EXPECT_EQ(pic, preview);
  EXPECT_FALSE(fxLayer == pic);
  ASSERT_EQ(Numbers(blocks), std::vector<std::int64_t>{4});
  EXPECT_EQ(blocks[0].toolText, "Ghost");
  EXPECT_EQ(w->ToolText()->Text(), "Ghost");
  EXPECT_EQ(w->currentTool, 0);
  EXPECT_EQ(Flags(), std::vector<bool>(14, false));
}

TEST_F(ServiceOrderTest, AnExceptionEndsThePaintAndLeavesItsRequestPending) {
  pic = SolidPicture(120, 100, RGB(9, 9, 9));
  fxLayer = MakeRef<Picture>(120, 100);
  w->applyFX = true;
  for (std::int64_t n : {1, 2, 3, 4, 5, 6, 7, 8, 10}) w->EffectTrigger(n) = true;
  TestSeams::ClearLog();

  ProbePaint(7);

  EXPECT_EQ(Numbers(blocks), (std::vector<std::int64_t>{1, 2, 3, 4, 5, 6, 7}));
  EXPECT_FALSE(w->applyFX);
  for (std::int64_t n = 1; n <= 6; ++n) EXPECT_FALSE(w->EffectTrigger(n)) << n;
  EXPECT_TRUE(w->triggerFX7);
  EXPECT_TRUE(w->triggerFX8);
  EXPECT_TRUE(w->triggerFX10);
  EXPECT_EQ(w->ToolText()->Text(), "Coaxial");
  // Block 6's result stays; block 7 wrote nothing.
  EXPECT_EQ(pic->RGBSurface().Pixel(0, 0), ProbeMark(6));
  // The framework's dispatch reported it.
  EXPECT_EQ(CountContaining(TestSeams::LogLines(), "OutOfBoundsException"), 1);

  ProbePaint();

  EXPECT_EQ(Numbers(blocks), (std::vector<std::int64_t>{7, 8, 10}));
  EXPECT_EQ(Flags(), std::vector<bool>(14, false));
}

using RealEffectsOrderTest = RenderTest;

TEST_F(RealEffectsOrderTest, TwoTriggersClearBothAndEndWithTheLastCaption) {
  GivePicture(PhotoLikePicture(120, 100));
  w->triggerFX2 = true;
  w->triggerFX5 = true;
  const std::int64_t paintsBefore = Paints();

  Paint();

  EXPECT_FALSE(w->triggerFX2);
  EXPECT_FALSE(w->triggerFX5);
  EXPECT_EQ(w->ToolText()->Text(), "Diacritix");
  EXPECT_EQ(Paints() - paintsBefore, 2);
}

// Coaxial draws from Rnd before anything else, so an Rnd that throws makes
// block 7 throw; the other blocks set here draw from glitchRandom only.
TEST_F(RealEffectsOrderTest, AnExceptionInsideCoaxialLeavesItAndLaterBlocksPending) {
  GivePicture(PhotoLikePicture(120, 100));
  for (std::int64_t n : {1, 2, 3, 4, 6, 7, 10}) w->EffectTrigger(n) = true;
  TestSeams::ScriptRnd([]() -> double { throw OutOfBoundsException("no Rnd now"); });

  Paint();

  for (std::int64_t n : {1, 2, 3, 4, 6}) EXPECT_FALSE(w->EffectTrigger(n)) << n;
  EXPECT_TRUE(w->triggerFX7);
  EXPECT_TRUE(w->triggerFX10);
  EXPECT_EQ(w->ToolText()->Text(), "Coaxial");

  TestSeams::ScriptRnd(nullptr);
  Paint();

  EXPECT_FALSE(w->triggerFX7);
  EXPECT_FALSE(w->triggerFX10);
  EXPECT_EQ(w->ToolText()->Text(), "Bad Copy");
}
}  // namespace
