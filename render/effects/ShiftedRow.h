#pragma once
// One row shifted left by `shift` columns with the pixels pushed out at the
// left edge coming back in at the right, each pixel recoloured from its
// source: pixel x of row y gets recolour(picSurf.Pixel(x + shift, y)), or of
// column x + shift - W past the edge.
//
// The row is read, recoloured and written as whole runs, with the result of
// the pixel loop: when both surfaces address one picture, the wrapped pixels
// read columns 0..shift-1 after this row has rewritten them.

#include <algorithm>
#include <cstdint>

#include "framework/Picture.h"
#include "render/effects/ColorRows.h"

// recolour(in, x, n, out) fills out[0..n) from in[0..n), the sources of the
// row's pixels x..x+n-1. `source` and `out` hold at least the row's width.
template <class Recolour>
void ShiftedRow(const RGBSurface& picSurf, const RGBSurface& fxSurf, std::int64_t y, std::int64_t shift,
                Color* source, Color* out, Recolour recolour) {
  const std::int64_t W = picSurf.Width();
  const std::int64_t kept = W - shift;
  ColorRows::ReadRun(picSurf, shift, y, kept, source);
  ColorRows::ReadRun(picSurf, 0, y, shift, source + kept);
  recolour(source, 0, kept, out);
  if (picSurf.SharesPixelsWith(fxSurf)) std::copy(out, out + std::min(shift, kept), source + kept);
  recolour(source + kept, kept, shift, out + kept);
  ColorRows::WriteRun(fxSurf, 0, y, W, out);
}
