// Averages over blocks of 2^k x 2^k pixels, read once at the memory's pace:
// a strip of the picture eight rows at a time, in loops that the compiler
// vectorises.

#include <algorithm>

#include "framework/Picture.h"
#include "framework/PixelWords.h"
#include "framework/Reduction.h"

namespace fw {

namespace {

// Source rows read side by side: the memory then has that many reads under
// way and delivers the source faster than row by row. They span up to four
// block rows, of blocks 2 x 2 to 8 x 8; blocks of 16 x 16 take two turns.
constexpr int kRowsRead = 8;
constexpr int kMostBlockRows = 4;
// Source pixels of a row summed at a time: their sums, and those of the
// rows read, stay in the first-level cache.
constexpr std::int64_t kStrip = 512;
// Stands in for the rows below a picture's last: it adds nothing.
alignas(64) constexpr Color kNoRow[kStrip] = {};

// The sums of a strip of pixels down each block row read, for each pair of
// source columns, block rows kStrip apart: red and blue in the 16-bit halves
// of `even`, green and alpha in those of `odd`. Halves, not bytes: lane
// sums of a block of up to 16 x 16 pixels never carry out of them (256 x 255
// at most), so a 32-bit add adds two.
struct Lanes {
  std::vector<std::uint32_t> even = std::vector<std::uint32_t>(kMostBlockRows * kStrip);
  std::vector<std::uint32_t> odd = std::vector<std::uint32_t>(kMostBlockRows * kStrip);
  std::vector<std::uint32_t> spare = std::vector<std::uint32_t>(kStrip);
};

// The pixel with its colour cleared if it is at least half transparent.
// Over pixels that are each opaque or fully transparent, the alpha-weighted
// average is then the sum of what is left over the opaque count; flagged
// in `partial` (see PartialBits) when some alpha is neither 0 nor 255,
// where that does not hold.
inline std::uint32_t Masked(const Color* pixel, std::uint32_t& partial) {
  const std::uint32_t w = Word(pixel);
  partial |= PartialBits(w);
  const auto halfSeeThrough = static_cast<std::uint32_t>(static_cast<std::int32_t>(w) >> 31);
  return w & ~(halfSeeThrough & 0x00ffffffu);
}

// even[i] and odd[i] = the lanes of pixels 2i and 2i + 1 of [x0, x0 + count),
// masked, summed down each block row of kSide rows, from y0 on for `rows`
// rows; a block is at least two pixels wide. Returns whether some pixel is
// partly transparent. Kept out of line: inlined, the compiler no longer
// sees that even and odd are apart from the rows, and leaves the loops
// scalar.
template <int kSide>
[[gnu::noinline]] bool SumDown(const Source& s, std::int64_t y0, std::int64_t rows, std::int64_t x0, std::int64_t count,
                               std::uint32_t* __restrict even, std::uint32_t* __restrict odd) {
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
      std::uint32_t e[kBlockRows] = {}, o[kBlockRows] = {};
      for (int j = 0; j < kBlockRows && r > 0; ++j) e[j] = even[j * kStrip + pairs], o[j] = odd[j * kStrip + pairs];
      add(count - 1, e, o);
      store(pairs, e, o);
    }
    partial |= part;
  }
  return AnyPartial(partial);
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
  const std::uint32_t half = std::uint32_t{1} << (2 * shift - 1);
  const std::uint32_t rounding = half | half << 16;
  const auto down = static_cast<unsigned>(2 * shift);
  const std::uint32_t transparent = 255u << (2 * shift);  // the alpha sum
  std::uint32_t mixed = 0;
  for (std::int64_t b = 0; b < blocks; ++b) {
    const std::uint32_t alpha = odd[b] >> 16;
    mixed |= (alpha != 0) & (alpha != transparent);
    const std::uint32_t opaque =
        (((even[b] + rounding) >> down) & kHalves) | ((((odd[b] + rounding) >> down) & kHalves) << 8);
    Put(out + b, alpha == transparent ? 0xff000000u : opaque);
  }
  return mixed;
}

// The alpha-weighted average of n pixels, from the sum of their opacities
// (255 - alpha) and of their colours each weighted by its opacity: the
// opacity and the colours rounded to nearest.
Color Average(std::uint64_t opacity, std::uint64_t red, std::uint64_t green, std::uint64_t blue, std::uint64_t n) {
  const std::uint64_t shown = (opacity + n / 2) / n;
  if (shown == 0) return kTransparent;
  auto byte = [opacity](std::uint64_t sum) { return static_cast<std::uint8_t>((sum + opacity / 2) / opacity); };
  return Color{byte(red), byte(green), byte(blue), static_cast<std::uint8_t>(255 - shown)};
}

// The alpha-weighted average of a block of count pixels from its lane sums,
// when each pixel is opaque or fully transparent: the colours summed are
// the opaque pixels', each weighing 255.
Color FromSums(std::uint32_t even, std::uint32_t odd, unsigned count) {
  return Average(255 * count - (odd >> 16), 255 * (even & 0xffff), 255 * (odd & 0xffff), 255 * (even >> 16), count);
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
    Put(out + b, (pixel & keep) | (~keep & 0xff000000u));
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
  return Average(opacity, red, green, blue, static_cast<std::uint64_t>(cols * rows));
}

// Level pixels [first, first + blocks) of level row y into out, from the
// lane sums of pairs of its blocks' columns in even and odd; exact: whether
// no pixel summed is partly transparent, so that the masked sums give
// every block's average (see Masked).
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

// SumDown for blocks of 2^shift rows.
bool SumDownBlocks(int shift, const Source& s, std::int64_t y0, std::int64_t rows, std::int64_t x0, std::int64_t count,
                   Lanes& l) {
  switch (shift) {
    case 1: return SumDown<2>(s, y0, rows, x0, count, l.even.data(), l.odd.data());
    case 2: return SumDown<4>(s, y0, rows, x0, count, l.even.data(), l.odd.data());
    case 3: return SumDown<8>(s, y0, rows, x0, count, l.even.data(), l.odd.data());
    default: return SumDown<16>(s, y0, rows, x0, count, l.even.data(), l.odd.data());
  }
}

}  // namespace

// A strip of the block rows that the rows read span at a time.
void AverageBlocks(const Source& s, int shift, std::int64_t x0, std::int64_t y0, std::int64_t x1, std::int64_t y1,
                   Plane& out) {
  Lanes l;
  const std::int64_t perStrip = kStrip >> shift;
  const std::int64_t together = shift < 3 ? kRowsRead >> shift : 1;
  for (std::int64_t y = y0; y < y1; y += together) {
    const std::int64_t levelRows = std::min(together, y1 - y);
    const std::int64_t rows = std::min(levelRows << shift, s.height - (y << shift));
    for (std::int64_t x = x0; x < x1; x += perStrip) {
      const std::int64_t blocks = std::min(perStrip, x1 - x);
      const std::int64_t count = std::min(blocks << shift, s.width - (x << shift));
      const bool exact = !SumDownBlocks(shift, s, y << shift, rows, x << shift, count, l);
      for (std::int64_t j = 0; j < levelRows; ++j)
        FinishRow(s, shift, y + j, x, blocks, l.even.data() + j * kStrip, l.odd.data() + j * kStrip, l.spare.data(),
                  exact, out.pixels.get() + (y + j) * out.width + x);
    }
  }
}

}  // namespace fw
