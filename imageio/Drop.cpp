#include "editor/MainWindow.h"
#include "imageio/Intake.h"

// A dropped picture is taken as it comes, with or without an alpha channel.
void MainWindow::MainCanvas_DropObject(Canvas&, DragItem& obj, std::int64_t) {
  if (obj.PictureAvailable()) {
    pic = obj.Picture();
  } else if (obj.FolderItemAvailable()) {
    pic = Picture::Open(*obj.FolderItem());
  }
  // With neither, pic keeps its value: a loaded picture goes through the
  // intake again.
  if (!pic) {
    MsgBox(kNotAnImageMessage);
    return;
  }
  // The title names the dropped file also when the pixels came as data.
  ImageIntake(*this, obj.FolderItem());
}
