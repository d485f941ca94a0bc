#include "render/ApplyCancel.h"

#include "editor/MainWindow.h"
#include "framework/System.h"

namespace {
// Apply, then the slider, then Cancel: the services hide them in this order,
// unlike the intake and the canvas's Open event.
void ShowNoEffectSelected(class MainWindow& w) {
  w.ApplyButton()->SetVisible(false);
  w.FXSlider()->SetVisible(false);
  w.CancelButton()->SetVisible(false);
  w.currentTool = 0;
  w.ToolText()->SetText("");
}
}  // namespace

void ApplyPreview(class MainWindow& w, PaintSurfaces& surfaces) {
  w.SetSuperglitchPairVisible(true);
  System::DebugLog("apply detected");
  surfaces.picSurf = surfaces.fxSurf;
  w.pic = w.fxLayer;
  if (!w.superGlitchMode) w.fxLayer = w.FreshLayer();
  ShowNoEffectSelected(w);
  w.applyFX = false;
  w.MainCanvas()->Refresh(true);
}

void CancelPreview(class MainWindow& w) {
  w.fxLayer = w.FreshLayer();
  w.SetSuperglitchPairVisible(true);
  System::DebugLog("cancel detected");
  ShowNoEffectSelected(w);
  w.cancelFX = false;
  w.MainCanvas()->Refresh(true);
}
