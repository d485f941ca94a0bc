#pragma once
// Framework internals: the native side of the controls. The state that the
// system sets and reads lives here, so a control keeps answering after its
// window has closed and its native widget has gone.

#include <QImage>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "framework/Controls.h"
#include "framework/Runtime.h"
#include "framework/Window.h"

struct ControlImpl {
  ControlImpl(::Window& window, const char* className, QWidget* widget);
  virtual ~ControlImpl();
  ControlImpl(const ControlImpl&) = delete;
  ControlImpl& operator=(const ControlImpl&) = delete;

  // Keeps the window, and so its controls, alive while a toolkit callback
  // runs system code; nil once the window has gone, or for a window not
  // owned by a shared_ptr.
  std::shared_ptr<::Window> KeepAlive() const { return window ? window->weak_from_this().lock() : nullptr; }

  // Geometry. left and top are relative to the parent (the window's content
  // or a group box); the gaps are the distances to the parent's right and
  // bottom edges when the geometry was last set from code.
  std::int64_t WindowLeft() const;
  std::int64_t WindowTop() const;
  // The parent's position in the window's content, and its size.
  std::int64_t ParentLeft() const;
  std::int64_t ParentTop() const;
  std::int64_t ParentWidth() const;
  std::int64_t ParentHeight() const;
  void SetGeometry(std::int64_t l, std::int64_t t, std::int64_t w, std::int64_t h);
  // Moves and stretches by the locks after the parent took a new size.
  void FollowParent(std::int64_t parentWidth, std::int64_t parentHeight);
  // Takes the geometry; a new size goes on to the hook and to the controls
  // inside.
  void Place(std::int64_t l, std::int64_t t, std::int64_t w, std::int64_t h);
  void Reparent(ControlImpl* newParent);
  void PushGeometry();
  void ApplyFont();
  void ApplyTextColor();

  // Hooks for the classes that need them.
  virtual void Resized() {}
  virtual void WindowClosed() {}

  ::Window* window;  // nil once the window has gone
  const char* className;
  std::string name;
  PropertySet properties;
  QPointer<QWidget> widget;
  QObject context;  // toolkit connections end with the control

  ControlImpl* parent = nullptr;
  std::int64_t left = 0, top = 0, width = 0, height = 0;
  std::int64_t rightGap = 0, bottomGap = 0;
  bool lockLeft = false, lockTop = false, lockRight = false, lockBottom = false;
  bool visible = true, enabled = true;
  std::string helpTag;
  ::MouseCursor cursor;
  bool acceptPictureDrop = false;
  std::vector<std::string> acceptedFileTypes;

  std::string textFont;
  float textSize = 0;
  bool bold = false, italic = false, underline = false;
  std::optional<Color> textColor;

  // What the simpler classes hold: a caption or text, a check box's state,
  // an icon, a push button's Default and Cancel.
  std::string text;
  std::int64_t state = 0;
  Ref<Picture> icon;
  bool isDefault = false, isCancel = false;
};

// A canvas's backing store and paint bookkeeping.
struct CanvasImpl : ControlImpl {
  CanvasImpl(Canvas& canvas, ::Window& window);
  ~CanvasImpl() override;
  void Resized() override;
  // Runs the Paint event into the backing store, then the paints asked for
  // meanwhile; never nested.
  void PaintNow(bool erase);
  // Inside a paint, one more after it; otherwise a paint the event loop runs.
  void AskPaint(bool erase);
  void PostPaint();
  bool Accepts(const class QMimeData* mime) const;
  // The canvas's size from its top-left corner as far as its parents and
  // its window show it, at least 1 x 1.
  void ShownSize(std::int64_t& w, std::int64_t& h) const;

  Canvas& canvas;
  std::shared_ptr<PixelBuffer> store;
  int paintDepth = 0;
  bool morePaint = false;
  bool moreErase = false;
  bool paintPosted = false;
  bool paintPending = false;
  std::int64_t paintCount = 0;
  bool transparent = true;
  bool eraseBackground = true;
  bool tracking = false;  // a MouseDown answered True
  QImage screen;
  bool screenStale = true;
};

struct TimerImpl : ControlImpl {
  TimerImpl(Timer& timer, ::Window& window);
  void Restart();
  void Fired();
  void WindowClosed() override { qtimer.stop(); }

  Timer& timer;
  QTimer qtimer;
  std::int64_t period = 1000;
  std::int64_t mode = 0;
};

struct SliderImpl : ControlImpl {
  SliderImpl(Slider& slider, ::Window& window);
  void SetValueFromCode(std::int64_t v);
  Slider& slider;
  std::int64_t minimum = 0, maximum = 100, value = 0;
  bool fromCode = false;
};

namespace fw {
// A property's value, of the kind its name has for the class.
inline std::int64_t AsInt(const Property& p) { return std::get<std::int64_t>(p.value); }
inline bool AsBool(const Property& p) { return std::get<bool>(p.value); }
inline const std::string& AsText(const Property& p) { return std::get<std::string>(p.value); }

// The widget a new control of the window goes into; nil once it has closed.
QWidget* HostFor(::Window& window);

// Runs f for a toolkit callback of the control: its window (and so the
// control) stays alive meanwhile, and nothing escapes into the toolkit.
template <class F>
void FromToolkit(const ControlImpl& c, F&& f) {
  Guard([&] {
    const std::shared_ptr<::Window> keep = c.KeepAlive();
    f();
  });
}
}  // namespace fw
