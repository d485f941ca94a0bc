// Resampling a picture or a level to the target's pixels: separable, down
// the source's columns and then across, each target pixel the
// alpha-weighted average of the source pixels it covers.

#include <algorithm>
#include <cmath>

#include "framework/Numbers.h"
#include "framework/PixelWords.h"
#include "framework/Reduction.h"

namespace fw {

std::int64_t AxisMap::Nearest(std::int64_t t) const noexcept {
  const double s = std::floor(start + (static_cast<double>(t) + 0.5 - origin) * extent / size);
  return std::clamp<std::int64_t>(ToInteger(s), lo, hi);
}

void Covered(double origin, double size, std::int64_t& begin, std::int64_t& end) noexcept {
  begin = ToInteger(std::ceil(origin - 0.5));
  end = ToInteger(std::ceil(origin + size - 0.5));
}

Taps MakeTaps(const AxisMap& m, int level, std::int64_t pixels, std::int64_t t0, std::int64_t t1) {
  // Each target pixel's first source pixel, and its weights from there.
  std::vector<std::int64_t> first, count;
  std::vector<float> weights;
  const auto n = static_cast<std::size_t>(t1 - t0);
  first.reserve(n);
  count.reserve(n);
  weights.reserve(3 * n);
  auto nearest = [&](std::int64_t t) {
    first.push_back(m.Nearest(t) >> level);
    count.push_back(1);
    weights.push_back(1.0f);
  };
  // What is drawn from: the source rectangle within the pixels lo..hi.
  const double hiEdge = static_cast<double>(m.hi + 1);
  double lo = std::clamp(m.start, static_cast<double>(m.lo), hiEdge);
  double hi = std::clamp(m.start + m.extent, lo, hiEdge);
  if (!(hi > lo)) lo = static_cast<double>(m.lo), hi = hiEdge;
  const double step = m.extent / m.size, scale = std::ldexp(1.0, -level);
  for (std::int64_t t = t0; t < t1; ++t) {
    if (!m.Reduces()) {
      nearest(t);
      continue;
    }
    const double a = std::clamp(m.start + (static_cast<double>(t) - m.origin) * step, lo, hi);
    const double b = std::clamp(m.start + (static_cast<double>(t) + 1 - m.origin) * step, lo, hi);
    if (!(b - a > 1e-9)) {  // beyond the source rectangle: its nearest pixel
      nearest(t);
      continue;
    }
    const double la = a * scale, lb = b * scale;
    const std::int64_t i0 = std::clamp<std::int64_t>(ToInteger(std::floor(la)), 0, pixels - 1);
    const std::int64_t i1 = std::clamp<std::int64_t>(ToInteger(std::ceil(lb)), i0 + 1, pixels);
    first.push_back(i0);
    count.push_back(i1 - i0);
    for (std::int64_t i = i0; i < i1; ++i) {
      const double w = (std::min(lb, static_cast<double>(i + 1)) - std::max(la, static_cast<double>(i))) / (lb - la);
      weights.push_back(static_cast<float>(std::max(w, 0.0)));
    }
  }
  // The same span for all, weighing nothing beyond their own pixels; near
  // the far edge started early enough to stay inside.
  Taps taps;
  taps.span = n == 0 ? 1 : *std::max_element(count.begin(), count.end());
  taps.first.resize(n);
  taps.weight.assign(n * static_cast<std::size_t>(taps.span), 0.0f);
  std::size_t at = 0;
  for (std::size_t i = 0; i < n; ++i) {
    const std::int64_t early = std::max<std::int64_t>(0, first[i] + taps.span - pixels);
    taps.first[i] = first[i] - early;
    std::copy_n(weights.begin() + static_cast<std::ptrdiff_t>(at), count[i],
                taps.weight.begin() + static_cast<std::ptrdiff_t>(i * static_cast<std::size_t>(taps.span) + early));
    at += static_cast<std::size_t>(count[i]);
  }
  return taps;
}

namespace {

// Rows of a source as four floats a pixel, the colours weighted by
// opacity, and the alpha: each made once, however many target rows take
// a share of it.
class WeightedRows {
 public:
  WeightedRows(const Source& s, std::int64_t c0, std::int64_t c1, std::size_t rowsAtOnce)
      : source_(s), c0_(c0), width_(c1 - c0), rows_(rowsAtOnce, {-1, std::vector<float>(4 * (c1 - c0))}) {}

  // Source row y, columns [c0, c1). Rows are asked for top to bottom, no
  // more than rowsAtOnce of them in use at a time.
  const float* Row(std::int64_t y) {
    auto slot = rows_.begin();
    for (auto r = rows_.begin(); r != rows_.end(); ++r) {
      if (r->first == y) return r->second.data();
      if (r->first < slot->first) slot = r;
    }
    slot->first = y;
    Weigh(source_.Row(y) + c0_, slot->second.data());
    return slot->second.data();
  }

 private:
  void Weigh(const Color* row, float* __restrict out) const {
    for (std::int64_t x = 0; x < width_; ++x) {
      const std::uint32_t v = Word(row + x);  // a word, not four bytes, so that the loop vectorises
      const auto alpha = static_cast<std::int32_t>(v >> 24);
      const float opacity = static_cast<float>(255 - alpha) * (1.0f / 255);
      out[4 * x] = opacity * static_cast<float>(static_cast<std::int32_t>(v & 0xff));
      out[4 * x + 1] = opacity * static_cast<float>(static_cast<std::int32_t>((v >> 8) & 0xff));
      out[4 * x + 2] = opacity * static_cast<float>(static_cast<std::int32_t>((v >> 16) & 0xff));
      out[4 * x + 3] = static_cast<float>(alpha);
    }
  }

  const Source& source_;
  std::int64_t c0_;
  std::int64_t width_;
  std::vector<std::pair<std::int64_t, std::vector<float>>> rows_;
};

// The pixels of sums, four floats a pixel: the colours weighted by opacity
// and the alpha (every sum at least 0, the weights adding up to 1), rounded
// to nearest: the opacity, and the colours divided by it. Written so that
// the loop vectorises: nothing chosen by a branch, the division made even
// for pixels not shown (their colours are then masked off).
void ToPixels(const float* __restrict sums, std::int64_t n, Color* out) {
  for (std::int64_t i = 0; i < n; ++i) {
    const float* sum = sums + 4 * i;
    const float opacity = 255.0f - sum[3];  // at worst a rounding below 0
    const int rounded = static_cast<int>(opacity + 0.5f);
    const int shown = rounded < 255 ? rounded : 255;
    const int keep = -static_cast<int>(shown > 0);
    const float unit = 255.0f / (opacity + static_cast<float>(shown == 0));
    auto byte = [unit, keep](float c) {
      const int v = static_cast<int>(c * unit + 0.5f) & keep;
      return static_cast<std::uint32_t>(v < 255 ? v : 255);
    };
    const std::uint32_t pixel = byte(sum[0]) | byte(sum[1]) << 8 | byte(sum[2]) << 16 |
                                static_cast<std::uint32_t>(255 - shown) << 24;
    Put(out + i, pixel);
  }
}

// across = the sums of down over the taps of xs, four floats a pixel in
// each, down's from source pixel c0. kSpan is xs's span, or 0 for any.
template <int kSpan>
void SumAcross(const float* down, std::int64_t c0, const Taps& xs, float* __restrict across) {
  const std::int64_t span = kSpan > 0 ? kSpan : xs.span;
  const auto n = static_cast<std::int64_t>(xs.first.size());
  for (std::int64_t i = 0; i < n; ++i) {
    const float* column = down + 4 * (xs.first[static_cast<std::size_t>(i)] - c0);
    const float* w = xs.weight.data() + i * span;
    float sum[4] = {0, 0, 0, 0};
    for (std::int64_t k = 0; k < span; ++k)
      for (int c = 0; c < 4; ++c) sum[c] += w[k] * column[4 * k + c];
    for (int c = 0; c < 4; ++c) across[4 * i + c] = sum[c];
  }
}

}  // namespace

// One target row's sums down each source column first, then across.
void Resample(const Source& s, const Taps& xs, const Taps& ys, std::size_t r0, std::size_t r1, Color* out) {
  const auto cols = static_cast<std::int64_t>(xs.first.size());
  if (cols == 0) return;
  const std::int64_t c0 = xs.Begin(), c1 = xs.End();
  WeightedRows weighted(s, c0, c1, static_cast<std::size_t>(ys.span));
  std::vector<float> down(static_cast<std::size_t>(4 * (c1 - c0)));
  std::vector<float> across(static_cast<std::size_t>(4 * cols));
  for (std::size_t r = r0; r < r1; ++r, out += cols) {
    bool first = true;
    for (std::int64_t k = 0; k < ys.span; ++k) {
      const float w = ys.weight[r * static_cast<std::size_t>(ys.span) + static_cast<std::size_t>(k)];
      if (w == 0) continue;  // a tap that only pads the span
      const float* __restrict row = weighted.Row(ys.first[r] + k);
      float* __restrict sum = down.data();
      if (first) {
        for (std::size_t i = 0; i < down.size(); ++i) sum[i] = w * row[i];
      } else {
        for (std::size_t i = 0; i < down.size(); ++i) sum[i] += w * row[i];
      }
      first = false;
    }
    switch (xs.span) {  // the usual spans unrolled
      case 1: SumAcross<1>(down.data(), c0, xs, across.data()); break;
      case 2: SumAcross<2>(down.data(), c0, xs, across.data()); break;
      case 3: SumAcross<3>(down.data(), c0, xs, across.data()); break;
      default: SumAcross<0>(down.data(), c0, xs, across.data()); break;
    }
    ToPixels(across.data(), cols, out);
  }
}

}  // namespace fw
