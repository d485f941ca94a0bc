// The picture sizes that HEVC parameter sets and AV1 sequence headers ask
// their decoders to allocate, read from the bit streams alone.

#include "framework/CodedSizes.h"

namespace image_codec {
namespace {

// Bits read most significant first; a read past the end reads 0 and leaves
// the reader failed.
class Bits {
 public:
  Bits(const unsigned char* data, std::size_t size) : data_(data), size_(size) {}
  std::uint64_t Read(unsigned n) {
    std::uint64_t v = 0;
    for (unsigned i = 0; i < n; ++i) {
      if (at_ >= size_ * 8) {
        ok_ = false;
        return 0;
      }
      v = (v << 1) | ((data_[at_ / 8] >> (7 - at_ % 8)) & 1u);
      ++at_;
    }
    return v;
  }
  // Exp-Golomb, as HEVC writes its parameter sets.
  std::uint64_t Golomb() {
    unsigned zeros = 0;
    while (ok_ && Read(1) == 0)
      if (++zeros > 32) ok_ = false;
    return ok_ ? (std::uint64_t{1} << zeros) - 1 + Read(zeros) : 0;
  }
  // AV1's variable-length code.
  std::uint64_t Uvlc() {
    unsigned zeros = 0;
    while (ok_ && Read(1) == 0) ++zeros;
    if (zeros >= 32) return ~std::uint32_t{0};
    return (std::uint64_t{1} << zeros) - 1 + Read(zeros);
  }
  bool Ok() const { return ok_; }

 private:
  const unsigned char* data_;
  std::size_t size_;
  std::size_t at_ = 0;
  bool ok_ = true;
};

// The picture size of an HEVC sequence parameter set; other units add nothing.
bool HevcUnitSize(const ByteView& unit, std::vector<PictureSize>& sizes) {
  if (unit.Size() < 2) return true;
  if (((unit.U8(0) >> 1) & 0x3f) != 33) return true;
  // The payload without its emulation-prevention bytes, as far as the size.
  unsigned char rbsp[256];
  std::size_t n = 0;
  unsigned zeros = 0;
  for (std::size_t i = 2; i < unit.Size() && n < sizeof rbsp; ++i) {
    const unsigned char byte = unit.U8(i);
    if (zeros >= 2 && byte == 3) {
      zeros = 0;
      continue;
    }
    zeros = byte == 0 ? zeros + 1 : 0;
    rbsp[n++] = byte;
  }
  Bits bits(rbsp, n);
  bits.Read(4);
  const unsigned subLayers = static_cast<unsigned>(bits.Read(3));
  bits.Read(1);
  bits.Read(96);  // the general profile, tier and level
  bool profile[8] = {}, level[8] = {};
  for (unsigned i = 0; i < subLayers; ++i) {
    profile[i] = bits.Read(1);
    level[i] = bits.Read(1);
  }
  if (subLayers > 0) bits.Read(2 * (8 - subLayers));
  for (unsigned i = 0; i < subLayers; ++i) bits.Read((profile[i] ? 88 : 0) + (level[i] ? 8 : 0));
  bits.Golomb();  // its id
  if (bits.Golomb() == 3) bits.Read(1);  // separate colour planes
  const PictureSize size{bits.Golomb(), bits.Golomb()};
  if (!bits.Ok()) return false;
  sizes.push_back(size);
  return true;
}

// The unit after a length of `lengthBytes` at the cursor, its size added if
// it is a parameter set; false when it cannot be read.
bool NextHevcUnit(Cursor& c, const ByteView& bytes, unsigned lengthBytes, std::vector<PictureSize>& sizes) {
  const std::uint64_t length = c.Read(lengthBytes);
  const std::uint64_t at = c.At();
  c.Skip(length);
  return c.Ok() && HevcUnitSize(bytes.Part(static_cast<std::size_t>(at), static_cast<std::size_t>(length)), sizes);
}

}  // namespace

bool HevcConfigSizes(const ByteView& config, std::vector<PictureSize>& sizes) {
  Cursor c(config, 0, config.Size());
  c.Skip(22);
  const std::uint64_t arrays = c.Read(1);
  for (std::uint64_t a = 0; a < arrays && c.Ok(); ++a) {
    c.Skip(1);
    const std::uint64_t units = c.Read(2);
    for (std::uint64_t u = 0; u < units && c.Ok(); ++u)
      if (!NextHevcUnit(c, config, 2, sizes)) return false;
  }
  return c.Ok();
}

bool HevcDataSizes(const ByteView& data, std::vector<PictureSize>& sizes) {
  Cursor c(data, 0, data.Size());
  while (c.At() < data.Size())
    if (!NextHevcUnit(c, data, 4, sizes)) return false;
  return true;
}

// The largest frame of every AV1 sequence header among the units.
bool Av1Sizes(const ByteView& obus, std::vector<PictureSize>& sizes) {
  Cursor c(obus, 0, obus.Size());
  while (c.Ok() && c.At() < obus.Size()) {
    const unsigned header = static_cast<unsigned>(c.Read(1));
    if (header & 4) c.Skip(1);  // extension
    std::uint64_t length = obus.Size() - c.At();
    if (header & 2) {
      length = 0;
      for (unsigned i = 0; i < 8; ++i) {
        const std::uint64_t byte = c.Read(1);
        length |= (byte & 0x7f) << (7 * i);
        if (!(byte & 0x80)) break;
      }
    }
    const std::uint64_t at = c.At();
    c.Skip(length);
    if (!c.Ok()) return false;
    if (((header >> 3) & 15) != 1) continue;  // not a sequence header
    Bits bits(obus.At(static_cast<std::size_t>(at)), static_cast<std::size_t>(length));
    bits.Read(4);
    if (bits.Read(1)) {  // reduced still-picture header
      bits.Read(5);
    } else {
      const bool timing = bits.Read(1);
      bool decoderModel = false;
      unsigned delayBits = 0;
      if (timing) {
        bits.Read(64);
        if (bits.Read(1)) bits.Uvlc();
        decoderModel = bits.Read(1);
        if (decoderModel) {
          delayBits = static_cast<unsigned>(bits.Read(5)) + 1;
          bits.Read(32 + 5 + 5);
        }
      }
      const bool displayDelay = bits.Read(1);
      const unsigned points = static_cast<unsigned>(bits.Read(5)) + 1;
      for (unsigned i = 0; i < points && bits.Ok(); ++i) {
        bits.Read(12);
        if (bits.Read(5) > 7) bits.Read(1);
        if (decoderModel && bits.Read(1)) bits.Read(2 * delayBits + 1);
        if (displayDelay && bits.Read(1)) bits.Read(4);
      }
    }
    const unsigned widthBits = static_cast<unsigned>(bits.Read(4)) + 1;
    const unsigned heightBits = static_cast<unsigned>(bits.Read(4)) + 1;
    const PictureSize size{bits.Read(widthBits) + 1, bits.Read(heightBits) + 1};
    if (!bits.Ok()) return false;
    sizes.push_back(size);
  }
  return c.Ok();
}

}  // namespace image_codec
