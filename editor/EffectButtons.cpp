// The effect buttons select an effect and request its preview; the slider
// requests the selected effect's preview again. Neither touches a picture.
#include "editor/MainWindow.h"

void MainWindow::SelectEffect(std::int64_t n) {
  if (!pic) return;
  SetSuperglitchPairVisible(false);
  FXSlider()->Invalidate(false);
  FXSlider()->SetValue(20);
  EffectTrigger(n) = true;
  currentTool = n;
  SetEffectControlsVisible(true);
  MainCanvas()->Refresh(true);
}

void MainWindow::FX1_Action(BevelButton&) { SelectEffect(1); }
void MainWindow::FX2_Action(BevelButton&) { SelectEffect(2); }
void MainWindow::FX3_Action(BevelButton&) { SelectEffect(3); }
void MainWindow::FX4_Action(BevelButton&) { SelectEffect(4); }
void MainWindow::FX5_Action(BevelButton&) { SelectEffect(5); }
void MainWindow::FX6_Action(BevelButton&) { SelectEffect(6); }
void MainWindow::FX7_Action(BevelButton&) { SelectEffect(7); }
void MainWindow::FX8_Action(BevelButton&) { SelectEffect(8); }
void MainWindow::FX9_Action(BevelButton&) { SelectEffect(9); }
void MainWindow::FX10_Action(BevelButton&) { SelectEffect(10); }
void MainWindow::FX11_Action(BevelButton&) { SelectEffect(11); }
void MainWindow::FX12_Action(BevelButton&) { SelectEffect(12); }

// The new strength reaches the effect through the paint, which reads the
// slider's value when it computes the preview.
void MainWindow::FXSlider_ValueChanged(Slider&) {
  if (currentTool >= 1 && currentTool <= 12) EffectTrigger(currentTool) = true;
  MainCanvas()->Refresh(true);
}
