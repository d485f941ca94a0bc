#pragma once
// What every effect promises whatever its strength: the same seeds give the
// same preview, and no pixel of the fresh preview layer is left unwritten.

#include <gtest/gtest.h>

#include "tests/render/effects/EffectChecks.h"

namespace effect_checks {

inline void ExpectRepeatableAndWhole(EffectFunction effect, std::int64_t w, std::int64_t h, std::int64_t v) {
  const Ref<Picture> source = MixedPicture(w, h, 3);
  const EffectRun a = RunEffect(effect, source, {v, 7, 8}), b = RunEffect(effect, source, {v, 7, 8});
  EXPECT_TRUE(SamePixels(a.fxLayer, b.fxLayer));
  EXPECT_TRUE(EveryPixelWritten(a.fxLayer));
}

}  // namespace effect_checks
