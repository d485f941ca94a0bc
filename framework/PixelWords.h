#pragma once
// Framework internals: a pixel read and written as one 32-bit word, red in
// its low byte and alpha in its high one, so that loops over pixels work on
// words and vectorise.

#include <bit>
#include <cstdint>
#include <cstring>

#include "framework/Color.h"

namespace fw {

static_assert(std::endian::native == std::endian::little, "a pixel's bytes are read as a word, red lowest");

// Red and blue, or green and alpha, in the 16-bit halves of a word.
constexpr std::uint32_t kHalves = 0x00ff00ffu;

inline std::uint32_t Word(const Color* pixel) noexcept {
  std::uint32_t w;
  std::memcpy(&w, pixel, 4);
  return w;
}

inline void Put(Color* pixel, std::uint32_t w) noexcept { std::memcpy(pixel, &w, 4); }

// Whether a pixel is partly transparent, for many at once: the words given
// by PartialBits, or-ed together, hold a partly transparent pixel when
// AnyPartial says so. Alpha 0 or 255 carries nothing into bits 25 to 31.
constexpr std::uint32_t PartialBits(std::uint32_t w) noexcept { return w + 0x01000000u; }
constexpr bool AnyPartial(std::uint32_t bits) noexcept { return (bits & 0xfe000000u) != 0; }

}  // namespace fw
