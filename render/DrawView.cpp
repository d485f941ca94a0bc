#include "render/DrawView.h"

#include "editor/MainWindow.h"
#include "render/View.h"

PaintSurfaces DrawView(class MainWindow& w, Graphics& g) {
  w.zW = ZoomedSize(w.pic->Width(), w.ZoomFactor);
  w.zH = ZoomedSize(w.pic->Height(), w.ZoomFactor);
  PaintSurfaces surfaces{w.pic->RGBSurface(), w.fxLayer->RGBSurface()};

  const Ref<Canvas> canvas = w.MainCanvas();
  w.theLeft = CentredOffset(canvas->Width(), w.zW);
  w.theTop = CentredOffset(canvas->Height(), w.zH);
  const auto x = static_cast<double>(
      DrawingPosition(w.theLeft, w.picX, w.mXDelta, w.permOffsetX, w.ZoomCorrectionX, w.ZoomFactor));
  const auto y = static_cast<double>(
      DrawingPosition(w.theTop, w.picY, w.mYDelta, w.permOffsetY, w.ZoomCorrectionY, w.ZoomFactor));

  // At exactly 100 % the source is the whole picture, left out; otherwise
  // the working picture's size, for the preview layer as well.
  const bool unscaled = IsUnscaled(w.ZoomFactor);
  const double sourceWidth = unscaled ? Graphics::kLeftOut : static_cast<double>(w.pic->Width());
  const double sourceHeight = unscaled ? Graphics::kLeftOut : static_cast<double>(w.pic->Height());
  const auto destWidth = static_cast<double>(w.zW);
  const auto destHeight = static_cast<double>(w.zH);
  g.DrawPicture(w.pic, x, y, destWidth, destHeight, 0, 0, sourceWidth, sourceHeight);
  g.DrawPicture(w.fxLayer, x, y, destWidth, destHeight, 0, 0, sourceWidth, sourceHeight);
  return surfaces;
}
