#pragma once
// Hue, saturation and value of a run of pixels raised by factors:
// px[i] = HSV(Hue × hueFactor[i], Saturation × saturationFactor[i],
// Value × valueFactor, 0), in place. Without saturation factors the
// saturation is the pixel's own, as a factor of 1.0 would leave it. Each
// pixel's conversions stay in vector registers, on the widest vector unit the
// processor has; the result is the one-pixel functions', bit for bit.

#include <cstdint>

#include "framework/Color.h"

void RaiseColours(Color* px, std::int64_t n, const double* hueFactor, const double* saturationFactor,
                  double valueFactor) noexcept;
