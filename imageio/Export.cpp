#include <cstdint>

#include "editor/MainWindow.h"
#include "framework/Numbers.h"
#include "framework/System.h"
#include "render/View.h"

namespace {
constexpr const char* kPreviewOpenMessage = "Please, apply or cancel effect before saving.";
constexpr const char* kNotSavedMessage = "The image could not be saved.";

void LogCanvasSize(const class MainWindow& w) {
  System::DebugLog(Str(w.canvasWbuffer));
  System::DebugLog(Str(w.canvasHbuffer));
}
}  // namespace

// Writes what the canvas shows of the working picture at 100 %, at the size
// the picture had when it was loaded. The view stays at 100 % afterwards.
void MainWindow::SaveButton_Action(BevelButton&) {
  if (!pic) return;
  if (ApplyButton()->Visible()) {
    MsgBox(kPreviewOpenMessage);
    return;
  }

  canvasWbuffer = MainCanvas()->Width();
  canvasHbuffer = MainCanvas()->Height();
  LogCanvasSize(*this);
  MainCanvas()->SetWidth(originalPicW);
  MainCanvas()->SetHeight(originalPicH);
  ZoomFactor = 1.0;
  MainCanvas()->Refresh(true);

  // Shifted so that the picture's top-left corner lands on the capture's,
  // whatever the pan.
  auto capture = MakeRef<Picture>(pic->Width(), pic->Height());
  Graphics g = capture->Graphics();
  const std::int64_t x = DrawingPosition(theLeft, picX, mXDelta, permOffsetX, ZoomCorrectionX, ZoomFactor);
  const std::int64_t y = DrawingPosition(theTop, picY, mYDelta, permOffsetY, ZoomCorrectionY, ZoomFactor);
  MainCanvas()->DrawInto(g, -x, -y);

  // A write that fails leaves any file already there as it was; say so rather
  // than let it pass for a save. The canvas is restored either way.
  const Ref<FolderItem> file = GetSaveFolderItem("image/jpeg,png", "myPicture.jpeg");
  if (file && !capture->Save(*file, Picture::SaveAsJPEG, 100)) MsgBox(kNotSavedMessage);

  MainCanvas()->SetWidth(canvasWbuffer);
  MainCanvas()->SetHeight(canvasHbuffer);
  LogCanvasSize(*this);
  MainCanvas()->Refresh(true);
}
