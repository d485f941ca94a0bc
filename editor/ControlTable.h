#pragma once
// The main window's 27 controls as data, in creation order: what each is,
// where it sits, what it says, and which handlers it is hooked to.

#include <memory>
#include <vector>

#include "framework/Controls.h"
#include "framework/PropertySet.h"
#include "framework/Ref.h"

class MainWindow;

// A kind of control: its property-set class name, how it is made, and the
// values every control of the kind carries.
struct ControlClass {
  const char* name;
  std::shared_ptr<Control> (*make)(class MainWindow& window);
  bool placed;               // has a place and locks: every kind but the timer
  const char* textProperty;  // "Caption", "Text", or nullptr for no text
  PropertySet shared;
};

enum Locks : unsigned { kLockLeft = 1, kLockTop = 2, kLockRight = 4, kLockBottom = 8 };

struct ControlRow {
  const char* name;
  const ControlClass* kind;
  Rect bounds;
  unsigned locks;
  const char* text;     // caption or label text; nullptr for none
  const char* helpTag;  // nullptr for none
  Ref<Picture> (*icon)();
  const char* parent;   // InitialParent; nullptr for the window
  PropertySet other;
  // Hooks the control's events to their handlers, in the hook-up order.
  void (*hookUp)(class MainWindow& window, Control& control);
};

const std::vector<ControlRow>& MainWindowControls();

// The complete property set of one row.
PropertySet PropertiesOf(const ControlRow& row);
