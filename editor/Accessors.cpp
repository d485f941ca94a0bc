// The control accessors: every use of a control goes through its name.
#include "editor/MainWindow.h"

Ref<GroupBox> MainWindow::Tools() const { return ControlAs<GroupBox>("Tools"); }
Ref<BevelButton> MainWindow::LoadButton() const { return ControlAs<BevelButton>("LoadButton"); }
Ref<BevelButton> MainWindow::SaveButton() const { return ControlAs<BevelButton>("SaveButton"); }
Ref<BevelButton> MainWindow::FX1() const { return ControlAs<BevelButton>("FX1"); }
Ref<BevelButton> MainWindow::FX2() const { return ControlAs<BevelButton>("FX2"); }
Ref<BevelButton> MainWindow::FX3() const { return ControlAs<BevelButton>("FX3"); }
Ref<BevelButton> MainWindow::FX4() const { return ControlAs<BevelButton>("FX4"); }
Ref<BevelButton> MainWindow::FX5() const { return ControlAs<BevelButton>("FX5"); }
Ref<BevelButton> MainWindow::FX6() const { return ControlAs<BevelButton>("FX6"); }
Ref<BevelButton> MainWindow::FX7() const { return ControlAs<BevelButton>("FX7"); }
Ref<BevelButton> MainWindow::FX8() const { return ControlAs<BevelButton>("FX8"); }
Ref<BevelButton> MainWindow::ButtonAbout() const { return ControlAs<BevelButton>("ButtonAbout"); }
Ref<BevelButton> MainWindow::FX9() const { return ControlAs<BevelButton>("FX9"); }
Ref<BevelButton> MainWindow::FX10() const { return ControlAs<BevelButton>("FX10"); }
Ref<BevelButton> MainWindow::FX11() const { return ControlAs<BevelButton>("FX11"); }
Ref<BevelButton> MainWindow::FX12() const { return ControlAs<BevelButton>("FX12"); }
Ref<Canvas> MainWindow::MainCanvas() const { return ControlAs<Canvas>("MainCanvas"); }
Ref<Timer> MainWindow::mainTimer() const { return ControlAs<Timer>("mainTimer"); }
Ref<Slider> MainWindow::FXSlider() const { return ControlAs<Slider>("FXSlider"); }
Ref<PushButton> MainWindow::ApplyButton() const { return ControlAs<PushButton>("ApplyButton"); }
Ref<PushButton> MainWindow::CancelButton() const { return ControlAs<PushButton>("CancelButton"); }
Ref<Label> MainWindow::ToolText() const { return ControlAs<Label>("ToolText"); }
Ref<CheckBox> MainWindow::superGlitchModeCHK() const { return ControlAs<CheckBox>("superGlitchModeCHK"); }
Ref<PushButton> MainWindow::ZoomInButton() const { return ControlAs<PushButton>("ZoomInButton"); }
Ref<Label> MainWindow::ZoomText() const { return ControlAs<Label>("ZoomText"); }
Ref<PushButton> MainWindow::ZoomOutButton() const { return ControlAs<PushButton>("ZoomOutButton"); }
Ref<Label> MainWindow::superglitchLabel() const { return ControlAs<Label>("superglitchLabel"); }
