#pragma once
// Overdrive's first pass, the tone bands: a pixel mapped by its value and
// saturation. From value 0.2 up the result depends on the colour's maximum and
// minimum alone, below it on the whole colour, so a table of 185,131 entries,
// built once from the formula itself, gives every result.

#include <immintrin.h>

#include <cstdint>
#include <vector>

#include "framework/Color.h"

namespace overdrive {

inline constexpr Color kDeepBlue{3, 0, 119, 0};
inline constexpr Color kDeepRed{153, 0, 7, 0};
inline constexpr Color kOlive{170, 170, 17, 0};
inline constexpr Color kWhite{255, 255, 255, 0};

// The first row of the table that applies; every comparison strict.
inline Color Tone(Color p) {
  const double h = p.Hue(), s = p.Saturation(), val = p.Value();
  if (val < 0.2) return HSV(h, s, val / 2.0, 0);
  if (val < 0.4) return s < 0.2 ? kDeepBlue : HSV(0.6, s * 1.7, val, 0);
  if (val < 0.6) return s < 0.2 ? kDeepRed : HSV(0.95, s * 1.7, val * 1.1, 0);
  if (val < 0.8) return s < 0.2 ? kOlive : HSV(0.75, s * 1.7, val * 1.5, 0);
  return kWhite;
}

namespace tone_detail {

inline void RunPortable(const Color* entries, Color* px, std::int64_t n) noexcept;
__attribute__((target("default"))) inline void Run(const Color* entries, Color* px, std::int64_t n) noexcept;
__attribute__((target("arch=x86-64-v4"))) inline void Run(const Color* entries, Color* px, std::int64_t n) noexcept;

}  // namespace tone_detail

class ToneTable {
 public:
  static const ToneTable& Get() {
    static const ToneTable table;
    return table;
  }

  Color operator()(Color p) const noexcept { return entries_[Index(p.red, p.green, p.blue)]; }

  // Every pixel of px[0..n) replaced by its tone; RunPortable without the
  // vector unit, as on a processor without AVX-512.
  void Run(Color* px, std::int64_t n) const noexcept { tone_detail::Run(entries_.data(), px, n); }
  void RunPortable(Color* px, std::int64_t n) const noexcept { tone_detail::RunPortable(entries_.data(), px, n); }

  // Maxima 0..50 have a value below 0.2 (51 / 255 is 0.2 exactly): those
  // colours are listed after the (max, min) pairs of the brighter ones.
  static constexpr int kDarkEnd = 51;
  static constexpr int kBright = (256 - kDarkEnd) * 256;

  static int Index(int r, int g, int b) noexcept {
    const int mx = r > g ? (r > b ? r : b) : (g > b ? g : b);
    const int mn = r < g ? (r < b ? r : b) : (g < b ? g : b);
    // Arithmetic, not a choice: dark and bright pixels lie side by side.
    const int bright = (mx - kDarkEnd) * 256 + mn;
    const int dark = kBright + (r * kDarkEnd + g) * kDarkEnd + b;
    return mx >= kDarkEnd ? bright : dark;
  }

 private:
  ToneTable() : entries_(kBright + kDarkEnd * kDarkEnd * kDarkEnd) {
    for (int mx = kDarkEnd; mx < 256; ++mx)
      for (int mn = 0; mn <= mx; ++mn) entries_[Index(mx, mn, mn)] = Tone(RGB(mx, mn, mn));
    for (int r = 0; r < kDarkEnd; ++r)
      for (int g = 0; g < kDarkEnd; ++g)
        for (int b = 0; b < kDarkEnd; ++b) entries_[Index(r, g, b)] = Tone(RGB(r, g, b));
  }

  std::vector<Color> entries_;
};

namespace tone_detail {

inline void RunPortable(const Color* entries, Color* px, std::int64_t n) noexcept {
  for (std::int64_t k = 0; k < n; ++k) px[k] = entries[ToneTable::Index(px[k].red, px[k].green, px[k].blue)];
}

__attribute__((target("default"))) inline void Run(const Color* entries, Color* px, std::int64_t n) noexcept {
  RunPortable(entries, px, n);
}

// Eight indices at a time, and the eight entries gathered at once.
__attribute__((target("arch=x86-64-v4"))) inline void Run(const Color* entries, Color* px, std::int64_t n) noexcept {
  const __m256i byte = _mm256_set1_epi32(0xFF), darkEnd = _mm256_set1_epi32(ToneTable::kDarkEnd);
  std::int64_t k = 0;
  for (; k + 8 <= n; k += 8) {
    const __m256i p = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(px + k));
    const __m256i r = _mm256_and_si256(p, byte);
    const __m256i g = _mm256_and_si256(_mm256_srli_epi32(p, 8), byte);
    const __m256i b = _mm256_and_si256(_mm256_srli_epi32(p, 16), byte);
    const __m256i mx = _mm256_max_epi32(_mm256_max_epi32(r, g), b);
    const __m256i mn = _mm256_min_epi32(_mm256_min_epi32(r, g), b);
    const __m256i bright = _mm256_add_epi32(_mm256_slli_epi32(_mm256_sub_epi32(mx, darkEnd), 8), mn);
    const __m256i dark = _mm256_add_epi32(
        _mm256_set1_epi32(ToneTable::kBright),
        _mm256_add_epi32(_mm256_mullo_epi32(_mm256_add_epi32(_mm256_mullo_epi32(r, darkEnd), g), darkEnd), b));
    const __m256i index = _mm256_mask_mov_epi32(dark, _mm256_cmpge_epi32_mask(mx, darkEnd), bright);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(px + k),
                        _mm256_i32gather_epi32(reinterpret_cast<const int*>(entries), index, 4));
  }
  RunPortable(entries, px + k, n - k);
}

}  // namespace tone_detail

}  // namespace overdrive
