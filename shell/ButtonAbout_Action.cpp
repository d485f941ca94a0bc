#include "editor/MainWindow.h"
#include "shell/AboutPixelmoth.h"

// Modeless: the editor stays usable beside the about window.
void MainWindow::ButtonAbout_Action(BevelButton&) {
  Ref<class AboutPixelmoth> about = AboutPixelmoth();
  about->Show();
}
