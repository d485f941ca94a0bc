#include "imageio/Intake.h"

#include <cstdint>

#include "editor/MainWindow.h"
#include "framework/Numbers.h"
#include "framework/System.h"
#include "imageio/Fit.h"
#include "render/View.h"

namespace {
constexpr double kMinSide = 100;
constexpr double kMaxSide = 6000;

// Both bounds included. Reads only the size, so a picture that was measured
// but never decoded is refused as cheaply as any other.
bool WithinSizeLimits(const Picture& p) {
  const double h = static_cast<double>(p.Height());
  const double w = static_cast<double>(p.Width());
  return !(Min(h, w) < kMinSide || Max(h, w) > kMaxSide);
}

void ResetForFreshImage(class MainWindow& w) {
  w.ZoomFactor = 1.0;
  w.originalPicW = w.pic->Width();
  w.originalPicH = w.pic->Height();
  w.picX = 0;
  w.picY = 0;
  w.mXDelta = 0;
  w.mYDelta = 0;
  w.SetEffectControlsVisible(false);
  w.currentTool = 0;
  for (std::int64_t n = 1; n <= 12; ++n) w.EffectTrigger(n) = false;
  w.SetSuperglitchPairVisible(true);
  w.ToolText()->SetText("");
  // An apply left pending from a time without a picture (Apply pressed after
  // a refused image) would make the fresh, empty preview layer the working
  // picture, and the new image would vanish. A pending cancel is harmless.
  w.applyFX = false;
}
}  // namespace

void ImageIntake(class MainWindow& w, const Ref<FolderItem>& file) {
  // Before the size check: a refused image still names itself.
  if (file) MainWindow()->SetTitle("Mothwick - " + file->DisplayName());

  if (!WithinSizeLimits(*w.pic)) {
    w.pic = nullptr;
    MsgBox(kImageSizeMessage);
    return;
  }

  ResetForFreshImage(w);
  w.zW = ZoomedSize(w.pic->Width(), w.ZoomFactor);
  w.zH = ZoomedSize(w.pic->Height(), w.ZoomFactor);
  System::DebugLog("-----");
  System::DebugLog(Str(w.zW));
  System::DebugLog(Str(w.zH));
  System::DebugLog("-----");
  w.ZoomText()->SetText(ZoomCaption(w.ZoomFactor));
  FitIntoCanvas(w);
  w.fxLayer = w.FreshLayer();
  w.MainCanvas()->Refresh(true);
}
