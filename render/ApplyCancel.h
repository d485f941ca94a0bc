#pragma once
// Apply makes the preview layer the working picture; cancel gives the
// preview layer a fresh transparent picture. Both leave the controls as they
// are when no effect is selected and ask for one more paint.

#include "render/PaintCycle.h"

class MainWindow;

// Points picSurf at the preview's pixels for the rest of the paint. In
// superglitch mode pic and fxLayer stay one picture.
void ApplyPreview(class MainWindow& w, PaintSurfaces& surfaces);

// Touches neither pic nor the paint's surfaces: a block served later in the
// same paint still writes into the discarded layer (or into pic, when the
// two were one picture).
void CancelPreview(class MainWindow& w);
