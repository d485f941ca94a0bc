// pixelmoth-bench effects [--size WxH]... [--target NAME]: the time of every
// effect on a photo-like picture at strength 20, beside one plain copy of the
// picture through RGBSurface.Pixel timed in the same run. For each size, once
// for each vector target the processor runs (Highway's names: AVX3, AVX2,
// SSE4, ...), or for the one named.

#include <string>
#include <vector>

#include "bench/BenchSupport.h"
#include "bench/Modes.h"
#include "framework/Random.h"
#include "framework/TestSeams.h"
#include "hwy/targets.h"
#include "render/effects/Effect.h"

namespace {

constexpr std::int64_t kStrength = 20;
constexpr int kRuns = 5;

void PlainCopy(const RGBSurface& from, const RGBSurface& to) {
  for (std::int64_t y = 0; y < from.Height(); ++y)
    for (std::int64_t x = 0; x < from.Width(); ++x) to.SetPixel(x, y, from.Pixel(x, y));
}

void PrintTiming(const std::string& target, const std::string& name, const Bench::Size& size, double ms,
                 double copyMs) {
  const double pixels = static_cast<double>(size.width) * static_cast<double>(size.height);
  Bench::PrintRow({target, name, size.Text(), Bench::Fixed(ms, 1), Bench::Fixed(ms * 1e6 / pixels, 2),
                   Bench::Fixed(ms / copyMs, 2)});
}

// The picture is made and the copy, which has no vector code, timed once;
// the effects on each target in turn.
void TimeSize(const Bench::Size& size, const std::vector<std::int64_t>& targets) {
  const Ref<Picture> pic = Bench::PhotoLikePicture(size.width, size.height);
  const auto fx = MakeRef<Picture>(size.width, size.height);
  const RGBSurface picSurf = pic->RGBSurface(), fxSurf = fx->RGBSurface();
  const double copyMs = Bench::MedianMilliseconds(kRuns, [&] { PlainCopy(picSurf, fxSurf); });

  Random glitchRandom(1);
  const EffectContext context{picSurf, fxSurf, size.width, size.height, kStrength, glitchRandom,
                              size.width, size.height, 1.0};
  for (const std::int64_t target : targets) {
    hwy::SetSupportedTargetsForTest(target);
    const std::string name = hwy::TargetName(target);
    PrintTiming(name, "copy", size, copyMs, copyMs);
    for (const EffectEntry& effect : kEffects) {
      const double ms = Bench::MedianMilliseconds(
          kRuns, [&] { effect.run(context); },
          [&] {
            TestSeams::Seed(glitchRandom, 1);
            TestSeams::SeedRnd(2);
            TestSeams::ClearLog();
          });
      PrintTiming(name, effect.name, size, ms, copyMs);
    }
  }
}

}  // namespace

int RunEffectsMode(const Arguments& args) {
  Bench::Options options;
  const std::string error = options.Parse(args, {"--size", "--target"}, {});
  if (!error.empty()) return Bench::Fail("effects", error);
  if (!options.Positional().empty()) return Bench::Fail("effects", "unexpected " + options.Positional().front());
  std::vector<Bench::Size> sizes;
  for (const std::string& text : options.Values("--size")) {
    const auto size = Bench::ParseSize(text);
    if (!size) return Bench::Fail("effects", "not a size WxH: " + text);
    sizes.push_back(*size);
  }
  if (sizes.empty()) sizes = {{4000, 3000}, {6000, 6000}};

  const std::vector<std::int64_t> supported = hwy::SupportedAndGeneratedTargets();
  std::vector<std::int64_t> targets = supported;
  if (const auto name = options.Value("--target")) {
    std::erase_if(targets, [&](std::int64_t t) { return *name != hwy::TargetName(t); });
    if (targets.empty()) {
      std::string known;
      for (const std::int64_t t : supported) known += std::string(" ") + hwy::TargetName(t);
      return Bench::Fail("effects", "this processor runs no target " + *name + "; it runs" + known);
    }
  }

  // The developer log lines of the effects are kept, not printed.
  TestSeams::CaptureLog(true);
  Bench::PrintRow({"target", "effect", "size", "ms", "ns_per_px", "x_copy"});
  for (const Bench::Size& size : sizes) TimeSize(size, targets);
  hwy::SetSupportedTargetsForTest(0);
  return 0;
}
