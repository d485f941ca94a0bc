// Apply and cancel of the preview: the pictures, the controls, the log, and
// what a block served later in the same paint reads and writes.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "framework/TestSeams.h"
#include "tests/render/RenderFixture.h"

namespace {
constexpr std::int64_t kW = 120, kH = 100;

class ApplyCancelTest : public RenderTest {
 protected:
  // As an effect button leaves the controls while its preview is pending.
  void PreviewPending() {
    ShowPreviewControls();
    w->FXSlider()->SetValue(33);
    w->currentTool = 3;
    w->ToolText()->SetText("Blockr");
  }
  void ExpectNoEffectSelected() {
    ExpectPreviewControls(false);
    EXPECT_EQ(w->currentTool, 0);
    EXPECT_EQ(w->ToolText()->Text(), "");
    EXPECT_EQ(w->FXSlider()->Value(), 33);
  }
};

TEST_F(ApplyCancelTest, EachRequestLeavesNoEffectSelectedAndAsksForOnePaint) {
  struct Case {
    bool apply;
    const char* line;
  } cases[] = {{true, "apply detected"}, {false, "cancel detected"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    GivePicture(PhotoLikePicture(kW, kH));
    PreviewPending();
    w->ZoomFactor = 0.5;
    w->permOffsetX = 12;
    (c.apply ? w->applyFX : w->cancelFX) = true;
    TestSeams::ClearLog();
    const std::int64_t paintsBefore = Paints();

    Paint();

    ExpectNoEffectSelected();
    EXPECT_FALSE(w->applyFX);
    EXPECT_FALSE(w->cancelFX);
    EXPECT_EQ(TestSeams::LogLines(), std::vector<std::string>{c.line});
    EXPECT_EQ(Paints() - paintsBefore, 2);
    EXPECT_EQ(w->ZoomFactor, 0.5);
    EXPECT_EQ(w->permOffsetX, 12);
  }
}

TEST_F(ApplyCancelTest, ApplyWithTheModeOffMakesThePreviewTheWorkingPicture) {
  GivePicture(PhotoLikePicture(kW, kH, 1));
  const std::weak_ptr<Picture> former = w->pic.Shared();
  const Ref<Picture> preview = PhotoLikePicture(kW, kH, 2);
  w->fxLayer = preview;
  w->applyFX = true;

  Paint();

  EXPECT_EQ(w->pic, preview);
  EXPECT_TRUE(SamePixels(w->pic, PhotoLikePicture(kW, kH, 2)));
  EXPECT_FALSE(w->fxLayer == w->pic);
  EXPECT_TRUE(IsFreshLayer(w->fxLayer, kW, kH));
  EXPECT_TRUE(former.expired());
}

TEST_F(ApplyCancelTest, ApplyWithTheModeOnKeepsOnePictureDrawnTwiceAtOnePlace) {
  GivePicture(PhotoLikePicture(kW, kH, 1));
  const Ref<Picture> preview = PhotoLikePicture(kW, kH, 2);
  w->fxLayer = preview;
  w->superGlitchMode = true;
  w->applyFX = true;

  const std::vector<TestSeams::DrawCall> calls = PaintRecordingDraws();

  EXPECT_EQ(w->pic, preview);
  EXPECT_EQ(w->fxLayer, preview);
  // The paint after the apply draws the one picture twice.
  ASSERT_EQ(calls.size(), 4u);
  EXPECT_EQ(calls[2].picture, preview.Get());
  EXPECT_EQ(calls[3].picture, preview.Get());
  EXPECT_EQ(calls[2].x, calls[3].x);
  EXPECT_EQ(calls[2].y, calls[3].y);
}

TEST_F(ApplyCancelTest, CancelGivesAFreshLayerAndLeavesThePicture) {
  GivePicture(PhotoLikePicture(kW, kH, 1));
  const Ref<Picture> working = w->pic;
  const std::weak_ptr<Picture> discarded = w->fxLayer.Shared();
  w->fxLayer->RGBSurface().SetPixel(3, 3, RGB(1, 2, 3));
  w->cancelFX = true;

  Paint();

  EXPECT_EQ(w->pic, working);
  EXPECT_TRUE(SamePixels(w->pic, PhotoLikePicture(kW, kH, 1)));
  EXPECT_TRUE(IsFreshLayer(w->fxLayer, kW, kH));
  EXPECT_TRUE(discarded.expired());
}

TEST_F(ApplyCancelTest, OnePictureAliasesThroughBothPropertiesAndIsReleasedOnce) {
  GivePicture(PhotoLikePicture(kW, kH, 1));
  w->superGlitchMode = true;
  w->applyFX = true;
  Paint();
  ASSERT_EQ(w->pic, w->fxLayer);

  w->fxLayer->RGBSurface().SetPixel(5, 6, RGB(7, 8, 9));
  EXPECT_EQ(w->pic->RGBSurface().Pixel(5, 6), RGB(7, 8, 9));
  w->pic->RGBSurface().SetPixel(1, 2, RGB(3, 4, 5));
  EXPECT_EQ(w->fxLayer->RGBSurface().Pixel(1, 2), RGB(3, 4, 5));

  const std::weak_ptr<Picture> one = w->pic.Shared();
  EXPECT_EQ(one.use_count(), 2);
  w->pic = nullptr;
  ASSERT_FALSE(one.expired());
  EXPECT_EQ(w->fxLayer->RGBSurface().Pixel(5, 6), RGB(7, 8, 9));
  w->fxLayer = nullptr;
  EXPECT_TRUE(one.expired());
}

// How the pictures and the paint's surfaces stand after apply or cancel, and
// so what a block served later in the same paint reads and writes.
using LaterBlockTest = PaintProbeTest;

enum class Is { Working, Preview, Fresh };

TEST_F(LaterBlockTest, WhatABlockServedAfterApplyOrCancelReadsAndWrites) {
  struct Case {
    const char* name;
    bool startAsOne, superglitch, apply, cancel;
    Is picSurf, fxSurf, picAfter, fxAfter;
  } cases[] = {
      {"neither", false, false, false, false, Is::Working, Is::Preview, Is::Working, Is::Preview},
      {"apply, mode off", false, false, true, false, Is::Preview, Is::Preview, Is::Preview, Is::Fresh},
      {"apply, mode on", false, true, true, false, Is::Preview, Is::Preview, Is::Preview, Is::Preview},
      {"cancel, separate", false, false, false, true, Is::Working, Is::Preview, Is::Working, Is::Fresh},
      {"cancel, one picture", true, true, false, true, Is::Working, Is::Working, Is::Working, Is::Fresh},
      {"apply then cancel", false, true, true, true, Is::Preview, Is::Preview, Is::Preview, Is::Fresh},
      {"apply, one picture, mode off", true, false, true, false, Is::Working, Is::Working, Is::Working,
       Is::Fresh},
      {"apply, one picture, mode on", true, true, true, false, Is::Working, Is::Working, Is::Working,
       Is::Working},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Ref<Picture> working = PhotoLikePicture(kW, kH, 1);
    const Ref<Picture> preview = c.startAsOne ? working : PhotoLikePicture(kW, kH, 2);
    const Color workingAtOrigin = working->RGBSurface().Pixel(0, 0);
    const Color previewAtOrigin = preview->RGBSurface().Pixel(0, 0);
    pic = working;
    fxLayer = preview;
    w->superGlitchMode = c.superglitch;
    w->applyFX = c.apply;
    w->cancelFX = c.cancel;
    w->triggerFX1 = true;

    ProbePaint();

    ASSERT_EQ(blocks.size(), 1u);
    const BlockRecord& b = blocks[0];
    auto picture = [&](Is which) { return which == Is::Working ? working : preview; };
    EXPECT_TRUE(b.picSurf.SharesPixelsWith(picture(c.picSurf)->RGBSurface()));
    EXPECT_TRUE(b.fxSurf.SharesPixelsWith(picture(c.fxSurf)->RGBSurface()));
    EXPECT_EQ(b.readAtOrigin, c.picSurf == Is::Working ? workingAtOrigin : previewAtOrigin);
    // The block's mark lands in the picture fxSurf addresses.
    EXPECT_EQ(picture(c.fxSurf)->RGBSurface().Pixel(0, 0), ProbeMark(1));
    EXPECT_EQ(b.toolText, "YGlitch");
    EXPECT_EQ(w->ToolText()->Text(), "YGlitch");

    EXPECT_EQ(pic, picture(c.picAfter));
    if (c.fxAfter == Is::Fresh) {
      EXPECT_FALSE(fxLayer == working);
      EXPECT_FALSE(fxLayer == preview);
      EXPECT_TRUE(IsFreshLayer(fxLayer, kW, kH));  // a fresh layer stays transparent
    } else {
      EXPECT_EQ(fxLayer, picture(c.fxAfter));
    }
  }
}
}  // namespace
