#include "render/EffectBlocks.h"

#include <cstddef>
#include <cstdint>

#include "app/Pixelmoth.h"
#include "editor/MainWindow.h"

namespace {
void RunEffectBlock(class MainWindow& w, const PaintSurfaces& surfaces, std::int64_t n,
                    const EffectEntry& effect) {
  w.ToolText()->SetText(effect.name);
  // W and H from the current pic: after an apply, the former preview layer.
  const std::int64_t W = w.pic->Width();
  const std::int64_t H = w.pic->Height();
  const std::int64_t v = w.FXSlider()->Value();
  effect.run(EffectContext{surfaces.picSurf, surfaces.fxSurf, W, H, v, *App()->glitchRandom, w.zW, w.zH,
                           w.ZoomFactor});
  // Cleared only once served: an effect that throws leaves it pending.
  w.EffectTrigger(n) = false;
  w.MainCanvas()->Refresh(true);
}
}  // namespace

void RunEffectBlocks(class MainWindow& w, const PaintSurfaces& surfaces, const EffectTable& effects) {
  for (std::int64_t n = 1; n <= 12; ++n) {
    if (w.EffectTrigger(n) && w.fxLayer)
      RunEffectBlock(w, surfaces, n, effects[static_cast<std::size_t>(n - 1)]);
  }
}
