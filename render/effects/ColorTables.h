#pragma once
// Quotients of colour components, computed once by the very divisions that
// Color makes: Value is max / 255 and Saturation (max - min) / max, for bytes
// max and min. A vector looks them up instead of dividing, which is slow on
// every processor; the tables hold the same doubles, so nothing changes by a
// bit.

#include <array>
#include <cstdint>

namespace color_tables {

// kValue[max] = max / 255.0.
inline constexpr std::array<double, 256> kValue = [] {
  std::array<double, 256> t{};
  for (int i = 0; i < 256; ++i) t[i] = static_cast<double>(i) / 255.0;
  return t;
}();

// kSaturation[max * 256 + (max - min)] = (max - min) / max, 0 for black.
inline constexpr std::array<double, 256 * 256> kSaturation = [] {
  std::array<double, 256 * 256> t{};
  for (int mx = 1; mx < 256; ++mx)
    for (int d = 0; d <= mx; ++d) t[mx * 256 + d] = static_cast<double>(d) / static_cast<double>(mx);
  return t;
}();

}  // namespace color_tables
