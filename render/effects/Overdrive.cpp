#include <algorithm>
#include <cstdint>
#include <vector>

#include "render/effects/BoostDraws.h"
#include "render/effects/Effect.h"
#include "render/effects/OverdriveKernels.h"

// Overdrive: the tones driven into hard colour bands, then three layers of
// random colour noise. Every pixel is mapped by its value (the darkest halved,
// the brightest white, the middle ranges a fixed colour when nearly grey or a
// fixed hue at raised saturation otherwise); about half the pixels get hue and
// saturation raised by random factors; horizontal bands of random height get
// their hue raised by a factor each; last a patch reaching down from row 0,
// smaller the higher the strength, gets hue, saturation and value raised.
//
// Every pass reads only the pixel it then writes, so any visiting order gives
// the same pixels, and passes with no draws between them run as one. Where a
// pass draws per pixel, the pixels are visited column by column as its draws
// come: strips of columns are copied out, one column into one run. The bands
// outside the patch draw nothing per pixel and go row by row.

namespace {

constexpr std::int64_t kRun = BoostDraws::kRun;
// Columns per strip: each row of a strip is read and written in one piece of
// 2 KB, long enough for the memory to stream it; narrower strips cost more.
constexpr std::int64_t kStrip = 512;

// Runs work(run, y0, n) over the columns [x0, x1) of rows [0, rows), in
// strips: each column copied out of the surface into one run, worked in pieces
// of at most kRun rows (columns ascending, rows ascending) and copied back.
template <class Work>
void ByColumns(const overdrive::Kernels& kernels, const RGBSurface& from, const RGBSurface& to, std::int64_t x0,
               std::int64_t x1, std::int64_t rows, Work work) {
  if (x0 >= x1 || rows <= 0) return;
  std::vector<Color> strip(std::min(kStrip, x1 - x0) * rows);
  for (std::int64_t left = x0; left < x1; left += kStrip) {
    const std::int64_t k = std::min(kStrip, x1 - left);
    kernels.readStrip(from, left, k, rows, strip.data());
    for (std::int64_t j = 0; j < k; ++j)
      for (std::int64_t y0 = 0; y0 < rows; y0 += kRun) work(strip.data() + j * rows + y0, y0, std::min(kRun, rows - y0));
    kernels.writeStrip(to, left, k, rows, strip.data());
  }
}

void Run(const EffectContext& c, const overdrive::Kernels& kernels) {
  const std::int64_t W = c.W, H = c.H;

  // Tone bands and random boost.
  BoostDraws boostDraws(W * H, kernels.decoder);
  BoostDraws::Raised raised;
  ByColumns(kernels, c.picSurf, c.fxSurf, 0, W, H, [&](Color* px, std::int64_t, std::int64_t n) {
    kernels.tone(px, n);
    boostDraws.Next(n, raised);
    kernels.boost(px, n, raised);
  });

  // Horizontal bands, drawn one band at a time before the patch.
  std::vector<double> bandFactor(H);
  std::int64_t bandRowsLeft = c.glitchRandom.InRange(H / 20, H / 10);
  double bandBoost = Rnd() / 2.0;
  for (std::int64_t y = 0; y < H; ++y) {
    if (bandRowsLeft > 0) {
      bandRowsLeft = bandRowsLeft - 1;
    } else {
      bandRowsLeft = c.glitchRandom.InRange(H / 20, H / 10);
      bandBoost = Rnd();
    }
    bandFactor[y] = 1 + bandBoost;
  }

  // The patch: its columns from the patch column on, its rows from row 0.
  const std::int64_t patchColumn = c.glitchRandom.InRange(0, static_cast<std::int64_t>(0.9 * static_cast<double>(W)));
  const std::int64_t patchRow = c.glitchRandom.InRange(0, static_cast<std::int64_t>(0.9 * static_cast<double>(H)));
  const std::int64_t v = c.v;
  const std::int64_t patchSize = static_cast<std::int64_t>(static_cast<double>(W) / static_cast<double>(v) * 2.0);
  const std::int64_t patchEndColumn = std::min(W, patchColumn + patchSize);
  const std::int64_t patchEndRow = std::min(H, patchRow + patchSize);
  const bool hasPatch = patchColumn < patchEndColumn && patchEndRow > 0;

  // Bands outside the patch, row by row.
  for (std::int64_t y = 0; y < H; ++y) {
    if (hasPatch && y < patchEndRow) {
      kernels.bandRow(c.fxSurf, 0, patchColumn, y, bandFactor[y]);
      kernels.bandRow(c.fxSurf, patchEndColumn, W, y, bandFactor[y]);
    } else {
      kernels.bandRow(c.fxSurf, 0, W, y, bandFactor[y]);
    }
  }

  // Bands and patch in the patch, column by column as the patch draws.
  double hueFactor[kRun], saturationFactor[kRun];
  ByColumns(kernels, c.fxSurf, c.fxSurf, patchColumn, patchEndColumn, patchEndRow,
            [&](Color* px, std::int64_t y0, std::int64_t n) {
              for (std::int64_t k = 0; k < n; ++k) {
                hueFactor[k] = 1 + 2 * Rnd();
                saturationFactor[k] = 1 + 2 * Rnd();
              }
              kernels.bandAndPatch(px, n, bandFactor.data() + y0, hueFactor, saturationFactor);
            });
}

}  // namespace

void Overdrive(const EffectContext& c) { Run(c, overdrive::Kernels::Fastest()); }

void overdrive::RunPortably(const EffectContext& c) { Run(c, overdrive::Kernels::Portable()); }
