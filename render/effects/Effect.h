#pragma once
// What an effect reads and writes. The paint's frame around it (caption,
// clearing the trigger, repaint) lives once, in the paint cycle.

#include <array>
#include <cstdint>

#include "framework/Picture.h"
#include "framework/Random.h"

struct EffectContext {
  // Source pixels are read through picSurf, results written through fxSurf;
  // both may address one picture (after an apply in superglitch mode).
  RGBSurface picSurf;
  RGBSurface fxSurf;
  std::int64_t W;
  std::int64_t H;
  // The strength, 1 to 100.
  std::int64_t v;
  Random& glitchRandom;
  // The view, read by Hertz only.
  std::int64_t zW;
  std::int64_t zH;
  double ZoomFactor;
};

using EffectFunction = void (*)(const EffectContext&);

struct EffectEntry {
  const char* name;  // the display name: help tag and ToolText caption
  EffectFunction run;
};

void YGlitch(const EffectContext& c);
void Hertz(const EffectContext& c);
void Blockr(const EffectContext& c);
void Ghost(const EffectContext& c);
void Diacritix(const EffectContext& c);
void Taraxacum(const EffectContext& c);
void Coaxial(const EffectContext& c);
void Corrupted(const EffectContext& c);
void Broken(const EffectContext& c);
void BadCopy(const EffectContext& c);
void Amplifier(const EffectContext& c);
void Overdrive(const EffectContext& c);

// Effect n is kEffects[n - 1].
extern const std::array<EffectEntry, 12> kEffects;
