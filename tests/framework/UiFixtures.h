#pragma once
// A window whose layout and controls come from the test, property-set
// shorthands, and a fixture that leaves the framework as it found it.

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

#include "framework/Controls.h"
#include "framework/PropertySet.h"
#include "framework/TestSeams.h"
#include "framework/Window.h"

inline Property P(const char* name, int v) { return {name, std::int64_t{v}}; }
inline Property P(const char* name, bool v) { return {name, v}; }
inline Property P(const char* name, const char* v) { return {name, std::string(v)}; }
inline Property P(const char* name, Color v) { return {name, v}; }

inline PropertySet Place(int left, int top, int width, int height) {
  return {P("Left", left), P("Top", top), P("Width", width), P("Height", height)};
}
inline PropertySet operator+(PropertySet a, const PropertySet& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

// The main window's kind of property set: 1000 x 700, at least 800 x 600,
// every title-bar button, visible, centred.
inline PropertySet EditorWindowProperties() {
  return {P("Width", 1000), P("Height", 700), P("MinWidth", 800), P("MinHeight", 600), P("MaxWidth", 20000),
          P("MaxHeight", 20000), P("Frame", 9), P("Title", "Pixelmoth"), P("CloseButton", true),
          P("Resizeable", true), P("MaximizeButton", true), P("MinimizeButton", true),
          P("FullScreenButton", true), P("Placement", 2), P("Visible", true), P("HasBackColor", true),
          P("BackColor", RGB(40, 40, 42))};
}

class ScratchWindow : public Window {
 public:
  explicit ScratchWindow(std::string className = "Scratch.Scratch") : Window(std::move(className)) {}

  std::function<void(ScratchWindow&)> layout;
  std::function<void(ScratchWindow&)> createControls;
  // "Layout", "CreateControls", "Open <control>", "Event_Open", "Event_Resized".
  std::vector<std::string> calls;

  void Layout() override {
    calls.push_back("Layout");
    if (layout) layout(*this);
  }
  void CreateControls() override {
    calls.push_back("CreateControls");
    if (createControls) createControls(*this);
  }
  void Event_Open() override { calls.push_back("Event_Open"); }
  void Event_Resized() override { calls.push_back("Event_Resized"); }

  // A control made, registered and set up as the system's windows do it;
  // className is the control's class for the property set.
  template <class C>
  std::shared_ptr<C> Add(const std::string& name, const char* className, const PropertySet& props) {
    std::shared_ptr<C> c = New<C>();
    AddControl(name, c);
    c->SetProperties(EncodePropertySet(props, className));
    if constexpr (std::is_base_of_v<RectControl, C>) {
      c->Open.AddHandler([this, name](RectControl&) { calls.push_back("Open " + name); });
    }
    return c;
  }

  void ApplyWindowProperties(const PropertySet& props) { SetProperties(EncodePropertySet(props, kWindowClass)); }
};

// A built window of the given property set and controls.
inline std::shared_ptr<ScratchWindow> BuildWindow(const PropertySet& windowProps,
                                                  std::function<void(ScratchWindow&)> controls = {},
                                                  const std::string& className = "Scratch.Scratch") {
  auto w = std::make_shared<ScratchWindow>(className);
  w->layout = [windowProps](ScratchWindow& self) { self.ApplyWindowProperties(windowProps); };
  w->createControls = std::move(controls);
  w->Constructor();
  return w;
}

class UiTest : public ::testing::Test {
 protected:
  void SetUp() override { TestSeams::Reset(); }
  void TearDown() override { TestSeams::Reset(); }
};
