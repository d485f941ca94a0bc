#include "render/ApplyCancel.h"

#include "editor/MainWindow.h"
#include "framework/System.h"

namespace {
Ref<Picture> FreshLayerFor(const Ref<Picture>& pic) { return MakeRef<Picture>(pic->Width(), pic->Height()); }

void ShowSuperglitchSwitch(class MainWindow& w) {
  w.superGlitchModeCHK()->SetVisible(true);
  w.superglitchLabel()->SetVisible(true);
}

void ShowNoEffectSelected(class MainWindow& w) {
  w.ApplyButton()->SetVisible(false);
  w.FXSlider()->SetVisible(false);
  w.CancelButton()->SetVisible(false);
  w.currentTool = 0;
  w.ToolText()->SetText("");
}
}  // namespace

void ApplyPreview(class MainWindow& w, PaintSurfaces& surfaces) {
  ShowSuperglitchSwitch(w);
  System::DebugLog("apply detected");
  surfaces.picSurf = surfaces.fxSurf;
  w.pic = w.fxLayer;
  if (!w.superGlitchMode) w.fxLayer = FreshLayerFor(w.pic);
  ShowNoEffectSelected(w);
  w.applyFX = false;
  w.MainCanvas()->Refresh(true);
}

void CancelPreview(class MainWindow& w) {
  w.fxLayer = FreshLayerFor(w.pic);
  ShowSuperglitchSwitch(w);
  System::DebugLog("cancel detected");
  ShowNoEffectSelected(w);
  w.cancelFX = false;
  w.MainCanvas()->Refresh(true);
}
