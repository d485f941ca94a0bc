#include <algorithm>

#include "framework/Numbers.h"
#include "framework/System.h"
#include "render/effects/ColorRows.h"
#include "render/effects/Effect.h"

namespace {

using ColorRows::kRun;

// a[i] keeps its hue and takes the means of its own and of partner[i]'s
// saturation and value. partner may be a itself.
void Mix(Color* a, const Color* partner, std::int64_t n) noexcept {
  double h[kRun], sa[kRun], va[kRun], sb[kRun], vb[kRun];
  ColorRows::ToSV(partner, n, sb, vb);
  ColorRows::ToHSV(a, n, h, sa, va);
  for (std::int64_t i = 0; i < n; ++i) {
    sa[i] = (sb[i] + sa[i]) / 2.0;
    va[i] = (vb[i] + va[i]) / 2.0;
  }
  ColorRows::FromHSV(h, sa, va, n, a);
}

}  // namespace

// Smears saturation and value along the diagonal: each pixel keeps its hue
// and takes the means with the pixel a step down and right in the picture,
// then with the pixel a step up and left in the preview's own result.
void Hertz(const EffectContext& c) {
  // The sides are added as doubles: zoomed in far enough, each is the largest
  // 64-bit integer and their integer sum would overflow.
  const std::int64_t step = ToInteger((static_cast<double>(c.zW) + static_cast<double>(c.zH)) /
                                      static_cast<double>(2 * c.v) / c.ZoomFactor);
  const std::int64_t W = c.W, H = c.H;
  System::DebugLog(Str(W));
  const RGBSurface pic = c.picSurf, fx = c.fxSurf;  // held here, the compiler keeps them in registers

  // The copy, forward and backward passes fused into one walk down the rows.
  // Row y's copy and forward pass read only rows y and y + step, which no
  // pass has written yet (in place too); its backward pass reads row
  // y - step, which all three passes have finished, so every pixel is read in
  // the state the passes one after the other would read it in.
  Color run[kRun], partner[kRun];
  for (std::int64_t y = 0; y < H; ++y) {
    for (std::int64_t x0 = 0; x0 < W; x0 += kRun) {
      const std::int64_t x1 = std::min(x0 + kRun, W);
      ColorRows::ReadRun(pic, x0, y, x1 - x0, run);
      if (y <= H - step - 1) {
        const std::int64_t end = std::min(x1, W - step);
        if (end > x0) {
          ColorRows::ReadRun(pic, x0 + step, y + step, end - x0, partner);
          Mix(run, partner, end - x0);
        }
      }
      if (y >= step) {
        const std::int64_t begin = std::max(x0, step);
        if (x1 > begin) {
          Color* a = run + (begin - x0);
          // With step 0 the partner is the pixel itself, as the pass has left it.
          if (step == 0) {
            Mix(a, a, x1 - begin);
          } else {
            ColorRows::ReadRun(fx, begin - step, y - step, x1 - begin, partner);
            Mix(a, partner, x1 - begin);
          }
        }
      }
      ColorRows::WriteRun(fx, x0, y, x1 - x0, run);
    }
  }
}
