#pragma once
// For tests and the benchmark only: drive and observe the framework without a
// display or a person.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "framework/Controls.h"
#include "framework/Dialogs.h"
#include "framework/Picture.h"
#include "framework/Random.h"

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

// Keyboard and mouse.
void SetKeyDown(int keyCode, bool down);
void SetMousePosition(std::int64_t x, std::int64_t y);

// Random numbers.
void Seed(Random& r, std::uint64_t seed);
void SeedRnd(std::uint64_t seed);
// Replaces draws with a script (nil function: back to the generator).
void ScriptRandom(Random& r, std::function<std::int64_t(std::int64_t, std::int64_t)> script);
void ScriptRnd(std::function<double()> script);

// Timers: raise Action now, whatever the mode.
void FireTimer(Timer& t);

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

// Named pictures: where OpenFromApp looks, and how often it opened a name.
void SetResourceFolder(const std::string& path);
int OpenFromAppCount(const std::string& name);

// Start-up: the framework's record of the runtime calls, in order.
std::vector<std::string> RuntimeTrace();

}  // namespace TestSeams
