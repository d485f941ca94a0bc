#include "editor/MainWindow.h"

MainWindow::MainWindow() : Window(kClassName) {}
MainWindow::~MainWindow() = default;
void MainWindow::Layout() {}
void MainWindow::CreateControls() { CreateControls0(); }
void MainWindow::CreateControls0() {}

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

void MainWindow::FX1_Action(BevelButton&) {}
void MainWindow::FX2_Action(BevelButton&) {}
void MainWindow::FX3_Action(BevelButton&) {}
void MainWindow::FX4_Action(BevelButton&) {}
void MainWindow::FX5_Action(BevelButton&) {}
void MainWindow::FX6_Action(BevelButton&) {}
void MainWindow::FX7_Action(BevelButton&) {}
void MainWindow::FX8_Action(BevelButton&) {}
void MainWindow::FX9_Action(BevelButton&) {}
void MainWindow::FX10_Action(BevelButton&) {}
void MainWindow::FX11_Action(BevelButton&) {}
void MainWindow::FX12_Action(BevelButton&) {}
void MainWindow::MainCanvas_GotFocus(Canvas&) {}
void MainWindow::MainCanvas_Open(RectControl&) {}
bool MainWindow::MainCanvas_MouseDown(Canvas&, std::int64_t, std::int64_t) { return true; }
void MainWindow::MainCanvas_MouseDrag(Canvas&, std::int64_t, std::int64_t) {}
void MainWindow::MainCanvas_MouseUp(Canvas&, std::int64_t, std::int64_t) {}
void MainWindow::mainTimer_Action(Timer&) {}
void MainWindow::FXSlider_ValueChanged(Slider&) {}
void MainWindow::ApplyButton_Action(PushButton&) {}
void MainWindow::CancelButton_Action(PushButton&) {}
void MainWindow::superGlitchModeCHK_Action(CheckBox&) {}
void MainWindow::ZoomInButton_Action(PushButton&) {}
void MainWindow::ZoomOutButton_Action(PushButton&) {}
void MainWindow::Event_Open() {}
void MainWindow::Event_Resized() {}
bool& MainWindow::EffectTrigger(std::int64_t) { return triggerFX1; }

Ref<class MainWindow> MainWindow() { return ImplicitInstance<class MainWindow>(MainWindow::kClassName); }
