#pragma once
// For tests and the benchmark only: drive and observe the framework without a
// display or a person.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "framework/Controls.h"
#include "framework/Dialogs.h"
#include "framework/Picture.h"
#include "framework/Random.h"

class Window;

namespace TestSeams {

// Brings up the toolkit headless (QT_QPA_PLATFORM=offscreen unless set) and
// turns on every seam below: the log is captured, message boxes and dialogs
// are answered without being shown.
void InitHeadless();
// Closes every live window, forgets the application object and clears
// queues, recordings, held keys and scripts.
void Reset();

// Developer log: while captured, lines are kept instead of written out.
void CaptureLog(bool on);
std::vector<std::string> LogLines();
void ClearLog();

// Message boxes: recorded, never shown.
std::vector<std::string> MessageBoxes();
void ClearMessageBoxes();

// Dialog answers, taken in order; an empty queue answers nil (cancel).
void QueueOpenDialogAnswer(Ref<FolderItem> answer);
void QueueSaveDialogAnswer(Ref<FolderItem> answer);
struct SaveDialogRequest {
  std::string filter;
  std::string defaultName;
};
std::vector<SaveDialogRequest> SaveDialogRequests();
int OpenDialogCount();

// The next dialog or message box is shown for real, modal, and `action` runs
// inside it, as a window's timers and a person's keys do while one is open;
// then it closes and is answered as above.
void InsideNextDialog(std::function<void()> action);
// Runs `action` while a text field has the keyboard focus.
void WithTextFieldFocused(const std::function<void()>& action);
// Saving: from now on the JPEG writes of Picture::Save fail once `bytes`
// more have gone out, as on a disk that fills up part-way (negative: never).
void FailSaveWritesAfter(std::int64_t bytes);

// Keyboard and mouse.
void SetKeyDown(int keyCode, bool down);
void SetMousePosition(std::int64_t x, std::int64_t y);

// Random numbers.
void Seed(Random& r, std::uint64_t seed);
void SeedRnd(std::uint64_t seed);
// Replaces draws with a script (nil function: back to the generator).
void ScriptRandom(Random& r, std::function<std::int64_t(std::int64_t, std::int64_t)> script);
void ScriptRnd(std::function<double()> script);

// Timers: raise Action now, whatever the mode (nothing once the timer's
// window has gone); whether the timer is counting.
void FireTimer(Timer& t);
bool TimerRunning(const Timer& t);

// The toolkit's event loop: runs what is pending (queued paints, timers that
// are due). With a time limit it goes on, waiting for events, until `until`
// answers true or the time is up; returns until's last answer (true without).
bool ProcessEvents(int maxMilliseconds = 0, const std::function<bool()>& until = {});

// A person's input, delivered through the toolkit as the real thing is. Each
// answers false when the control could not take it (hidden, disabled, closed).
// A click on a button or check box.
bool Click(RectControl& c);
// The slider's thumb dragged to value and released.
bool DragSlider(Slider& s, std::int64_t value);
// The left mouse button on a canvas, at (x, y) in its own coordinates.
enum class MouseStep { Press, Move, Release };
bool Mouse(Canvas& c, MouseStep step, std::int64_t x, std::int64_t y);
// Picture data and/or a local file dropped on the control; false when the
// control refused the drag. A picture without pixels (Picture::Undecoded)
// stands for picture data that cannot be read.
bool Drop(RectControl& c, Ref<Picture> picture, const std::string& filePath);
// A physical key of Keyboard (kMinusKey, kEqualsKey) going down or up, and
// the application losing the focus.
void PhysicalKey(int keyCode, bool down, bool autoRepeat = false);
// Any key as a keyboard layout reports it: its X11/xkb key code (20 and 21
// are the minus and equals positions) and the character the layout gives.
void LayoutKey(std::uint32_t xkbKeyCode, const std::string& character, bool down, bool autoRepeat = false);
void DeactivateApplication();
// The title bar's close button; a resize by the window's frame.
void CloseByUser(Window& w);
void ResizeByUser(Window& w, std::int64_t width, std::int64_t height);

// What the toolkit has been told, to check that settings reach the screen.
struct NativeWindow {
  bool exists = false;  // false once the window has closed
  bool shown = false;
  bool titleBar = false, closeButton = false, minimizeButton = false, maximizeButton = false;
  bool fixedSize = false;
  std::int64_t width = 0, height = 0, minWidth = 0, minHeight = 0, maxWidth = 0, maxHeight = 0;
  std::string title;
};
NativeWindow Native(const Window& w);
struct NativeControl {
  bool exists = false;
  bool shown = false;  // would be seen with its window
  bool enabled = false;
  std::int64_t left = 0, top = 0, width = 0, height = 0;  // in the window's content
  std::string toolTip;
  std::string text;
  int alignment = -1;  // a label's: 0 left, 1 centre, 2 right
};
NativeControl Native(const RectControl& c);

// What a control shows on its window: the window's pixels under it.
Ref<Picture> ControlImage(const RectControl& c);

// Canvas: paints run so far, and a copy of the backing store.
std::int64_t PaintCount(const Canvas& c);
Ref<Picture> CanvasImage(const Canvas& c);

// DrawPicture calls, recorded while on.
struct DrawCall {
  const Picture* picture;
  double x, y, destWidth, destHeight, sourceX, sourceY, sourceWidth, sourceHeight;
};
void RecordDrawCalls(bool on);
std::vector<DrawCall> DrawCalls();

// Numbers: the locale whose decimal separator Format writes, by its name
// ("de_DE"). InitHeadless and Reset set "C", so that tests read the same on
// every machine.
void SetLocale(const std::string& name);

// Decoding: the pixel buffers that decoders write into start filled with
// `byte` instead of untouched (nullopt: untouched again), so that a test can
// find a pixel that a decoder never wrote.
void PrefillDecodeBuffers(std::optional<std::uint8_t> byte);

// Named pictures: where OpenFromApp looks, and how often it opened a name.
void SetResourceFolder(const std::string& path);
int OpenFromAppCount(const std::string& name);

// Start-up: the framework's record of the runtime calls, in order, by their
// names ("SetSupportsHiDPI", "RuntimeRegisterAppObject", ...), with
// "Event_Open" when the application's Open event is raised and
// "Window <class name>" when a window is built. Reset empties it.
std::vector<std::string> RuntimeTrace();

}  // namespace TestSeams
