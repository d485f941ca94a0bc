#pragma once
// Runs of pixels of one row copied between a surface and an array, through
// RGBSurface.Pixel and SetPixel, for runs that lie inside the surface. Told
// so by a test it can see, the compiler drops Pixel's clamps and copies a
// read run a vector at a time. A write keeps SetPixel's test, which is never
// false here; the surface is copied first, so that the compiler knows that no
// pixel written changes where the pixels lie. Outside the surface both fall
// back to ColorRows' runs, which clamp and skip as Pixel and SetPixel do.

#include <cstdint>

#include "framework/Picture.h"
#include "render/effects/ColorRows.h"

namespace surface_runs {

inline bool Inside(const RGBSurface& s, std::int64_t x, std::int64_t y, std::int64_t n) noexcept {
  return x >= 0 && n >= 0 && x + n <= s.Width() && y >= 0 && y < s.Height();
}

// out[i] = s.Pixel(x + i, y) for 0 <= i < n.
inline void Read(const RGBSurface& s, std::int64_t x, std::int64_t y, std::int64_t n, Color* out) noexcept {
  if (!Inside(s, x, y, n)) return ColorRows::ReadRun(s, x, y, n, out);
  for (std::int64_t i = x; i < x + n; ++i) out[i - x] = s.Pixel(i, y);
}

// s.SetPixel(x + i, y, in[i]) for 0 <= i < n.
inline void Write(const RGBSurface& surface, std::int64_t x, std::int64_t y, std::int64_t n, const Color* in) noexcept {
  const RGBSurface s = surface;
  if (!Inside(s, x, y, n)) return ColorRows::WriteRun(s, x, y, n, in);
  for (std::int64_t i = x; i < x + n; ++i) s.SetPixel(i, y, in[i - x]);
}

}  // namespace surface_runs
