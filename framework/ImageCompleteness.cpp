// Structure checks for the formats whose toolkit readers hand back a
// partly decoded picture, without an error, when the file ends early.
// Each walks only the framing of the file, never past its end.

#include <algorithm>
#include <string_view>
#include <vector>

#include "framework/ByteView.h"
#include "framework/GifBlocks.h"
#include "framework/ImageCodecParts.h"

namespace image_codec {
namespace {

// Every chunk whole, up to and including IEND.
bool PngComplete(const ByteView& b) {
  std::size_t at = 8;
  while (b.Has(at, 12)) {
    const std::uint32_t length = b.BE32(at);
    if (length > 0x7fffffffu || !b.Has(at + 12, length)) return false;
    const bool end = b.Equals(at + 4, "IEND");
    at += 12 + length;
    if (end) return true;
  }
  return false;
}

// --- GIF: the first frame's LZW data must yield all of its pixels ------------

// Counts the pixels an LZW stream decodes to, from the lengths of the table's
// strings alone; stops at the end code, at a code the table cannot have, or
// once `needed` pixels are reached.
std::uint64_t LzwPixelCount(const std::vector<unsigned char>& data, unsigned minCodeSize, std::uint64_t needed) {
  const unsigned clear = 1u << minCodeSize, end = clear + 1;
  std::vector<std::uint32_t> length(4096, 1);
  unsigned codeSize = minCodeSize + 1, next = clear + 2;
  bool havePrevious = false;
  unsigned previous = 0;
  std::uint64_t count = 0;
  std::uint32_t bits = 0;
  unsigned bitCount = 0;
  std::size_t at = 0;
  while (count < needed) {
    while (bitCount < codeSize) {
      if (at == data.size()) return count;
      bits |= std::uint32_t{data[at++]} << bitCount;
      bitCount += 8;
    }
    const unsigned code = bits & ((1u << codeSize) - 1);
    bits >>= codeSize;
    bitCount -= codeSize;
    if (code == clear) {
      codeSize = minCodeSize + 1;
      next = clear + 2;
      havePrevious = false;
      continue;
    }
    if (code == end) return count;
    if (!havePrevious) {
      if (code > clear) return count;  // the first code after a clear is a literal
      count += 1;
    } else {
      if (code > next) return count;
      const std::uint32_t n = code == next ? length[previous] + 1 : length[code];
      count += n;
      if (next < 4096) {
        length[next] = length[previous] + 1;
        ++next;
        if (next == (1u << codeSize) && codeSize < 12) ++codeSize;
      }
    }
    previous = code;
    havePrevious = true;
  }
  return count;
}

bool GifComplete(const ByteView& b) {
  if (!b.Has(0, 13)) return false;
  std::size_t at = 13 + ColorTableSize(b.U8(10));
  while (b.Has(at, 1)) {
    const unsigned introducer = b.U8(at++);
    if (introducer == 0x21) {  // extension: label, then sub-blocks
      if (!b.Has(at, 1)) return false;
      ++at;
      if (WalkSubBlocks(b, at) != SubBlocks::Terminated) return false;
    } else if (introducer == 0x2c) {  // the first image
      if (!b.Has(at, 10)) return false;
      const std::uint64_t pixels = std::uint64_t{b.LE16(at + 4)} * b.LE16(at + 6);
      at += 9 + ColorTableSize(b.U8(at + 8));
      if (!b.Has(at, 1)) return false;
      const unsigned minCodeSize = b.U8(at++);
      if (minCodeSize < 1 || minCodeSize > 11) return false;
      std::vector<unsigned char> lzw;
      if (WalkSubBlocks(b, at, &lzw) != SubBlocks::Terminated) return false;
      return LzwPixelCount(lzw, minCodeSize, pixels) >= pixels;
    } else {
      return false;  // the trailer, or garbage, before any image
    }
  }
  return false;
}

// --- BMP: the rows the header declares are all there -------------------------

bool RleComplete(const ByteView& b, std::size_t at, bool fourBit, std::uint64_t rows) {
  std::uint64_t lineEnds = 0;
  while (b.Has(at, 2)) {
    const unsigned count = b.U8(at), value = b.U8(at + 1);
    at += 2;
    if (count > 0) continue;  // a run
    if (value == 0) {
      if (++lineEnds >= rows) return true;
    } else if (value == 1) {
      return true;  // end of bitmap
    } else if (value == 2) {
      at += 2;  // delta
    } else {  // absolute run, padded to a 16-bit boundary
      const std::size_t n = fourBit ? (value + 1u) / 2u : value;
      at += n + (n & 1u);
    }
  }
  return false;
}

bool BmpComplete(const ByteView& b) {
  if (!b.Has(0, 18)) return false;
  const std::uint64_t offset = b.LE32(10);
  const std::uint32_t headerSize = b.LE32(14);
  std::int64_t width, height;
  unsigned bitCount, compression = 0;
  if (headerSize == 12) {
    if (!b.Has(14, 12)) return false;
    width = b.LE16(18);
    height = b.LE16(20);
    bitCount = b.LE16(24);
  } else if (headerSize >= 40) {
    if (!b.Has(14, 40)) return false;
    width = static_cast<std::int32_t>(b.LE32(18));
    height = static_cast<std::int32_t>(b.LE32(22));
    bitCount = b.LE16(28);
    compression = b.LE32(30);
  } else {
    return true;  // not a layout this check knows; the reader judges
  }
  const std::uint64_t rows = static_cast<std::uint64_t>(height < 0 ? -height : height);
  const std::uint64_t columns = static_cast<std::uint64_t>(width < 0 ? -width : width);
  switch (compression) {
    case 0:   // uncompressed
    case 3:   // bit fields
    case 6: {  // bit fields with alpha
      const std::uint64_t stride = (columns * bitCount + 31) / 32 * 4;
      return offset <= b.Size() && (rows == 0 || stride <= (b.Size() - offset) / rows);
    }
    case 1:
    case 2:
      return offset <= b.Size() && RleComplete(b, static_cast<std::size_t>(offset), compression == 2, rows);
    default:
      return true;
  }
}

// XBM is C source: the data ends with its closing brace.
bool XbmComplete(const ByteView& b) {
  const std::string_view text(reinterpret_cast<const char*>(b.At(0)), b.Size());
  const std::size_t open = text.find('{');
  return open != std::string_view::npos && text.find('}', open) != std::string_view::npos;
}

}  // namespace

bool LooksComplete(std::string_view format, const unsigned char* data, std::size_t size) {
  const ByteView b(data, size);
  if (format == "png") return PngComplete(b);
  if (format == "gif") return GifComplete(b);
  if (format == "bmp" || format == "dib") return BmpComplete(b);
  if (format == "xbm") return XbmComplete(b);
  return true;
}

}  // namespace image_codec
