// pixelmoth-bench memory: the editor's peak resident memory, headless, for
// a 6000 x 6000 JPEG loaded through the open dialog, every effect previewed,
// the last applied and the result saved through the save dialog; read from
// /proc/self/status after each step.

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <memory>
#include <string>

#include "bench/BenchSupport.h"
#include "bench/Editor.h"
#include "bench/Modes.h"
#include "editor/MainWindow.h"
#include "framework/Dialogs.h"
#include "framework/Numbers.h"
#include "framework/TestSeams.h"

namespace {
constexpr std::int64_t kSide = 6000;
constexpr double kMiB = 1024.0 * 1024.0;

// A field of /proc/self/status in bytes ("VmHWM", "VmRSS"); 0 when absent.
double StatusBytes(const std::string& field) {
  std::ifstream status("/proc/self/status");
  std::string name;
  while (status >> name) {
    if (name == field + ":") {
      double kib = 0;
      status >> kib;
      return kib * 1024.0;
    }
    status.ignore(1 << 12, '\n');
  }
  return 0;
}

// Starts the peak over from the memory resident now, so that making the
// input file is not counted. False where the system does not allow it.
bool ResetPeak() {
  std::ofstream clear("/proc/self/clear_refs");
  clear << "5";
  clear.flush();
  return static_cast<bool>(clear);
}

void PrintStep(const std::string& step) {
  const double picture = static_cast<double>(kSide * kSide * 4);
  const double peak = StatusBytes("VmHWM");
  Bench::PrintRow({step, Bench::Fixed(peak / kMiB, 0), Bench::Fixed(StatusBytes("VmRSS") / kMiB, 0),
                   Bench::Fixed(peak / picture, 2)});
}

}  // namespace

int RunMemoryMode(const Arguments& args) {
  if (!args.empty()) return Bench::Fail("memory", "takes no arguments");
  const Bench::WorkFolder work("pixelmoth-memory");
  if (work.Path().empty()) return Bench::Fail("memory", "cannot make a work folder");
  const FolderItem in(work.Path() + "/in.jpeg");
  if (!Bench::PhotoLikePicture(kSide, kSide)->Save(in, Picture::SaveAsJPEG, 90))
    return Bench::Fail("memory", "cannot write " + in.NativePath());

  Ref<class MainWindow> w = Bench::HeadlessEditor();
  const bool reset = ResetPeak();

  Bench::PrintRow({"step", "peak MiB", "resident MiB", "peak / picture"});
  PrintStep("start");
  TestSeams::QueueOpenDialogAnswer(MakeRef<FolderItem>(in));
  w->LoadButton()->Action.Raise(*w->LoadButton());
  if (!w->pic) return Bench::Fail("memory", "the picture was not loaded");
  PrintStep("load");
  for (int n = 1; n <= 12; ++n) {
    const Ref<BevelButton> button = w->ControlAs<BevelButton>("FX" + Str(n));
    button->Action.Raise(*button);
    PrintStep("preview " + Str(n));
  }
  w->ApplyButton()->Action.Raise(*w->ApplyButton());
  PrintStep("apply");
  TestSeams::QueueSaveDialogAnswer(MakeRef<FolderItem>(work.Path() + "/out.jpeg"));
  w->SaveButton()->Action.Raise(*w->SaveButton());
  PrintStep("save");
  if (!reset) std::fprintf(stderr, "pixelmoth-bench memory: the peak includes making the input file\n");

  w = nullptr;
  TestSeams::Reset();
  return 0;
}
