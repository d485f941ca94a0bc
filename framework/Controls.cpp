#include "framework/Controls.h"

#include <QAbstractButton>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QPainter>
#include <QToolButton>

#include <algorithm>

#include "framework/ControlImpl.h"
#include "framework/QtImage.h"
#include "framework/System.h"
#include "framework/WindowImpl.h"

namespace {
using fw::AsBool;
using fw::AsInt;
using fw::AsText;

int ToInt(std::int64_t v) {
  return static_cast<int>(std::clamp<std::int64_t>(v, -QWIDGETSIZE_MAX, QWIDGETSIZE_MAX));
}

// Puts the control's text on its widget; a label shows carriage returns as
// line breaks.
void ShowText(ControlImpl& c) {
  QString t = QString::fromStdString(c.text);
  if (auto* label = qobject_cast<QLabel*>(c.widget.data())) {
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    label->setText(t);
  } else if (auto* tool = qobject_cast<QToolButton*>(c.widget.data())) {
    tool->setText(t);
    tool->setToolButtonStyle(t.isEmpty() ? Qt::ToolButtonIconOnly : Qt::ToolButtonTextBesideIcon);
  } else if (auto* button = qobject_cast<QAbstractButton*>(c.widget.data())) {
    button->setText(t);
  } else if (auto* group = qobject_cast<QGroupBox*>(c.widget.data())) {
    group->setTitle(t);
  }
}
}  // namespace

void fw::Keep(PropertySet& kept, const ::Property& p) {
  auto same = std::find_if(kept.begin(), kept.end(), [&](const ::Property& q) { return q.name == p.name; });
  if (same != kept.end()) {
    same->value = p.value;
  } else {
    kept.push_back(p);
  }
}

// --- ControlImpl -------------------------------------------------------------

ControlImpl::ControlImpl(::Window& w, const char* cls, QWidget* nativeWidget)
    : window(&w), className(cls), widget(nativeWidget) {
  if (widget && !widget->parentWidget()) {
    // The window has no native side any more: the control lives without one.
    delete widget.data();
    widget = nullptr;
  }
  if (widget) widget->show();
  w.Impl().members.push_back(this);
}

ControlImpl::~ControlImpl() {
  if (window) {
    auto& m = window->Impl().members;
    m.erase(std::remove(m.begin(), m.end(), this), m.end());
  }
  if (widget) {
    widget->hide();
    widget->deleteLater();
  }
}

std::int64_t ControlImpl::WindowLeft() const { return ParentLeft() + left; }
std::int64_t ControlImpl::WindowTop() const { return ParentTop() + top; }
std::int64_t ControlImpl::ParentLeft() const { return parent ? parent->WindowLeft() : 0; }
std::int64_t ControlImpl::ParentTop() const { return parent ? parent->WindowTop() : 0; }
std::int64_t ControlImpl::ParentWidth() const { return parent ? parent->width : (window ? window->Width() : 0); }
std::int64_t ControlImpl::ParentHeight() const { return parent ? parent->height : (window ? window->Height() : 0); }

void ControlImpl::SetGeometry(std::int64_t l, std::int64_t t, std::int64_t w, std::int64_t h) {
  w = std::max<std::int64_t>(0, w);
  h = std::max<std::int64_t>(0, h);
  rightGap = ParentWidth() - (l + w);
  bottomGap = ParentHeight() - (t + h);
  Place(l, t, w, h);
}

void ControlImpl::FollowParent(std::int64_t pw, std::int64_t ph) {
  std::int64_t l = left, t = top, w = width, h = height;
  if (lockRight) {
    if (lockLeft) {
      w = std::max<std::int64_t>(0, pw - l - rightGap);
    } else {
      l = pw - w - rightGap;
    }
  }
  if (lockBottom) {
    if (lockTop) {
      h = std::max<std::int64_t>(0, ph - t - bottomGap);
    } else {
      t = ph - h - bottomGap;
    }
  }
  if (l != left || t != top || w != width || h != height) Place(l, t, w, h);
}

void ControlImpl::Place(std::int64_t l, std::int64_t t, std::int64_t w, std::int64_t h) {
  const bool sized = w != width || h != height;
  left = l;
  top = t;
  width = w;
  height = h;
  PushGeometry();
  if (sized) {
    Resized();
    if (window) window->Impl().Relayout(this, width, height);
  }
}

void ControlImpl::Reparent(ControlImpl* newParent) {
  if (newParent == parent || newParent == this) return;
  const std::int64_t wl = WindowLeft(), wt = WindowTop();
  parent = newParent;
  const std::int64_t l = wl - ParentLeft(), t = wt - ParentTop();
  if (widget) {
    QWidget* host = parent ? parent->widget.data() : (window ? window->Impl().widget.data() : nullptr);
    if (host) widget->setParent(host);
    widget->setVisible(visible);
  }
  SetGeometry(l, t, width, height);
}

void ControlImpl::PushGeometry() {
  if (widget) widget->setGeometry(ToInt(left), ToInt(top), ToInt(width), ToInt(height));
}

void ControlImpl::ApplyFont() {
  if (!widget) return;
  QFont f = QApplication::font();
  if (!textFont.empty() && textFont != "System" && textFont != "SmallSystem") {
    f.setFamily(QString::fromStdString(textFont));
  }
  if (textSize > 0) f.setPointSizeF(textSize);
  f.setBold(bold);
  f.setItalic(italic);
  f.setUnderline(underline);
  widget->setFont(f);
}

void ControlImpl::ApplyTextColor() {
  if (!widget || !textColor) return;
  const QColor c = fw::ToQColor(*textColor);
  QPalette pal = widget->palette();
  for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::ButtonText, QPalette::Text}) {
    pal.setColor(QPalette::Active, role, c);
    pal.setColor(QPalette::Inactive, role, c);
  }
  widget->setPalette(pal);
}

// --- Control -----------------------------------------------------------------

// The impl already knows the window: it made the native widget inside it.
Control::Control(::Window&, std::unique_ptr<ControlImpl> impl) : impl_(std::move(impl)) {}

Control::~Control() = default;

const std::string& Control::Name() const noexcept { return impl_->name; }
::Window* Control::Window() const noexcept { return impl_->window; }
void Control::SetNameForRegistration(const std::string& name) { impl_->name = name; }
const PropertySet& Control::Properties() const noexcept { return impl_->properties; }
const PropertyValue* Control::Property(const std::string& name) const {
  return FindProperty(impl_->properties, name);
}

void Control::SetProperties(const std::string& encoded) {
  PropertySet set = ParsePropertySet(encoded, impl_->className);
  for (const ::Property& p : set) {
    fw::Keep(impl_->properties, p);
    ApplyProperty(p);
  }
}

void Control::ApplyProperty(const ::Property&) {}

// --- RectControl -------------------------------------------------------------

std::int64_t RectControl::Left() const { return impl_->WindowLeft(); }
std::int64_t RectControl::Top() const { return impl_->WindowTop(); }
std::int64_t RectControl::Width() const { return impl_->width; }
std::int64_t RectControl::Height() const { return impl_->height; }

void RectControl::SetLeft(std::int64_t v) {
  ControlImpl& c = *impl_;
  c.SetGeometry(v - c.ParentLeft(), c.top, c.width, c.height);
}
void RectControl::SetTop(std::int64_t v) {
  ControlImpl& c = *impl_;
  c.SetGeometry(c.left, v - c.ParentTop(), c.width, c.height);
}
void RectControl::SetWidth(std::int64_t v) { impl_->SetGeometry(impl_->left, impl_->top, v, impl_->height); }
void RectControl::SetHeight(std::int64_t v) { impl_->SetGeometry(impl_->left, impl_->top, impl_->width, v); }

bool RectControl::Visible() const { return impl_->visible; }
void RectControl::SetVisible(bool v) {
  impl_->visible = v;
  if (impl_->widget) impl_->widget->setVisible(v);
}
bool RectControl::Enabled() const { return impl_->enabled; }
void RectControl::SetEnabled(bool v) {
  impl_->enabled = v;
  if (impl_->widget) impl_->widget->setEnabled(v);
}
std::string RectControl::HelpTag() const { return impl_->helpTag; }
bool RectControl::LockLeft() const { return impl_->lockLeft; }
bool RectControl::LockTop() const { return impl_->lockTop; }
bool RectControl::LockRight() const { return impl_->lockRight; }
bool RectControl::LockBottom() const { return impl_->lockBottom; }

void RectControl::Refresh(bool) {
  if (impl_->widget) impl_->widget->repaint();
}
void RectControl::Invalidate(bool) {
  if (impl_->widget) impl_->widget->update();
}

void RectControl::DrawInto(Graphics& g, std::int64_t x, std::int64_t y) {
  QWidget* w = impl_->widget.data();
  if (!w || impl_->width < 1 || impl_->height < 1) return;
  QImage image(w->size(), QImage::Format_RGBA8888);
  image.fill(Qt::transparent);
  w->render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
  Ref<Picture> p = fw::FromQImage(image);
  if (p) g.DrawPicture(p, static_cast<double>(x), static_cast<double>(y));
}

::MouseCursor RectControl::MouseCursor() const { return impl_->cursor; }
void RectControl::SetMouseCursor(::MouseCursor c) {
  impl_->cursor = c;
  QWidget* w = impl_->widget.data();
  if (!w) return;
  if (c == System::Cursors::HandOpen) {
    w->setCursor(Qt::OpenHandCursor);
  } else if (c == System::Cursors::StandardPointer) {
    w->setCursor(Qt::ArrowCursor);
  } else {
    w->unsetCursor();
  }
}

void RectControl::AcceptPictureDrop() {
  impl_->acceptPictureDrop = true;
  if (impl_->widget) impl_->widget->setAcceptDrops(true);
}
void RectControl::AcceptFileDrop(const std::string& fileType) {
  impl_->acceptedFileTypes.push_back(fileType);
  if (impl_->widget) impl_->widget->setAcceptDrops(true);
}

void RectControl::ApplyProperty(const ::Property& p) {
  ControlImpl& c = *impl_;
  const std::string& n = p.name;
  if (n == "Left") {
    SetLeft(AsInt(p));
  } else if (n == "Top") {
    SetTop(AsInt(p));
  } else if (n == "Width") {
    SetWidth(AsInt(p));
  } else if (n == "Height") {
    SetHeight(AsInt(p));
  } else if (n == "Visible") {
    SetVisible(AsBool(p));
  } else if (n == "Enabled") {
    SetEnabled(AsBool(p));
  } else if (n == "HelpTag") {
    c.helpTag = AsText(p);
    if (c.widget) c.widget->setToolTip(QString::fromStdString(c.helpTag));
  } else if (n == "LockLeft") {
    c.lockLeft = AsBool(p);
  } else if (n == "LockTop") {
    c.lockTop = AsBool(p);
  } else if (n == "LockRight") {
    c.lockRight = AsBool(p);
  } else if (n == "LockBottom") {
    c.lockBottom = AsBool(p);
  } else if (n == "InitialParent") {
    ControlImpl* host = nullptr;
    if (!AsText(p).empty() && c.window) {
      Ref<Control> named = c.window->ControlByName(AsText(p));
      if (named && dynamic_cast<RectControl*>(named.Get())) host = &named->Impl();
    }
    c.Reparent(host);
  } else if (n == "Caption" || n == "Text") {
    c.text = AsText(p);
    ShowText(c);
  } else if (n == "TextFont") {
    c.textFont = AsText(p);
    c.ApplyFont();
  } else if (n == "TextSize") {
    c.textSize = std::get<TextSize>(p.value).points;
    c.ApplyFont();
  } else if (n == "Bold") {
    c.bold = AsBool(p);
    c.ApplyFont();
  } else if (n == "Italic") {
    c.italic = AsBool(p);
    c.ApplyFont();
  } else if (n == "Underline") {
    c.underline = AsBool(p);
    c.ApplyFont();
  } else if (n == "TextColor") {
    c.textColor = std::get<Color>(p.value);
    c.ApplyTextColor();
  }
}
