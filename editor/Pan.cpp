// Pan by dragging on the canvas. The movement is measured on the screen, so
// a drag of 40 pixels moves the picture 40 canvas pixels at any zoom.
#include "editor/MainWindow.h"
#include "framework/System.h"

bool MainWindow::MainCanvas_MouseDown(Canvas& sender, std::int64_t, std::int64_t) {
  sender.SetMouseCursor(System::Cursors::HandOpen);
  mX = System::MouseX();
  mY = System::MouseY();
  return true;
}

void MainWindow::MainCanvas_MouseDrag(Canvas&, std::int64_t, std::int64_t) {
  if (!pic) return;
  draggedFlag = true;
  mXDelta = System::MouseX() - mX;
  mYDelta = System::MouseY() - mY;
  MainCanvas()->Refresh(true);
}

// A release without a drag changes nothing, and the open hand stays.
void MainWindow::MainCanvas_MouseUp(Canvas& sender, std::int64_t, std::int64_t) {
  if (!draggedFlag) return;
  draggedFlag = false;
  sender.SetMouseCursor(System::Cursors::StandardPointer);
  mX = 0;
  mY = 0;
  permOffsetX += mXDelta;
  permOffsetY += mYDelta;
  mXDelta = 0;
  mYDelta = 0;
  MainCanvas()->Refresh(true);
}
