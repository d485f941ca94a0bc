#pragma once
// Colour conversions over runs of pixels, for the effects' hot loops.
//
// Each function gives, element by element, exactly what Color::Hue,
// Saturation, Value and HSV give one pixel at a time, bit for bit; it only
// gets there faster, with the widest vector unit the processor has (chosen
// at the first call). Tests compare them with the one-pixel functions over
// every RGB value, on every vector target the processor runs.
//
// A typical effect row: read a run of pixels through the surface, convert the
// run, do the effect's arithmetic on the double arrays (plain loops, which
// the compiler vectorises), convert back, write the run through the surface:
//
//   Color px[ColorRows::kRun]; double h[kRun], s[kRun], v[kRun];
//   ColorRows::ReadRun(picSurf, x, y, n, px);
//   ColorRows::ToHSV(px, n, h, s, v);
//   for (i...) s[i] *= 0.9;
//   ColorRows::FromHSV(h, s, v, n, px);
//   ColorRows::WriteRun(fxSurf, x, y, n, px);
//
// The input and output arrays of one call must not overlap, except that
// FromHSV may write over the Color run that its doubles came from.

#include <cstdint>

#include "framework/Color.h"
#include "framework/Picture.h"

namespace ColorRows {

// A run length that keeps one run's pixels and doubles in the first-level
// cache; any length works. Not a power of two: arrays of 4096 bytes side by
// side would put h[i], s[i] and v[i] at addresses alike in their low twelve
// bits, and the processor stalls a load behind a store to such an address.
inline constexpr std::int64_t kRun = 504;

// h[i] = in[i].Hue(), s[i] = in[i].Saturation(), v[i] = in[i].Value().
void ToHSV(const Color* in, std::int64_t n, double* h, double* s, double* v) noexcept;
// Saturation and value only, for a pixel whose hue is not needed.
void ToSV(const Color* in, std::int64_t n, double* s, double* v) noexcept;
// out[i] = HSV(h[i], s[i], v[i], alpha).
void FromHSV(const double* h, const double* s, const double* v, std::int64_t n, Color* out,
             int alpha = 0) noexcept;

// out[i] = surface.Pixel(x + i, y): reads outside clamp like any read.
inline void ReadRun(const RGBSurface& surface, std::int64_t x, std::int64_t y, std::int64_t n,
                    Color* out) noexcept {
  for (std::int64_t i = 0; i < n; ++i) out[i] = surface.Pixel(x + i, y);
}

// surface.SetPixel(x + i, y, in[i]): writes outside change nothing.
inline void WriteRun(const RGBSurface& surface, std::int64_t x, std::int64_t y, std::int64_t n,
                     const Color* in) noexcept {
  for (std::int64_t i = 0; i < n; ++i) surface.SetPixel(x + i, y, in[i]);
}

}  // namespace ColorRows
