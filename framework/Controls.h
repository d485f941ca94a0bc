#pragma once
// Controls: one class per kind the windows use. Each is created through its
// window (Window::New), registered under its name (Window::AddControl) and
// set up by its property set (SetProperties). Geometry is in pixels of the
// window's content area, also for controls placed inside a GroupBox.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "framework/Event.h"
#include "framework/Picture.h"
#include "framework/PropertySet.h"
#include "framework/Ref.h"

class Window;
class DragItem;
struct ControlImpl;

struct Rect {
  std::int64_t left = 0, top = 0, width = 0, height = 0;
};

// A system cursor (System::Cursors); id 0 is "none set".
struct MouseCursor {
  int id = 0;
  friend bool operator==(const MouseCursor& a, const MouseCursor& b) noexcept { return a.id == b.id; }
};

class Control {
 public:
  virtual ~Control();
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;

  const std::string& Name() const noexcept;
  // The owning window; nil once it has gone.
  ::Window* Window() const noexcept;

  // Applies an encoded property set (see PropertySet.h). Properties the
  // control does not act on are kept and can be read back.
  void SetProperties(const std::string& encoded);
  // Everything applied so far, in order, a later value replacing an earlier.
  const PropertySet& Properties() const noexcept;
  const PropertyValue* Property(const std::string& name) const;

  // Framework internals.
  ControlImpl& Impl() const noexcept { return *impl_; }
  void SetNameForRegistration(const std::string& name);

 protected:
  explicit Control(::Window& window, std::unique_ptr<ControlImpl> impl);
  virtual void ApplyProperty(const ::Property& p);

  std::unique_ptr<ControlImpl> impl_;
};

class RectControl : public Control {
 public:
  std::int64_t Left() const;
  std::int64_t Top() const;
  std::int64_t Width() const;
  std::int64_t Height() const;
  void SetLeft(std::int64_t v);
  void SetTop(std::int64_t v);
  void SetWidth(std::int64_t v);
  void SetHeight(std::int64_t v);

  bool Visible() const;
  void SetVisible(bool v);
  bool Enabled() const;
  void SetEnabled(bool v);
  std::string HelpTag() const;
  bool LockLeft() const;
  bool LockTop() const;
  bool LockRight() const;
  bool LockBottom() const;

  // Repaint at once (see Canvas for the paint rules).
  virtual void Refresh(bool eraseBackground = true);
  // Mark for a later repaint.
  virtual void Invalidate(bool eraseBackground = true);
  // Paints the control into g with its top-left corner at (x, y).
  virtual void DrawInto(Graphics& g, std::int64_t x, std::int64_t y);

  ::MouseCursor MouseCursor() const;
  void SetMouseCursor(::MouseCursor c);

  void AcceptPictureDrop();
  void AcceptFileDrop(const std::string& fileType);

  Event<void(RectControl&)> Open;

 protected:
  using Control::Control;
  void ApplyProperty(const ::Property& p) override;
};

// A drawing area whose content comes from its Paint event.
//
// Paint rules: Refresh(True) outside the canvas's own paint runs the Paint
// handler before it returns, into the canvas's backing store, then puts the
// store on screen. Refresh or Invalidate asked inside the paint only marks
// one more paint, run right after the current paint has returned; never a
// nested paint. Invalidate outside a paint marks a paint that the event loop
// runs soon after.
class Canvas : public RectControl {
 public:
  explicit Canvas(::Window& window);

  void Refresh(bool eraseBackground = true) override;
  void Invalidate(bool eraseBackground = true) override;
  void DrawInto(Graphics& g, std::int64_t x, std::int64_t y) override;
  bool IsPainting() const noexcept;

  Event<void(Canvas&, Graphics&, const std::vector<Rect>&)> Paint;
  Event<void(Canvas&)> GotFocus;
  Event<bool(Canvas&, std::int64_t, std::int64_t)> MouseDown;
  Event<void(Canvas&, std::int64_t, std::int64_t)> MouseDrag;
  Event<void(Canvas&, std::int64_t, std::int64_t)> MouseUp;
  Event<void(Canvas&, DragItem&, std::int64_t)> DropObject;

 protected:
  void ApplyProperty(const ::Property& p) override;
};

// An icon button (from the classic-controls plug-in).
class BevelButton : public RectControl {
 public:
  // Throws UnsupportedOperationException before the classic-controls plug-in
  // entry points are filled (see Application.h).
  explicit BevelButton(::Window& window);
  Ref<Picture> Icon() const;
  void SetIcon(Ref<Picture> icon);
  std::string Caption() const;
  Event<void(BevelButton&)> Action;
};

class PushButton : public RectControl {
 public:
  explicit PushButton(::Window& window);
  std::string Caption() const;
  Event<void(PushButton&)> Action;

 protected:
  void ApplyProperty(const ::Property& p) override;
};

// Assigning Value from code does not raise ValueChanged; the user's moves do.
class Slider : public RectControl {
 public:
  explicit Slider(::Window& window);
  std::int64_t Value() const;
  void SetValue(std::int64_t v);
  std::int64_t Minimum() const;
  std::int64_t Maximum() const;
  Event<void(Slider&)> ValueChanged;

 protected:
  void ApplyProperty(const ::Property& p) override;
};

// State 0 unchecked, 1 checked, 2 mixed. Action is raised when the user
// clicks it, not when State is assigned from code.
class CheckBox : public RectControl {
 public:
  explicit CheckBox(::Window& window);
  std::int64_t State() const;
  void SetState(std::int64_t s);
  std::string Caption() const;
  Event<void(CheckBox&)> Action;

 protected:
  void ApplyProperty(const ::Property& p) override;
};

class Label : public RectControl {
 public:
  explicit Label(::Window& window);
  std::string Text() const;
  void SetText(const std::string& text);

 protected:
  void ApplyProperty(const ::Property& p) override;
};

class GroupBox : public RectControl {
 public:
  explicit GroupBox(::Window& window);
  std::string Caption() const;
};

// Mode 0 off, 1 single, 2 repeating; Period in milliseconds. A timer refers
// to its window only weakly and stops when the window closes.
class Timer : public Control {
 public:
  explicit Timer(::Window& window);
  ~Timer() override;
  std::int64_t Period() const;
  std::int64_t Mode() const;
  void SetPeriod(std::int64_t ms);
  void SetMode(std::int64_t mode);
  Event<void(Timer&)> Action;

 protected:
  void ApplyProperty(const ::Property& p) override;
};
