#pragma once
// The pixel work of Overdrive's passes, one set of functions for any x86-64
// and one that keeps each pixel's colour conversions in AVX-512 registers;
// both give the same pixels, bit for bit. The effect takes the fastest set
// this processor runs; RunPortably runs it on the first set, so that tests
// reach it on any machine.

#include <cstdint>

#include "framework/Picture.h"
#include "render/effects/BoostDraws.h"
#include "render/effects/ColumnStrip.h"
#include "render/effects/Effect.h"

namespace overdrive {

struct Kernels {
  column_strip::ReadFunction readStrip;
  column_strip::WriteFunction writeStrip;
  BoostDraws::Decoder decoder;
  // Tone bands of px[0..n), in place.
  void (*tone)(Color* px, std::int64_t n) noexcept;
  // The second pass on px[0..n): each pixel that drew a raise gets
  // HSV(Hue x hue factor, Saturation x saturation factor, Value, 0).
  void (*boost)(Color* px, std::int64_t n, const BoostDraws::Raised& raised) noexcept;
  // The third pass on pixels x0 to x1 - 1 of row y, in place:
  // HSV(Hue x factor, Saturation, Value, 0).
  void (*bandRow)(const RGBSurface& s, std::int64_t x0, std::int64_t x1, std::int64_t y, double factor) noexcept;
  // The third and fourth pass on px[0..n) of one column: first
  // HSV(Hue x band[i], Saturation, Value, 0), then of that
  // HSV(Hue x hueFactor[i], Saturation x saturationFactor[i], Value x 1.2, 0).
  void (*bandAndPatch)(Color* px, std::int64_t n, const double* band, const double* hueFactor,
                       const double* saturationFactor) noexcept;

  static const Kernels& Fastest();
  static const Kernels& Portable();
};

// Overdrive on the portable kernels.
void RunPortably(const EffectContext& c);

}  // namespace overdrive
