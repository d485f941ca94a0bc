#pragma once
// One paint of the main canvas: guard, view, zoom caption, then the pending
// requests in their fixed order: apply, cancel, effect blocks 1 to 12.

#include <array>

#include "framework/Picture.h"
#include "render/effects/Effect.h"

class MainWindow;

// The surfaces a paint fetches once, right after the zoomed size, and holds
// to its end. Only an apply points picSurf elsewhere: at the preview's pixels.
struct PaintSurfaces {
  RGBSurface picSurf;
  RGBSurface fxSurf;
};

using EffectTable = std::array<EffectEntry, 12>;

// The paint of MainCanvas into g, serving effect n by effects[n - 1]
// (MainCanvas_Paint passes kEffects). Catches nothing: an exception ends the
// paint and leaves the flag being served set.
void PaintCycle(class MainWindow& w, Graphics& g, const EffectTable& effects);
