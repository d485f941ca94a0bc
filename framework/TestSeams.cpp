#include "framework/TestSeams.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMimeData>
#include <QMouseEvent>
#include <QResizeEvent>
#include <QSlider>
#include <QTimer>
#include <QUrl>

#include <cstring>

#include "framework/Application.h"
#include "framework/ControlImpl.h"
#include "framework/QtImage.h"
#include "framework/Runtime.h"
#include "framework/System.h"
#include "framework/WindowImpl.h"

fw::SeamState& fw::Seams() {
  static SeamState state;
  return state;
}

namespace {
// The control's widget when a person could reach it now.
QWidget* Reachable(const RectControl& c) {
  QWidget* w = c.Impl().widget.data();
  if (!w || !c.Impl().window || !c.Impl().window->IsOpen()) return nullptr;
  if (!w->isVisibleTo(w->window()) || !w->isEnabled()) return nullptr;
  return w;
}
}  // namespace

namespace TestSeams {

void InitHeadless() {
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  fw::EnsureToolkit();
  CaptureLog(true);
  fw::Seams().on = true;
  FillPluginEntryPoints();
  SetLocale("C");
}

void Reset() {
  fw::CloseAllWindows();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  fw::ResetRuntime();
  fw::SeamState& s = fw::Seams();
  const bool on = s.on;
  s = fw::SeamState{};
  s.on = on;
  fw::ReleaseAllKeys();
  ScriptRnd(nullptr);
  RecordDrawCalls(false);
  ClearLog();
  SetLocale("C");
}

std::vector<std::string> MessageBoxes() { return fw::Seams().messageBoxes; }
void ClearMessageBoxes() { fw::Seams().messageBoxes.clear(); }

void QueueOpenDialogAnswer(Ref<FolderItem> answer) { fw::Seams().openAnswers.push_back(std::move(answer)); }
void QueueSaveDialogAnswer(Ref<FolderItem> answer) { fw::Seams().saveAnswers.push_back(std::move(answer)); }
std::vector<SaveDialogRequest> SaveDialogRequests() { return fw::Seams().saveRequests; }
int OpenDialogCount() { return fw::Seams().openDialogs; }

void SetLocale(const std::string& name) { QLocale::setDefault(QLocale(QString::fromStdString(name))); }

void PrefillDecodeBuffers(std::optional<std::uint8_t> byte) { fw::Seams().decodePrefill = byte; }

void InsideNextDialog(std::function<void()> action) { fw::Seams().insideNextDialog = std::move(action); }

void WithTextFieldFocused(const std::function<void()>& action) {
  QLineEdit field;
  field.show();
  field.activateWindow();
  field.setFocus();
  QCoreApplication::processEvents();
  action();
}

void SetKeyDown(int keyCode, bool down) { fw::Seams().keys[keyCode] = down; }
void SetMousePosition(std::int64_t x, std::int64_t y) { fw::Seams().mouse = std::make_pair(x, y); }

void FireTimer(Timer& t) {
  // Its handlers are methods of its window: with the window gone there is
  // nothing to run them on.
  if (!t.Window()) return;
  const std::shared_ptr<::Window> keep = t.Impl().KeepAlive();
  t.Action.Raise(t);
}

bool TimerRunning(const Timer& t) { return static_cast<const TimerImpl&>(t.Impl()).qtimer.isActive(); }

std::int64_t PaintCount(const Canvas& c) { return static_cast<const CanvasImpl&>(c.Impl()).paintCount; }

Ref<Picture> CanvasImage(const Canvas& c) {
  const auto& store = static_cast<const CanvasImpl&>(c.Impl()).store;
  if (!store) return nullptr;
  auto copy = std::make_shared<PixelBuffer>(store->width, store->height, kTransparent);
  std::memcpy(copy->pixels.get(), store->pixels.get(), static_cast<std::size_t>(store->width * store->height) * 4);
  return MakeRef<Picture>(std::move(copy), true);
}

Ref<Picture> ControlImage(const RectControl& c) {
  QWidget* w = c.Impl().widget.data();
  if (!w) return nullptr;
  QWidget* top = w->window();
  return fw::FromQImage(top->grab(QRect(w->mapTo(top, QPoint(0, 0)), w->size())).toImage());
}

std::vector<std::string> RuntimeTrace() { return fw::Seams().trace; }

bool ProcessEvents(int maxMilliseconds, const std::function<bool()>& until) {
  QCoreApplication::sendPostedEvents();
  QCoreApplication::processEvents();
  if (maxMilliseconds > 0) {
    QTimer deadline;  // also what wakes the loop when nothing else will
    deadline.setSingleShot(true);
    deadline.start(maxMilliseconds);
    while (deadline.isActive() && !(until && until())) {
      QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }
  }
  return until ? until() : true;
}

bool Click(RectControl& c) {
  auto* button = qobject_cast<QAbstractButton*>(Reachable(c));
  if (!button) return false;
  button->click();
  return true;
}

bool DragSlider(Slider& s, std::int64_t value) {
  auto* slider = qobject_cast<QSlider*>(Reachable(s));
  if (!slider) return false;
  slider->setSliderDown(true);
  slider->setSliderPosition(static_cast<int>(value));
  slider->setSliderDown(false);
  return true;
}

bool Mouse(Canvas& c, MouseStep step, std::int64_t x, std::int64_t y) {
  QWidget* w = Reachable(c);
  if (!w) return false;
  const QPointF local(static_cast<double>(x), static_cast<double>(y));
  const QPointF global = w->mapToGlobal(local);
  const QEvent::Type type = step == MouseStep::Press    ? QEvent::MouseButtonPress
                            : step == MouseStep::Move   ? QEvent::MouseMove
                                                        : QEvent::MouseButtonRelease;
  const Qt::MouseButton button = step == MouseStep::Move ? Qt::NoButton : Qt::LeftButton;
  const Qt::MouseButtons held = step == MouseStep::Release ? Qt::NoButton : Qt::LeftButton;
  QMouseEvent e(type, local, local, global, button, held, Qt::NoModifier);
  QCoreApplication::sendEvent(w, &e);
  return true;
}

bool Drop(RectControl& c, Ref<Picture> picture, const std::string& filePath) {
  QWidget* w = Reachable(c);
  if (!w || !w->acceptDrops()) return false;
  QMimeData mime;
  if (picture) mime.setImageData(fw::ToQImage(*picture));
  if (!filePath.empty()) mime.setUrls({QUrl::fromLocalFile(QString::fromStdString(filePath))});
  const QPoint at(w->width() / 2, w->height() / 2);
  QDragEnterEvent enter(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(w, &enter);
  if (!enter.isAccepted()) return false;
  QDropEvent drop(QPointF(at), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(w, &drop);
  return drop.isAccepted();
}

void PhysicalKey(int keyCode, bool down, bool autoRepeat) {
  const bool minus = keyCode == Keyboard::kMinusKey;
  LayoutKey(minus ? fw::kMinusScanCode : fw::kEqualsScanCode, minus ? "-" : "=", down, autoRepeat);
}

void LayoutKey(std::uint32_t xkbKeyCode, const std::string& character, bool down, bool autoRepeat) {
  const QString text = QString::fromStdString(character);
  const int key = text.isEmpty() ? Qt::Key_unknown : static_cast<int>(text.at(0).toUpper().unicode());
  QKeyEvent e(down ? QEvent::KeyPress : QEvent::KeyRelease, key, Qt::NoModifier, xkbKeyCode, 0, 0, text, autoRepeat);
  QCoreApplication::sendEvent(QCoreApplication::instance(), &e);
}

void DeactivateApplication() {
  QEvent e(QEvent::ApplicationDeactivate);
  QCoreApplication::sendEvent(QCoreApplication::instance(), &e);
}

void CloseByUser(Window& w) {
  if (QWidget* widget = w.Impl().widget.data()) widget->close();
}

void ResizeByUser(Window& w, std::int64_t width, std::int64_t height) {
  QWidget* widget = w.Impl().widget.data();
  if (!widget) return;
  const QSize old = widget->size();
  const QSize size(static_cast<int>(width), static_cast<int>(height));
  widget->resize(size);
  QResizeEvent e(size, old);
  QCoreApplication::sendEvent(widget, &e);
}

}  // namespace TestSeams

TestSeams::NativeWindow TestSeams::Native(const Window& w) {
  NativeWindow n;
  const QWidget* widget = w.Impl().closed ? nullptr : w.Impl().widget.data();
  if (!widget) return n;
  const Qt::WindowFlags f = widget->windowFlags();
  n.exists = true;
  n.shown = widget->isVisible();
  n.titleBar = !(f & Qt::FramelessWindowHint);
  n.closeButton = n.titleBar && (f & Qt::WindowCloseButtonHint);
  n.minimizeButton = n.titleBar && (f & Qt::WindowMinimizeButtonHint);
  n.maximizeButton = n.titleBar && (f & Qt::WindowMaximizeButtonHint);
  n.fixedSize = widget->minimumSize() == widget->maximumSize();
  n.width = widget->width();
  n.height = widget->height();
  n.minWidth = widget->minimumWidth();
  n.minHeight = widget->minimumHeight();
  n.maxWidth = widget->maximumWidth();
  n.maxHeight = widget->maximumHeight();
  n.title = widget->windowTitle().toStdString();
  return n;
}

TestSeams::NativeControl TestSeams::Native(const RectControl& c) {
  NativeControl n;
  const QWidget* widget = c.Impl().widget.data();
  if (!widget || !c.Impl().window || c.Impl().window->Impl().closed) return n;
  const QWidget* top = widget->window();
  const QPoint at = widget->mapTo(top, QPoint(0, 0));
  n.exists = true;
  n.shown = widget->isVisibleTo(top);
  n.enabled = widget->isEnabled();
  n.left = at.x();
  n.top = at.y();
  n.width = widget->width();
  n.height = widget->height();
  n.toolTip = widget->toolTip().toStdString();
  if (const auto* b = qobject_cast<const QAbstractButton*>(widget)) n.text = b->text().toStdString();
  if (const auto* l = qobject_cast<const QLabel*>(widget)) {
    n.text = l->text().toStdString();
    const Qt::Alignment a = l->alignment();
    n.alignment = (a & Qt::AlignHCenter) ? 1 : ((a & Qt::AlignRight) ? 2 : 0);
  }
  return n;
}
