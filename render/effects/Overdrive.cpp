#include "render/effects/Effect.h"

// Not built yet: leaves the preview layer as it is.
void Overdrive(const EffectContext&) {}
