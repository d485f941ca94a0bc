#include <algorithm>
#include <cstring>
#include <vector>

#include "render/effects/Effect.h"

namespace {

// Rows whose draws lie together: one cache line of each column's draws, so
// that a block of rows, read row by row, keeps reading the same lines.
constexpr std::int64_t kRowBlock = 64;

// Room for the draws. It is kept from run to run (its contents never are:
// every byte is drawn anew before it is read), so that each new preview of a
// large picture does not fault tens of megabytes of fresh memory in again.
std::uint8_t* DrawBuffer(std::int64_t bytes) {
  static std::vector<std::uint8_t> buffer;
  if (static_cast<std::int64_t>(buffer.size()) < bytes) buffer.resize(static_cast<std::size_t>(bytes));
  return buffer.data();
}

// All W x H draws in the stated order, column by column, top to bottom, one
// byte each, laid out by blocks of kRowBlock rows: the draws of column x for
// the rows of block b are the kRowBlock bytes at (b * W + x) * kRowBlock, so
// that a block of rows finds the draws of all its columns side by side.
[[gnu::noinline]] void Draw(Random& random, std::int64_t v, std::int64_t W, std::int64_t H, std::uint8_t* out) {
  // A column's draws in one run, then dealt out to its tiles.
  std::vector<std::uint8_t> column(static_cast<std::size_t>(H));
  for (std::int64_t x = 0; x < W; ++x) {
    random.InRangeMany(1, v, column.data(), H);
    for (std::int64_t y0 = 0; y0 < H; y0 += kRowBlock)
      std::memcpy(out + (y0 * W + x * kRowBlock), column.data() + y0,
                  static_cast<std::size_t>(std::min(kRowBlock, H - y0)));
  }
}

}  // namespace

// Frays the picture sideways: every pixel takes the colour of a pixel of its
// own row a random 1 to v columns to its right, or, past the right edge, of
// the column whose index is that distance.
void Taraxacum(const EffectContext& c) {
  const RGBSurface pic = c.picSurf, fx = c.fxSurf;
  const std::int64_t W = c.W, H = c.H, v = c.v;
  // Distances are kept in bytes; the strength is at most 100.
  if (v > 255) {
    for (std::int64_t x = 0; x < W; ++x)
      for (std::int64_t y = 0; y < H; ++y) {
        const std::int64_t d = c.glitchRandom.InRange(1, v);
        fx.SetPixel(x, y, pic.Pixel(x + d < W ? x + d : d, y));
      }
    return;
  }
  const std::int64_t blocks = (H + kRowBlock - 1) / kRowBlock;
  std::uint8_t* drawn = DrawBuffer(blocks * kRowBlock * W);
  Draw(c.glitchRandom, v, W, H, drawn);

  // Rows never mix, and within a row the columns are taken left to right as
  // column order takes them, so a pixel reads its row in the same state
  // either way, in place too: left of x already moved, x and right of it not
  // yet. Whole rows, one after the other, are what the memory streams best.
  const std::int64_t inner = std::clamp<std::int64_t>(W - v, 0, W);  // no distance reaches the edge left of it
  for (std::int64_t y0 = 0; y0 < H; y0 += kRowBlock) {
    const std::int64_t rows = std::min(kRowBlock, H - y0);
    for (std::int64_t j = 0; j < rows; ++j) {
      const std::int64_t y = y0 + j;
      const std::uint8_t* d = drawn + y0 * W + j;  // column x's draw at d[x * kRowBlock]
      for (std::int64_t x = 0; x < inner; ++x) fx.SetPixel(x, y, pic.Pixel(x + d[x * kRowBlock], y));
      for (std::int64_t x = inner; x < W; ++x) {
        const std::int64_t to = x + d[x * kRowBlock];
        fx.SetPixel(x, y, pic.Pixel(to < W ? to : d[x * kRowBlock], y));
      }
    }
  }
}
