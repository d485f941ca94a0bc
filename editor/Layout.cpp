// The window's own property set and the creation of its controls.
#include <cstdint>
#include <string>

#include "editor/ControlTable.h"
#include "editor/MainWindow.h"

using namespace std::string_literals;

namespace {
using I = std::int64_t;

const PropertySet kWindowProperties = {
    {"Width", I{1000}},
    {"Height", I{700}},
    {"MinWidth", I{800}},
    {"MinHeight", I{600}},
    {"MaxWidth", I{20000}},
    {"MaxHeight", I{20000}},
    {"Frame", I{9}},
    {"Title", "Pixelmoth"s},
    {"CloseButton", true},
    {"Resizeable", true},
    {"MaximizeButton", true},
    {"MinimizeButton", true},
    {"FullScreenButton", true},
    {"Composite", false},
    {"MacProcID", I{0}},
    {"FullScreen", false},
    {"LiveResize", true},
    {"Placement", I{2}},
    {"Visible", true},
    {"HasBackColor", true},
    {"BackColor", RGB(40, 40, 42)},
    {"MenuBarVisible", true},
};
}  // namespace

void MainWindow::Layout() { SetProperties(EncodePropertySet(kWindowProperties, kWindowClass)); }

void MainWindow::CreateControls0() {
  for (const ControlRow& row : MainWindowControls()) {
    AddControl(row.name, row.kind->make(*this));
    if (row.icon) ControlAs<BevelButton>(row.name)->SetIcon(row.icon());
    ControlByName(row.name)->SetProperties(EncodePropertySet(PropertiesOf(row), row.kind->name));
    if (row.hookUp) row.hookUp(*this, *ControlByName(row.name));
  }
}

// The window's opening and its resizes need nothing of the system: the
// controls follow a resize through their locks.
void MainWindow::Event_Open() {}
void MainWindow::Event_Resized() {}
