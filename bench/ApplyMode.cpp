// pixelmoth-bench apply: one run of one effect, exactly as a paint at the
// given zoom would run it, on a picture file; the preview layer is written
// as PNG and the effect's developer-log lines go to standard error.

#include <string>

#include "bench/BenchSupport.h"
#include "bench/Modes.h"
#include "framework/Dialogs.h"
#include "framework/Random.h"
#include "framework/TestSeams.h"
#include "render/View.h"
#include "render/effects/Effect.h"

namespace {

const char kMode[] = "apply";

struct ApplyRequest {
  std::int64_t effect = 0;
  std::int64_t strength = 0;
  std::uint64_t seed = 0;
  std::uint64_t rndSeed = 0;
  double zoom = 1.0;
  bool samePicture = false;
  std::string in, out;
};

// An error message, or empty with the request filled in.
std::string Read(const Bench::Options& options, ApplyRequest& r) {
  for (const char* required : {"--effect", "--strength", "--seed", "--rnd-seed"})
    if (!options.Has(required)) return std::string(required) + " is required";
  const auto effect = Bench::ParseInteger(*options.Value("--effect"));
  if (!effect || *effect < 1 || *effect > static_cast<std::int64_t>(kEffects.size()))
    return "unknown effect " + *options.Value("--effect") + " (1 to 12)";
  const auto strength = Bench::ParseInteger(*options.Value("--strength"));
  if (!strength || *strength < 1 || *strength > 100)
    return "strength " + *options.Value("--strength") + " outside 1 to 100";
  const auto seed = Bench::ParseUnsigned(*options.Value("--seed"));
  const auto rndSeed = Bench::ParseUnsigned(*options.Value("--rnd-seed"));
  if (!seed || !rndSeed) return "a seed is a whole number from 0 to 2^64 - 1";
  const auto zoom = Bench::ParseDouble(options.Value("--zoom").value_or("1.0"));
  if (!zoom || *zoom <= 0.0) return "zoom must be a positive number";
  if (options.Positional().size() != 2) return "give the input and the output file";
  r = {*effect, *strength, *seed, *rndSeed, *zoom, options.Has("--same-picture"), options.Positional()[0],
       options.Positional()[1]};
  return "";
}

}  // namespace

int RunApplyMode(const Arguments& args) {
  Bench::Options options;
  std::string error = options.Parse(args, {"--effect", "--strength", "--seed", "--rnd-seed", "--zoom"},
                                    {"--same-picture"});
  ApplyRequest r;
  if (error.empty()) error = Read(options, r);
  if (!error.empty()) return Bench::Fail(kMode, error);

  const FolderItem in(r.in);
  if (!in.Exists() || in.IsFolder()) return Bench::Fail(kMode, "no such file: " + r.in);
  const Ref<Picture> pic = Picture::Open(in);
  if (!pic || !pic->IsDecoded()) return Bench::Fail(kMode, "cannot read a picture from " + r.in);
  const Ref<Picture> fxLayer = r.samePicture ? pic : MakeRef<Picture>(pic->Width(), pic->Height());

  Random glitchRandom(r.seed);
  TestSeams::SeedRnd(r.rndSeed);
  const std::int64_t W = pic->Width(), H = pic->Height();
  const std::int64_t zW = ZoomedSize(W, r.zoom);
  const std::int64_t zH = ZoomedSize(H, r.zoom);
  kEffects[static_cast<std::size_t>(r.effect - 1)].run(
      EffectContext{pic->RGBSurface(), fxLayer->RGBSurface(), W, H, r.strength, glitchRandom, zW, zH, r.zoom});

  if (!fxLayer->Save(FolderItem(r.out), Picture::SaveAsPNG)) return Bench::Fail(kMode, "cannot write " + r.out);
  return 0;
}
