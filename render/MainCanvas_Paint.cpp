#include "editor/MainWindow.h"
#include "render/ApplyCancel.h"
#include "render/DrawView.h"
#include "render/EffectBlocks.h"
#include "render/PaintCycle.h"
#include "render/View.h"

void PaintCycle(class MainWindow& w, Graphics& g, const EffectTable& effects) {
  // No picture: nothing drawn, the caption kept, every request left pending.
  if (!w.pic) return;
  PaintSurfaces surfaces = DrawView(w, g);
  w.ZoomText()->SetText(ZoomCaption(w.ZoomFactor));
  if (w.applyFX) ApplyPreview(w, surfaces);
  if (w.cancelFX) CancelPreview(w);
  RunEffectBlocks(w, surfaces, effects);
}

void MainWindow::MainCanvas_Paint(Canvas&, Graphics& g, const std::vector<Rect>&) {
  PaintCycle(*this, g, kEffects);
}
