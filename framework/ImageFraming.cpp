// The framing of a file, walked before any reader sees it: every length the
// readers would trust (to allocate by, or to seek to) must lie inside the
// file. Walks follow what the readers read: all of a PNG's chunks, a JPEG's
// segments up to its first scan, a GIF's blocks up to its first image, a
// TIFF's first directory with its strips and the chain of directories after.

#include <algorithm>
#include <set>
#include <string_view>

#include "framework/ByteView.h"
#include "framework/GifBlocks.h"
#include "framework/ImageCodecParts.h"

namespace image_codec {
namespace {

constexpr std::string_view kPngSignature("\x89PNG\r\n\x1a\n", 8);

// PNG, and MNG and JNG, which share its chunks: each whole, up to the end
// chunk or to the end of the file.
bool ChunksHold(const ByteView& b) {
  for (std::size_t at = 8; at < b.Size();) {
    if (!b.Has(at, 8)) return false;
    const std::uint32_t length = b.BE32(at);
    if (length > 0x7fffffffu || !b.Has(at + 8, std::uint64_t{length} + 4)) return false;
    if (b.Equals(at + 4, "IEND") || b.Equals(at + 4, "MEND")) return true;
    at += 12 + std::size_t{length};
  }
  return true;
}

// A PNG inside another file (ICO, ICNS) is read by the PNG reader.
bool EmbeddedHolds(const ByteView& part) { return !part.Equals(0, kPngSignature) || ChunksHold(part); }

// Segments up to the first scan. What follows the scan's header (the scan
// data, further scans, the end) is the decoder's to judge, however damaged.
bool JpegSegmentsHold(const ByteView& b) {
  for (std::size_t at = 2; b.Has(at, 2);) {
    if (b.U8(at) != 0xff) return true;  // stray bytes: the decoder skips them itself
    const unsigned marker = b.U8(at + 1);
    if (marker == 0xff) {  // fill byte
      ++at;
      continue;
    }
    if (marker == 0x00) return true;
    if (marker == 0x01 || (marker >= 0xd0 && marker <= 0xd9)) {  // no length of their own
      at += 2;
      continue;
    }
    if (!b.Has(at + 2, 2)) return false;
    const std::uint32_t length = b.BE16(at + 2);
    if (length < 2 || !b.Has(at + 2, length)) return false;
    if (marker == 0xda) return true;
    at += 2 + std::size_t{length};
  }
  return true;
}

// Blocks up to the end of the first image.
bool GifBlocksHold(const ByteView& b) {
  if (!b.Has(0, 13) || !b.Has(13, ColorTableSize(b.U8(10)))) return false;
  for (std::size_t at = 13 + ColorTableSize(b.U8(10)); b.Has(at, 1);) {
    const unsigned introducer = b.U8(at++);
    if (introducer == 0x21) {
      if (!b.Has(at, 1)) return true;
      ++at;
      if (WalkSubBlocks(b, at) == SubBlocks::Cut) return false;
    } else if (introducer == 0x2c) {
      if (!b.Has(at, 9) || !b.Has(at + 9, ColorTableSize(b.U8(at + 8)))) return false;
      at += 9 + ColorTableSize(b.U8(at + 8)) + 1;  // and the LZW code size
      return WalkSubBlocks(b, at) != SubBlocks::Cut;
    } else {
      return true;  // the trailer, or what the reader refuses
    }
  }
  return true;
}

// The headers, and the pixel data where the header puts it.
bool BmpHeadersHold(const ByteView& b) {
  if (!b.Has(0, 18)) return false;
  const std::uint32_t headerSize = b.LE32(14);
  return headerSize >= 12 && b.Has(14, headerSize) && b.LE32(10) <= b.Size();
}

// The directory, and each image where its entry puts it.
bool IcoEntriesHold(const ByteView& b) {
  if (!b.Has(0, 6)) return false;
  const std::size_t count = b.LE16(4);
  if (!b.Has(6, count * 16)) return false;
  for (std::size_t i = 0; i < count; ++i) {
    const std::size_t entry = 6 + 16 * i;
    const std::uint32_t size = b.LE32(entry + 8), offset = b.LE32(entry + 12);
    if (!b.Has(offset, size)) return false;
    const ByteView image = b.Part(offset, size);
    if (!EmbeddedHolds(image)) return false;
    if (!image.Equals(0, kPngSignature) && image.Has(0, 4) && image.LE32(0) > size) return false;  // its header
  }
  return true;
}

// The whole length the header gives, then each element inside it.
bool IcnsElementsHold(const ByteView& b) {
  if (!b.Has(0, 8)) return false;
  const std::uint32_t length = b.BE32(4);
  if (length < 8 || length > b.Size()) return false;
  for (std::size_t at = 8; at + 8 <= length;) {
    const std::uint32_t size = b.BE32(at + 4);
    if (size < 8 || size > length - at) return false;
    if (!EmbeddedHolds(b.Part(at + 8, size - 8))) return false;
    at += size;
  }
  return true;
}

// --- TIFF ----------------------------------------------------------------------

class Tiff {
 public:
  explicit Tiff(const ByteView& b) : b_(b), little_(b.Equals(0, "II")) {}

  bool Holds() {
    if (!b_.Has(0, 8)) return false;
    big_ = Get(2, 2) == 43;
    if (big_ && (!b_.Has(0, 16) || Get(4, 2) != 8)) return false;
    std::uint64_t ifd = Get(big_ ? 8 : 4, big_ ? 8 : 4);
    std::set<std::uint64_t> seen;
    for (bool first = true; ifd != 0 && seen.insert(ifd).second; first = false) {
      const unsigned countSize = big_ ? 8 : 2, entrySize = big_ ? 20 : 12, offsetSize = big_ ? 8 : 4;
      if (!b_.Has(ifd, countSize)) return false;
      const std::uint64_t count = Get(ifd, countSize);
      if (count > b_.Size() / entrySize || !b_.Has(ifd + countSize, count * entrySize + offsetSize)) return false;
      if (first && !FirstDirectoryHolds(ifd + countSize, count)) return false;
      ifd = Get(ifd + countSize + count * entrySize, offsetSize);
    }
    return true;
  }

 private:
  struct Entry {
    unsigned tag = 0;
    std::uint64_t count = 0;
    unsigned valueSize = 0;   // bytes of one value
    std::uint64_t at = 0;     // where the values are
  };

  std::uint64_t Get(std::uint64_t at, unsigned n) const {
    std::uint64_t v = 0;
    for (unsigned i = 0; i < n; ++i) {
      const unsigned byte = b_.U8(static_cast<std::size_t>(at + (little_ ? n - 1 - i : i)));
      v = (v << 8) | byte;
    }
    return v;
  }

  static unsigned ValueSize(unsigned type) {
    switch (type) {
      case 1: case 2: case 6: case 7: return 1;
      case 3: case 8: return 2;
      case 4: case 9: case 11: case 13: return 4;
      case 5: case 10: case 12: case 16: case 17: case 18: return 8;
      default: return 0;  // a type the reader skips
    }
  }

  // Every entry's values, then the image data of each strip or tile.
  bool FirstDirectoryHolds(std::uint64_t entries, std::uint64_t count) {
    const unsigned entrySize = big_ ? 20 : 12, inlineSize = big_ ? 8 : 4, countSize = big_ ? 8 : 4;
    Entry offsets, byteCounts;
    for (std::uint64_t i = 0; i < count; ++i) {
      const std::uint64_t at = entries + i * entrySize;
      Entry e{static_cast<unsigned>(Get(at, 2)), Get(at + 4, countSize), ValueSize(static_cast<unsigned>(Get(at + 2, 2))),
              at + 4 + countSize};
      if (e.valueSize == 0) continue;
      if (e.count > b_.Size() / e.valueSize) return false;
      if (e.count * e.valueSize > inlineSize) {
        e.at = Get(e.at, inlineSize);
        if (!b_.Has(e.at, e.count * e.valueSize)) return false;
      }
      if (e.tag == 273 || e.tag == 324) offsets = e;
      if (e.tag == 279 || e.tag == 325) byteCounts = e;
    }
    const std::uint64_t parts = std::min(offsets.count, byteCounts.count);
    for (std::uint64_t i = 0; i < parts; ++i) {
      if (!b_.Has(Value(offsets, i), Value(byteCounts, i))) return false;
    }
    return true;
  }

  // Offsets and byte counts are SHORT, LONG or LONG8.
  std::uint64_t Value(const Entry& e, std::uint64_t i) const {
    const bool integer = e.valueSize == 2 || e.valueSize == 4 || e.valueSize == 8;
    return integer ? Get(e.at + i * e.valueSize, e.valueSize) : 0;
  }

  const ByteView b_;
  bool little_;
  bool big_ = false;
};

// --- WebP ----------------------------------------------------------------------

// RIFF chunks in [from, to), and at the top the chunks inside each frame of
// an animation.
bool RiffChunksHold(const ByteView& b, std::size_t from, std::size_t to, bool top) {
  for (std::size_t at = from; to - at >= 8;) {
    const std::uint32_t size = b.LE32(at + 4);
    if (size > to - at - 8) return false;
    if (top && b.Equals(at, "ANMF") && (size < 16 || !RiffChunksHold(b, at + 8 + 16, at + 8 + size, false))) return false;
    at += std::min<std::size_t>(to - at, 8 + std::size_t{size} + (size & 1));
  }
  return true;
}

bool WebpChunksHold(const ByteView& b) {
  if (!b.Has(0, 12)) return false;
  const std::uint32_t riff = b.LE32(4);
  return riff >= 4 && b.Has(8, riff) && RiffChunksHold(b, 12, 8 + std::size_t{riff}, true);
}

// --- HEIF ----------------------------------------------------------------------

bool IsHeifBrand(const ByteView& b, std::size_t at) {
  for (std::string_view brand : {"heic", "heix", "heim", "heis", "hevc", "hevx", "hevm", "hevs", "mif1", "msf1", "avif", "avis"})
    if (b.Equals(at, brand)) return true;
  return false;
}

// An ftyp box whose major or compatible brands name a HEIF image.
bool IsHeif(const ByteView& b) {
  if (!b.Has(0, 16) || !b.Equals(4, "ftyp")) return false;
  const std::size_t end = std::min<std::size_t>(b.BE32(0), b.Size());
  if (IsHeifBrand(b, 8)) return true;
  for (std::size_t at = 16; at + 4 <= end; at += 4)
    if (IsHeifBrand(b, at)) return true;
  return false;
}

}  // namespace

Container ContainerOf(const unsigned char* data, std::size_t size) {
  const ByteView b(data, size);
  if (b.Equals(0, kPngSignature)) return Container::Png;
  if (b.Equals(0, "\x8aMNG\r\n\x1a\n") || b.Equals(0, "\x8bJNG\r\n\x1a\n")) return Container::Mng;
  if (b.Equals(0, "\xff\xd8")) return Container::Jpeg;
  if (b.Equals(0, "GIF8")) return Container::Gif;
  if (b.Equals(0, "BM")) return Container::Bmp;
  if (b.Equals(0, std::string_view("\0\0\1\0", 4)) || b.Equals(0, std::string_view("\0\0\2\0", 4))) return Container::Ico;
  if (b.Equals(0, "icns")) return Container::Icns;
  if (b.Equals(0, std::string_view("II*\0", 4)) || b.Equals(0, std::string_view("MM\0*", 4)) ||
      b.Equals(0, std::string_view("II+\0", 4)) || b.Equals(0, std::string_view("MM\0+", 4))) {
    return Container::Tiff;
  }
  if (b.Equals(0, "RIFF") && b.Equals(8, "WEBP")) return Container::Webp;
  if (IsHeif(b)) return Container::Heif;
  return Container::Unsigned;
}

bool FramingHolds(Container container, const unsigned char* data, std::size_t size) {
  const ByteView b(data, size);
  switch (container) {
    case Container::Png:
    case Container::Mng: return ChunksHold(b);
    case Container::Jpeg: return JpegSegmentsHold(b);
    case Container::Gif: return GifBlocksHold(b);
    case Container::Bmp: return BmpHeadersHold(b);
    case Container::Ico: return IcoEntriesHold(b);
    case Container::Icns: return IcnsElementsHold(b);
    case Container::Tiff: return Tiff(b).Holds();
    case Container::Webp: return WebpChunksHold(b);
    case Container::Heif: return ReadHeifLayout(data, size, 0).framingHolds;
    case Container::Unsigned: return true;
  }
  return true;
}

}  // namespace image_codec
