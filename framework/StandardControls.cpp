// Buttons, slider, check box, label and group box.
#include <QCheckBox>
#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QSlider>
#include <QStyleOptionButton>
#include <QToolButton>

#include <algorithm>

#include "framework/Application.h"
#include "framework/ControlImpl.h"
#include "framework/Controls.h"
#include "framework/QtImage.h"

namespace {
using fw::AsBool;
using fw::AsInt;

template <class W>
W* WidgetOf(const ControlImpl& c) {
  return static_cast<W*>(c.widget.data());
}

// An icon button: keeps its icon fitted to its size.
struct BevelImpl : ControlImpl {
  BevelImpl(::Window& w) : ControlImpl(w, "BevelButton", new QToolButton(fw::HostFor(w))) {}
  void Resized() override { FitIcon(); }
  void FitIcon() {
    auto* b = WidgetOf<QToolButton>(*this);
    if (!b || !icon) return;
    // Never larger than the picture, and inside the button's frame.
    const int room = 6;
    const double scale = std::min({1.0, static_cast<double>(std::max<std::int64_t>(1, width - room)) / icon->Width(),
                                   static_cast<double>(std::max<std::int64_t>(1, height - room)) / icon->Height()});
    b->setIconSize(QSize(std::max(1, static_cast<int>(icon->Width() * scale)),
                         std::max(1, static_cast<int>(icon->Height() * scale))));
  }
};

std::unique_ptr<ControlImpl> NewBevelImpl(::Window& w) {
  if (!ClassicControlsAvailable()) {
    throw UnsupportedOperationException("BevelButton needs the classic-controls plug-in");
  }
  return std::make_unique<BevelImpl>(w);
}

// A check box that the user's clicks never put into the mixed state.
class TwoStateClicks : public QCheckBox {
 public:
  using QCheckBox::QCheckBox;

 protected:
  void nextCheckState() override { setCheckState(checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked); }

  // The style draws the box's edge a little darker than the window, so on a
  // dark window the empty box all but vanishes: the edge is drawn again in
  // the dimmed text colour, unless it shows the keyboard focus.
  void paintEvent(QPaintEvent* e) override {
    QCheckBox::paintEvent(e);
    QStyleOptionButton option;
    initStyleOption(&option);
    if ((option.state & QStyle::State_HasFocus) && (option.state & QStyle::State_KeyboardFocusChange)) return;
    const QRect box = style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, this);
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::Disabled, QPalette::WindowText));
    painter.drawRect(box.adjusted(0, 0, -1, -1));
  }
};

Qt::CheckState ToCheckState(std::int64_t s) {
  return s == 1 ? Qt::Checked : (s == 2 ? Qt::PartiallyChecked : Qt::Unchecked);
}

// TextAlign 0 left, 1 centre, 2 (or more) right.
Qt::Alignment LabelAlignment(std::int64_t textAlign, bool multiline) {
  const Qt::Alignment h = textAlign == 1 ? Qt::AlignHCenter : (textAlign >= 2 ? Qt::AlignRight : Qt::AlignLeft);
  return h | (multiline ? Qt::AlignTop : Qt::AlignVCenter);
}
}  // namespace

// --- BevelButton -------------------------------------------------------------

BevelButton::BevelButton(::Window& window) : RectControl(window, NewBevelImpl(window)) {
  if (auto* b = WidgetOf<QToolButton>(*impl_)) {
    b->setToolButtonStyle(Qt::ToolButtonIconOnly);
    b->setFocusPolicy(Qt::TabFocus);
    QObject::connect(b, &QToolButton::clicked, &impl_->context,
                     [this] { fw::FromToolkit(*impl_, [this] { Action.Raise(*this); }); });
  }
}

Ref<Picture> BevelButton::Icon() const { return impl_->icon; }

void BevelButton::SetIcon(Ref<Picture> icon) {
  auto& c = static_cast<BevelImpl&>(*impl_);
  c.icon = std::move(icon);
  auto* b = WidgetOf<QToolButton>(c);
  if (!b) return;
  QIcon qicon;
  if (c.icon && c.icon->IsDecoded()) {
    qicon.addPixmap(QPixmap::fromImage(fw::ToQImage(*c.icon)));
    const Ref<Picture>& hi = c.icon->HighResolution();
    if (hi && hi->IsDecoded() && hi->Width() > c.icon->Width()) {
      QPixmap sharp = QPixmap::fromImage(fw::ToQImage(*hi));
      sharp.setDevicePixelRatio(static_cast<double>(hi->Width()) / static_cast<double>(c.icon->Width()));
      qicon.addPixmap(sharp);
    }
  }
  b->setIcon(qicon);
  c.FitIcon();
}

std::string BevelButton::Caption() const { return impl_->text; }

// --- PushButton --------------------------------------------------------------

PushButton::PushButton(::Window& window)
    : RectControl(window, std::make_unique<ControlImpl>(window, "PushButton", new QPushButton(fw::HostFor(window)))) {
  if (auto* b = WidgetOf<QPushButton>(*impl_)) {
    b->setAutoDefault(false);
    QObject::connect(b, &QPushButton::clicked, &impl_->context,
                     [this] { fw::FromToolkit(*impl_, [this] { Action.Raise(*this); }); });
  }
}

std::string PushButton::Caption() const { return impl_->text; }

void PushButton::ApplyProperty(const ::Property& p) {
  if (p.name == "Default") {
    impl_->isDefault = AsBool(p);
    if (auto* b = WidgetOf<QPushButton>(*impl_)) b->setDefault(impl_->isDefault);
  } else if (p.name == "Cancel") {
    impl_->isCancel = AsBool(p);
  } else {
    RectControl::ApplyProperty(p);
  }
}

// --- Slider ------------------------------------------------------------------

SliderImpl::SliderImpl(Slider& s, ::Window& w)
    : ControlImpl(w, "Slider", new QSlider(Qt::Horizontal, fw::HostFor(w))), slider(s) {}

void SliderImpl::SetValueFromCode(std::int64_t v) {
  value = std::clamp(v, std::min(minimum, maximum), std::max(minimum, maximum));
  if (auto* q = WidgetOf<QSlider>(*this)) {
    const bool was = fromCode;
    fromCode = true;
    q->setValue(static_cast<int>(value));
    fromCode = was;
  }
}

Slider::Slider(::Window& window) : RectControl(window, std::make_unique<SliderImpl>(*this, window)) {
  auto& c = static_cast<SliderImpl&>(*impl_);
  if (auto* q = WidgetOf<QSlider>(c)) {
    q->setRange(static_cast<int>(c.minimum), static_cast<int>(c.maximum));
    QObject::connect(q, &QSlider::valueChanged, &c.context, [this, &c](int v) {
      c.value = v;
      if (c.fromCode) return;
      fw::FromToolkit(c, [this] { ValueChanged.Raise(*this); });
    });
  }
}

std::int64_t Slider::Value() const { return static_cast<const SliderImpl&>(*impl_).value; }
void Slider::SetValue(std::int64_t v) { static_cast<SliderImpl&>(*impl_).SetValueFromCode(v); }
std::int64_t Slider::Minimum() const { return static_cast<const SliderImpl&>(*impl_).minimum; }
std::int64_t Slider::Maximum() const { return static_cast<const SliderImpl&>(*impl_).maximum; }

void Slider::ApplyProperty(const ::Property& p) {
  auto& c = static_cast<SliderImpl&>(*impl_);
  auto* q = WidgetOf<QSlider>(c);
  const std::string& n = p.name;
  const bool was = c.fromCode;
  c.fromCode = true;  // nothing applied from a property set is the user's move
  if (n == "Minimum" || n == "Maximum") {
    (n == "Minimum" ? c.minimum : c.maximum) = AsInt(p);
    if (q) q->setRange(static_cast<int>(std::min(c.minimum, c.maximum)), static_cast<int>(std::max(c.minimum, c.maximum)));
    c.SetValueFromCode(c.value);
  } else if (n == "Value") {
    c.SetValueFromCode(AsInt(p));
  } else if (n == "LineStep") {
    if (q) q->setSingleStep(static_cast<int>(AsInt(p)));
  } else if (n == "PageStep") {
    if (q) q->setPageStep(static_cast<int>(AsInt(p)));
  } else if (n == "LiveScroll") {
    // Without live scrolling a drag reports its value once, on release.
    if (q) q->setTracking(AsBool(p));
  } else if (n == "TickStyle") {
    static constexpr QSlider::TickPosition kTicks[] = {QSlider::NoTicks, QSlider::TicksAbove, QSlider::TicksBelow,
                                                      QSlider::TicksBothSides};
    const std::int64_t t = AsInt(p);
    if (q) q->setTickPosition(kTicks[t >= 0 && t <= 3 ? t : 0]);
  } else {
    RectControl::ApplyProperty(p);
    if (q && (n == "Width" || n == "Height")) q->setOrientation(c.height > c.width ? Qt::Vertical : Qt::Horizontal);
  }
  c.fromCode = was;
}

// --- CheckBox ----------------------------------------------------------------

CheckBox::CheckBox(::Window& window)
    : RectControl(window, std::make_unique<ControlImpl>(window, "CheckBox", new TwoStateClicks(fw::HostFor(window)))) {
  if (auto* b = WidgetOf<QCheckBox>(*impl_)) {
    QObject::connect(b, &QCheckBox::clicked, &impl_->context, [this, b] {
      impl_->state = b->checkState() == Qt::Checked ? 1 : (b->checkState() == Qt::PartiallyChecked ? 2 : 0);
      fw::FromToolkit(*impl_, [this] { Action.Raise(*this); });
    });
  }
}

std::int64_t CheckBox::State() const { return impl_->state; }

void CheckBox::SetState(std::int64_t s) {
  impl_->state = std::clamp<std::int64_t>(s, 0, 2);
  if (auto* b = WidgetOf<QCheckBox>(*impl_)) {
    if (impl_->state == 2) b->setTristate(true);
    b->setCheckState(ToCheckState(impl_->state));
  }
}

std::string CheckBox::Caption() const { return impl_->text; }

void CheckBox::ApplyProperty(const ::Property& p) {
  if (p.name == "State") {
    SetState(AsInt(p));
  } else if (p.name == "Value") {
    SetState(AsBool(p) ? 1 : 0);
  } else {
    RectControl::ApplyProperty(p);
  }
}

// --- Label -------------------------------------------------------------------

Label::Label(::Window& window)
    : RectControl(window, std::make_unique<ControlImpl>(window, "Label", new QLabel(fw::HostFor(window)))) {
  if (auto* l = WidgetOf<QLabel>(*impl_)) {
    l->setTextFormat(Qt::PlainText);
    l->setAlignment(LabelAlignment(0, false));
  }
}

std::string Label::Text() const { return impl_->text; }

void Label::SetText(const std::string& text) {
  ApplyProperty(::Property{"Text", text});
}

void Label::ApplyProperty(const ::Property& p) {
  auto* l = WidgetOf<QLabel>(*impl_);
  if (p.name == "TextAlign" || p.name == "Multiline") {
    // Both are kept already; the alignment depends on the two together.
    const bool multiline = fw::PropertyOr(impl_->properties, "Multiline", false);
    if (l) {
      l->setWordWrap(multiline);
      l->setAlignment(LabelAlignment(fw::PropertyOr<std::int64_t>(impl_->properties, "TextAlign", 0), multiline));
    }
  } else if (p.name == "Selectable") {
    if (l) l->setTextInteractionFlags(AsBool(p) ? Qt::TextSelectableByMouse : Qt::NoTextInteraction);
  } else {
    RectControl::ApplyProperty(p);
  }
}

// --- GroupBox ----------------------------------------------------------------

GroupBox::GroupBox(::Window& window)
    : RectControl(window, std::make_unique<ControlImpl>(window, "GroupBox", new QGroupBox(fw::HostFor(window)))) {}

std::string GroupBox::Caption() const { return impl_->text; }
