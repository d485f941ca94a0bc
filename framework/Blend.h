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
  if (ad == 255) {
    // Over an opaque pixel, as nearly always, the sums below over a
    // constant: the compiler divides by multiplying.
    auto mix = [as](int s, int d) {
      return static_cast<std::uint8_t>((s * as * 255 + d * 255 * (255 - as) + 65025 / 2) / 65025);
    };
    return Color{mix(src.red, dst.red), mix(src.green, dst.green), mix(src.blue, dst.blue), 0};
  }
  const int keep = ad * (255 - as);     // dst weight, scaled by 255
  const int outA255 = as * 255 + keep;  // out opacity, scaled by 255
  auto mix = [&](int s, int d) {
    return static_cast<std::uint8_t>((s * as * 255 + d * keep + outA255 / 2) / outA255);
  };
  const int outA = (outA255 + 127) / 255;
  return Color{mix(src.red, dst.red), mix(src.green, dst.green), mix(src.blue, dst.blue),
               static_cast<std::uint8_t>(255 - outA)};
}

// dst[i] = Blend(src[i], dst[i]) for i < n. Opaque pixels replace and
// transparent ones leave, as the blend would, in a first pass that
// vectorises; a second blends those partly transparent, if any.
inline void BlendRow(const Color* src, Color* dst, std::int64_t n) noexcept {
  std::uint32_t partial = 0;
  for (std::int64_t i = 0; i < n; ++i) {
    std::uint32_t s, d;
    std::memcpy(&s, src + i, 4);
    std::memcpy(&d, dst + i, 4);
    partial |= s + 0x01000000u;  // alpha 0 or 255 carries nothing into bits 25 to 31
    d = s >> 24 == 0 ? s : d;
    std::memcpy(dst + i, &d, 4);
  }
  if ((partial & 0xfe000000u) == 0) return;
  for (std::int64_t i = 0; i < n; ++i)
    if (src[i].alpha != 0 && src[i].alpha != 255) dst[i] = Blend(src[i], dst[i]);
}

}  // namespace fw
