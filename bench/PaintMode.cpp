// pixelmoth-bench paint: the time of one paint of the main canvas, through
// the real MainWindow paint, for a 6000 x 6000 photo-like picture under a
// preview layer in the 910 x 647 canvas at several zoom factors: the paint
// when nothing has changed, and the first paint after an effect's pass
// wrote every pixel of the preview layer.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "bench/BenchSupport.h"
#include "bench/Editor.h"
#include "bench/Modes.h"
#include "editor/MainWindow.h"
#include "framework/TestSeams.h"
#include "render/View.h"

namespace {
constexpr std::int64_t kSide = 6000;
constexpr std::int64_t kCanvasW = 910;
constexpr std::int64_t kCanvasH = 647;
constexpr double kFactors[] = {0.1, 0.18, 0.5, 1.0, 8.0};
constexpr int kRuns = 15;
constexpr int kChangedRuns = 5;

// A preview as an effect leaves it: the picture recoloured in places, see-through elsewhere.
Ref<Picture> PreviewLayer() {
  Ref<Picture> layer = Bench::PhotoLikePicture(kSide, kSide, 2);
  RGBSurface s = layer->RGBSurface();
  for (std::int64_t y = 0; y < kSide; ++y)
    for (std::int64_t x = (y / 50) % 2 * 50; x < kSide; x += 100)
      for (std::int64_t i = x; i < x + 50 && i < kSide; ++i) s.SetPixel(i, y, kTransparent);
  return layer;
}
}  // namespace

int RunPaintMode(const Arguments& args) {
  if (!args.empty()) return Bench::Fail("paint", "takes no arguments");
  Ref<class MainWindow> w = Bench::HeadlessEditor();
  const Ref<Canvas> canvas = w->MainCanvas();
  canvas->SetWidth(kCanvasW);
  canvas->SetHeight(kCanvasH);
  w->pic = Bench::PhotoLikePicture(kSide, kSide);
  w->fxLayer = PreviewLayer();
  const RGBSurface fxSurf = w->fxLayer->RGBSurface();
  std::vector<Color> row(kSide);

  // No request is pending, so each Refresh is exactly one paint: the view
  // and the caption.
  Bench::PrintRow({"factor", "zoomed side", "median ms", "runs", "first after a change ms", "runs"});
  for (const double factor : kFactors) {
    w->ZoomFactor = factor;
    canvas->Refresh(true);  // warm-up
    const double ms = Bench::MedianMilliseconds(kRuns, [&] { canvas->Refresh(true); });
    // As an effect leaves it: every pixel read, changed and written back.
    const double changed = Bench::MedianMilliseconds(
        kChangedRuns, [&] { canvas->Refresh(true); },
        [&] {
          for (std::int64_t y = 0; y < kSide; ++y) {
            for (std::int64_t x = 0; x < kSide; ++x) row[x] = fxSurf.Pixel(x, y);
            for (std::int64_t x = 0; x < kSide; ++x) {
              row[x].red = static_cast<std::uint8_t>(row[x].red ^ 0x40);
              fxSurf.SetPixel(x, y, row[x]);
            }
          }
        });
    Bench::PrintRow({Bench::Fixed(factor, 2), std::to_string(ZoomedSize(kSide, factor)), Bench::Fixed(ms, 3),
                     std::to_string(kRuns), Bench::Fixed(changed, 3), std::to_string(kChangedRuns)});
  }
  w = nullptr;
  TestSeams::Reset();
  return 0;
}
