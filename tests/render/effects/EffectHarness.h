#pragma once
// Runs one effect on pictures built in code, as a paint would: the working
// picture and a fresh transparent preview layer, or one picture for both (as
// after an apply in superglitch mode).

#include <cstdint>
#include <functional>

#include "framework/Numbers.h"
#include "framework/Picture.h"
#include "framework/Random.h"
#include "framework/TestSeams.h"
#include "render/effects/Effect.h"

struct EffectRun {
  Ref<Picture> pic;      // the working picture after the run
  Ref<Picture> fxLayer;  // the preview layer after the run (== pic when in place)
};

struct EffectSetup {
  std::int64_t v = 20;
  std::uint64_t seed = 1;     // glitchRandom
  std::uint64_t rndSeed = 2;  // Rnd
  bool samePicture = false;
  double zoomFactor = 1.0;    // the view, for Hertz
};

// Runs `effect` on a copy of `source`; the source is left untouched.
inline EffectRun RunEffect(EffectFunction effect, const Ref<Picture>& source, const EffectSetup& s = {},
                           Random* generator = nullptr) {
  auto pic = MakeRef<Picture>(source->Width(), source->Height());
  {
    RGBSurface from = source->RGBSurface(), to = pic->RGBSurface();
    for (std::int64_t y = 0; y < source->Height(); ++y)
      for (std::int64_t x = 0; x < source->Width(); ++x) to.SetPixel(x, y, from.Pixel(x, y));
  }
  Ref<Picture> fx = s.samePicture ? pic : MakeRef<Picture>(pic->Width(), pic->Height());
  Random own(s.seed);
  Random& r = generator ? *generator : own;
  TestSeams::SeedRnd(s.rndSeed);
  const std::int64_t zW = ToInteger(Round(static_cast<double>(pic->Width()) * s.zoomFactor));
  const std::int64_t zH = ToInteger(Round(static_cast<double>(pic->Height()) * s.zoomFactor));
  effect(EffectContext{pic->RGBSurface(), fx->RGBSurface(), pic->Width(), pic->Height(), s.v, r, zW, zH,
                       s.zoomFactor});
  return {pic, fx};
}
