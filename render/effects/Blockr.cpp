#include <algorithm>
#include <vector>

#include "framework/Numbers.h"
#include "render/effects/ColorRows.h"
#include "render/effects/Effect.h"

namespace {

using ColorRows::kRun;

// The three factors a block can carry, by code.
constexpr double kFactor[3] = {1.0, 2.0, 1.2};

std::uint8_t DrawFactorCode(Random& random) {
  const std::int64_t kind = random.InRange(0, 4);
  const double f = static_cast<double>(random.InRange(1, 2));
  const double m = kind < 3 ? f : Min(f, 1.2);
  return m == 1.0 ? 0 : (m == 2.0 ? 1 : 2);
}

// Every pixel of the run rebuilt with hue, saturation and value times m[i].
void Scale(Color* px, const double* m, std::int64_t n) noexcept {
  double h[kRun], s[kRun], v[kRun];
  ColorRows::ToHSV(px, n, h, s, v);
  for (std::int64_t i = 0; i < n; ++i) {
    h[i] *= m[i];
    s[i] *= m[i];
    v[i] *= m[i];
  }
  ColorRows::FromHSV(h, s, v, n, px);
}

}  // namespace

// Lays a grid of b x b tiles over the picture and rebuilds each tile from
// its hue, saturation and value times one factor drawn for the tile: 1.0,
// 2.0 or 1.2.
void Blockr(const EffectContext& c) {
  const std::int64_t W = c.W, H = c.H;
  const std::int64_t b = ToInteger(static_cast<double>(c.v) * 1.5);
  const std::int64_t columns = (W + b - 1) / b, rows = (H + b - 1) / b;

  // The factors of all blocks, in block order (block columns outer). A
  // picture row reads one byte per block column, from the same cache lines
  // for b rows in a row.
  std::vector<std::uint8_t> code(static_cast<std::size_t>(columns * rows));
  for (std::uint8_t& drawn : code) drawn = DrawFactorCode(c.glitchRandom);
  auto factor = [&](std::int64_t bx, std::int64_t by) {
    return kFactor[code[static_cast<std::size_t>(bx * rows + by)]];
  };

  // A block reads and writes only its own positions (those outside the
  // picture are lost), so each pixel's result depends only on the blocks
  // that cover it, taken in block order, and any order of pixels gives it.
  // Block (bx, by) covers columns bx*b to bx*b + b and rows by*b to by*b + b.
  // Apart, the last of those blocks, the one at (x div b, y div b), writes
  // the pixel from the untouched picture. In place each covering block
  // rebuilds what the one before it left: first the blocks of column
  // x div b - 1 (for x on a grid line), then those of x div b, each over its
  // rows y div b - 1 (for y on a grid line) and y div b.
  const RGBSurface pic = c.picSurf, fx = c.fxSurf;  // held here, the compiler keeps them in registers
  const bool inPlace = pic.SharesPixelsWith(fx);
  Color px[kRun];
  double m[kRun];
  for (std::int64_t y = 0; y < H; ++y) {
    const std::int64_t by = y / b;
    const std::int64_t firstRow = inPlace && y % b == 0 && by > 0 ? by - 1 : by;
    for (std::int64_t x0 = 0; x0 < W; x0 += kRun) {
      const std::int64_t n = std::min(kRun, W - x0);
      ColorRows::ReadRun(pic, x0, y, n, px);
      if (inPlace) {
        // The left neighbour's blocks, on one pixel in b, come first.
        for (std::int64_t x = x0 + (b - x0 % b) % b; x < x0 + n; x += b) {
          if (x == 0) continue;
          for (std::int64_t row = firstRow; row <= by; ++row) {
            const double left = factor(x / b - 1, row);
            Scale(&px[x - x0], &left, 1);
          }
        }
      }
      for (std::int64_t row = firstRow; row <= by; ++row) {
        std::int64_t bx = x0 / b, i = 0;
        for (std::int64_t next = (bx + 1) * b - x0; i < n; ++bx, next += b) {
          const double f = factor(bx, row);
          for (const std::int64_t end = std::min(next, n); i < end; ++i) m[i] = f;
        }
        Scale(px, m, n);
      }
      ColorRows::WriteRun(fx, x0, y, n, px);
    }
  }
}
