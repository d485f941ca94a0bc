#include "editor/MainWindow.h"

void MainWindow::SaveButton_Action(BevelButton&) {}
