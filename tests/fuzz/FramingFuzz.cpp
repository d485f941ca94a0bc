// Arbitrary bytes through every framing walk and the HEIF layout reader,
// which run before any decoder and must never read outside the file,
// whatever its signature says. The first byte is skipped: the seeds are the
// decode target's, whose first byte picks a file name.
#include <cstdint>

#include "framework/ImageCodecParts.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace image_codec;
  if (size == 0) return 0;
  const unsigned char* file = data + 1;
  const std::size_t length = size - 1;
  for (Container c : {Container::Png, Container::Mng, Container::Jpeg, Container::Gif, Container::Bmp, Container::Ico,
                      Container::Icns, Container::Tiff, Container::Webp, Container::Heif}) {
    FramingHolds(c, file, length);
  }
  ContainerOf(file, length);
  ReadHeifLayout(file, length, Picture::kMaxDecodedSide);
  return 0;
}
