#pragma once
// A strip of columns copied out of a surface column after column, and back:
// for a pass that visits pixels column by column, as its draws come, while the
// picture lies row by row. col[j * rows + y] is pixel (x0 + j, y), for
// 0 <= j < k and 0 <= y < rows, all inside the surface.
//
// The ...Avx512 versions, for processors with AVX-512 (x86-64-v4) only, work
// in blocks of 8 x 8 pixels turned in vector registers; the ...Portable ones
// run on any x86-64. Both copy the same pixels.

#include <cstdint>

#include "framework/Picture.h"

namespace column_strip {

using ReadFunction = void (*)(const RGBSurface& from, std::int64_t x0, std::int64_t k, std::int64_t rows,
                              Color* col) noexcept;
using WriteFunction = void (*)(const RGBSurface& to, std::int64_t x0, std::int64_t k, std::int64_t rows,
                               const Color* col) noexcept;

void ReadPortable(const RGBSurface& from, std::int64_t x0, std::int64_t k, std::int64_t rows, Color* col) noexcept;
void WritePortable(const RGBSurface& to, std::int64_t x0, std::int64_t k, std::int64_t rows, const Color* col) noexcept;

#define PIXELMOTH_COLUMN_STRIP_AVX512 __attribute__((target("arch=x86-64-v4")))
PIXELMOTH_COLUMN_STRIP_AVX512 void ReadAvx512(const RGBSurface& from, std::int64_t x0, std::int64_t k,
                                              std::int64_t rows, Color* col) noexcept;
PIXELMOTH_COLUMN_STRIP_AVX512 void WriteAvx512(const RGBSurface& to, std::int64_t x0, std::int64_t k,
                                               std::int64_t rows, const Color* col) noexcept;

}  // namespace column_strip
