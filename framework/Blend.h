#pragma once
// Framework internals: drawing one pixel, or a row of them, over another,
// source-over in bytes (alpha 0 is opaque).

#include <cstdint>
#include <cstring>

#include "framework/Color.h"

namespace fw {

inline Color Blend(Color src, Color dst) noexcept {
  const int as = 255 - src.alpha;
  if (as == 255) return src;
  if (as == 0) return dst;
  const int ad = 255 - dst.alpha;
  const int keep = ad * (255 - as);     // dst weight, scaled by 255
  const int outA255 = as * 255 + keep;  // out opacity, scaled by 255
  auto mix = [&](int s, int d) {
    return static_cast<std::uint8_t>((s * as * 255 + d * keep + outA255 / 2) / outA255);
  };
  const int outA = (outA255 + 127) / 255;
  return Color{mix(src.red, dst.red), mix(src.green, dst.green), mix(src.blue, dst.blue),
               static_cast<std::uint8_t>(255 - outA)};
}

// dst[i] = Blend(src[i], dst[i]) for i < n; a row that is all opaque is
// copied and one that is all transparent left, as the blend would.
inline void BlendRow(const Color* src, Color* dst, std::int64_t n) noexcept {
  unsigned any = 0, all = 255;
  for (std::int64_t i = 0; i < n; ++i) {
    any |= src[i].alpha;
    all &= src[i].alpha;
  }
  if (any == 0) {
    std::memcpy(dst, src, static_cast<std::size_t>(n) * sizeof(Color));
  } else if (all != 255) {
    for (std::int64_t i = 0; i < n; ++i) dst[i] = Blend(src[i], dst[i]);
  }
}

}  // namespace fw
