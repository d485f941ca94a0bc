#include "tests/support/EditorFixture.h"

#include <sstream>

#include "framework/Numbers.h"
#include "framework/TestSeams.h"

void EditorFixture::SetUp() {
  EditorTest::SetUp();
  // Hooked after the window's own paint handler, so it runs at the end of a paint.
  std::shared_ptr<std::function<void()>> slot = insidePaint_;
  w->MainCanvas()->Paint.AddHandler([slot](Canvas&, Graphics&, const std::vector<Rect>&) {
    std::function<void()> f = std::move(*slot);
    *slot = nullptr;
    if (f) f();
  });
  TestSeams::ClearLog();
}

void EditorFixture::DuringPaint(const std::function<void()>& f) {
  bool finished = false;
  *insidePaint_ = [&] {
    ASSERT_TRUE(w->MainCanvas()->IsPainting());
    f();
    finished = true;
  };
  w->MainCanvas()->Refresh(true);
  *insidePaint_ = nullptr;
  EXPECT_TRUE(finished) << "the code under test did not run to its end inside the paint";
}

std::vector<std::string> EditorFixture::Log() const { return TestSeams::LogLines(); }

std::vector<std::string> EditorFixture::Snapshot(std::initializer_list<std::string> leftOut) const {
  const class MainWindow& m = *w;
  std::vector<std::string> lines;
  auto add = [&](const std::string& name, const auto& value) {
    for (const std::string& n : leftOut)
      if (n == name) return;
    std::ostringstream s;
    s << name << " = " << value;
    lines.push_back(s.str());
  };
  add("pic", static_cast<const void*>(m.pic.Get()));
  add("originalPicW", m.originalPicW);
  add("originalPicH", m.originalPicH);
  add("picX", m.picX);
  add("picY", m.picY);
  add("canvasHbuffer", m.canvasHbuffer);
  add("canvasWbuffer", m.canvasWbuffer);
  add("ZoomFactor", Str(m.ZoomFactor));
  add("zW", m.zW);
  add("zH", m.zH);
  add("theLeft", m.theLeft);
  add("theTop", m.theTop);
  add("mX", m.mX);
  add("mY", m.mY);
  add("mXDelta", m.mXDelta);
  add("mYDelta", m.mYDelta);
  add("ZoomCorrectionX", m.ZoomCorrectionX);
  add("ZoomCorrectionY", m.ZoomCorrectionY);
  add("fxLayer", static_cast<const void*>(m.fxLayer.Get()));
  add("triggerDUMPVARS", m.triggerDUMPVARS);
  add("draggedFlag", m.draggedFlag);
  add("permOffsetX", m.permOffsetX);
  add("permOffsetY", m.permOffsetY);
  add("currentTool", m.currentTool);
  add("Progress", m.Progress);
  add("applyFX", m.applyFX);
  add("superGlitchMode", m.superGlitchMode);
  add("cancelFX", m.cancelFX);
  for (int n = 1; n <= 12; ++n) add("triggerFX" + std::to_string(n), w->EffectTrigger(n));
  add("FXSlider.Visible", m.FXSlider()->Visible());
  add("FXSlider.Value", m.FXSlider()->Value());
  add("ApplyButton.Visible", m.ApplyButton()->Visible());
  add("CancelButton.Visible", m.CancelButton()->Visible());
  add("superGlitchModeCHK.Visible", m.superGlitchModeCHK()->Visible());
  add("superGlitchModeCHK.State", m.superGlitchModeCHK()->State());
  add("superglitchLabel.Visible", m.superglitchLabel()->Visible());
  add("ToolText.Text", m.ToolText()->Text());
  add("ZoomText.Text", m.ZoomText()->Text());
  add("MainCanvas.MouseCursor", m.MainCanvas()->MouseCursor().id);
  add("paints", Paints());
  return lines;
}
