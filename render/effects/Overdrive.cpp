#include <algorithm>
#include <bit>
#include <cstdint>
#include <vector>

#include "render/effects/BoostDraws.h"
#include "render/effects/ColumnStrip.h"
#include "render/effects/Effect.h"
#include "render/effects/OverdriveTone.h"
#include "render/effects/RaiseColours.h"
#include "render/effects/SurfaceRuns.h"

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
void ByColumns(const RGBSurface& from, const RGBSurface& to, std::int64_t x0, std::int64_t x1, std::int64_t rows,
               Work work) {
  if (x0 >= x1 || rows <= 0) return;
  std::vector<Color> strip(std::min(kStrip, x1 - x0) * rows);
  for (std::int64_t left = x0; left < x1; left += kStrip) {
    const std::int64_t k = std::min(kStrip, x1 - left);
    column_strip::Read(from, left, k, rows, strip.data());
    for (std::int64_t j = 0; j < k; ++j)
      for (std::int64_t y0 = 0; y0 < rows; y0 += kRun) work(strip.data() + j * rows + y0, y0, std::min(kRun, rows - y0));
    column_strip::Write(to, left, k, rows, strip.data());
  }
}

// The raised pixels packed together, raised, and put back, found bit by bit
// without a branch on the coin toss, which the processor cannot predict.
void Boost(Color* px, std::int64_t n, const BoostDraws::Raised& raised) noexcept {
  Color chosen[kRun];
  auto eachRaised = [&](auto&& visit) {
    std::int64_t m = 0;
    for (std::int64_t w = 0; w * 64 < n; ++w)
      for (std::uint64_t bits = raised.bits[w]; bits != 0; bits &= bits - 1)
        visit(px[w * 64 + std::countr_zero(bits)], chosen[m++]);
  };
  eachRaised([](Color& p, Color& c) { c = p; });
  RaiseColours(chosen, raised.count, raised.hueFactor, raised.saturationFactor, 1.0);
  eachRaised([](Color& p, Color& c) { p = c; });
}

// Pixels x0 to x1 - 1 of row y, in place: HSV(Hue x factor, Saturation, Value, 0).
void BandRow(const RGBSurface& s, std::int64_t x0, std::int64_t x1, std::int64_t y, double factor) noexcept {
  Color row[kRun];
  double hueFactor[kRun];
  std::fill(std::begin(hueFactor), std::end(hueFactor), factor);
  for (std::int64_t x = x0; x < x1; x += kRun) {
    const std::int64_t m = std::min(kRun, x1 - x);
    surface_runs::Read(s, x, y, m, row);
    RaiseColours(row, m, hueFactor, nullptr, 1.0);
    surface_runs::Write(s, x, y, m, row);
  }
}

}  // namespace

void Overdrive(const EffectContext& c) {
  const std::int64_t W = c.W, H = c.H;

  // Tone bands and random boost.
  const overdrive::ToneTable& tone = overdrive::ToneTable::Get();
  BoostDraws boostDraws(W * H);
  BoostDraws::Raised raised;
  ByColumns(c.picSurf, c.fxSurf, 0, W, H, [&](Color* px, std::int64_t, std::int64_t n) {
    tone.Run(px, n);
    boostDraws.Next(n, raised);
    Boost(px, n, raised);
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
      BandRow(c.fxSurf, 0, patchColumn, y, bandFactor[y]);
      BandRow(c.fxSurf, patchEndColumn, W, y, bandFactor[y]);
    } else {
      BandRow(c.fxSurf, 0, W, y, bandFactor[y]);
    }
  }

  // Bands and patch in the patch, column by column as the patch draws.
  double draws[2 * kRun], hueFactor[kRun], saturationFactor[kRun];
  ByColumns(c.fxSurf, c.fxSurf, patchColumn, patchEndColumn, patchEndRow,
            [&](Color* px, std::int64_t y0, std::int64_t n) {
              RndMany(draws, 2 * n);
              for (std::int64_t k = 0; k < n; ++k) {
                hueFactor[k] = 1 + 2 * draws[2 * k];
                saturationFactor[k] = 1 + 2 * draws[2 * k + 1];
              }
              RaiseColours(px, n, bandFactor.data() + y0, nullptr, 1.0);
              RaiseColours(px, n, hueFactor, saturationFactor, 1.2);
            });
}
