#include "shell/AboutPixelmoth.h"

#include <string>
#include <vector>

#include "framework/PropertySet.h"
#include "shell/AboutText.h"

namespace {
using Int = std::int64_t;

// Resizable, never smaller than 600 x 400, with close and minimise buttons.
const PropertySet kWindowProperties = {
    {"Width", Int{600}},
    {"Height", Int{400}},
    {"MinWidth", Int{600}},
    {"MinHeight", Int{400}},
    {"MaxWidth", Int{20000}},
    {"MaxHeight", Int{20000}},
    {"Frame", Int{9}},
    {"Title", std::string()},
    {"CloseButton", true},
    {"Resizeable", true},
    {"MaximizeButton", false},
    {"MinimizeButton", true},
    {"FullScreenButton", false},
    {"Composite", false},
    {"MacProcID", Int{0}},
    {"FullScreen", false},
    {"LiveResize", true},
    {"Placement", Int{2}},
    {"Visible", true},
    {"HasBackColor", true},
    {"BackColor", RGB(29, 29, 29)},
    {"MenuBarVisible", true},
};

// What differs between the two labels; the rest of their property sets is
// shared.
struct LabelRow {
  const char* name;
  Color textColor;
  Int textAlign;
  const char* text;
  bool multiline;
  Int tabIndex;
  bool lockTop;
  Rect bounds;
};

// The description grows with the window; the notice keeps its place 20
// pixels above the bottom edge.
const LabelRow kLabels[] = {
    {"Label1", RGB(245, 245, 245), 0, kAboutDescription, true, 0, true, {20, 20, 560, 328}},
    {"Label2", RGB(233, 233, 233), 1, kAboutNotice, false, 1, false, {20, 360, 560, 20}},
};

PropertySet LabelProperties(const LabelRow& r) {
  return {
      {"InitialParent", std::string()},
      {"DataField", std::string()},
      {"DataSource", std::string()},
      {"Underline", false},
      {"TextUnit", Int{0}},
      {"TextSize", TextSize{0.0f}},
      {"TextFont", std::string("System")},
      {"Italic", false},
      {"Bold", false},
      {"Visible", true},
      {"Transparent", false},
      {"TextColor", r.textColor},
      {"TextAlign", r.textAlign},
      {"Text", std::string(r.text)},
      {"Selectable", false},
      {"Multiline", r.multiline},
      {"HelpTag", std::string()},
      {"Enabled", true},
      {"AutoDeactivate", true},
      {"TabStop", true},
      {"TabPanelIndex", Int{0}},
      {"TabIndex", r.tabIndex},
      {"LockBottom", true},
      {"LockRight", true},
      {"LockTop", r.lockTop},
      {"LockLeft", true},
      {"Height", r.bounds.height},
      {"Width", r.bounds.width},
      {"Top", r.bounds.top},
      {"Left", r.bounds.left},
      {"Index", Int{-2147483648LL}},
      {"Name", std::string(r.name)},
  };
}
}  // namespace

// The about window stands beside the editor: closing the main window ends
// the application even while it is open.
AboutPixelmoth::AboutPixelmoth() : Window(kClassName) { SetQuitOnClose(false); }

void AboutPixelmoth::Layout() { SetProperties(EncodePropertySet(kWindowProperties, kWindowClass)); }

void AboutPixelmoth::CreateControls() { CreateControls0(); }

void AboutPixelmoth::CreateControls0() {
  for (const LabelRow& row : kLabels) {
    AddControl(row.name, New<Label>());
    ControlByName(row.name)->SetProperties(EncodePropertySet(LabelProperties(row), "Label"));
  }
}

Ref<Label> AboutPixelmoth::Label1() const { return ControlAs<Label>("Label1"); }
Ref<Label> AboutPixelmoth::Label2() const { return ControlAs<Label>("Label2"); }

Ref<class AboutPixelmoth> AboutPixelmoth() { return ImplicitInstance<class AboutPixelmoth>(AboutPixelmoth::kClassName); }
