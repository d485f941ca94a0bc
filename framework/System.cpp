#include "framework/System.h"

#include <QApplication>
#include <QCursor>
#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QWidget>

#include "framework/Runtime.h"

namespace {
struct HeldKeys {
  bool minus = false;
  bool equals = false;
};
HeldKeys& Held() {
  static HeldKeys held;
  return held;
}

// The Keyboard code of the physical key, or 0 for the keys nobody asks about.
int KeyCodeOf(const QKeyEvent& k) {
  switch (k.nativeScanCode()) {
    case fw::kMinusScanCode: return Keyboard::kMinusKey;
    case fw::kEqualsScanCode: return Keyboard::kEqualsKey;
    case 0: break;  // no scan code (offscreen, synthetic): go by the key
    default: return 0;
  }
  if (k.key() == Qt::Key_Minus) return Keyboard::kMinusKey;
  if (k.key() == Qt::Key_Equal) return Keyboard::kEqualsKey;
  return 0;
}

// Keys typed into a dialog, a message box or a text field are theirs: while
// one of them has the keyboard no key counts as held, and a key pressed there
// counts only once it has been released and pressed again.
bool KeysBelongElsewhere() {
  if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return false;
  if (QApplication::activeModalWidget()) return true;
  // Widgets that take typed text ask for input methods; a password field
  // does not, so a line edit counts as one anyway.
  const QWidget* focus = QApplication::focusWidget();
  return focus && (focus->testAttribute(Qt::WA_InputMethodEnabled) || qobject_cast<const QLineEdit*>(focus));
}

// Sees every key event of the application before any widget does.
class KeyTracker : public QObject {
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject* watched, QEvent* e) override {
    switch (e->type()) {
      case QEvent::KeyPress:
      case QEvent::KeyRelease: {
        const auto* k = static_cast<const QKeyEvent*>(e);
        if (k->isAutoRepeat()) break;
        const bool down = e->type() == QEvent::KeyPress && !KeysBelongElsewhere();
        const int code = KeyCodeOf(*k);
        if (code == Keyboard::kMinusKey) Held().minus = down;
        if (code == Keyboard::kEqualsKey) Held().equals = down;
        break;
      }
      case QEvent::ApplicationDeactivate:
        fw::ReleaseAllKeys();  // a release while inactive never arrives
        break;
      case QEvent::ApplicationStateChange:
        if (QGuiApplication::applicationState() != Qt::ApplicationActive) fw::ReleaseAllKeys();
        break;
      default:
        break;
    }
    return QObject::eventFilter(watched, e);
  }
};
}  // namespace

void fw::InstallKeyTracker() {
  QCoreApplication* app = QCoreApplication::instance();
  if (app) app->installEventFilter(new KeyTracker(app));
}

void fw::ReleaseAllKeys() { Held() = HeldKeys{}; }

bool fw::PhysicalKeyDown(int keyCode) {
  if (keyCode == Keyboard::kMinusKey) return Held().minus;
  if (keyCode == Keyboard::kEqualsKey) return Held().equals;
  return false;
}

std::int64_t System::MouseX() {
  if (const auto& m = fw::Seams().mouse) return m->first;
  return QCoreApplication::instance() ? QCursor::pos().x() : 0;
}

std::int64_t System::MouseY() {
  if (const auto& m = fw::Seams().mouse) return m->second;
  return QCoreApplication::instance() ? QCursor::pos().y() : 0;
}

bool Keyboard::AsyncKeyDown(std::int64_t keyCode) {
  if (keyCode != kMinusKey && keyCode != kEqualsKey) return false;
  if (KeysBelongElsewhere()) return false;
  const auto& keys = fw::Seams().keys;
  if (auto it = keys.find(static_cast<int>(keyCode)); it != keys.end()) return it->second;
  return fw::PhysicalKeyDown(static_cast<int>(keyCode));
}
