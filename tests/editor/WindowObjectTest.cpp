// The main window object: the one shared instance, the initial edit state,
// the triggers by number, and what the window releases when it goes.
#include <memory>

#include "framework/Exceptions.h"
#include "framework/TestSeams.h"
#include "tests/support/EditorFixture.h"

namespace {

using WindowObjectTest = EditorFixture;

TEST_F(WindowObjectTest, AccessorGivesTheOneWindowAndASecondCallRebuildsNothing) {
  ASSERT_FALSE(w.IsNil());
  EXPECT_EQ(GetImplicitWindow(MainWindow::kClassName).Get(), w.Get());
  const Ref<Canvas> canvas = w->MainCanvas();
  const std::size_t controls = w->Controls().size();
  w->ZoomFactor = 2.0;
  w->permOffsetX = 17;
  w->currentTool = 4;

  const Ref<class MainWindow> again = MainWindow();

  EXPECT_EQ(again.Get(), w.Get());
  EXPECT_EQ(w->Controls().size(), controls);
  EXPECT_EQ(w->MainCanvas().Get(), canvas.Get());
  EXPECT_EQ(w->ZoomFactor, 2.0);
  EXPECT_EQ(w->permOffsetX, 17);
  EXPECT_EQ(w->currentTool, 4);
}

TEST_F(WindowObjectTest, NewWindowStartsWithZoomOneAndEverythingElseClear) {
  const class MainWindow& m = *w;
  EXPECT_EQ(m.ZoomFactor, 1.0);  // exactly
  EXPECT_TRUE(m.pic.IsNil());
  EXPECT_TRUE(m.fxLayer.IsNil());
  for (std::int64_t v : {m.originalPicW, m.originalPicH, m.picX, m.picY, m.canvasHbuffer, m.canvasWbuffer,
                         m.zW, m.zH, m.theLeft, m.theTop, m.mX, m.mY, m.mXDelta, m.mYDelta,
                         m.ZoomCorrectionX, m.ZoomCorrectionY, m.permOffsetX, m.permOffsetY,
                         m.currentTool, m.Progress})
    EXPECT_EQ(v, 0);
  for (bool b : {m.triggerDUMPVARS, m.draggedFlag, m.applyFX, m.superGlitchMode, m.cancelFX})
    EXPECT_FALSE(b);
  for (int n = 1; n <= 12; ++n) EXPECT_FALSE(w->EffectTrigger(n)) << "triggerFX" << n;
}

TEST_F(WindowObjectTest, EffectTriggerNamesTheTriggerOfEachNumber) {
  bool MainWindow::*const triggers[] = {
      &MainWindow::triggerFX1, &MainWindow::triggerFX2,  &MainWindow::triggerFX3,
      &MainWindow::triggerFX4, &MainWindow::triggerFX5,  &MainWindow::triggerFX6,
      &MainWindow::triggerFX7, &MainWindow::triggerFX8,  &MainWindow::triggerFX9,
      &MainWindow::triggerFX10, &MainWindow::triggerFX11, &MainWindow::triggerFX12,
  };
  for (int n = 1; n <= 12; ++n) EXPECT_EQ(&w->EffectTrigger(n), &(w.Get()->*triggers[n - 1])) << n;
  EXPECT_THROW(w->EffectTrigger(0), OutOfBoundsException);
  EXPECT_THROW(w->EffectTrigger(13), OutOfBoundsException);
}

TEST_F(WindowObjectTest, ControlAccessorOnNilWindowThrows) {
  const Ref<class MainWindow> none;
  EXPECT_THROW(none->MainCanvas(), NilObjectException);
}

// After an apply in superglitch mode both properties hold one picture; the
// window releases it once per property, so it is freed exactly once.
TEST_F(WindowObjectTest, ClosingAndDroppingTheWindowReleasesBothPictures) {
  struct Case {
    const char* name;
    bool aliased;
  };
  for (const Case c : {Case{"separate", false}, Case{"one picture", true}}) {
    SCOPED_TRACE(c.name);
    if (w.IsNil()) w = MainWindow();
    GivePicture(SolidPicture(120, 100, RGB(10, 20, 30)));
    if (c.aliased) w->fxLayer = w->pic;
    const std::weak_ptr<Picture> pic = w->pic.Shared();
    const std::weak_ptr<Picture> layer = w->fxLayer.Shared();
    EXPECT_EQ(pic.use_count(), c.aliased ? 2 : 1);
    const std::weak_ptr<Window> window = std::static_pointer_cast<Window>(w.Shared());

    w->Close();
    w = nullptr;

    EXPECT_TRUE(window.expired()) << "something still holds the closed window";
    EXPECT_TRUE(pic.expired());
    EXPECT_TRUE(layer.expired());
  }
}

}  // namespace
