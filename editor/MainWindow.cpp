#include "editor/MainWindow.h"

#include "framework/Exceptions.h"
#include "framework/Numbers.h"

// The edit state starts at its member initialisers: ZoomFactor 1.0, every
// other number 0, every flag False, both pictures nil.
MainWindow::MainWindow() : Window(kClassName) {}

// pic is released before fxLayer, the reverse of what member destruction
// would do.
MainWindow::~MainWindow() {
  pic = nullptr;
  fxLayer = nullptr;
}

void MainWindow::CreateControls() { CreateControls0(); }

bool& MainWindow::EffectTrigger(std::int64_t n) {
  static constexpr bool MainWindow::*kTriggers[] = {
      &MainWindow::triggerFX1, &MainWindow::triggerFX2,  &MainWindow::triggerFX3,
      &MainWindow::triggerFX4, &MainWindow::triggerFX5,  &MainWindow::triggerFX6,
      &MainWindow::triggerFX7, &MainWindow::triggerFX8,  &MainWindow::triggerFX9,
      &MainWindow::triggerFX10, &MainWindow::triggerFX11, &MainWindow::triggerFX12,
  };
  if (n < 1 || n > 12) throw OutOfBoundsException("no effect number " + Str(n));
  return this->*kTriggers[n - 1];
}

void MainWindow::SetEffectControlsVisible(bool visible) {
  FXSlider()->SetVisible(visible);
  ApplyButton()->SetVisible(visible);
  CancelButton()->SetVisible(visible);
}

void MainWindow::SetSuperglitchPairVisible(bool visible) {
  superGlitchModeCHK()->SetVisible(visible);
  superglitchLabel()->SetVisible(visible);
}

Ref<Picture> MainWindow::FreshLayer() const { return MakeRef<Picture>(pic->Width(), pic->Height()); }

Ref<class MainWindow> MainWindow() { return ImplicitInstance<class MainWindow>(MainWindow::kClassName); }
