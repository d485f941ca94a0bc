#include "editor/MainWindow.h"
#include "imageio/Intake.h"

void MainWindow::LoadButton_Action(BevelButton&) {
  OpenDialog dialog;
  const Ref<FolderItem> file = dialog.ShowModal();
  if (!file) return;

  const Ref<Picture> decoded = Picture::Open(*file);
  if (!decoded) {
    pic = nullptr;
    MsgBox(kNotAnImageMessage);
    return;
  }
  pic = ConvertToAlphaPicture(decoded);
  ImageIntake(*this, file);
}
