#pragma once
// Hue, saturation and value of eight pixels held in vector registers, and
// HSV back to eight pixels, for conversions chained with other arithmetic
// without a round trip through memory. Element by element the arithmetic is
// Color::Hue, Saturation, Value and HSV's, operation for operation, so the
// results agree to the last bit (ColorRows.h holds the same conversions over
// arrays).
//
// For x86-64-v4 (AVX-512) processors only: every function here carries that
// target, and its callers are themselves versions chosen by target beside a
// "default" one, so the program still runs on any x86-64. The effects library
// is built without fused multiply-adds, which would round differently.

#include <immintrin.h>

#include "framework/Color.h"

#define PIXELMOTH_LANES __attribute__((target("arch=x86-64-v4"), always_inline)) inline

namespace lanes {

struct Hsv {
  __m512d h, s, v;
};

// Eight pixels, each a 32-bit lane: red in the low byte, alpha in the high.
PIXELMOTH_LANES __m256i Load(const Color* p) noexcept {
  return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
}
PIXELMOTH_LANES void Store(Color* p, __m256i px) noexcept {
  _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), px);
}

// Conversions and rounding in their masked forms: the plain ones start from
// an undefined register, which GCC 12 reports as maybe uninitialised.
PIXELMOTH_LANES __m512d ToDouble(__m256i x) noexcept { return _mm512_maskz_cvtepi32_pd(0xFF, x); }

// Hue, saturation and value, as Color computes them.
PIXELMOTH_LANES Hsv ToHsv(__m256i px) noexcept {
  const __m256i byte = _mm256_set1_epi32(0xFF), one = _mm256_set1_epi32(1), zero = _mm256_setzero_si256();
  const __m256i r = _mm256_and_si256(px, byte);
  const __m256i g = _mm256_and_si256(_mm256_srli_epi32(px, 8), byte);
  const __m256i b = _mm256_and_si256(_mm256_srli_epi32(px, 16), byte);
  const __m256i mx = _mm256_max_epi32(_mm256_max_epi32(r, g), b);
  const __m256i mn = _mm256_min_epi32(_mm256_min_epi32(r, g), b);
  const __m256i d = _mm256_sub_epi32(mx, mn);
  // The sector is the first of r, g, b that holds the maximum.
  const __mmask8 isR = _mm256_cmpeq_epi32_mask(mx, r);
  const __mmask8 isG = _kandn_mask8(isR, _mm256_cmpeq_epi32_mask(mx, g));
  __m256i num = _mm256_sub_epi32(r, g);
  num = _mm256_mask_sub_epi32(num, isG, b, r);
  num = _mm256_mask_sub_epi32(num, isR, g, b);
  const __mmask8 below = _mm256_cmplt_epi32_mask(num, zero);
  __m256i offset = _mm256_set1_epi32(4);
  offset = _mm256_mask_mov_epi32(offset, isG, _mm256_set1_epi32(2));
  offset = _mm256_mask_mov_epi32(offset, isR, _mm256_maskz_mov_epi32(below, _mm256_set1_epi32(6)));
  // Dividing by 1 where Color divides by nothing: greys and black.
  const __m512d hue = _mm512_div_pd(
      _mm512_add_pd(_mm512_div_pd(ToDouble(num), ToDouble(_mm256_max_epi32(d, one))), ToDouble(offset)),
      _mm512_set1_pd(6.0));
  Hsv out;
  out.h = _mm512_maskz_mov_pd(_mm256_cmpneq_epi32_mask(d, zero), hue);
  out.s = _mm512_div_pd(ToDouble(d), ToDouble(_mm256_max_epi32(mx, one)));
  out.v = _mm512_div_pd(ToDouble(mx), _mm512_set1_pd(255.0));
  return out;
}

// x > 0 ? (x < 1 ? x : 1) : 0, as Color clamps.
PIXELMOTH_LANES __m512d Clamp01(__m512d x) noexcept {
  const __m512d one = _mm512_set1_pd(1.0);
  const __m512d below1 = _mm512_mask_mov_pd(one, _mm512_cmp_pd_mask(x, one, _CMP_LT_OQ), x);
  return _mm512_maskz_mov_pd(_mm512_cmp_pd_mask(x, _mm512_setzero_pd(), _CMP_GT_OQ), below1);
}

PIXELMOTH_LANES __m256i Truncate(__m512d x) noexcept { return _mm512_maskz_cvttpd_epi32(0xFF, x); }

// x * 255 + 0.5 lies in 0.5..255.5: truncation is floor.
PIXELMOTH_LANES __m256i ToByte(__m512d x) noexcept {
  return Truncate(_mm512_add_pd(_mm512_mul_pd(x, _mm512_set1_pd(255.0)), _mm512_set1_pd(0.5)));
}

PIXELMOTH_LANES __m512d Floor(__m512d x) noexcept {
  return _mm512_maskz_roundscale_pd(0xFF, x, _MM_FROUND_TO_NEG_INF | _MM_FROUND_NO_EXC);
}

// HSV(h, s, v, 0): eight opaque pixels.
PIXELMOTH_LANES __m256i FromHsv(__m512d hue, __m512d saturation, __m512d value) noexcept {
  const __m512d one = _mm512_set1_pd(1.0);
  __m512d h = _mm512_sub_pd(hue, Floor(hue));
  h = _mm512_maskz_mov_pd(_mm512_cmp_pd_mask(h, one, _CMP_LT_OQ), h);  // 1.0 and NaN wrap to 0
  const __m512d s = Clamp01(saturation), v = Clamp01(value);
  const __m512d h6 = _mm512_mul_pd(_mm512_set1_pd(6.0), h);
  const __m512d fi = Floor(h6);
  const __m512d f = _mm512_sub_pd(h6, fi);
  const __m512d p = _mm512_mul_pd(v, _mm512_sub_pd(one, s));
  const __m512d q = _mm512_mul_pd(v, _mm512_sub_pd(one, _mm512_mul_pd(s, f)));
  const __m512d t = _mm512_mul_pd(v, _mm512_sub_pd(one, _mm512_mul_pd(s, _mm512_sub_pd(one, f))));
  const __m256i k = Truncate(fi);
  const __mmask8 k0 = _mm256_cmpeq_epi32_mask(k, _mm256_setzero_si256());
  const __mmask8 k1 = _mm256_cmpeq_epi32_mask(k, _mm256_set1_epi32(1));
  const __mmask8 k2 = _mm256_cmpeq_epi32_mask(k, _mm256_set1_epi32(2));
  const __mmask8 k3 = _mm256_cmpeq_epi32_mask(k, _mm256_set1_epi32(3));
  const __mmask8 k4 = _mm256_cmpeq_epi32_mask(k, _mm256_set1_epi32(4));
  // Sectors 0..5 give (v,t,p), (q,v,p), (p,v,t), (p,q,v), (t,p,v), (v,p,q).
  __m512d r = _mm512_mask_mov_pd(v, k1, q);
  r = _mm512_mask_mov_pd(r, _kor_mask8(k2, k3), p);
  r = _mm512_mask_mov_pd(r, k4, t);
  __m512d g = _mm512_mask_mov_pd(p, k0, t);
  g = _mm512_mask_mov_pd(g, _kor_mask8(k1, k2), v);
  g = _mm512_mask_mov_pd(g, k3, q);
  __m512d b = _mm512_mask_mov_pd(q, _kor_mask8(k0, k1), p);
  b = _mm512_mask_mov_pd(b, k2, t);
  b = _mm512_mask_mov_pd(b, _kor_mask8(k3, k4), v);
  return _mm256_or_si256(_mm256_or_si256(ToByte(r), _mm256_slli_epi32(ToByte(g), 8)), _mm256_slli_epi32(ToByte(b), 16));
}

}  // namespace lanes
