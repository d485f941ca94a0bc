#include "render/effects/ColumnStrip.h"

#include <immintrin.h>


namespace column_strip {

void ReadPortable(const RGBSurface& from, std::int64_t x0, std::int64_t k, std::int64_t rows, Color* col) noexcept {
  for (std::int64_t y = 0; y < rows; ++y)
    for (std::int64_t j = 0; j < k; ++j) col[j * rows + y] = from.Pixel(x0 + j, y);
}

void WritePortable(const RGBSurface& to, std::int64_t x0, std::int64_t k, std::int64_t rows, const Color* col) noexcept {
  for (std::int64_t y = 0; y < rows; ++y)
    for (std::int64_t j = 0; j < k; ++j) to.SetPixel(x0 + j, y, col[j * rows + y]);
}

}  // namespace column_strip

namespace {

#define PIXELMOTH_AVX512 __attribute__((target("arch=x86-64-v4")))

// Rows r[0..7] of eight pixels become columns: r[i] lane j takes r[j] lane i.
PIXELMOTH_AVX512 inline void Turn(__m256i r[8]) noexcept {
  __m256i t[8], u[8];
  for (int i = 0; i < 8; i += 2) {
    t[i] = _mm256_unpacklo_epi32(r[i], r[i + 1]);
    t[i + 1] = _mm256_unpackhi_epi32(r[i], r[i + 1]);
  }
  for (int i = 0; i < 8; i += 4) {
    u[i] = _mm256_unpacklo_epi64(t[i], t[i + 2]);
    u[i + 1] = _mm256_unpackhi_epi64(t[i], t[i + 2]);
    u[i + 2] = _mm256_unpacklo_epi64(t[i + 1], t[i + 3]);
    u[i + 3] = _mm256_unpackhi_epi64(t[i + 1], t[i + 3]);
  }
  for (int i = 0; i < 4; ++i) {
    r[i] = _mm256_permute2x128_si256(u[i], u[i + 4], 0x20);
    r[i + 4] = _mm256_permute2x128_si256(u[i], u[i + 4], 0x31);
  }
}

// The widest strip the vector versions take.
constexpr std::int64_t kMaxK = 512;

// Told that the strip lies inside, the compiler drops Pixel's clamps.
inline bool Inside(const RGBSurface& s, std::int64_t x0, std::int64_t k, std::int64_t rows) noexcept {
  return x0 >= 0 && k >= 0 && k <= kMaxK && x0 + k <= s.Width() && rows >= 0 && rows <= s.Height();
}

}  // namespace

// Eight rows at a time: their pieces of the strip copied pixel by pixel
// (pixels put into a vector through the surface one by one would be moved
// byte by byte), the eight rows side by side so that their reads from memory
// overlap, then turned eight columns at a time.

namespace column_strip {

PIXELMOTH_AVX512 void ReadAvx512(const RGBSurface& from, std::int64_t x0, std::int64_t k, std::int64_t rows,
                                 Color* col) noexcept {
  if (!Inside(from, x0, k, rows)) {
    ReadPortable(from, x0, k, rows, col);
    return;
  }
  const std::int64_t wholeK = k & ~std::int64_t{7};
  Color rows8[8][kMaxK];
  std::int64_t y = 0;
  for (; y + 8 <= rows; y += 8) {
    for (std::int64_t j = 0; j < k; ++j)
      for (int i = 0; i < 8; ++i) rows8[i][j] = from.Pixel(x0 + j, y + i);
    for (std::int64_t j = 0; j < wholeK; j += 8) {
      __m256i r[8];
      for (int i = 0; i < 8; ++i) r[i] = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(rows8[i] + j));
      Turn(r);
      for (int i = 0; i < 8; ++i) _mm256_storeu_si256(reinterpret_cast<__m256i*>(col + (j + i) * rows + y), r[i]);
    }
    for (std::int64_t j = wholeK; j < k; ++j)
      for (int i = 0; i < 8; ++i) col[j * rows + y + i] = rows8[i][j];
  }
  for (; y < rows; ++y)
    for (std::int64_t j = 0; j < k; ++j) col[j * rows + y] = from.Pixel(x0 + j, y);
}

PIXELMOTH_AVX512 void WriteAvx512(const RGBSurface& surface, std::int64_t x0, std::int64_t k, std::int64_t rows,
                                  const Color* col) noexcept {
  // A copy, so that the compiler knows that no pixel written moves the pixels.
  const RGBSurface to = surface;
  if (!Inside(to, x0, k, rows)) {
    WritePortable(to, x0, k, rows, col);
    return;
  }
  const std::int64_t wholeK = k & ~std::int64_t{7};
  Color rows8[8][kMaxK];
  std::int64_t y = 0;
  for (; y + 8 <= rows; y += 8) {
    for (std::int64_t j = 0; j < wholeK; j += 8) {
      __m256i r[8];
      for (int i = 0; i < 8; ++i) r[i] = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(col + (j + i) * rows + y));
      Turn(r);
      for (int i = 0; i < 8; ++i) _mm256_storeu_si256(reinterpret_cast<__m256i*>(rows8[i] + j), r[i]);
    }
    for (std::int64_t j = wholeK; j < k; ++j)
      for (int i = 0; i < 8; ++i) rows8[i][j] = col[j * rows + y + i];
    for (std::int64_t j = 0; j < k; ++j)
      for (int i = 0; i < 8; ++i) to.SetPixel(x0 + j, y + i, rows8[i][j]);
  }
  for (; y < rows; ++y)
    for (std::int64_t j = 0; j < k; ++j) to.SetPixel(x0 + j, y, col[j * rows + y]);
}

}  // namespace column_strip
