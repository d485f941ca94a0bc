#include "render/effects/OverdriveKernels.h"

#include <immintrin.h>

#include <algorithm>

#include "framework/Processor.h"
#include "render/effects/ColorLanes.h"
#include "render/effects/ColorRows.h"
#include "render/effects/OverdriveTone.h"
#include "render/effects/RaiseColours.h"
#include "render/effects/SurfaceRuns.h"

// Built with -ffp-contract=off (CMakeLists.txt): a fused multiply-add would
// round differently from the one-pixel functions.

namespace {

constexpr std::int64_t kRun = BoostDraws::kRun;

// --- Any x86-64: runs of pixels through ColorRows. -------------------------

void TonePortable(Color* px, std::int64_t n) noexcept {
  const overdrive::ToneTable& table = overdrive::ToneTable::Get();
  for (std::int64_t k = 0; k < n; ++k) px[k] = table(px[k]);
}

// The raised pixels packed together, raised, and put back. Without branches:
// whether a pixel is raised is a coin toss the processor cannot predict.
void BoostPortable(Color* px, std::int64_t n, const BoostDraws::Raised& raised) noexcept {
  Color chosen[kRun];
  std::int64_t m = 0;
  for (std::int64_t k = 0; k < n; ++k) {
    chosen[m] = px[k];
    m += raised.Has(k);
  }
  RaiseColours(chosen, m, raised.hueFactor, raised.saturationFactor, 1.0);
  m = 0;
  for (std::int64_t k = 0; k < n; ++k) {
    const bool has = raised.Has(k);
    px[k] = has ? chosen[m] : px[k];
    m += has;
  }
}

void BandRowPortable(const RGBSurface& s, std::int64_t x0, std::int64_t x1, std::int64_t y, double factor) noexcept {
  Color row[ColorRows::kRun];
  double hueFactor[ColorRows::kRun];
  std::fill(std::begin(hueFactor), std::end(hueFactor), factor);
  for (std::int64_t x = x0; x < x1; x += ColorRows::kRun) {
    const std::int64_t m = std::min(ColorRows::kRun, x1 - x);
    ColorRows::ReadRun(s, x, y, m, row);
    RaiseColours(row, m, hueFactor, nullptr, 1.0);
    ColorRows::WriteRun(s, x, y, m, row);
  }
}

void BandAndPatchPortable(Color* px, std::int64_t n, const double* band, const double* hueFactor,
                          const double* saturationFactor) noexcept {
  RaiseColours(px, n, band, nullptr, 1.0);
  RaiseColours(px, n, hueFactor, saturationFactor, 1.2);
}

// --- AVX-512: every conversion in registers. --------------------------------

#define PIXELMOTH_AVX512 __attribute__((target("arch=x86-64-v4")))

PIXELMOTH_AVX512 inline __mmask8 First8(std::int64_t n) noexcept {
  return n >= 8 ? 0xFF : static_cast<__mmask8>((1u << n) - 1);
}
PIXELMOTH_AVX512 inline __mmask16 First16(std::int64_t n) noexcept {
  return n >= 16 ? 0xFFFF : static_cast<__mmask16>((1u << n) - 1);
}

// A pixel's conversions depend one on the other, and one group of eight
// keeps the processor waiting on them: four groups are worked side by side,
// each step for all four before the next.
constexpr int kGroups = 4;

// Runs groups<G>(k) over px[0..n) in steps of 8 G pixels, then of 8 for the
// rest; a group's lanes past n are masked off.
template <class Groups>
PIXELMOTH_AVX512 inline void InGroups(std::int64_t n, const Groups& groups) noexcept {
  std::int64_t k = 0;
  for (; k + 8 * kGroups <= n; k += 8 * kGroups) groups.template operator()<kGroups>(k);
  for (; k < n; k += 8) groups.template operator()<1>(k);
}

// Hue, saturation and value of eight pixels (lanes past `inside` zero).
template <int G>
struct Lanes {
  __mmask8 inside[G];
  __m256i px[G];
  lanes::Hsv hsv[G];

  PIXELMOTH_AVX512 void Load(const Color* from, std::int64_t n) noexcept {
    for (int g = 0; g < G; ++g) {
      inside[g] = First8(n - 8 * g);
      px[g] = _mm256_maskz_loadu_epi32(inside[g], from + 8 * g);
    }
  }
  PIXELMOTH_AVX512 void ToHsv() noexcept {
    for (int g = 0; g < G; ++g) hsv[g] = lanes::ToHsv(px[g]);
  }
  PIXELMOTH_AVX512 __m512d Factors(int g, const double* f) const noexcept {
    return _mm512_maskz_loadu_pd(inside[g], f + 8 * g);
  }
  PIXELMOTH_AVX512 void Store(Color* to) const noexcept {
    for (int g = 0; g < G; ++g) _mm256_mask_storeu_epi32(to + 8 * g, inside[g], px[g]);
  }
};

// px[k] = HSV(Hue x hueFactor[k], Saturation x saturationFactor[k], Value, 0).
struct RaiseGroups {
  Color* px;
  std::int64_t n;
  const double *hueFactor, *saturationFactor;

  template <int G>
  PIXELMOTH_AVX512 void operator()(std::int64_t k) const noexcept {
    Lanes<G> l;
    l.Load(px + k, n - k);
    l.ToHsv();
    for (int g = 0; g < G; ++g) {
      const __m512d h = _mm512_mul_pd(l.hsv[g].h, l.Factors(g, hueFactor + k));
      const __m512d s = _mm512_mul_pd(l.hsv[g].s, l.Factors(g, saturationFactor + k));
      l.px[g] = lanes::FromHsv(h, s, l.hsv[g].v);
    }
    l.Store(px + k);
  }
};

// px[k] = HSV(Hue x factor, Saturation, Value, 0).
struct BandGroups {
  Color* px;
  std::int64_t n;
  __m512d factor;

  template <int G>
  PIXELMOTH_AVX512 void operator()(std::int64_t k) const noexcept {
    Lanes<G> l;
    l.Load(px + k, n - k);
    l.ToHsv();
    for (int g = 0; g < G; ++g) l.px[g] = lanes::FromHsv(_mm512_mul_pd(l.hsv[g].h, factor), l.hsv[g].s, l.hsv[g].v);
    l.Store(px + k);
  }
};

// The band, then the patch, each converted there and back.
struct BandAndPatchGroups {
  Color* px;
  std::int64_t n;
  const double *band, *hueFactor, *saturationFactor;

  template <int G>
  PIXELMOTH_AVX512 void operator()(std::int64_t k) const noexcept {
    const __m512d valueFactor = _mm512_set1_pd(1.2);
    Lanes<G> l;
    l.Load(px + k, n - k);
    l.ToHsv();
    for (int g = 0; g < G; ++g)
      l.px[g] = lanes::FromHsv(_mm512_mul_pd(l.hsv[g].h, l.Factors(g, band + k)), l.hsv[g].s, l.hsv[g].v);
    l.ToHsv();
    for (int g = 0; g < G; ++g) {
      const __m512d h = _mm512_mul_pd(l.hsv[g].h, l.Factors(g, hueFactor + k));
      const __m512d s = _mm512_mul_pd(l.hsv[g].s, l.Factors(g, saturationFactor + k));
      l.px[g] = lanes::FromHsv(h, s, _mm512_mul_pd(l.hsv[g].v, valueFactor));
    }
    l.Store(px + k);
  }
};

// Eight table indices at a time, and the eight entries gathered at once.
PIXELMOTH_AVX512 void ToneAvx512(Color* px, std::int64_t n) noexcept {
  using overdrive::ToneTable;
  const int* entries = reinterpret_cast<const int*>(ToneTable::Get().Entries());
  const __m256i byte = _mm256_set1_epi32(0xFF), darkEnd = _mm256_set1_epi32(ToneTable::kDarkEnd);
  std::int64_t k = 0;
  for (; k + 8 <= n; k += 8) {
    const __m256i p = lanes::Load(px + k);
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
    lanes::Store(px + k, _mm256_i32gather_epi32(entries, index, 4));
  }
  TonePortable(px + k, n - k);
}

// The raised pixels packed together, sixteen at a time, raised, and unpacked
// into their places.
PIXELMOTH_AVX512 void BoostAvx512(Color* px, std::int64_t n, const BoostDraws::Raised& raised) noexcept {
  Color chosen[kRun + 16];
  std::int64_t m = 0;
  for (std::int64_t g = 0; g < n; g += 16) {
    const __mmask16 take = static_cast<__mmask16>(raised.bits[g >> 6] >> (g & 63));
    const __m512i p = _mm512_maskz_loadu_epi32(First16(n - g), px + g);
    _mm512_storeu_si512(chosen + m, _mm512_maskz_compress_epi32(take, p));
    m += __builtin_popcount(take);
  }
  InGroups(m, RaiseGroups{chosen, m, raised.hueFactor, raised.saturationFactor});
  m = 0;
  for (std::int64_t g = 0; g < n; g += 16) {
    const __mmask16 take = static_cast<__mmask16>(raised.bits[g >> 6] >> (g & 63));
    const __mmask16 inside = First16(n - g);
    const __m512i p = _mm512_maskz_loadu_epi32(inside, px + g);
    _mm512_mask_storeu_epi32(px + g, inside, _mm512_mask_expand_epi32(p, take, _mm512_loadu_si512(chosen + m)));
    m += __builtin_popcount(take);
  }
}

PIXELMOTH_AVX512 void BandRowAvx512(const RGBSurface& s, std::int64_t x0, std::int64_t x1, std::int64_t y,
                                    double factor) noexcept {
  const __m512d f = _mm512_set1_pd(factor);
  Color row[kRun];
  for (std::int64_t x = x0; x < x1; x += kRun) {
    const std::int64_t m = std::min(kRun, x1 - x);
    surface_runs::Read(s, x, y, m, row);
    InGroups(m, BandGroups{row, m, f});
    surface_runs::Write(s, x, y, m, row);
  }
}

PIXELMOTH_AVX512 void BandAndPatchAvx512(Color* px, std::int64_t n, const double* band, const double* hueFactor,
                                         const double* saturationFactor) noexcept {
  InGroups(n, BandAndPatchGroups{px, n, band, hueFactor, saturationFactor});
}

}  // namespace

namespace overdrive {

const Kernels& Kernels::Portable() {
  static const Kernels kernels{&column_strip::ReadPortable, &column_strip::WritePortable, &DecodeBoostDrawsPortable, &TonePortable,
                               &BoostPortable, &BandRowPortable, &BandAndPatchPortable};
  return kernels;
}

const Kernels& Kernels::Fastest() {
  static const Kernels kernels =
      Processor::HasAvx512() ? Kernels{&column_strip::ReadAvx512, &column_strip::WriteAvx512, &DecodeBoostDrawsAvx512, &ToneAvx512,
                            &BoostAvx512, &BandRowAvx512, &BandAndPatchAvx512}
                  : Portable();
  return kernels;
}

}  // namespace overdrive
