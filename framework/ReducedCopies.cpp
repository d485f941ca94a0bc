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

// --- Levels -------------------------------------------------------------------

// The alpha-weighted average of a block whose pixels are neither all opaque
// nor all transparent.
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

// The source reduced 2^shift times (shift 1 to 4) into out, whose memory is
// used again when it has the size: each pixel the average of the block of
// up to 2^shift x 2^shift pixels it covers. Blocks that are all opaque,
// nearly all of a picture, are summed a row at a time, a byte in a 16-bit
// lane (at most 256 x 255 fits), and their averages packed four lanes at a
// time.
void Reduce(const Source& s, int shift, Plane& out) {
  static_assert(std::endian::native == std::endian::little, "lanes are read as the bytes of a pixel");
  const std::int64_t n = std::int64_t{1} << shift;
  const std::int64_t width = (s.width + n - 1) >> shift, height = (s.height + n - 1) >> shift;
  if (!out.pixels || out.width != width || out.height != height) {
    out.width = width;
    out.height = height;
    out.pixels.reset(new Color[static_cast<std::size_t>(width * height)]);
  }
  const std::int64_t padded = width << shift;
  std::vector<std::uint16_t> sums(static_cast<std::size_t>(4 * padded));
  const auto half = static_cast<std::uint64_t>(n * n / 2);
  const std::uint64_t rounding = half | half << 16 | half << 32;
  const unsigned shiftOut = static_cast<unsigned>(2 * shift);
  for (std::int64_t oy = 0; oy < height; ++oy) {
    const std::int64_t y0 = oy << shift, rows = std::min(n, s.height - y0);
    std::uint16_t* sum = sums.data();
    const auto* first = reinterpret_cast<const std::uint8_t*>(s.Row(y0));
    for (std::int64_t i = 0; i < 4 * s.width; ++i) sum[i] = first[i];
    std::fill(sum + 4 * s.width, sum + 4 * padded, 0);
    for (std::int64_t r = 1; r < rows; ++r) {
      const auto* bytes = reinterpret_cast<const std::uint8_t*>(s.Row(y0 + r));
      for (std::int64_t i = 0; i < 4 * s.width; ++i) sum[i] = static_cast<std::uint16_t>(sum[i] + bytes[i]);
    }
    // Pairs of neighbours added, shift times: the four lanes of pixel x
    // become those of pixels 2x and 2x + 1.
    for (std::int64_t len = padded / 2; len >= width; len /= 2) {
      for (std::int64_t x = 0; x < len; ++x) {
        std::uint64_t a, b;
        std::memcpy(&a, &sums[static_cast<std::size_t>(8 * x)], 8);
        std::memcpy(&b, &sums[static_cast<std::size_t>(8 * x + 4)], 8);
        a += b;
        std::memcpy(&sums[static_cast<std::size_t>(4 * x)], &a, 8);
      }
    }
    Color* row = out.pixels.get() + oy * width;
    // Whole opaque blocks: each lane rounded and shifted down, the bits
    // shifted in from the next lane masked off, the bytes packed.
    const std::int64_t whole = rows == n ? s.width >> shift : 0;
    std::uint64_t seeThrough = 0;
    for (std::int64_t ox = 0; ox < whole; ++ox) {
      std::uint64_t v;
      std::memcpy(&v, &sums[static_cast<std::size_t>(4 * ox)], 8);
      seeThrough |= v >> 48;
      const std::uint64_t w = ((v + rounding) >> shiftOut) & 0x000000ff00ff00ffull;
      const std::uint64_t x = w | w >> 8;
      const auto packed = static_cast<std::uint32_t>((x & 0xffff) | ((x >> 16) & 0xffff0000));
      std::memcpy(&row[ox], &packed, 4);
    }
    // The rest: blocks at the edges and blocks that let something through.
    for (std::int64_t ox = seeThrough ? 0 : whole; ox < width; ++ox) {
      const std::uint16_t* lane = &sums[static_cast<std::size_t>(4 * ox)];
      if (ox < whole && lane[3] == 0) continue;
      const std::int64_t cols = std::min(n, s.width - (ox << shift));
      const auto count = static_cast<unsigned>(cols * rows);
      if (lane[3] == 0) {
        row[ox] = Color{static_cast<std::uint8_t>((lane[0] + count / 2) / count),
                        static_cast<std::uint8_t>((lane[1] + count / 2) / count),
                        static_cast<std::uint8_t>((lane[2] + count / 2) / count), 0};
      } else if (lane[3] == 255 * count) {
        row[ox] = kTransparent;
      } else {
        row[ox] = AverageBlock(s, ox << shift, y0, cols, rows);
      }
    }
  }
}

// --- Resampling -----------------------------------------------------------------

// For each target pixel along one axis, the source pixels it covers and how
// much of each, the weights adding up to 1.
struct Taps {
  std::vector<std::int64_t> first;
  std::vector<std::int32_t> count;
  std::vector<std::int64_t> at;  // where its weights start
  std::vector<float> weight;

  void Add(std::int64_t from) {
    first.push_back(from);
    count.push_back(0);
    at.push_back(static_cast<std::int64_t>(weight.size()));
  }
  std::int64_t End(std::size_t i) const { return first[i] + count[i]; }
};

// Taps of target pixels [t0, t1) into a source reduced 2^level times, of
// size `pixels` along this axis.
Taps MakeTaps(const AxisMap& m, int level, std::int64_t pixels, std::int64_t t0, std::int64_t t1) {
  Taps taps;
  const auto n = static_cast<std::size_t>(t1 - t0);
  taps.first.reserve(n);
  taps.count.reserve(n);
  taps.at.reserve(n);
  taps.weight.reserve(3 * n);
  if (!m.Reduces()) {
    for (std::int64_t t = t0; t < t1; ++t) {
      taps.Add(m.Nearest(t) >> level);
      taps.count.back() = 1;
      taps.weight.push_back(1.0f);
    }
    return taps;
  }
  // What is drawn from: the source rectangle within the pixels lo..hi.
  const double hiEdge = static_cast<double>(m.hi + 1);
  double lo = std::clamp(m.start, static_cast<double>(m.lo), hiEdge);
  double hi = std::clamp(m.start + m.extent, lo, hiEdge);
  if (!(hi > lo)) lo = static_cast<double>(m.lo), hi = hiEdge;
  const double step = m.extent / m.size, scale = std::ldexp(1.0, -level);
  for (std::int64_t t = t0; t < t1; ++t) {
    const double a = std::clamp(m.start + (static_cast<double>(t) - m.origin) * step, lo, hi);
    const double b = std::clamp(m.start + (static_cast<double>(t) + 1 - m.origin) * step, lo, hi);
    if (!(b - a > 1e-9)) {  // beyond the source rectangle: its nearest pixel
      taps.Add(m.Nearest(t) >> level);
      taps.count.back() = 1;
      taps.weight.push_back(1.0f);
      continue;
    }
    const double la = a * scale, lb = b * scale;
    const std::int64_t i0 = std::clamp<std::int64_t>(ToInteger(std::floor(la)), 0, pixels - 1);
    const std::int64_t i1 = std::clamp<std::int64_t>(ToInteger(std::ceil(lb)), i0 + 1, pixels);
    taps.Add(i0);
    for (std::int64_t i = i0; i < i1; ++i) {
      const double w = (std::min(lb, static_cast<double>(i + 1)) - std::max(la, static_cast<double>(i))) / (lb - la);
      taps.weight.push_back(static_cast<float>(std::max(w, 0.0)));
      ++taps.count.back();
    }
  }
  return taps;
}

// Adds w times the pixels of row [0, n) into sums, four to a pixel: the
// colours weighted by opacity (1 for opaque), and the alpha. Runs of opaque
// pixels, nearly all of a picture, are added byte by byte.
void AddWeightedRow(const Color* row, std::int64_t n, float w, float* sums) {
  constexpr std::int64_t kRun = 64;
  for (std::int64_t x0 = 0; x0 < n; x0 += kRun) {
    const std::int64_t x1 = std::min(n, x0 + kRun);
    unsigned alpha = 0;
    for (std::int64_t x = x0; x < x1; ++x) alpha |= row[x].alpha;
    if (alpha == 0) {
      const auto* bytes = reinterpret_cast<const std::uint8_t*>(row + x0);
      float* sum = sums + 4 * x0;
      for (std::int64_t i = 0; i < 4 * (x1 - x0); ++i) sum[i] += w * static_cast<float>(bytes[i]);
      continue;
    }
    for (std::int64_t x = x0; x < x1; ++x) {
      const float f = w * static_cast<float>(255 - row[x].alpha) * (1.0f / 255);
      float* sum = sums + 4 * x;
      sum[0] += f * static_cast<float>(row[x].red);
      sum[1] += f * static_cast<float>(row[x].green);
      sum[2] += f * static_cast<float>(row[x].blue);
      sum[3] += w * static_cast<float>(row[x].alpha);
    }
  }
}

// Target rows [r0, r1) x columns of xs, into out (one row after another):
// each pixel the alpha-weighted average of the source it covers.
void Resample(const Source& s, const Taps& xs, const Taps& ys, std::size_t r0, std::size_t r1, Color* out) {
  const std::size_t cols = xs.first.size();
  if (cols == 0) return;
  const std::int64_t c0 = xs.first.front(), c1 = xs.End(cols - 1);
  // One target row's sums down each source column, then across: the colours
  // weighted by opacity and the alpha, a plane each.
  std::vector<float> v(static_cast<std::size_t>(4 * (c1 - c0)));
  std::vector<float> planes(4 * cols);
  float* const red = planes.data();
  float* const green = red + cols;
  float* const blue = green + cols;
  float* const alpha = blue + cols;
  for (std::size_t r = r0; r < r1; ++r, out += cols) {
    std::fill(v.begin(), v.end(), 0.0f);
    for (std::int32_t k = 0; k < ys.count[r]; ++k)
      AddWeightedRow(s.Row(ys.first[r] + k) + c0, c1 - c0, ys.weight[static_cast<std::size_t>(ys.at[r] + k)], v.data());
    for (std::size_t i = 0; i < cols; ++i) {
      float sum[4] = {0, 0, 0, 0};
      const float* column = v.data() + 4 * (xs.first[i] - c0);
      const float* w = xs.weight.data() + xs.at[i];
      for (std::int32_t k = 0; k < xs.count[i]; ++k, column += 4)
        for (int c = 0; c < 4; ++c) sum[c] += w[k] * column[c];
      red[i] = sum[0];
      green[i] = sum[1];
      blue[i] = sum[2];
      alpha[i] = sum[3];
    }
    // To bytes, rounded to nearest (every sum is at least 0; the weights
    // add up to 1): the opacity, and the colours divided by it.
    auto* bytes = reinterpret_cast<std::uint8_t*>(out);
    for (std::size_t i = 0; i < cols; ++i) {
      const float opacity = std::max(255.0f - alpha[i], 0.0f);
      const int shown = std::min(static_cast<int>(opacity + 0.5f), 255);
      const float unit = shown > 0 ? 255.0f / opacity : 0.0f;
      bytes[4 * i] = static_cast<std::uint8_t>(std::min(static_cast<int>(red[i] * unit + 0.5f), 255));
      bytes[4 * i + 1] = static_cast<std::uint8_t>(std::min(static_cast<int>(green[i] * unit + 0.5f), 255));
      bytes[4 * i + 2] = static_cast<std::uint8_t>(std::min(static_cast<int>(blue[i] * unit + 0.5f), 255));
      bytes[4 * i + 3] = static_cast<std::uint8_t>(255 - shown);
    }
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
  c.Watch();
  c.fresh_ = c.watch_.Active();
}

void ReducedCopies::DropDerived() {
  fresh_ = false;
  for (std::size_t i = 0; i < levels_.size(); ++i) {
    levels_[i].made = false;
    if (static_cast<int>(i) + 1 != lastLevel_) levels_[i].plane = Plane();
  }
  if (view_) view_->made = false;
  watch_.Stop();
}

void ReducedCopies::Watch() {
  if (!watch_.Active()) watch_.Start(buffer_.pixels.get(), static_cast<std::size_t>(buffer_.width * buffer_.height));
}

const Plane& ReducedCopies::Level(int k) {
  if (levels_.size() < static_cast<std::size_t>(k)) levels_.resize(static_cast<std::size_t>(k));
  Made& level = levels_[static_cast<std::size_t>(k - 1)];
  if (!level.made) {
    // At most 2^4 x 2^4 pixels summed at once: higher levels come from lower ones.
    const int from = std::max(0, k - 4);
    const Source s = from == 0 ? Source{buffer_.pixels.get(), buffer_.width, buffer_.height} : fw::Of(Level(from));
    Reduce(s, k - from, level.plane);
    level.made = true;
    Watch();
  }
  return level.plane;
}

void ReducedCopies::DrawReduced(const AxisMap& x, const AxisMap& y, Color* target, std::int64_t targetWidth,
                                std::int64_t targetHeight) {
  // The level read: the smallest still at least as large as the target
  // shows the picture, so each target pixel covers one to two of its pixels
  // along each axis.
  const double scale = std::max(x.size / x.extent, y.size / y.extent);
  int level = 0;
  while (level < 30 && std::ldexp(1.0, -(level + 1)) >= scale) ++level;
  const Source s = level == 0 ? Source{buffer_.pixels.get(), buffer_.width, buffer_.height} : fw::Of(Level(level));
  if (level > 0) lastLevel_ = level;

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
      const Taps xs = MakeTaps(x, level, s.width, x.t0, x.t1);
      const Taps ys = MakeTaps(y, level, s.height, y.t0, y.t1);
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
    Resample(s, MakeTaps(x, level, s.width, tx0, tx1), MakeTaps(y, level, s.height, ty0, ty1), 0,
             static_cast<std::size_t>(ty1 - ty0), v.pixels.pixels.get());
    v.made = true;
    Watch();
  }
  const View& v = *view_;
  for (std::int64_t t = y.t0; t < y.t1; ++t)
    BlendRow(v.pixels.Row(t - sy - v.y0) + (x.t0 - sx - v.x0), target + t * targetWidth + x.t0, columns);
}

}  // namespace fw
