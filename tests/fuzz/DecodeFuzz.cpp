// Arbitrary bytes as an image file through the decoder the intake uses. The
// first byte picks the file's extension (the toolkit's readers go by the name
// first, then by the content); the rest is the file. A decoded picture never
// exceeds the largest decodable side, and every one of its pixels can be
// read; bigger claims come back undecoded. A JPEG, however damaged, is
// decoded twice, into buffers filled first with 0x00 and then with 0xff: the
// two pictures are the same, or a pixel was left as the buffer held it.
// Crashes, sanitizer reports, hangs and huge allocations (libFuzzer's
// -malloc_limit_mb) fail the run.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
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

bool SamePixels(const Picture& a, const Picture& b) {
  if (a.Width() != b.Width() || a.Height() != b.Height() || !a.IsDecoded() || !b.IsDecoded()) return false;
  const auto bytes = static_cast<std::size_t>(a.Width() * a.Height()) * sizeof(Color);
  return std::memcmp(a.Pixels()->pixels.get(), b.Pixels()->pixels.get(), bytes) == 0;
}
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
  const bool jpeg = size > 3 && data[1] == 0xff && data[2] == 0xd8 && data[3] == 0xff;
  if (jpeg) TestSeams::PrefillDecodeBuffers(0x00);
  const Ref<Picture> p = Picture::Open(FolderItem(path));
  if (jpeg) {
    TestSeams::PrefillDecodeBuffers(0xff);
    const Ref<Picture> again = Picture::Open(FolderItem(path));
    TestSeams::PrefillDecodeBuffers(std::nullopt);
    if (p.IsNil() != again.IsNil()) std::abort();
    if (p && p->IsDecoded() && !SamePixels(*p, *again)) std::abort();
  }
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
