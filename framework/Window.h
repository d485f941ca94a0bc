#pragma once
// Windows: one live window per class name, built by Constructor (Layout, then
// CreateControls, then the controls' Open events and the window's own), found
// again by GetImplicitWindow until it closes.

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "framework/Controls.h"
#include "framework/Picture.h"
#include "framework/PropertySet.h"
#include "framework/Ref.h"

struct WindowImpl;

class Window : public std::enable_shared_from_this<Window> {
 public:
  // className is the name under which the live window is found, for example
  // "MainWindow.MainWindow".
  explicit Window(std::string className);
  virtual ~Window();
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;

  const std::string& ClassName() const noexcept { return className_; }

  // Builds the window through the framework: registers it as the live window
  // of its class, runs Layout and CreateControls, then raises the Open events
  // (each control's, in creation order, then Event_Open). The object must be
  // owned by a std::shared_ptr.
  void Constructor();

  virtual void Layout() = 0;
  virtual void CreateControls() = 0;
  virtual void Event_Open() {}
  virtual void Event_Resized() {}

  // A new control of class C belonging to this window.
  template <class C>
  std::shared_ptr<C> New() {
    return std::make_shared<C>(*this);
  }
  void AddControl(const std::string& name, std::shared_ptr<Control> control);
  // Nil when no control has that name.
  Ref<Control> ControlByName(const std::string& name) const;
  // The control of that name as class C; nil if absent, IllegalCastException
  // if it is of another class.
  template <class C>
  Ref<C> ControlAs(const std::string& name) const {
    Ref<Control> c = ControlByName(name);
    if (!c) return nullptr;
    Ref<C> typed = RefCast<C>(c);
    if (!typed) throw IllegalCastException(name);
    return typed;
  }
  const std::vector<std::shared_ptr<Control>>& Controls() const noexcept { return controls_; }

  // Applies an encoded property set to the window (see PropertySet.h).
  void SetProperties(const std::string& encoded);
  const PropertySet& Properties() const noexcept { return properties_; }

  // Modeless.
  void Show();
  // Stops the window's timers, takes it off the screen and out of the live
  // windows; the object lives on while referenced.
  void Close();
  bool IsOpen() const noexcept { return open_; }
  // The application ends when the last open window that quits on close has
  // closed (the default); a window set to false does not keep it running.
  void SetQuitOnClose(bool quits);
  bool QuitOnClose() const noexcept { return quitOnClose_; }
  bool Visible() const;

  std::string Title() const;
  void SetTitle(const std::string& title);
  Ref<Picture> Backdrop() const { return backdrop_; }
  void SetBackdrop(Ref<Picture> picture);

  // The content area's size; setting it resizes the window, moving and
  // stretching the controls by their locks and raising Event_Resized.
  std::int64_t Width() const;
  std::int64_t Height() const;
  void SetWidth(std::int64_t w);
  void SetHeight(std::int64_t h);
  std::int64_t MinWidth() const;
  std::int64_t MinHeight() const;
  std::int64_t MaxWidth() const;
  std::int64_t MaxHeight() const;

  // Framework internals.
  WindowImpl& Impl() const noexcept { return *impl_; }

 private:
  std::string className_;
  bool open_ = false;
  bool quitOnClose_ = true;
  PropertySet properties_;
  Ref<Picture> backdrop_;
  std::vector<std::shared_ptr<Control>> controls_;
  std::map<std::string, std::shared_ptr<Control>> byName_;
  std::unique_ptr<WindowImpl> impl_;
};

// The live window registered under className, or nil.
Ref<Window> GetImplicitWindow(const std::string& className);

// The live window of class T under className, building one when there is
// none: the accessor shared by every single-instance window class.
template <class T>
Ref<T> ImplicitInstance(const std::string& className) {
  Ref<Window> live = GetImplicitWindow(className);
  if (!live) {
    auto made = std::make_shared<T>();
    made->Constructor();
    return Ref<T>(made);
  }
  Ref<T> typed = RefCast<T>(live);
  if (!typed) throw IllegalCastException(className);
  return typed;
}
