#pragma once
// Framework internals: drawing one pixel, or a row of them, over another,
// source-over in bytes (alpha 0 is opaque).

#include <cstdint>

#include "framework/Color.h"
#include "framework/PixelWords.h"

namespace fw {

// x / 255 rounded to nearest, exact for x in 0..255 * 255, with no division.
constexpr unsigned Div255(unsigned x) noexcept { return (x + 128 + ((x + 128) >> 8)) >> 8; }

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

// dst[i] = Blend(src[i], dst[i]) for i < n, over an opaque row: each byte
// Div255(s * as + d * (255 - as)), two at a time in the halves of a word
// (no sum carries out of its half), so that the loop vectorises.
inline void BlendRowOverOpaque(const Color* src, Color* dst, std::int64_t n) noexcept {
  for (std::int64_t i = 0; i < n; ++i) {
    const std::uint32_t s = Word(src + i), d = Word(dst + i);
    const std::uint32_t as = 255 - (s >> 24);
    auto mix = [as](std::uint32_t s2, std::uint32_t d2) {
      const std::uint32_t t = s2 * as + d2 * (255 - as) + 0x00800080u;
      return ((t + ((t >> 8) & kHalves)) >> 8) & kHalves;
    };
    const std::uint32_t redBlue = mix(s & kHalves, d & kHalves);
    const std::uint32_t green = mix((s >> 8) & 0xffu, (d >> 8) & 0xffu);
    Put(dst + i, redBlue | green << 8);
  }
}

// dst[i] = Blend(src[i], dst[i]) for i < n. Opaque pixels replace and
// transparent ones leave, as the blend would, in a first pass that
// vectorises; those partly transparent are blended after, if any.
inline void BlendRow(const Color* src, Color* dst, std::int64_t n) noexcept {
  std::uint32_t partial = 0, dstSeeThrough = 0;
  for (std::int64_t i = 0; i < n; ++i) {
    const std::uint32_t s = Word(src + i), d = Word(dst + i);
    partial |= PartialBits(s);
    dstSeeThrough |= d;
    Put(dst + i, s >> 24 == 0 ? s : d);
  }
  if (!AnyPartial(partial)) return;
  if ((dstSeeThrough >> 24) == 0) {
    BlendRowOverOpaque(src, dst, n);
    return;
  }
  for (std::int64_t i = 0; i < n; ++i)
    if (src[i].alpha != 0 && src[i].alpha != 255) dst[i] = Blend(src[i], dst[i]);
}

}  // namespace fw
