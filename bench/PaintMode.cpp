// pixelmoth-bench paint: the time of one paint of the main canvas, through
// the real MainWindow paint, for a 6000 x 6000 photo-like picture in the
// 910 x 647 canvas at several zoom factors.

#include <cstdint>
#include <memory>
#include <string>

#include "app/Pixelmoth.h"
#include "bench/BenchSupport.h"
#include "bench/Modes.h"
#include "editor/MainWindow.h"
#include "framework/Application.h"
#include "framework/TestSeams.h"
#include "render/View.h"

namespace {
constexpr std::int64_t kSide = 6000;
constexpr std::int64_t kCanvasW = 910;
constexpr std::int64_t kCanvasH = 647;
constexpr double kFactors[] = {0.1, 1.0, 8.0};
constexpr int kRuns = 15;
}  // namespace

int RunPaintMode(const Arguments& args) {
  if (!args.empty()) return Bench::Fail("paint", "takes no arguments");
  TestSeams::InitHeadless();
  RuntimeRegisterAppObject(std::make_shared<Pixelmoth>());
  App()->Event_Open();
  TestSeams::Seed(*App()->glitchRandom, 1);
  TestSeams::SeedRnd(2);

  Ref<class MainWindow> w = MainWindow();
  const Ref<Canvas> canvas = w->MainCanvas();
  canvas->SetWidth(kCanvasW);
  canvas->SetHeight(kCanvasH);
  w->pic = Bench::PhotoLikePicture(kSide, kSide);
  w->fxLayer = MakeRef<Picture>(kSide, kSide);

  // No request is pending, so each Refresh is exactly one paint: the view
  // and the caption.
  Bench::PrintRow({"factor", "zoomed side", "median ms", "runs"});
  for (const double factor : kFactors) {
    w->ZoomFactor = factor;
    canvas->Refresh(true);  // warm-up
    const double ms = Bench::MedianMilliseconds(kRuns, [&] { canvas->Refresh(true); });
    Bench::PrintRow({Bench::Fixed(factor, 1), std::to_string(ZoomedSize(kSide, factor)), Bench::Fixed(ms, 3),
                     std::to_string(kRuns)});
  }
  w = nullptr;
  TestSeams::Reset();
  return 0;
}
