// Arbitrary bytes as an image file through the decoder the intake uses. The
// first byte picks the file's extension (the toolkit's readers go by the name
// first, then by the content); the rest is the file. A decoded picture never
// exceeds the largest decodable side, and every one of its pixels can be
// read; bigger claims come back undecoded. Crashes, sanitizer reports, hangs
// and huge allocations (libFuzzer's -malloc_limit_mb) fail the run.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "framework/Dialogs.h"
#include "framework/Picture.h"
#include "framework/TestSeams.h"

namespace {
// Index = first byte modulo the count; "img" names no format, so only the
// content decides.
constexpr const char* kExtensions[] = {"img", "png", "jpg", "gif", "bmp", "xbm", "tif", "webp",
                                       "ico", "tga", "ppm", "xpm", "wbmp", "cur", "icns", "jpeg"};
constexpr std::size_t kExtensionCount = sizeof kExtensions / sizeof kExtensions[0];

std::string folder;
}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  TestSeams::InitHeadless();
  const char* dir = std::getenv("TMPDIR");
  folder = std::string(dir ? dir : "/tmp") + "/pixelmoth-fuzz-" + std::to_string(getpid());
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::string path = folder + "." + kExtensions[data[0] % kExtensionCount];
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) std::abort();
  if (size > 1 && std::fwrite(data + 1, 1, size - 1, f) != size - 1) std::abort();
  std::fclose(f);
  const Ref<Picture> p = Picture::Open(FolderItem(path));
  std::remove(path.c_str());
  if (p) {
    if (p->Width() < 1 || p->Height() < 1) std::abort();
    const bool large = p->Width() > Picture::kMaxDecodedSide || p->Height() > Picture::kMaxDecodedSide;
    if (large == p->IsDecoded()) std::abort();  // decoded exactly when within the limit
    if (p->IsDecoded()) {
      const RGBSurface s = p->RGBSurface();
      if (s.Width() != p->Width() || s.Height() != p->Height()) std::abort();
      volatile std::uint8_t seen = s.Pixel(0, 0).red ^ s.Pixel(s.Width() - 1, s.Height() - 1).red;
      (void)seen;
    }
  }
  return 0;
}
