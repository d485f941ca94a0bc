#include "editor/MainWindow.h"

Ref<Picture> MainWindow::ConvertToAlphaPicture(Ref<Picture> p) {
  if (p->HasAlphaChannel()) return p;

  auto withAlpha = MakeRef<Picture>(p->Width(), p->Height());
  withAlpha->SetHorizontalResolution(p->HorizontalResolution());
  withAlpha->SetVerticalResolution(p->VerticalResolution());
  Graphics g = withAlpha->Graphics();
  g.DrawPicture(p, 0, 0);
  return withAlpha;
}
