#pragma once
// The view step of a paint: the zoomed size, the surfaces, the centring, and
// the working picture drawn with the preview layer over it.

#include "render/PaintCycle.h"

class MainWindow;

// Writes zW, zH, theLeft and theTop, fetches picSurf then fxSurf and draws
// pic then fxLayer into g. Needs pic; a nil fxLayer throws before anything
// is drawn.
PaintSurfaces DrawView(class MainWindow& w, Graphics& g);
