#include "editor/MainWindow.h"

void MainWindow::MainCanvas_Paint(Canvas&, Graphics&, const std::vector<Rect>&) {}
