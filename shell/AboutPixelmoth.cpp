#include "shell/AboutPixelmoth.h"

#include "editor/MainWindow.h"

AboutPixelmoth::AboutPixelmoth() : Window(kClassName) {}
void AboutPixelmoth::Layout() {}
void AboutPixelmoth::CreateControls() { CreateControls0(); }
void AboutPixelmoth::CreateControls0() {}
Ref<Label> AboutPixelmoth::Label1() const { return ControlAs<Label>("Label1"); }
Ref<Label> AboutPixelmoth::Label2() const { return ControlAs<Label>("Label2"); }

Ref<class AboutPixelmoth> AboutPixelmoth() { return ImplicitInstance<class AboutPixelmoth>(AboutPixelmoth::kClassName); }

void MainWindow::ButtonAbout_Action(BevelButton&) {}
