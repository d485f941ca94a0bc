// Arbitrary bytes as an image file through the decoder the intake uses. A
// decoded picture never exceeds the largest decodable side; bigger claims
// come back undecoded. Crashes, sanitizer reports, hangs and huge
// allocations (libFuzzer's -malloc_limit_mb) fail the run.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "framework/Dialogs.h"
#include "framework/Picture.h"
#include "framework/TestSeams.h"

namespace {
std::string path;
}

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  TestSeams::InitHeadless();
  const char* dir = std::getenv("TMPDIR");
  path = std::string(dir ? dir : "/tmp") + "/pixelmoth-fuzz-" + std::to_string(getpid()) + ".img";
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) std::abort();
  if (size > 0 && std::fwrite(data, 1, size, f) != size) std::abort();
  std::fclose(f);
  const Ref<Picture> p = Picture::Open(FolderItem(path));
  if (p) {
    if (p->Width() < 1 || p->Height() < 1) std::abort();
    const bool large = p->Width() > Picture::kMaxDecodedSide || p->Height() > Picture::kMaxDecodedSide;
    if (large == p->IsDecoded()) std::abort();  // decoded exactly when within the limit
  }
  std::remove(path.c_str());
  return 0;
}
