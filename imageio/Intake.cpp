#include "editor/MainWindow.h"

void MainWindow::LoadButton_Action(BevelButton&) {}
void MainWindow::MainCanvas_DropObject(Canvas&, DragItem&, std::int64_t) {}
Ref<Picture> MainWindow::ConvertToAlphaPicture(Ref<Picture> p) { return p; }
