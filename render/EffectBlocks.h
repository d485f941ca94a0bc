#pragma once
// The effect blocks of a paint: the frame every effect shares, around the
// effect's own passes.

#include "render/PaintCycle.h"

class MainWindow;

// Tries blocks 1 to 12 once each, in order; block n runs when triggerFXn is
// set and fxLayer is not nil at its turn.
void RunEffectBlocks(class MainWindow& w, const PaintSurfaces& surfaces, const EffectTable& effects);
