// Zoom in steps of 1.2 by the buttons and by holding the minus or equals key;
// a step landing close to 100 % snaps to exactly 1.0.
#include "editor/MainWindow.h"
#include "framework/Numbers.h"
#include "framework/System.h"

namespace {
constexpr double kZoomStep = 1.2;
// Both bounds excluded; narrower than one step, so a run of steps can pass it.
constexpr double kSnapLow = 0.91;
constexpr double kSnapHigh = 1.09;
}  // namespace

void MainWindow::ZoomStep(ZoomDirection direction, SnapLine snapLine) {
  System::DebugLog(direction == ZoomDirection::In ? "zoom in" : "zoom out");
  mXDelta = 0;
  mYDelta = 0;
  const double next = direction == ZoomDirection::In ? ZoomFactor * kZoomStep : ZoomFactor / kZoomStep;
  if (next > kSnapLow && next < kSnapHigh) {
    if (snapLine == SnapLine::Written) System::DebugLog("---> triggered snap to 100%");
    ZoomFactor = 1.0;
  } else {
    ZoomFactor = next;
  }
  MainCanvas()->Refresh(true);
  System::DebugLog(Str(ZoomFactor));
}

void MainWindow::ZoomInButton_Action(PushButton&) { ZoomStep(ZoomDirection::In, SnapLine::Written); }
void MainWindow::ZoomOutButton_Action(PushButton&) { ZoomStep(ZoomDirection::Out, SnapLine::Written); }

// Every tick polls both keys, out before in, and repaints whatever happened:
// this repaint is what serves requests that no handler repainted for.
void MainWindow::mainTimer_Action(Timer&) {
  if (Keyboard::AsyncKeyDown(Keyboard::kMinusKey)) ZoomStep(ZoomDirection::Out, SnapLine::Silent);
  if (Keyboard::AsyncKeyDown(Keyboard::kEqualsKey)) ZoomStep(ZoomDirection::In, SnapLine::Silent);
  MainCanvas()->Refresh(true);
}
