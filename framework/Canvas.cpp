// The canvas: its Paint event draws into a backing store that the toolkit's
// own paint only puts on screen, so when a paint runs is up to the framework's
// rules (see Controls.h), never up to the toolkit.
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFocusEvent>
#include <QMimeData>
#include <QMimeDatabase>
#include <QMouseEvent>
#include <QPainter>
#include <QUrl>
#include <QWidget>

#include <algorithm>
#include <cmath>

#include "framework/ControlImpl.h"
#include "framework/Controls.h"
#include "framework/Dialogs.h"
#include "framework/QtImage.h"
#include "framework/WindowImpl.h"

namespace {
// Follow-up paints asked for inside paints, run one after another at most;
// one asked for beyond them waits for the event loop, so a paint that always
// asks for another never starves the user's input.
constexpr int kMaxFollowUps = 64;

struct Depth {
  explicit Depth(int& d) : depth(d) { ++depth; }
  ~Depth() { --depth; }
  int& depth;
};

class CanvasWidget : public QWidget {
 public:
  explicit CanvasWidget(QWidget* parent) : QWidget(parent) { setFocusPolicy(Qt::NoFocus); }
  CanvasImpl* impl = nullptr;

 protected:
  void paintEvent(QPaintEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void focusInEvent(QFocusEvent* e) override;
  void dragEnterEvent(QDragEnterEvent* e) override;
  void dragMoveEvent(QDragMoveEvent* e) override;
  void dropEvent(QDropEvent* e) override;

 private:
  // What a drag carries stays the same while it moves over the canvas:
  // judged once, when it enters.
  bool dragAccepted = false;
};

std::int64_t Coord(double v) { return static_cast<std::int64_t>(std::floor(v)); }

std::int64_t DragAction(Qt::DropAction a) {
  switch (a) {
    case Qt::CopyAction: return 1;
    case Qt::MoveAction: return 2;
    case Qt::LinkAction: return 3;
    default: return 0;
  }
}

void CanvasWidget::paintEvent(QPaintEvent*) {
  if (!impl) return;
  QPainter p(this);
  if (!impl->transparent && impl->window) p.fillRect(rect(), impl->window->Impl().Background(*this));
  if (!impl->store) return;
  const PixelBuffer& s = *impl->store;
  // The screen image is made again only when the store's size has changed.
  if (impl->screen.width() != s.width || impl->screen.height() != s.height) {
    impl->screen = QImage(static_cast<int>(s.width), static_cast<int>(s.height), QImage::Format_ARGB32_Premultiplied);
    impl->screenStale = true;
  }
  if (impl->screenStale) {
    fw::CopyToScreenImage(s, impl->screen);
    impl->screenStale = false;
  }
  p.drawImage(0, 0, impl->screen);
}

void CanvasWidget::mousePressEvent(QMouseEvent* e) {
  e->accept();
  if (!impl || e->button() != Qt::LeftButton) return;
  CanvasImpl& c = *impl;
  fw::FromToolkit(c, [&] {
    c.tracking = false;
    c.tracking = c.canvas.MouseDown.Raise(c.canvas, Coord(e->position().x()), Coord(e->position().y()));
  });
}

void CanvasWidget::mouseMoveEvent(QMouseEvent* e) {
  e->accept();
  if (!impl || !impl->tracking || !(e->buttons() & Qt::LeftButton)) return;
  CanvasImpl& c = *impl;
  fw::FromToolkit(c, [&] { c.canvas.MouseDrag.Raise(c.canvas, Coord(e->position().x()), Coord(e->position().y())); });
}

void CanvasWidget::mouseReleaseEvent(QMouseEvent* e) {
  e->accept();
  if (!impl || !impl->tracking || e->button() != Qt::LeftButton) return;
  CanvasImpl& c = *impl;
  c.tracking = false;
  fw::FromToolkit(c, [&] { c.canvas.MouseUp.Raise(c.canvas, Coord(e->position().x()), Coord(e->position().y())); });
}

void CanvasWidget::focusInEvent(QFocusEvent* e) {
  QWidget::focusInEvent(e);
  if (!impl) return;
  CanvasImpl& c = *impl;
  fw::FromToolkit(c, [&] { c.canvas.GotFocus.Raise(c.canvas); });
}

void CanvasWidget::dragEnterEvent(QDragEnterEvent* e) {
  dragAccepted = impl && impl->Accepts(e->mimeData());
  dragMoveEvent(e);
}

void CanvasWidget::dragMoveEvent(QDragMoveEvent* e) {
  if (impl && dragAccepted) {
    e->acceptProposedAction();
  } else {
    e->ignore();
  }
}

// The first dropped local file whose type the canvas accepts, or empty.
QString AcceptedFile(const QMimeData* mime, const std::vector<std::string>& types) {
  if (types.empty() || !mime->hasUrls()) return QString();
  QMimeDatabase db;
  for (const QUrl& url : mime->urls()) {
    if (!url.isLocalFile()) continue;
    const QString path = url.toLocalFile();
    const QMimeType type = db.mimeTypeForFile(path);
    for (const std::string& t : types) {
      if (type.inherits(QString::fromStdString(t))) return path;
    }
  }
  return QString();
}

void CanvasWidget::dropEvent(QDropEvent* e) {
  if (!impl) return;
  CanvasImpl& c = *impl;
  const QMimeData* mime = e->mimeData();
  bool taken = false;
  fw::FromToolkit(c, [&] {
    // Picture data that cannot be read is still offered, as a nil picture,
    // so that the handler can say so.
    const bool pictureOffered = c.acceptPictureDrop && mime->hasImage();
    Ref<Picture> picture;
    if (pictureOffered) picture = fw::FromQImage(qvariant_cast<QImage>(mime->imageData()));
    Ref<FolderItem> file;
    const QString path = AcceptedFile(mime, c.acceptedFileTypes);
    if (!path.isEmpty()) file = MakeRef<FolderItem>(path.toStdString());
    if (!pictureOffered && !file) return;
    taken = true;
    DragItem item(picture, file, pictureOffered);
    c.canvas.DropObject.Raise(c.canvas, item, DragAction(e->dropAction()));
  });
  if (taken) {
    e->acceptProposedAction();
  } else {
    e->ignore();
  }
}
}  // namespace

// --- CanvasImpl --------------------------------------------------------------

CanvasImpl::CanvasImpl(Canvas& c, ::Window& w) : ControlImpl(w, "Canvas", new CanvasWidget(fw::HostFor(w))), canvas(c) {
  if (auto* cw = static_cast<CanvasWidget*>(widget.data())) cw->impl = this;
}

CanvasImpl::~CanvasImpl() {
  if (auto* cw = static_cast<CanvasWidget*>(widget.data())) cw->impl = nullptr;
}

bool CanvasImpl::Accepts(const QMimeData* mime) const {
  if (!mime) return false;
  if (acceptPictureDrop && mime->hasImage()) return true;
  return !AcceptedFile(mime, acceptedFileTypes).isEmpty();
}

void CanvasImpl::Resized() { AskPaint(false); }

void CanvasImpl::ShownSize(std::int64_t& w, std::int64_t& h) const {
  std::int64_t right = WindowLeft() + width, bottom = WindowTop() + height;
  for (const ControlImpl* p = parent; p; p = p->parent) {
    right = std::min(right, p->WindowLeft() + p->width);
    bottom = std::min(bottom, p->WindowTop() + p->height);
  }
  if (window) {
    right = std::min(right, window->Width());
    bottom = std::min(bottom, window->Height());
  }
  w = std::clamp<std::int64_t>(right - WindowLeft(), 1, std::max<std::int64_t>(1, width));
  h = std::clamp<std::int64_t>(bottom - WindowTop(), 1, std::max<std::int64_t>(1, height));
}

void CanvasImpl::AskPaint(bool erase) {
  if (paintDepth > 0) {
    morePaint = true;
    moreErase = moreErase || erase;
  } else {
    PostPaint();
  }
}

void CanvasImpl::PostPaint() {
  paintPending = true;
  if (paintPosted) return;
  paintPosted = true;
  QMetaObject::invokeMethod(
      &context,
      [this] {
        paintPosted = false;
        if (paintPending && paintDepth == 0) fw::Guard([this] { PaintNow(true); });
      },
      Qt::QueuedConnection);
}

void CanvasImpl::PaintNow(bool erase) {
  if (paintDepth > 0) {
    AskPaint(erase);
    return;
  }
  // The Paint handlers are methods of the window: none to run once it has gone.
  if (!window) return;
  const std::shared_ptr<::Window> keep = KeepAlive();
  paintPending = false;
  bool clear = erase;
  int followUps = 0;
  do {
    morePaint = false;
    moreErase = false;
    // The store follows the canvas's size at the time of the paint, as far
    // as the window shows it: a canvas made larger than the window for a
    // moment costs no more than the window.
    std::int64_t w, h;
    ShownSize(w, h);
    if (!store || store->width != w || store->height != h) {
      store = std::make_shared<PixelBuffer>(w, h, kTransparent);
    } else if (clear && eraseBackground) {
      std::fill_n(store->pixels.get(), static_cast<std::size_t>(w * h), kTransparent);
    }
    Graphics g(store);
    const std::vector<Rect> areas{Rect{0, 0, w, h}};
    ++paintCount;
    {
      Depth d(paintDepth);
      canvas.Paint.Raise(canvas, g, areas);
    }
    clear = moreErase;
  } while (morePaint && ++followUps <= kMaxFollowUps);
  const bool asked = morePaint;
  morePaint = false;
  screenStale = true;
  if (widget) widget->update();
  if (asked) PostPaint();
}

// --- Canvas ------------------------------------------------------------------

Canvas::Canvas(::Window& window) : RectControl(window, std::make_unique<CanvasImpl>(*this, window)) {}

void Canvas::Refresh(bool eraseBackground) { static_cast<CanvasImpl&>(*impl_).PaintNow(eraseBackground); }

void Canvas::Invalidate(bool eraseBackground) { static_cast<CanvasImpl&>(*impl_).AskPaint(eraseBackground); }

void Canvas::DrawInto(Graphics& g, std::int64_t x, std::int64_t y) {
  auto& c = static_cast<CanvasImpl&>(*impl_);
  if (!c.window) return;
  const std::shared_ptr<::Window> keep = c.KeepAlive();
  Graphics target = g.Translated(x, y);
  ++c.paintCount;
  {
    Depth d(c.paintDepth);
    Paint.Raise(*this, target, {});
  }
  // Paints asked for meanwhile go to the screen later: the canvas may have a
  // size of the moment (a capture), and its store should not take it.
  if (c.paintDepth == 0 && c.morePaint) {
    c.morePaint = false;
    c.PostPaint();
  }
}

bool Canvas::IsPainting() const noexcept { return static_cast<const CanvasImpl&>(*impl_).paintDepth > 0; }

void Canvas::ApplyProperty(const ::Property& p) {
  auto& c = static_cast<CanvasImpl&>(*impl_);
  if (p.name == "Transparent") {
    c.transparent = fw::AsBool(p);
    if (c.widget) c.widget->update();
  } else if (p.name == "EraseBackground") {
    c.eraseBackground = fw::AsBool(p);
  } else if (p.name == "AcceptFocus") {
    if (c.widget) c.widget->setFocusPolicy(fw::AsBool(p) ? Qt::StrongFocus : Qt::NoFocus);
  } else {
    RectControl::ApplyProperty(p);
  }
}
