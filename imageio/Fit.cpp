#include "imageio/Fit.h"

#include <cstdint>

#include "editor/MainWindow.h"
#include "framework/Numbers.h"
#include "render/View.h"

void FitIntoCanvas(class MainWindow& w) {
  const std::int64_t cw = w.MainCanvas()->Width();
  const std::int64_t ch = w.MainCanvas()->Height();
  if (w.zW <= cw && w.zH <= ch) {
    w.theLeft = CentredOffset(cw, w.zW);
    w.theTop = CentredOffset(ch, w.zH);
    return;
  }
  w.ZoomFactor = Min(static_cast<double>(cw) / static_cast<double>(w.zW),
                     static_cast<double>(ch) / static_cast<double>(w.zH));
  w.theLeft = FittedCentredOffset(cw, w.pic->Width(), w.ZoomFactor);
  w.theTop = FittedCentredOffset(ch, w.pic->Height(), w.ZoomFactor);
}
