// The common intake: size limits, refusal, the reset, the fit into the
// canvas, and what it keeps (the pan, a pending cancel) or clears (a pending
// apply).

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "editor/MainWindow.h"
#include "framework/TestSeams.h"
#include "render/View.h"
#include "tests/imageio/ImageIoTest.h"
#include "tests/support/Texts.h"

namespace {

// --- Size limits -------------------------------------------------------------

struct SizeCase {
  std::int64_t width, height;
  bool accepted;
};
void PrintTo(const SizeCase& c, std::ostream* os) { *os << c.width << " x " << c.height; }

class IntakeSizeTest : public ImageIoTest, public ::testing::WithParamInterface<SizeCase> {};

// Picture data with a file, so the title names the file while the pixels
// come from the data: the size check alone decides.
TEST_P(IntakeSizeTest, AcceptsOnlySidesFrom100To6000) {
  const SizeCase c = GetParam();
  GivePicture(SolidPicture(300, 200, RGB(1, 2, 3)));
  EnterEffectPreview();
  const std::vector<std::string> before = Snapshot({"pic"});
  const auto data = MakeRef<Picture>(c.width, c.height);

  Drop(data, files.File("sized.png"));

  EXPECT_EQ(w->Title(), "Mothwick - sized.png");
  if (c.accepted) {
    EXPECT_EQ(w->pic, data);
    EXPECT_EQ(w->originalPicW, c.width);
    EXPECT_EQ(w->originalPicH, c.height);
    EXPECT_TRUE(TestSeams::MessageBoxes().empty());
    return;
  }
  EXPECT_TRUE(w->pic.IsNil());
  EXPECT_EQ(TestSeams::MessageBoxes(), std::vector<std::string>{texts::kSizeRefused});
  // Nothing else changes, and no repaint is asked for.
  EXPECT_EQ(Snapshot({"pic"}), before);
  EXPECT_TRUE(TestSeams::LogLines().empty());
}

INSTANTIATE_TEST_SUITE_P(Sides, IntakeSizeTest,
                         ::testing::Values(SizeCase{100, 100, true}, SizeCase{6000, 6000, true},
                                           SizeCase{100, 6000, true}, SizeCase{6000, 100, true},
                                           SizeCase{99, 5000, false}, SizeCase{5000, 99, false},
                                           SizeCase{6001, 100, false}, SizeCase{100, 6001, false}));

// Files whose header claims a side beyond the limit are measured, never
// decoded, and refused like any other oversized picture.
TEST_F(ImageIoTest, RefusesOversizedFilesFromTheirHeader) {
  struct Claim {
    std::uint32_t width, height;
  };
  for (const Claim c : {Claim{6001, 100}, Claim{100, 6001}, Claim{60000, 60000}}) {
    const std::string name = "claims-" + std::to_string(c.width) + "x" + std::to_string(c.height) + ".png";
    SCOPED_TRACE(name);
    WriteBytes(files.Path(name), PngHeader(c.width, c.height));
    GivePicture(SolidPicture(300, 200, RGB(1, 2, 3)));
    TestSeams::ClearMessageBoxes();

    LoadThroughDialog(files.File(name));

    EXPECT_TRUE(w->pic.IsNil());
    EXPECT_EQ(w->Title(), "Mothwick - " + name);
    EXPECT_EQ(TestSeams::MessageBoxes(), std::vector<std::string>{texts::kSizeRefused});
  }
}

// --- A fresh edit --------------------------------------------------------------

TEST_F(ImageIoTest, AcceptedImageStartsAFreshEdit) {
  GivePicture(SolidPicture(300, 200, RGB(1, 2, 3)));
  const Ref<Picture> oldLayer = w->fxLayer;
  EnterEffectPreview();
  const auto data = SolidPicture(400, 300, RGB(9, 8, 7));

  Drop(data, nullptr);

  EXPECT_EQ(w->pic, data);
  EXPECT_EQ(w->originalPicW, 400);
  EXPECT_EQ(w->originalPicH, 300);
  EXPECT_EQ(w->ZoomFactor, 1.0);
  EXPECT_EQ(w->picX, 0);
  EXPECT_EQ(w->picY, 0);
  EXPECT_EQ(w->mXDelta, 0);
  EXPECT_EQ(w->mYDelta, 0);
  EXPECT_EQ(w->currentTool, 0);
  for (std::int64_t n = 1; n <= 12; ++n) EXPECT_FALSE(w->EffectTrigger(n)) << n;
  ExpectPreviewControls(false);
  EXPECT_EQ(w->ToolText()->Text(), "");
  EXPECT_EQ(w->ZoomText()->Text(), "100%");

  // A fresh transparent preview layer of the picture's size.
  ASSERT_FALSE(w->fxLayer.IsNil());
  EXPECT_NE(w->fxLayer, oldLayer);
  EXPECT_NE(w->fxLayer, w->pic);
  EXPECT_TRUE(IsFreshLayer(w->fxLayer, 400, 300));

  // Left as they were.
  EXPECT_EQ(w->mX, 500);
  EXPECT_EQ(w->mY, 400);
  EXPECT_TRUE(w->draggedFlag);
  EXPECT_EQ(w->permOffsetX, 40);
  EXPECT_EQ(w->permOffsetY, -25);
  EXPECT_TRUE(w->superGlitchMode);
  EXPECT_EQ(w->ZoomCorrectionX, 0);
  EXPECT_EQ(w->ZoomCorrectionY, 0);
  EXPECT_EQ(w->canvasWbuffer, 111);
  EXPECT_EQ(w->canvasHbuffer, 222);
  EXPECT_EQ(w->Title(), "Pixelmoth");
  EXPECT_TRUE(TestSeams::MessageBoxes().empty());
}

// --- The fit into a 910 x 647 canvas -------------------------------------------

struct FitCase {
  std::int64_t width, height;
  double zoomFactor;
  std::int64_t theLeft, theTop;
  const char* caption;  // written by the paint that follows the intake's
};

const FitCase kFits[] = {
    {800, 600, 1.0, 55, 23, "100%"},
    {1820, 647, 0.5, 0, 161, "50%"},
    {100, 6000, 647.0 / 6000.0, 449, 0, "10.78%"},
    // 1106 x (910 / 1106) lies a hair above 910: truncated to 0, not -1.
    {1106, 100, 910.0 / 1106.0, 0, 282, "82.28%"},
};

// Run inside a paint, so that the intake's own repaint waits and its values
// can be read before the paint that follows recomputes the view.
TEST_F(ImageIoTest, IntakeFitsTheViewAndLeavesTheZoomedSizeForThePaint) {
  ASSERT_EQ(w->MainCanvas()->Width(), 910);
  ASSERT_EQ(w->MainCanvas()->Height(), 647);
  for (const FitCase& c : kFits) {
    SCOPED_TRACE(std::to_string(c.width) + " x " + std::to_string(c.height));
    DuringPaint([&] {
      TestSeams::ClearLog();
      Drop(MakeRef<Picture>(c.width, c.height), nullptr);

      EXPECT_EQ(TestSeams::LogLines(), IntakeLines(c.width, c.height));
      EXPECT_EQ(w->ZoomFactor, c.zoomFactor);
      EXPECT_EQ(w->theLeft, c.theLeft);
      EXPECT_EQ(w->theTop, c.theTop);
      EXPECT_EQ(w->zW, c.width);
      EXPECT_EQ(w->zH, c.height);
      EXPECT_EQ(w->ZoomText()->Text(), "100%");
    });
    // The paint that followed drew the fitted view.
    EXPECT_EQ(w->zW, ZoomedSize(c.width, c.zoomFactor));
    EXPECT_EQ(w->zH, ZoomedSize(c.height, c.zoomFactor));
    EXPECT_EQ(w->theLeft, c.theLeft);
    EXPECT_EQ(w->theTop, c.theTop);
    EXPECT_EQ(w->ZoomText()->Text(), c.caption);
  }
}

// --- What the intake keeps or clears ---------------------------------------------

TEST_F(ImageIoTest, PanIsKeptAcrossALoad) {
  w->permOffsetX = 40;
  w->permOffsetY = -25;
  TestSeams::RecordDrawCalls(true);
  const auto data = SolidPicture(800, 600, RGB(200, 10, 10));

  Drop(data, nullptr);
  const std::vector<TestSeams::DrawCall> calls = TestSeams::DrawCalls();
  TestSeams::RecordDrawCalls(false);

  EXPECT_EQ(w->permOffsetX, 40);
  EXPECT_EQ(w->permOffsetY, -25);
  ASSERT_GE(calls.size(), 2u);
  EXPECT_EQ(calls[0].picture, data.Get());
  EXPECT_EQ(calls[0].x, 55 + 40);
  EXPECT_EQ(calls[0].y, 23 - 25);
}

TEST_F(ImageIoTest, PendingCancelIsServedAfterTheIntake) {
  w->cancelFX = true;
  const auto data = SolidPicture(800, 600, RGB(200, 10, 10));

  Drop(data, nullptr);

  EXPECT_FALSE(w->cancelFX);
  EXPECT_EQ(w->pic, data);
  ASSERT_FALSE(w->fxLayer.IsNil());
  EXPECT_NE(w->fxLayer, w->pic);
  EXPECT_TRUE(IsFreshLayer(w->fxLayer, 800, 600));
  std::vector<std::string> expected = IntakeLines(800, 600);
  expected.push_back("cancel detected");
  EXPECT_EQ(TestSeams::LogLines(), expected);
}

// Apply pressed while no picture was loaded (a refused image leaves Apply
// visible) must not turn the next image into its own empty preview layer.
TEST_F(ImageIoTest, PendingApplyIsClearedByAnAcceptedImage) {
  Drop(MakeRef<Picture>(99, 99), nullptr);
  ASSERT_TRUE(w->pic.IsNil());
  w->applyFX = true;
  const Color red = RGB(200, 10, 10);
  const auto data = SolidPicture(800, 600, red);

  Drop(data, nullptr);

  EXPECT_FALSE(w->applyFX);
  EXPECT_EQ(w->pic, data);
  EXPECT_NE(w->fxLayer, w->pic);
  EXPECT_EQ(TestSeams::CanvasImage(*w->MainCanvas())->RGBSurface().Pixel(55 + 400, 23 + 300), red);
  w->MainCanvas()->Refresh(true);
  EXPECT_EQ(w->pic, data);
  EXPECT_EQ(TestSeams::CanvasImage(*w->MainCanvas())->RGBSurface().Pixel(55 + 400, 23 + 300), red);
}

}  // namespace
