// Apply, Cancel and the superglitch switch only record requests; the paint
// serves them.
#include "editor/MainWindow.h"
#include "framework/System.h"

void MainWindow::ApplyButton_Action(PushButton&) {
  applyFX = true;
  System::DebugLog("apply set to true");
  MainCanvas()->Refresh(true);
}

void MainWindow::CancelButton_Action(PushButton&) {
  cancelFX = true;
  System::DebugLog("cancel set to true");
  MainCanvas()->Refresh(true);
}

// Turning the switch off separates the working picture from the preview
// layer again after an apply made in superglitch mode. With the two already
// separate, an apply would make the empty transparent preview layer the
// working picture and lose the user's image, so it is requested only while
// they are one picture. No repaint: the timer's next paint serves it.
void MainWindow::superGlitchModeCHK_Action(CheckBox& sender) {
  switch (sender.State()) {
    case 0:
      superGlitchMode = false;
      if (pic && pic == fxLayer) applyFX = true;
      break;
    case 1:
      superGlitchMode = true;
      break;
    default:
      superGlitchMode = false;
      break;
  }
}
