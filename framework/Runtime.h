#pragma once
// Framework internals shared by its source files: the toolkit's application
// object, the guard around every call from the toolkit into system code, the
// runtime trace and the state of the test seams. Not for the system's code.

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

#include "framework/Dialogs.h"
#include "framework/PropertySet.h"
#include "framework/TestSeams.h"

namespace fw {

// Creates the toolkit's application object once, with the program name only
// and the framework's look; does nothing when it exists.
void EnsureToolkit();
// True when a screen a person can see is there (not the offscreen platform).
bool ToolkitHasDisplay();
// True while RuntimeRun's event loop runs.
bool EventLoopRunning();

// Runs f on behalf of a toolkit callback: whatever f throws is written to the
// developer log as one line and goes no further, so the toolkit never sees a
// C++ exception. Event::Raise inside f already catches per handler.
void Guard(const std::function<void()>& f);

// One entry of the runtime trace (TestSeams::RuntimeTrace).
void Trace(const std::string& entry);
// Forgets the application object and the exit code; the framework's own
// exception helper again.
void ResetRuntime();
// The classic-controls plug-in's entry points, filled or not.
void SetClassicControlsAvailable(bool available);

// The physical-key tracker behind Keyboard::AsyncKeyDown. X11 and Wayland
// report a physical key as its xkb key code.
inline constexpr std::uint32_t kMinusScanCode = 20;
inline constexpr std::uint32_t kEqualsScanCode = 21;
void InstallKeyTracker();
void ReleaseAllKeys();
bool PhysicalKeyDown(int keyCode);

// Adds p to a kept property set; a later value replaces the earlier one in
// its place.
void Keep(PropertySet& kept, const Property& p);

// The value of a property in a set, or fallback when it is absent or of
// another kind.
template <class T>
T PropertyOr(const PropertySet& set, std::string_view name, T fallback) {
  const PropertyValue* v = FindProperty(set, name);
  const T* t = v ? std::get_if<T>(v) : nullptr;
  return t ? *t : fallback;
}

// Every open window, closed; used by Reset and the finalisers.
void CloseAllWindows();

struct SeamState {
  bool on = false;  // message boxes and dialogs answered without being shown
  std::vector<std::string> messageBoxes;
  std::deque<Ref<FolderItem>> openAnswers;
  std::deque<Ref<FolderItem>> saveAnswers;
  std::vector<TestSeams::SaveDialogRequest> saveRequests;
  int openDialogs = 0;
  std::map<int, bool> keys;
  std::optional<std::pair<std::int64_t, std::int64_t>> mouse;
  std::vector<std::string> trace;
  std::optional<std::uint8_t> decodePrefill;  // TestSeams::PrefillDecodeBuffers
  std::function<void()> insideNextDialog;      // TestSeams::InsideNextDialog
  std::int64_t saveBytesLeft = -1;  // negative: saves are not made to fail
};
SeamState& Seams();

}  // namespace fw
