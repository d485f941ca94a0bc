#include "framework/ReducedCopies.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>

#include "framework/Blend.h"
#include "framework/Numbers.h"
#include "framework/Picture.h"

namespace fw {

std::int64_t AxisMap::Nearest(std::int64_t t) const noexcept {
  const double s = std::floor(start + (static_cast<double>(t) + 0.5 - origin) * extent / size);
  return std::clamp<std::int64_t>(ToInteger(s), lo, hi);
}

namespace {

// Pixels read by a reduction: a picture's or a level's.
struct Source {
  const Color* pixels;
  std::int64_t width;
  std::int64_t height;
  const Color* Row(std::int64_t y) const noexcept { return pixels + y * width; }
};

Source Of(const Plane& p) { return {p.pixels.get(), p.width, p.height}; }

// The pixels along a side of level k of a picture with `side` pixels there.
std::int64_t LevelSide(std::int64_t side, int k) { return (side + (std::int64_t{1} << k) - 1) >> k; }

// --- Levels -------------------------------------------------------------------

// Source rows read side by side: the memory then has that many reads under
// way and delivers the source faster than row by row. They span up to four
// block rows, of blocks 2 x 2 to 8 x 8.
constexpr int kRowsRead = 8;
constexpr int kMostBlockRows = 4;
// Source pixels of a row summed at a time: their sums, and those of the
// rows read, stay in the first-level cache.
constexpr std::int64_t kStrip = 512;
// Level pixels along a side of a tile, the unit in which a level is made as
// views need it, so that a view of a part of a large picture costs the part.
constexpr std::int64_t kTile = 64;

// Stands in for the rows below a picture's last: it adds nothing.
alignas(64) constexpr Color kNoRow[kStrip] = {};

// The sums of a strip of pixels down each block row read, for each source
// column, kStrip apart: red and blue in the 16-bit halves of `even`, green
// and alpha in those of `odd`. Halves, not bytes: lane sums of a block of up
// to 16 x 16 pixels never carry out of them (256 x 255 at most), so a
// 32-bit add adds two.
struct Lanes {
  std::vector<std::uint32_t> even = std::vector<std::uint32_t>(kMostBlockRows * kStrip);
  std::vector<std::uint32_t> odd = std::vector<std::uint32_t>(kMostBlockRows * kStrip);
  std::vector<std::uint32_t> spare = std::vector<std::uint32_t>(kStrip);
};

// The pixel with its colour cleared if it is at least half transparent.
// Over pixels that are each opaque or fully transparent, the alpha-weighted
// average is then the sum of what is left over the opaque count; flagged
// nonzero in bits 25 to 31 of `partial` when some alpha is neither 0 nor 255,
// where that does not hold.
inline std::uint32_t Masked(const Color* pixel, std::uint32_t& partial) {
  std::uint32_t w;
  std::memcpy(&w, pixel, 4);
  partial |= w + 0x01000000u;  // alpha 0 or 255 carries nothing into bits 25 to 31
  const auto halfSeeThrough = static_cast<std::uint32_t>(static_cast<std::int32_t>(w) >> 31);
  return w & ~(halfSeeThrough & 0x00ffffffu);
}

// even[i] and odd[i] = the lanes of pixels 2i and 2i + 1 of [x0, x0 + count),
// masked, summed down each block row of kSide rows, from y0 on for `rows`
// rows; a block is at least two pixels wide. Returns nonzero when some
// pixel is partly transparent. Kept out of line: inlined, the compiler no
// longer sees that even and odd are apart from the rows, and leaves the
// loops scalar.
template <int kSide>
[[gnu::noinline]] std::uint32_t SumDown(const Source& s, std::int64_t y0, std::int64_t rows, std::int64_t x0,
                                        std::int64_t count, std::uint32_t* __restrict even,
                                        std::uint32_t* __restrict odd) {
  constexpr std::uint32_t kHalves = 0x00ff00ffu;
  constexpr int kBlockRows = kSide < kRowsRead ? kRowsRead / kSide : 1;
  const std::int64_t pairs = count / 2;
  std::uint32_t partial = 0;
  for (std::int64_t r = 0; r < rows; r += kRowsRead) {
    const Color* row[kRowsRead];
    for (int k = 0; k < kRowsRead; ++k) row[k] = r + k < rows ? s.Row(y0 + r + k) + x0 : kNoRow;
    // Accumulated apart from partial, and the first rows apart from the
    // rest: as one, the compiler gives up vectorising the loops.
    std::uint32_t part = 0;
    auto add = [&](std::int64_t x, std::uint32_t (&e)[kBlockRows], std::uint32_t (&o)[kBlockRows]) {
      for (int k = 0; k < kRowsRead; ++k) {
        const std::uint32_t m = Masked(row[k] + x, part);
        e[k * kBlockRows / kRowsRead] += m & kHalves;
        o[k * kBlockRows / kRowsRead] += (m >> 8) & kHalves;
      }
    };
    // Pair i: from nothing in the first rows, else from what is there.
    auto start = [&](std::int64_t i, std::uint32_t (&e)[kBlockRows], std::uint32_t (&o)[kBlockRows]) {
      for (int j = 0; j < kBlockRows; ++j) {
        e[j] = r == 0 ? 0 : even[j * kStrip + i];
        o[j] = r == 0 ? 0 : odd[j * kStrip + i];
      }
    };
    auto store = [&](std::int64_t i, const std::uint32_t (&e)[kBlockRows], const std::uint32_t (&o)[kBlockRows]) {
      for (int j = 0; j < kBlockRows; ++j) {
        even[j * kStrip + i] = e[j];
        odd[j * kStrip + i] = o[j];
      }
    };
    if (r == 0) {
      for (std::int64_t i = 0; i < pairs; ++i) {
        std::uint32_t e[kBlockRows] = {}, o[kBlockRows] = {};
        add(2 * i, e, o);
        add(2 * i + 1, e, o);
        store(i, e, o);
      }
    } else if constexpr (kBlockRows == 1) {  // blocks taller than the rows read
      for (std::int64_t i = 0; i < pairs; ++i) {
        std::uint32_t e[1] = {even[i]}, o[1] = {odd[i]};
        add(2 * i, e, o);
        add(2 * i + 1, e, o);
        store(i, e, o);
      }
    }
    if (count % 2) {  // the picture's last pixel, alone
      std::uint32_t e[kBlockRows], o[kBlockRows];
      start(pairs, e, o);
      add(count - 1, e, o);
      store(pairs, e, o);
    }
    partial |= part;
  }
  return partial & 0xfe000000u;
}

// v[x] = v[2x] + v[2x + 1], shift times over: the sums of each 2^shift
// neighbours, for blocks of them. Into another buffer and back: in place,
// the compiler would not vectorise it.
void SumAcross(std::uint32_t* v, std::uint32_t* spare, std::int64_t blocks, int shift) {
  std::uint32_t* from = v;
  std::uint32_t* to = spare;
  for (std::int64_t n = (blocks << shift) / 2; n >= blocks; n /= 2) {
    const std::uint32_t* __restrict f = from;
    std::uint32_t* __restrict t = to;
    for (std::int64_t x = 0; x < n; ++x) t[x] = f[2 * x] + f[2 * x + 1];
    std::swap(from, to);
  }
  if (from != v) std::copy(from, from + blocks, v);
}

// Writes blocks [0, blocks) of 2^shift x 2^shift pixels that are all
// opaque, each lane sum rounded and shifted down and the halves packed into
// bytes, and those all transparent. Returns nonzero when some block is
// neither, and so written wrong.
std::uint32_t PackUniform(const std::uint32_t* __restrict even, const std::uint32_t* __restrict odd,
                          std::int64_t blocks, int shift, Color* out) {
  static_assert(std::endian::native == std::endian::little, "lanes are read as the bytes of a pixel");
  const std::uint32_t half = std::uint32_t{1} << (2 * shift - 1);
  const std::uint32_t rounding = half | half << 16;
  const auto down = static_cast<unsigned>(2 * shift);
  const std::uint32_t transparent = 255u << (2 * shift);  // the alpha sum
  std::uint32_t mixed = 0;
  for (std::int64_t b = 0; b < blocks; ++b) {
    const std::uint32_t alpha = odd[b] >> 16;
    mixed |= (alpha != 0) & (alpha != transparent);
    const std::uint32_t opaque = (((even[b] + rounding) >> down) & 0x00ff00ffu) |
                                 ((((odd[b] + rounding) >> down) & 0x00ff00ffu) << 8);
    const std::uint32_t packed = alpha == transparent ? 0xff000000u : opaque;
    std::memcpy(out + b, &packed, 4);
  }
  return mixed;
}

// The alpha-weighted average of a block of count pixels from its lane sums,
// when each pixel is opaque or fully transparent: rounded as AverageBlock
// rounds.
Color FromSums(std::uint32_t even, std::uint32_t odd, unsigned count) {
  const unsigned opacity = 255 * count - (odd >> 16);
  const unsigned shown = (opacity + count / 2) / count;
  if (shown == 0) return kTransparent;
  // The colours are the opaque pixels' (each weighing 255) over the opacity.
  auto byte = [opacity](unsigned sum) { return static_cast<std::uint8_t>((255 * sum + opacity / 2) / opacity); };
  return Color{byte(even & 0xffff), byte(odd & 0xffff), byte(even >> 16), static_cast<std::uint8_t>(255 - shown)};
}

// Writes blocks [0, blocks) of 2^shift x 2^shift pixels as FromSums does,
// in a loop that vectorises: nothing chosen by a branch, and the divisions
// in float, exact here (the numerators are below 2^24 and each quotient
// lies at least 1 / 65280 from the next whole number above it).
void PackFromSums(const std::uint32_t* __restrict even, const std::uint32_t* __restrict odd, std::int64_t blocks,
                  int shift, Color* out) {
  const std::int32_t count = std::int32_t{1} << (2 * shift);
  // Halves as signed words: the conversions to and from float that vectorise.
  auto half = [](std::uint32_t v, int which) { return static_cast<std::int32_t>((v >> (16 * which)) & 0xffff); };
  for (std::int64_t b = 0; b < blocks; ++b) {
    const std::int32_t opacity = 255 * count - half(odd[b], 1);
    const std::int32_t shown = (opacity + count / 2) >> (2 * shift);
    const auto divisor = static_cast<float>(opacity | (opacity == 0));
    auto byte = [opacity, divisor](std::int32_t sum) {
      const float quotient = static_cast<float>(255 * sum + opacity / 2) / divisor;
      return static_cast<std::uint32_t>(static_cast<std::int32_t>(quotient));
    };
    const std::uint32_t pixel = byte(half(even[b], 0)) | byte(half(odd[b], 0)) << 8 | byte(half(even[b], 1)) << 16 |
                                static_cast<std::uint32_t>(255 - shown) << 24;
    const std::uint32_t keep = 0u - static_cast<std::uint32_t>(shown > 0);  // a block not shown is transparent
    const std::uint32_t packed = (pixel & keep) | (~keep & 0xff000000u);
    std::memcpy(out + b, &packed, 4);
  }
}

// The alpha-weighted average of any block, read again from the source.
Color AverageBlock(const Source& s, std::int64_t x0, std::int64_t y0, std::int64_t cols, std::int64_t rows) {
  std::uint64_t opacity = 0, red = 0, green = 0, blue = 0;
  for (std::int64_t y = y0; y < y0 + rows; ++y) {
    const Color* row = s.Row(y);
    for (std::int64_t x = x0; x < x0 + cols; ++x) {
      const std::uint64_t o = 255u - row[x].alpha;
      opacity += o;
      red += o * row[x].red;
      green += o * row[x].green;
      blue += o * row[x].blue;
    }
  }
  const auto n = static_cast<std::uint64_t>(cols * rows);
  const std::uint64_t shown = (opacity + n / 2) / n;
  if (shown == 0) return kTransparent;
  auto byte = [opacity](std::uint64_t sum) { return static_cast<std::uint8_t>((sum + opacity / 2) / opacity); };
  return Color{byte(red), byte(green), byte(blue), static_cast<std::uint8_t>(255 - shown)};
}

// Level pixels [first, first + blocks) of level row y, from the lane sums
// of its blocks in even and odd, into out; rows: the source rows of its
// blocks; exact: whether the sums are exact for blocks of opaque and
// transparent pixels (MaskFour).
void FinishRow(const Source& s, int shift, std::int64_t y, std::int64_t first, std::int64_t blocks, std::uint32_t* even,
               std::uint32_t* odd, std::uint32_t* spare, bool exact, Color* out) {
  const std::int64_t n = std::int64_t{1} << shift;
  const std::int64_t y0 = y << shift, rows = std::min(n, s.height - y0);
  const std::int64_t x0 = first << shift, count = std::min(blocks << shift, s.width - x0);
  std::fill(even + (count + 1) / 2, even + (blocks << shift) / 2, 0);
  std::fill(odd + (count + 1) / 2, odd + (blocks << shift) / 2, 0);
  SumAcross(even, spare, blocks, shift - 1);  // neighbours come in pairs
  SumAcross(odd, spare, blocks, shift - 1);
  // Blocks of the picture's inside first, as if each all opaque or all
  // transparent, as nearly all are; again if some are neither; then those
  // at its edges, and any with partly transparent pixels.
  const std::int64_t whole = rows == n ? std::min(blocks, (s.width - x0) >> shift) : 0;
  const bool mixed = PackUniform(even, odd, whole, shift, out) != 0;
  if (mixed && exact) PackFromSums(even, odd, whole, shift, out);
  const std::uint32_t transparent = 255u << (2 * shift);
  for (std::int64_t b = mixed && !exact ? 0 : whole; b < blocks; ++b) {
    const unsigned alpha = odd[b] >> 16;
    if (b < whole && (alpha == 0 || alpha == transparent)) continue;
    const std::int64_t cols = std::min(n, s.width - x0 - (b << shift));
    const auto pixels = static_cast<unsigned>(cols * rows);
    const bool uniform = alpha == 0 || alpha == 255 * pixels;
    out[b] = exact || uniform ? FromSums(even[b], odd[b], pixels) : AverageBlock(s, x0 + (b << shift), y0, cols, rows);
  }
}

// Pixels [x0, x1) x [y0, y1) of out, s reduced 2^shift times (shift 1 to 4),
// a strip of the block rows that the rows read span at a time.
void Reduce(const Source& s, int shift, std::int64_t x0, std::int64_t y0, std::int64_t x1, std::int64_t y1,
            Plane& out) {
  Lanes l;
  const std::int64_t perStrip = kStrip >> shift;
  const std::int64_t together = shift < 3 ? kRowsRead >> shift : 1;
  for (std::int64_t y = y0; y < y1; y += together) {
    const std::int64_t levelRows = std::min(together, y1 - y);
    const std::int64_t rows = std::min(levelRows << shift, s.height - (y << shift));
    for (std::int64_t x = x0; x < x1; x += perStrip) {
      const std::int64_t blocks = std::min(perStrip, x1 - x);
      const std::int64_t first = x << shift, count = std::min(blocks << shift, s.width - first);
      const Source& src = s;
      auto sum = [&](auto sumDown) { return sumDown(src, y << shift, rows, first, count, l.even.data(), l.odd.data()); };
      const std::uint32_t partial = shift == 1   ? sum(SumDown<2>)
                                    : shift == 2 ? sum(SumDown<4>)
                                    : shift == 3 ? sum(SumDown<8>)
                                                 : sum(SumDown<16>);
      for (std::int64_t j = 0; j < levelRows; ++j)
        FinishRow(s, shift, y + j, x, blocks, l.even.data() + j * kStrip, l.odd.data() + j * kStrip, l.spare.data(),
                  partial == 0, out.pixels.get() + (y + j) * out.width + x);
    }
  }
}

// --- Resampling -----------------------------------------------------------------

// For each target pixel along one axis, the source pixels it covers and how
// much of each, the weights adding up to 1. Every target pixel reads the
// same number of source pixels, some weighing nothing, so that the loops
// over them take the same turns every time.
struct Taps {
  std::int64_t span = 1;            // source pixels read for each target pixel
  std::vector<std::int64_t> first;  // the first of them
  std::vector<float> weight;        // span for each target pixel

  // The source pixels read are [Begin(), End()).
  std::int64_t Begin() const { return first.empty() ? 0 : *std::min_element(first.begin(), first.end()); }
  std::int64_t End() const { return first.empty() ? 0 : *std::max_element(first.begin(), first.end()) + span; }
};

// Taps of target pixels [t0, t1) into a source reduced 2^level times, of
// size `pixels` along this axis.
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
      std::uint32_t v;  // a word, not four bytes, so that the loop vectorises
      std::memcpy(&v, row + x, 4);
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
    std::memcpy(out + i, &pixel, 4);
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

// Target rows [r0, r1) x columns of xs, into out (one row after another):
// each pixel the alpha-weighted average of the source it covers. One target
// row's sums down each source column first, then across.
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

// A reduction no larger than this many times the target is kept whole, so
// that a pan draws it again at the cost of a copy; a larger one is kept as
// far as the target shows it, which a pan makes again.
constexpr std::int64_t kWholeViewTargets = 1;
// Target rows made at a time when the reduction is not kept.
constexpr std::int64_t kBand = 64;

// The target pixels whose centres fall inside [origin, origin + size),
// unclipped.
void Covered(double origin, double size, std::int64_t& begin, std::int64_t& end) {
  begin = ToInteger(std::ceil(origin - 0.5));
  end = ToInteger(std::ceil(origin + size - 0.5));
}

}  // namespace

// The reduction last drawn: target pixels [t0, t1) of both axes as they lie
// when the origin's whole part is taken off, which a pan changes nothing in.
struct ReducedCopies::View {
  bool made = false;
  int level = 0;
  AxisMap x{}, y{};
  std::int64_t x0 = 0, y0 = 0;  // the target pixel of pixels(0, 0), origins' whole parts taken off
  Plane pixels;

  static bool SameAxis(const AxisMap& a, const AxisMap& b) {
    return a.size == b.size && a.start == b.start && a.extent == b.extent && a.lo == b.lo && a.hi == b.hi &&
           a.origin - std::floor(a.origin) == b.origin - std::floor(b.origin);
  }
  // Whether it holds the target pixels that ax and ay cover.
  bool Holds(int l, const AxisMap& ax, const AxisMap& ay) const {
    const std::int64_t sx = ToInteger(std::floor(ax.origin)), sy = ToInteger(std::floor(ay.origin));
    return made && l == level && SameAxis(ax, x) && SameAxis(ay, y) && ax.t0 - sx >= x0 &&
           ax.t1 - sx <= x0 + pixels.width && ay.t0 - sy >= y0 && ay.t1 - sy <= y0 + pixels.height;
  }
};

ReducedCopies::ReducedCopies(const PixelBuffer& buffer) : buffer_(buffer) {}
ReducedCopies::~ReducedCopies() = default;

ReducedCopies& ReducedCopies::Of(PixelBuffer& buffer) {
  if (!buffer.copies) buffer.copies = std::make_unique<ReducedCopies>(buffer);
  ReducedCopies& c = *buffer.copies;
  if (c.watch_.Written()) c.DropDerived();
  return c;
}

void ReducedCopies::MarkFreshTransparent(PixelBuffer& buffer) {
  ReducedCopies& c = Of(buffer);
  c.Watch(0, buffer.height);
  c.fresh_ = c.watch_.Active();
}

void ReducedCopies::DropDerived() {
  fresh_ = false;
  for (std::size_t i = 0; i < levels_.size(); ++i) {
    Level& level = levels_[i];
    if (static_cast<int>(i) + 1 == lastLevel_) {
      level.made.assign(level.made.size(), false);
    } else {
      level = Level();
    }
  }
  if (view_) view_->made = false;
  watch_.Stop();
}

void ReducedCopies::Watch(std::int64_t y0, std::int64_t y1) {
  if (watch_.Active()) {
    if (y0 >= watched_[0] && y1 <= watched_[1]) return;
    y0 = std::min(y0, watched_[0]);
    y1 = std::max(y1, watched_[1]);
  }
  watch_.Start(buffer_.pixels.get() + y0 * buffer_.width, static_cast<std::size_t>((y1 - y0) * buffer_.width));
  watched_[0] = y0;
  watched_[1] = y1;
}

const Plane& ReducedCopies::LevelWith(int k, const Region& r) {
  if (levels_.size() < static_cast<std::size_t>(k)) levels_.resize(static_cast<std::size_t>(k));
  const std::int64_t width = LevelSide(buffer_.width, k), height = LevelSide(buffer_.height, k);
  const std::int64_t tilesAcross = (width + kTile - 1) / kTile, tilesDown = (height + kTile - 1) / kTile;
  if (Level& level = levels_[static_cast<std::size_t>(k - 1)]; !level.plane.pixels) {
    // Not filled: the pages of the tiles never made are never touched.
    level.plane.pixels.reset(new Color[static_cast<std::size_t>(width * height)]);
    level.plane.width = width;
    level.plane.height = height;
    level.tilesAcross = tilesAcross;
    level.made.assign(static_cast<std::size_t>(tilesAcross * tilesDown), false);
  }
  // At most 2^4 x 2^4 pixels summed at once: higher levels come from lower ones.
  const int from = std::max(0, k - 4);
  const int shift = k - from;
  std::int64_t readFrom = buffer_.height, readTo = 0;  // the picture's rows the tiles made come from
  for (std::int64_t ty = r.y0 / kTile; ty < std::min(tilesDown, (r.y1 + kTile - 1) / kTile); ++ty) {
    const std::int64_t txEnd = std::min(tilesAcross, (r.x1 + kTile - 1) / kTile);
    for (std::int64_t tx = r.x0 / kTile; tx < txEnd; ++tx) {
      std::vector<bool>& made = levels_[static_cast<std::size_t>(k - 1)].made;
      if (made[static_cast<std::size_t>(ty * tilesAcross + tx)]) continue;
      // A run of tiles not made, made at once so that the rows read are long.
      std::int64_t end = tx + 1;
      while (end < txEnd && !made[static_cast<std::size_t>(ty * tilesAcross + end)]) ++end;
      const Region tiles{tx * kTile, ty * kTile, std::min(end * kTile, width), std::min((ty + 1) * kTile, height)};
      const Source s = from == 0 ? Source{buffer_.pixels.get(), buffer_.width, buffer_.height}
                                 : fw::Of(LevelWith(from, {tiles.x0 << shift, tiles.y0 << shift, tiles.x1 << shift,
                                                           tiles.y1 << shift}));
      Level& level = levels_[static_cast<std::size_t>(k - 1)];
      Reduce(s, shift, tiles.x0, tiles.y0, tiles.x1, tiles.y1, level.plane);
      for (std::int64_t t = tx; t < end; ++t) level.made[static_cast<std::size_t>(ty * tilesAcross + t)] = true;
      readFrom = std::min(readFrom, tiles.y0 << k);
      readTo = std::max(readTo, std::min(tiles.y1 << k, buffer_.height));
      tx = end - 1;
    }
  }
  if (readFrom < readTo) Watch(readFrom, readTo);
  return levels_[static_cast<std::size_t>(k - 1)].plane;
}

void ReducedCopies::DrawReduced(const AxisMap& x, const AxisMap& y, Color* target, std::int64_t targetWidth,
                                std::int64_t targetHeight) {
  // The level read: the smallest still at least as large as the target
  // shows the picture, so each target pixel covers one to two of its pixels
  // along each axis.
  const double scale = std::max(x.size / x.extent, y.size / y.extent);
  int level = 0;
  while (level < 30 && std::ldexp(1.0, -(level + 1)) >= scale) ++level;
  const std::int64_t width = LevelSide(buffer_.width, level), height = LevelSide(buffer_.height, level);
  // The pixels read, with at least those of the taps made.
  auto read = [&](const Taps& xs, const Taps& ys) {
    if (level == 0) return Source{buffer_.pixels.get(), buffer_.width, buffer_.height};
    lastLevel_ = level;
    return fw::Of(LevelWith(level, {xs.Begin(), ys.Begin(), xs.End(), ys.End()}));
  };

  const std::int64_t sx = ToInteger(std::floor(x.origin)), sy = ToInteger(std::floor(y.origin));
  const std::int64_t columns = x.t1 - x.t0;
  if (!view_ || !view_->Holds(level, x, y)) {
    // Kept whole when small enough, so that a pan draws it again at the
    // cost of a copy; else as far as the target shows it.
    std::int64_t wx0, wx1, wy0, wy1;
    Covered(x.origin, x.size, wx0, wx1);
    Covered(y.origin, y.size, wy0, wy1);
    const double limit = static_cast<double>(kWholeViewTargets * targetWidth * targetHeight);
    const bool whole = static_cast<double>(wx1 - wx0) * static_cast<double>(wy1 - wy0) <= limit;
    if (!whole && static_cast<double>(columns) * static_cast<double>(y.t1 - y.t0) > limit) {
      // Too large to keep: made and drawn a band of rows at a time.
      view_.reset();
      const Taps xs = MakeTaps(x, level, width, x.t0, x.t1);
      const Taps ys = MakeTaps(y, level, height, y.t0, y.t1);
      const Source s = read(xs, ys);
      std::vector<Color> band(static_cast<std::size_t>(kBand * columns));
      for (std::int64_t r = 0; r < y.t1 - y.t0; r += kBand) {
        const std::int64_t rows = std::min(kBand, y.t1 - y.t0 - r);
        Resample(s, xs, ys, static_cast<std::size_t>(r), static_cast<std::size_t>(r + rows), band.data());
        for (std::int64_t i = 0; i < rows; ++i)
          BlendRow(band.data() + i * columns, target + (y.t0 + r + i) * targetWidth + x.t0, columns);
      }
      return;
    }
    const std::int64_t tx0 = whole ? wx0 : x.t0, tx1 = whole ? wx1 : x.t1;
    const std::int64_t ty0 = whole ? wy0 : y.t0, ty1 = whole ? wy1 : y.t1;
    const Taps xs = MakeTaps(x, level, width, tx0, tx1);
    const Taps ys = MakeTaps(y, level, height, ty0, ty1);
    const Source s = read(xs, ys);
    if (!view_) view_ = std::make_unique<View>();
    View& v = *view_;
    if (v.pixels.width * v.pixels.height != (tx1 - tx0) * (ty1 - ty0) || !v.pixels.pixels)
      v.pixels.pixels.reset(new Color[static_cast<std::size_t>((tx1 - tx0) * (ty1 - ty0))]);
    v.pixels.width = tx1 - tx0;
    v.pixels.height = ty1 - ty0;
    v.level = level;
    v.x = x;
    v.y = y;
    v.x0 = tx0 - sx;
    v.y0 = ty0 - sy;
    Resample(s, xs, ys, 0, static_cast<std::size_t>(ty1 - ty0), v.pixels.pixels.get());
    v.made = true;
    if (level == 0) Watch(ys.Begin(), ys.End());  // a level's tiles are watched as they are made
  }
  const View& v = *view_;
  for (std::int64_t t = y.t0; t < y.t1; ++t)
    BlendRow(v.pixels.Row(t - sy - v.y0) + (x.t0 - sx - v.x0), target + t * targetWidth + x.t0, columns);
}

}  // namespace fw
