// The state the canvas's Open event leaves: no effect selected, the effect
// controls hidden and the superglitch switch shown.
#include "editor/MainWindow.h"

void MainWindow::MainCanvas_Open(Canvas& sender) {
  sender.AcceptPictureDrop();
  sender.AcceptFileDrop("image/jpeg");
  SetEffectControlsVisible(false);
  SetSuperglitchPairVisible(true);
  currentTool = 0;
}

void MainWindow::MainCanvas_GotFocus(Canvas&) {}
