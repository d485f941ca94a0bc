#include <algorithm>
#include <cstdint>
#include <utility>
#include <vector>

#include "render/effects/BoostDraws.h"
#include "render/effects/ColorRows.h"
#include "render/effects/Effect.h"
#include "render/effects/OverdriveTone.h"
#include "render/effects/RaiseColours.h"

// Overdrive: the tones driven into hard colour bands, then three layers of
// random colour noise. Every pixel is mapped by its value (the darkest halved,
// the brightest white, the middle ranges a fixed colour when nearly grey or a
// fixed hue at raised saturation otherwise); about half the pixels get hue and
// saturation raised by random factors; horizontal bands of random height get
// their hue raised by a factor each; last a patch reaching down from row 0,
// smaller the higher the strength, gets hue, saturation and value raised.
//
// Every pass reads only the pixel it then writes, so passes with no draws
// between them run as one, and any visiting order gives the same pixels. Where
// a pass draws per pixel, the pixels are visited column by column as its draws
// come: strips of columns are copied out, one column into one run.

namespace {
constexpr std::int64_t kRun = BoostDraws::kRun;
// Columns per strip: a strip's rows are read and written in runs of 2 KB,
// which costs little more than whole rows; narrower strips cost much more.
constexpr std::int64_t kStrip = 512;

// First and second pass on one run of a column: tone bands, then the raised
// pixels gathered, raised and put back.
void ToneAndBoost(Color* px, std::int64_t n, const BoostDraws::Raised& raised) {
  overdrive::ToneTable::Get().Run(px, n);
  Color chosen[kRun];
  for (std::int64_t i = 0; i < raised.count; ++i) chosen[i] = px[raised.index[i]];
  RaiseColours(chosen, raised.count, raised.hueFactor, raised.saturationFactor, 1.0);
  for (std::int64_t i = 0; i < raised.count; ++i) px[raised.index[i]] = chosen[i];
}

// Runs work(run, x, y0, n) on columns [x0, x1) in strips: each column of a
// strip is copied out of `from` into one run, worked in pieces of at most kRun
// rows (columns ascending, rows ascending) and copied back into `to`.
template <class Work>
void ByColumns(const RGBSurface& from, const RGBSurface& to, std::int64_t x0, std::int64_t x1, std::int64_t H,
               Work work) {
  std::vector<Color> strip(std::min(kStrip, x1 - x0) * H);
  for (std::int64_t left = x0; left < x1; left += kStrip) {
    const std::int64_t k = std::min(kStrip, x1 - left);
    for (std::int64_t y = 0; y < H; ++y)
      for (std::int64_t j = 0; j < k; ++j) strip[j * H + y] = from.Pixel(left + j, y);
    for (std::int64_t j = 0; j < k; ++j)
      for (std::int64_t y0 = 0; y0 < H; y0 += kRun)
        work(strip.data() + j * H + y0, left + j, y0, std::min(kRun, H - y0));
    for (std::int64_t y = 0; y < H; ++y)
      for (std::int64_t j = 0; j < k; ++j) to.SetPixel(left + j, y, strip[j * H + y]);
  }
}
}  // namespace

void Overdrive(const EffectContext& c) {
  const std::int64_t W = c.W, H = c.H;

  // Tone bands and random boost.
  BoostDraws boostDraws(W * H);
  BoostDraws::Raised raised;
  ByColumns(c.picSurf, c.fxSurf, 0, W, H, [&](Color* px, std::int64_t, std::int64_t, std::int64_t n) {
    boostDraws.Next(n, raised);
    ToneAndBoost(px, n, raised);
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

  // Bands outside the patch's columns, row by row.
  std::vector<Color> row(W);
  std::vector<double> rowFactor(W);
  for (std::int64_t y = 0; y < H; ++y) {
    std::fill(rowFactor.begin(), rowFactor.end(), bandFactor[y]);
    for (const auto& [from, to] : {std::pair{std::int64_t{0}, patchColumn}, std::pair{patchEndColumn, W}}) {
      ColorRows::ReadRun(c.fxSurf, from, y, to - from, row.data());
      RaiseColours(row.data(), to - from, rowFactor.data(), nullptr, 1.0);
      ColorRows::WriteRun(c.fxSurf, from, y, to - from, row.data());
    }
  }

  // Bands and patch in the patch's columns, column by column as the patch draws.
  double hueFactor[kRun], saturationFactor[kRun];
  ByColumns(c.fxSurf, c.fxSurf, patchColumn, patchEndColumn, H,
            [&](Color* px, std::int64_t, std::int64_t y0, std::int64_t n) {
              RaiseColours(px, n, bandFactor.data() + y0, nullptr, 1.0);
              const std::int64_t inPatch = std::clamp(patchEndRow - y0, std::int64_t{0}, n);
              for (std::int64_t k = 0; k < inPatch; ++k) {
                hueFactor[k] = 1 + 2 * Rnd();
                saturationFactor[k] = 1 + 2 * Rnd();
              }
              RaiseColours(px, inPatch, hueFactor, saturationFactor, 1.2);
            });
}
