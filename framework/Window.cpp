#include "framework/Window.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QPushButton>
#include <QResizeEvent>
#include <QScreen>

#include <algorithm>
#include <limits>

#include "framework/Application.h"
#include "framework/ControlImpl.h"
#include "framework/QtImage.h"
#include "framework/Runtime.h"
#include "framework/WindowImpl.h"

namespace {
// Both outlive every static object: a window held by one is destroyed at
// exit and must still find these.
// The live window of each class name; holds it while it is open.
std::map<std::string, std::shared_ptr<Window>>& Registry() {
  static auto* registry = new std::map<std::string, std::shared_ptr<Window>>;
  return *registry;
}
// Open windows in the order they opened, for quitting and Reset.
std::vector<Window*>& OpenWindows() {
  static auto* open = new std::vector<Window*>;
  return *open;
}

// Return goes to the default push button, Escape to the cancel button: the
// first visible and enabled one in creation order.
bool PressButtonFor(const Window& w, bool forDefault) {
  for (const std::shared_ptr<Control>& c : w.Controls()) {
    auto* b = dynamic_cast<PushButton*>(c.get());
    if (!b) continue;
    const ControlImpl& impl = b->Impl();
    if (!(forDefault ? impl.isDefault : impl.isCancel) || !impl.visible || !impl.enabled) continue;
    if (auto* qb = qobject_cast<QPushButton*>(impl.widget.data()); qb && qb->isVisible()) {
      qb->click();
      return true;
    }
  }
  return false;
}

// A window whose property set makes it visible goes on screen, put in its
// place the first time.
void ShowIfSetVisible(WindowImpl& w, const PropertySet& properties) {
  if (!w.widget || !fw::PropertyOr(properties, "Visible", false)) return;
  w.PlaceOnScreen();
  w.widget->show();
}

// Keyboard focus moves by TabIndex; the controls inside a group box come
// right after the box, by their own TabIndex.
void OrderTabs(const std::vector<std::shared_ptr<Control>>& controls) {
  // The TabIndex of each enclosing group box, outermost first, then its own.
  auto key = [](const ControlImpl* c) {
    std::vector<std::int64_t> k;
    for (; c; c = c->parent) {
      k.insert(k.begin(), fw::PropertyOr(c->properties, "TabIndex", std::numeric_limits<std::int64_t>::max()));
    }
    return k;
  };
  std::vector<std::pair<std::vector<std::int64_t>, QWidget*>> focusable;
  for (const std::shared_ptr<Control>& c : controls) {
    const ControlImpl& impl = c->Impl();
    if (impl.widget && (impl.widget->focusPolicy() & Qt::TabFocus)) {
      focusable.emplace_back(key(&impl), impl.widget.data());
    }
  }
  std::stable_sort(focusable.begin(), focusable.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  for (std::size_t i = 1; i < focusable.size(); ++i) QWidget::setTabOrder(focusable[i - 1].second, focusable[i].second);
}
}  // namespace

// --- The native widget -------------------------------------------------------

WindowWidget::WindowWidget(::Window* o) : QWidget(nullptr, Qt::Window), owner(o) {}

void WindowWidget::paintEvent(QPaintEvent*) {
  if (!owner) return;
  const WindowImpl& impl = owner->Impl();
  QPainter p(this);
  p.fillRect(rect(), impl.Background(*this));
  if (!impl.backdrop.isNull()) p.drawImage(0, 0, impl.backdrop);
}

void WindowWidget::resizeEvent(QResizeEvent* e) {
  QWidget::resizeEvent(e);
  if (!owner || owner->Impl().resizing) return;
  const QSize s = e->size();
  if (s.width() == owner->Impl().width && s.height() == owner->Impl().height) return;
  Window* w = owner;
  fw::Guard([&] {
    const std::shared_ptr<Window> keep = w->weak_from_this().lock();
    w->Impl().Resize(s.width(), s.height());
  });
}

void WindowWidget::closeEvent(QCloseEvent* e) {
  e->accept();
  if (!owner) return;
  Window* w = owner;
  fw::Guard([&] {
    const std::shared_ptr<Window> keep = w->weak_from_this().lock();
    w->Close();
  });
}

void WindowWidget::keyPressEvent(QKeyEvent* e) {
  if (owner && !e->isAutoRepeat()) {
    const bool isReturn = e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter;
    const bool isEscape = e->key() == Qt::Key_Escape;
    if ((isReturn || isEscape) && e->modifiers() == Qt::NoModifier) {
      bool pressed = false;
      fw::Guard([&] { pressed = PressButtonFor(*owner, isReturn); });
      if (pressed) {
        e->accept();
        return;
      }
    }
  }
  QWidget::keyPressEvent(e);
}

// --- WindowImpl --------------------------------------------------------------

WindowImpl::WindowImpl(::Window& o) : owner(o) {
  fw::EnsureToolkit();
  widget = new WindowWidget(&o);
  widget->setAttribute(Qt::WA_QuitOnClose, false);  // the framework decides when to quit
  widget->resize(static_cast<int>(width), static_cast<int>(height));
  ApplyFrame();
}

WindowImpl::~WindowImpl() {
  if (widget) {
    widget->owner = nullptr;
    widget->hide();
    widget->deleteLater();
  }
}

QColor WindowImpl::Background(const QWidget& w) const {
  return hasBackColor ? fw::ToQColor(backColor) : w.palette().window().color();
}

std::int64_t WindowImpl::ClampWidth(std::int64_t w) const {
  return std::clamp<std::int64_t>(w, std::min(minWidth, maxWidth), std::max(minWidth, maxWidth));
}
std::int64_t WindowImpl::ClampHeight(std::int64_t h) const {
  return std::clamp<std::int64_t>(h, std::min(minHeight, maxHeight), std::max(minHeight, maxHeight));
}

void WindowImpl::Relayout(const ControlImpl* container, std::int64_t w, std::int64_t h) {
  for (ControlImpl* m : members) {
    if (m->parent == container) m->FollowParent(w, h);
  }
}

void WindowImpl::Resize(std::int64_t w, std::int64_t h) {
  w = ClampWidth(w);
  h = ClampHeight(h);
  const bool changed = w != width || h != height;
  width = w;
  height = h;
  if (widget && (widget->width() != w || widget->height() != h)) {
    resizing = true;
    if (!resizeable || Frameless()) widget->setFixedSize(static_cast<int>(w), static_cast<int>(h));
    widget->resize(static_cast<int>(w), static_cast<int>(h));
    resizing = false;
  }
  if (!changed) return;
  Relayout(nullptr, w, h);
  if (built) {
    ::Window& o = owner;
    fw::Guard([&] { event_detail::Dispatch([&] { o.Event_Resized(); }); });
  }
}

void WindowImpl::ApplyFrame() {
  if (!widget) return;
  Qt::WindowFlags f = Qt::Window;
  if (Frameless()) {
    f |= Qt::FramelessWindowHint;
  } else {
    f |= Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint;
    if (closeButton) f |= Qt::WindowCloseButtonHint;
    if (minimizeButton) f |= Qt::WindowMinimizeButtonHint;
    if (maximizeButton && resizeable) f |= Qt::WindowMaximizeButtonHint;
    if (fullScreenButton && resizeable) f |= Qt::WindowFullscreenButtonHint;
  }
  if (widget->windowFlags() != f) {
    const bool shown = widget->isVisible();
    widget->setWindowFlags(f);
    if (shown) widget->show();
  }
  const int w = static_cast<int>(width), h = static_cast<int>(height);
  if (!resizeable || Frameless()) {
    widget->setFixedSize(w, h);
  } else {
    constexpr std::int64_t kToolkitMax = QWIDGETSIZE_MAX;
    widget->setMinimumSize(static_cast<int>(std::min(minWidth, kToolkitMax)),
                           static_cast<int>(std::min(minHeight, kToolkitMax)));
    widget->setMaximumSize(static_cast<int>(std::min(maxWidth, kToolkitMax)),
                           static_cast<int>(std::min(maxHeight, kToolkitMax)));
  }
}

void WindowImpl::PlaceOnScreen() {
  if (placed || !widget) return;
  placed = true;
  if (placement != 2) return;  // 2: centred on the main screen
  QScreen* screen = QGuiApplication::primaryScreen();
  if (!screen) return;
  const QRect area = screen->availableGeometry();
  widget->move(area.center() - QPoint(static_cast<int>(width) / 2, static_cast<int>(height) / 2));
}

// --- Window ------------------------------------------------------------------

Window::Window(std::string className)
    : className_(std::move(className)), impl_(std::make_unique<WindowImpl>(*this)) {}

Window::~Window() {
  auto& open = OpenWindows();
  open.erase(std::remove(open.begin(), open.end(), this), open.end());
  for (ControlImpl* m : impl_->members) m->window = nullptr;
  impl_->members.clear();
}

void Window::Constructor() {
  if (impl_->built || impl_->closed) return;
  fw::Trace("Window " + className_);
  std::shared_ptr<Window> self = shared_from_this();
  Registry()[className_] = self;
  OpenWindows().push_back(this);
  open_ = true;
  try {
    Layout();
    CreateControls();
  } catch (...) {
    // A window that could not be built is not left behind as the live one.
    Close();
    throw;
  }
  impl_->built = true;
  OrderTabs(controls_);
  for (const std::shared_ptr<Control>& c : std::vector<std::shared_ptr<Control>>(controls_)) {
    if (auto* rc = dynamic_cast<RectControl*>(c.get())) rc->Open.Raise(*rc);
  }
  event_detail::Dispatch([this] { Event_Open(); });
  if (open_) ShowIfSetVisible(*impl_, properties_);
}

void Window::AddControl(const std::string& name, std::shared_ptr<Control> control) {
  if (!control) throw NilObjectException("AddControl of nil");
  control->SetNameForRegistration(name);
  if (std::find(controls_.begin(), controls_.end(), control) == controls_.end()) controls_.push_back(control);
  byName_[name] = std::move(control);
}

Ref<Control> Window::ControlByName(const std::string& name) const {
  auto it = byName_.find(name);
  if (it == byName_.end()) return nullptr;
  return Ref<Control>(it->second);
}

void Window::SetProperties(const std::string& encoded) {
  // Acts on the properties given now only: a later, smaller set leaves the
  // size, title and visibility that code or the user gave since as they are.
  const PropertySet p = ParsePropertySet(encoded, kWindowClass);
  for (const Property& q : p) fw::Keep(properties_, q);
  WindowImpl& w = *impl_;
  w.minWidth = fw::PropertyOr<std::int64_t>(p, "MinWidth", w.minWidth);
  w.minHeight = fw::PropertyOr<std::int64_t>(p, "MinHeight", w.minHeight);
  w.maxWidth = fw::PropertyOr<std::int64_t>(p, "MaxWidth", w.maxWidth);
  w.maxHeight = fw::PropertyOr<std::int64_t>(p, "MaxHeight", w.maxHeight);
  w.frame = static_cast<int>(fw::PropertyOr<std::int64_t>(p, "Frame", w.frame));
  w.placement = static_cast<int>(fw::PropertyOr<std::int64_t>(p, "Placement", w.placement));
  w.resizeable = fw::PropertyOr(p, "Resizeable", w.resizeable);
  w.closeButton = fw::PropertyOr(p, "CloseButton", w.closeButton);
  w.minimizeButton = fw::PropertyOr(p, "MinimizeButton", w.minimizeButton);
  w.maximizeButton = fw::PropertyOr(p, "MaximizeButton", w.maximizeButton);
  w.fullScreenButton = fw::PropertyOr(p, "FullScreenButton", w.fullScreenButton);
  w.hasBackColor = fw::PropertyOr(p, "HasBackColor", w.hasBackColor);
  w.backColor = fw::PropertyOr(p, "BackColor", w.backColor);
  if (FindProperty(p, "Title")) SetTitle(fw::PropertyOr<std::string>(p, "Title", ""));
  w.ApplyFrame();
  w.Resize(fw::PropertyOr<std::int64_t>(p, "Width", w.width), fw::PropertyOr<std::int64_t>(p, "Height", w.height));
  if (w.widget) w.widget->update();
  if (w.built && open_) ShowIfSetVisible(w, p);
}

void Window::Show() {
  WindowImpl& w = *impl_;
  if (w.closed || !w.widget) return;
  w.PlaceOnScreen();
  w.widget->show();
  if (fw::ToolkitHasDisplay()) w.widget->raise();  // the offscreen platform cannot
  w.widget->activateWindow();
}

void Window::Close() {
  WindowImpl& w = *impl_;
  if (w.closed) return;
  const std::shared_ptr<Window> keep = weak_from_this().lock();  // lives to the end of Close
  w.closed = true;
  const bool wasOpen = open_;
  open_ = false;
  for (ControlImpl* m : w.members) m->WindowClosed();
  if (w.widget) {
    w.widget->owner = nullptr;
    w.widget->hide();
    w.widget->deleteLater();
  }
  auto& registry = Registry();
  if (auto it = registry.find(className_); it != registry.end() && it->second.get() == this) registry.erase(it);
  auto& openList = OpenWindows();
  openList.erase(std::remove(openList.begin(), openList.end(), this), openList.end());
  if (wasOpen && quitOnClose_ && fw::EventLoopRunning()) {
    const bool anotherKeepsRunning =
        std::any_of(openList.begin(), openList.end(), [](const Window* o) { return o->QuitOnClose(); });
    if (!anotherKeepsRunning) RuntimeQuit(0);
  }
}

void Window::SetQuitOnClose(bool quits) { quitOnClose_ = quits; }

bool Window::Visible() const { return impl_->widget && impl_->widget->isVisible(); }

std::string Window::Title() const { return impl_->title; }

void Window::SetTitle(const std::string& title) {
  impl_->title = title;
  if (impl_->widget) impl_->widget->setWindowTitle(QString::fromStdString(title));
}

void Window::SetBackdrop(Ref<Picture> picture) {
  backdrop_ = std::move(picture);
  impl_->backdrop = backdrop_ ? fw::ToQImage(*backdrop_) : QImage();
  if (impl_->widget) impl_->widget->update();
}

std::int64_t Window::Width() const { return impl_->width; }
std::int64_t Window::Height() const { return impl_->height; }
void Window::SetWidth(std::int64_t w) { impl_->Resize(w, impl_->height); }
void Window::SetHeight(std::int64_t h) { impl_->Resize(impl_->width, h); }
std::int64_t Window::MinWidth() const { return impl_->minWidth; }
std::int64_t Window::MinHeight() const { return impl_->minHeight; }
std::int64_t Window::MaxWidth() const { return impl_->maxWidth; }
std::int64_t Window::MaxHeight() const { return impl_->maxHeight; }

Ref<Window> GetImplicitWindow(const std::string& className) {
  auto& registry = Registry();
  auto it = registry.find(className);
  if (it == registry.end()) return nullptr;
  return Ref<Window>(it->second);
}

void fw::CloseAllWindows() {
  std::vector<std::shared_ptr<Window>> all;
  for (Window* w : OpenWindows()) {
    if (auto s = w->weak_from_this().lock()) all.push_back(std::move(s));
  }
  for (auto& [name, w] : Registry()) {
    if (std::find(all.begin(), all.end(), w) == all.end()) all.push_back(w);
  }
  for (const std::shared_ptr<Window>& w : all) w->Close();
  Registry().clear();
  OpenWindows().clear();
}

QWidget* fw::HostFor(::Window& window) {
  return window.Impl().closed ? nullptr : window.Impl().widget.data();
}
