#pragma once
// A strip of columns copied out of a surface column after column, and back:
// for a pass that visits pixels column by column, as its draws come, while the
// picture lies row by row. col[j * rows + y] is pixel (x0 + j, y), for
// 0 <= j < k and 0 <= y < rows.
//
// Eight rows at a time: each column's eight pixels are stored side by side,
// and the eight rows are read side by side, so that both sides move whole
// cache lines. Each pixel is moved as one 32-bit word (a Color assigned
// member by member would be moved byte by byte).

#include <bit>
#include <cstdint>
#include <cstring>

#include "framework/Picture.h"

namespace column_strip {

inline constexpr std::int64_t kRowBlock = 8;

inline void Put(Color* to, Color c) noexcept {
  const std::uint32_t word = std::bit_cast<std::uint32_t>(c);
  std::memcpy(to, &word, sizeof word);
}
inline Color Get(const Color* from) noexcept {
  std::uint32_t word;
  std::memcpy(&word, from, sizeof word);
  return std::bit_cast<Color>(word);
}

inline void Read(const RGBSurface& from, std::int64_t x0, std::int64_t k, std::int64_t rows, Color* col) noexcept {
  const RGBSurface s = from;
  std::int64_t y = 0;
  for (; y + kRowBlock <= rows; y += kRowBlock)
    for (std::int64_t j = 0; j < k; ++j)
      for (std::int64_t i = 0; i < kRowBlock; ++i) Put(col + j * rows + y + i, s.Pixel(x0 + j, y + i));
  for (; y < rows; ++y)
    for (std::int64_t j = 0; j < k; ++j) Put(col + j * rows + y, s.Pixel(x0 + j, y));
}

inline void Write(const RGBSurface& to, std::int64_t x0, std::int64_t k, std::int64_t rows, const Color* col) noexcept {
  // A copy, so that the compiler knows that no pixel written moves the pixels.
  const RGBSurface s = to;
  std::int64_t y = 0;
  for (; y + kRowBlock <= rows; y += kRowBlock)
    for (std::int64_t j = 0; j < k; ++j)
      for (std::int64_t i = 0; i < kRowBlock; ++i) s.SetPixel(x0 + j, y + i, Get(col + j * rows + y + i));
  for (; y < rows; ++y)
    for (std::int64_t j = 0; j < k; ++j) s.SetPixel(x0 + j, y, Get(col + j * rows + y));
}

}  // namespace column_strip
