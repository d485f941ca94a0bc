#include "render/effects/ColorRows.h"

#include <immintrin.h>

#include "framework/Processor.h"
#include "render/effects/ColorLanes.h"

// Built with -ffp-contract=off (CMakeLists.txt): a fused multiply-add would
// round differently from the one-pixel functions.

namespace {

// --- One pixel at a time: any x86-64. --------------------------------------

void ToHSVScalar(const Color* in, std::int64_t n, double* h, double* s, double* v) noexcept {
  for (std::int64_t i = 0; i < n; ++i) {
    h[i] = in[i].Hue();
    s[i] = in[i].Saturation();
    v[i] = in[i].Value();
  }
}

void ToSVScalar(const Color* in, std::int64_t n, double* s, double* v) noexcept {
  for (std::int64_t i = 0; i < n; ++i) {
    s[i] = in[i].Saturation();
    v[i] = in[i].Value();
  }
}

void FromHSVScalar(const double* h, const double* s, const double* v, std::int64_t n, Color* out,
                   int alpha) noexcept {
  for (std::int64_t i = 0; i < n; ++i) out[i] = HSV(h[i], s[i], v[i], alpha);
}

// --- AVX2: the same operations, four or eight lanes at a time. -------------
// The integer work (channels, max, min, the hue sector) runs on eight pixels
// in 32-bit lanes; each division runs on two halves of four doubles.

#define PIXELMOTH_AVX2 __attribute__((target("avx2")))

struct Channels {
  __m256i mx, mn, num, offset;
};

PIXELMOTH_AVX2 inline Channels Split8(const Color* in) noexcept {
  const __m256i px = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(in));
  const __m256i byte = _mm256_set1_epi32(0xFF);
  const __m256i r = _mm256_and_si256(px, byte);
  const __m256i g = _mm256_and_si256(_mm256_srli_epi32(px, 8), byte);
  const __m256i b = _mm256_and_si256(_mm256_srli_epi32(px, 16), byte);
  Channels c;
  c.mx = _mm256_max_epi32(_mm256_max_epi32(r, g), b);
  c.mn = _mm256_min_epi32(_mm256_min_epi32(r, g), b);
  const __m256i isR = _mm256_cmpeq_epi32(c.mx, r);
  const __m256i isG = _mm256_andnot_si256(isR, _mm256_cmpeq_epi32(c.mx, g));
  __m256i num = _mm256_sub_epi32(r, g);
  num = _mm256_blendv_epi8(num, _mm256_sub_epi32(b, r), isG);
  num = _mm256_blendv_epi8(num, _mm256_sub_epi32(g, b), isR);
  c.num = num;
  const __m256i negative = _mm256_cmpgt_epi32(_mm256_setzero_si256(), num);
  __m256i offset = _mm256_set1_epi32(4);
  offset = _mm256_blendv_epi8(offset, _mm256_set1_epi32(2), isG);
  offset = _mm256_blendv_epi8(offset, _mm256_and_si256(negative, _mm256_set1_epi32(6)), isR);
  c.offset = offset;
  return c;
}

PIXELMOTH_AVX2 inline __m256d Low(__m256i x) noexcept { return _mm256_cvtepi32_pd(_mm256_castsi256_si128(x)); }
PIXELMOTH_AVX2 inline __m256d High(__m256i x) noexcept {
  return _mm256_cvtepi32_pd(_mm256_extracti128_si256(x, 1));
}

// Saturation and value of four pixels from their max and min.
PIXELMOTH_AVX2 inline void SV4(__m256d mx, __m256d mn, double* s, double* v) noexcept {
  const __m256d zero = _mm256_setzero_pd();
  _mm256_storeu_pd(v, _mm256_div_pd(mx, _mm256_set1_pd(255.0)));
  // Black: 0 / 0 is NaN, masked to +0.0.
  const __m256d sat = _mm256_div_pd(_mm256_sub_pd(mx, mn), mx);
  _mm256_storeu_pd(s, _mm256_and_pd(sat, _mm256_cmp_pd(mx, zero, _CMP_NEQ_OQ)));
}

PIXELMOTH_AVX2 inline void Hue4(__m256d mx, __m256d mn, __m256d num, __m256d offset, double* h) noexcept {
  const __m256d d = _mm256_sub_pd(mx, mn);
  const __m256d hue = _mm256_div_pd(_mm256_add_pd(_mm256_div_pd(num, d), offset), _mm256_set1_pd(6.0));
  // Greys: num / 0 is NaN or infinite, masked to +0.0.
  _mm256_storeu_pd(h, _mm256_and_pd(hue, _mm256_cmp_pd(d, _mm256_setzero_pd(), _CMP_NEQ_OQ)));
}

PIXELMOTH_AVX2 void ToHSVAvx2(const Color* in, std::int64_t n, double* h, double* s, double* v) noexcept {
  std::int64_t i = 0;
  for (; i + 8 <= n; i += 8) {
    const Channels c = Split8(in + i);
    const __m256d mxLow = Low(c.mx), mnLow = Low(c.mn), mxHigh = High(c.mx), mnHigh = High(c.mn);
    SV4(mxLow, mnLow, s + i, v + i);
    SV4(mxHigh, mnHigh, s + i + 4, v + i + 4);
    Hue4(mxLow, mnLow, Low(c.num), Low(c.offset), h + i);
    Hue4(mxHigh, mnHigh, High(c.num), High(c.offset), h + i + 4);
  }
  _mm256_zeroupper();  // the one-pixel code is not VEX-encoded: clean upper halves
  ToHSVScalar(in + i, n - i, h + i, s + i, v + i);
}

PIXELMOTH_AVX2 void ToSVAvx2(const Color* in, std::int64_t n, double* s, double* v) noexcept {
  std::int64_t i = 0;
  for (; i + 8 <= n; i += 8) {
    const Channels c = Split8(in + i);
    SV4(Low(c.mx), Low(c.mn), s + i, v + i);
    SV4(High(c.mx), High(c.mn), s + i + 4, v + i + 4);
  }
  _mm256_zeroupper();  // the one-pixel code is not VEX-encoded: clean upper halves
  ToSVScalar(in + i, n - i, s + i, v + i);
}

PIXELMOTH_AVX2 inline __m128i ToByte4(__m256d x) noexcept {
  // 0.5..255.5 for a component in 0..1: truncation is floor.
  return _mm256_cvttpd_epi32(_mm256_add_pd(_mm256_mul_pd(x, _mm256_set1_pd(255.0)), _mm256_set1_pd(0.5)));
}

PIXELMOTH_AVX2 void FromHSVAvx2(const double* hp, const double* sp, const double* vp, std::int64_t n,
                                Color* out, int alpha) noexcept {
  const __m256d zero = _mm256_setzero_pd(), one = _mm256_set1_pd(1.0);
  const __m128i alphaBits = _mm_set1_epi32(static_cast<int>(static_cast<std::uint32_t>(alpha & 0xFF) << 24));
  std::int64_t i = 0;
  for (; i + 4 <= n; i += 4) {
    const __m256d hue = _mm256_loadu_pd(hp + i);
    __m256d h = _mm256_sub_pd(hue, _mm256_floor_pd(hue));
    h = _mm256_and_pd(h, _mm256_cmp_pd(h, one, _CMP_LT_OQ));  // 1.0 and NaN wrap to 0
    // max(x, 0) gives its second operand, 0, for NaN.
    const __m256d s = _mm256_min_pd(_mm256_max_pd(_mm256_loadu_pd(sp + i), zero), one);
    const __m256d v = _mm256_min_pd(_mm256_max_pd(_mm256_loadu_pd(vp + i), zero), one);
    const __m256d h6 = _mm256_mul_pd(_mm256_set1_pd(6.0), h);
    const __m256d fi = _mm256_floor_pd(h6);
    const __m256d f = _mm256_sub_pd(h6, fi);
    const __m256d p = _mm256_mul_pd(v, _mm256_sub_pd(one, s));
    const __m256d q = _mm256_mul_pd(v, _mm256_sub_pd(one, _mm256_mul_pd(s, f)));
    const __m256d t = _mm256_mul_pd(v, _mm256_sub_pd(one, _mm256_mul_pd(s, _mm256_sub_pd(one, f))));
    const __m256d k0 = _mm256_cmp_pd(fi, zero, _CMP_EQ_OQ);
    const __m256d k1 = _mm256_cmp_pd(fi, one, _CMP_EQ_OQ);
    const __m256d k2 = _mm256_cmp_pd(fi, _mm256_set1_pd(2.0), _CMP_EQ_OQ);
    const __m256d k3 = _mm256_cmp_pd(fi, _mm256_set1_pd(3.0), _CMP_EQ_OQ);
    const __m256d k4 = _mm256_cmp_pd(fi, _mm256_set1_pd(4.0), _CMP_EQ_OQ);
    // Sectors 0..5 give (v,t,p), (q,v,p), (p,v,t), (p,q,v), (t,p,v), (v,p,q).
    __m256d r = _mm256_blendv_pd(v, q, k1);
    r = _mm256_blendv_pd(r, p, _mm256_or_pd(k2, k3));
    r = _mm256_blendv_pd(r, t, k4);
    __m256d g = _mm256_blendv_pd(p, t, k0);
    g = _mm256_blendv_pd(g, v, _mm256_or_pd(k1, k2));
    g = _mm256_blendv_pd(g, q, k3);
    __m256d b = _mm256_blendv_pd(q, p, _mm256_or_pd(k0, k1));
    b = _mm256_blendv_pd(b, t, k2);
    b = _mm256_blendv_pd(b, v, _mm256_or_pd(k3, k4));
    __m128i px = ToByte4(r);
    px = _mm_or_si128(px, _mm_slli_epi32(ToByte4(g), 8));
    px = _mm_or_si128(px, _mm_slli_epi32(ToByte4(b), 16));
    px = _mm_or_si128(px, alphaBits);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), px);
  }
  _mm256_zeroupper();  // the one-pixel code is not VEX-encoded: clean upper halves
  FromHSVScalar(hp + i, sp + i, vp + i, n - i, out + i, alpha);
}

// --- AVX-512: eight lanes at a time, with the lane conversions of
// ColorLanes.h; saturation and value alone stay with AVX2, which has no hue
// to compute. ----------------------------------------------------------------

#define PIXELMOTH_AVX512 __attribute__((target("arch=x86-64-v4")))

PIXELMOTH_AVX512 void ToHSVAvx512(const Color* in, std::int64_t n, double* h, double* s, double* v) noexcept {
  std::int64_t i = 0;
  for (; i + 8 <= n; i += 8) {
    const lanes::Hsv c = lanes::ToHsv(lanes::Load(in + i));
    _mm512_storeu_pd(h + i, c.h);
    _mm512_storeu_pd(s + i, c.s);
    _mm512_storeu_pd(v + i, c.v);
  }
  _mm256_zeroupper();  // the one-pixel code is not VEX-encoded: clean upper halves
  ToHSVScalar(in + i, n - i, h + i, s + i, v + i);
}

PIXELMOTH_AVX512 void FromHSVAvx512(const double* h, const double* s, const double* v, std::int64_t n, Color* out,
                                    int alpha) noexcept {
  const __m256i alphaBits = _mm256_set1_epi32(static_cast<int>(static_cast<std::uint32_t>(alpha & 0xFF) << 24));
  std::int64_t i = 0;
  for (; i + 8 <= n; i += 8) {
    const __m256i px = lanes::FromHsv(_mm512_loadu_pd(h + i), _mm512_loadu_pd(s + i), _mm512_loadu_pd(v + i));
    lanes::Store(out + i, _mm256_or_si256(px, alphaBits));
  }
  _mm256_zeroupper();  // the one-pixel code is not VEX-encoded: clean upper halves
  FromHSVScalar(h + i, s + i, v + i, n - i, out + i, alpha);
}

// --- The choice, made once. ------------------------------------------------

std::vector<ColorRows::Kernels> Detect() {
  std::vector<ColorRows::Kernels> found;
  if (Processor::HasAvx512()) found.push_back({"avx512", &ToHSVAvx512, &ToSVAvx2, &FromHSVAvx512});
  if (Processor::HasAvx2()) found.push_back({"avx2", &ToHSVAvx2, &ToSVAvx2, &FromHSVAvx2});
  found.push_back({"scalar", &ToHSVScalar, &ToSVScalar, &FromHSVScalar});
  return found;
}

const ColorRows::Kernels& Chosen() noexcept { return ColorRows::Available().front(); }

}  // namespace

namespace ColorRows {

void ToHSV(const Color* in, std::int64_t n, double* h, double* s, double* v) noexcept {
  Chosen().toHSV(in, n, h, s, v);
}

void ToSV(const Color* in, std::int64_t n, double* s, double* v) noexcept { Chosen().toSV(in, n, s, v); }

void FromHSV(const double* h, const double* s, const double* v, std::int64_t n, Color* out, int alpha) noexcept {
  Chosen().fromHSV(h, s, v, n, out, alpha);
}

const std::vector<Kernels>& Available() {
  static const std::vector<Kernels> kernels = Detect();
  return kernels;
}

}  // namespace ColorRows
