// The framing walks that run before any reader, on files built here byte by
// byte: where a part claims more than the file holds, where a walk must stop
// looking (a JPEG's scan), and the layout checks of HEIF files made by
// libheif's encoders.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "framework/ImageCodecParts.h"
#include "tests/support/HeifFiles.h"
#include "tests/support/Pictures.h"

namespace {

using namespace image_codec;

// Bytes written field by field.
class Built {
 public:
  Built& Text(const std::string& s) { return s_ += s, *this; }
  Built& U8(unsigned v) { return s_ += static_cast<char>(v & 0xff), *this; }
  Built& BE16(std::uint32_t v) { return U8(v >> 8).U8(v); }
  Built& BE32(std::uint32_t v) { return BE16(v >> 16).BE16(v); }
  Built& LE16(std::uint32_t v) { return U8(v).U8(v >> 8); }
  Built& LE32(std::uint32_t v) { return LE16(v).LE16(v >> 16); }
  Built& LE64(std::uint64_t v) { return LE32(static_cast<std::uint32_t>(v)).LE32(static_cast<std::uint32_t>(v >> 32)); }
  Built& Zeros(std::size_t n) { return s_.append(n, '\0'), *this; }
  std::string Bytes() const { return s_; }
  std::size_t Size() const { return s_.size(); }

 private:
  std::string s_;
};

bool Holds(const std::string& file) {
  const auto* data = reinterpret_cast<const unsigned char*>(file.data());
  return FramingHolds(ContainerOf(data, file.size()), data, file.size());
}

struct Case {
  const char* name;
  std::string file;
  bool holds;
};

void ExpectFraming(const std::vector<Case>& cases) {
  for (const Case& c : cases) EXPECT_EQ(Holds(c.file), c.holds) << c.name;
}

// --- JPEG: segments up to the first scan -------------------------------------------

std::string Segment(unsigned marker, std::size_t payload) {
  return Built().U8(0xff).U8(marker).BE16(static_cast<std::uint32_t>(payload + 2)).Zeros(payload).Bytes();
}

// SOI, APP0, a quantisation table, a frame header, a Huffman table, then the
// scan's header, entropy-coded bytes and EOI.
std::string Jpeg(const std::string& afterScanHeader = std::string(200, '\x5a') + "\xff\xd9") {
  return "\xff\xd8" + Segment(0xe0, 14) + Segment(0xdb, 65) + Segment(0xc0, 15) + Segment(0xc4, 30) +
         Segment(0xda, 10) + afterScanHeader;
}

TEST(Framing, AJpegIsWalkedOnlyUpToItsFirstScan) {
  const std::string whole = Jpeg();
  const std::size_t scan = whole.find("\xff\xda");
  EXPECT_TRUE(Holds(whole));
  // cut or damaged anywhere from the scan's data on: the decoder's to judge
  for (std::size_t cut = scan + 14; cut < whole.size(); cut += 17) EXPECT_TRUE(Holds(whole.substr(0, cut))) << cut;
  EXPECT_TRUE(Holds(Jpeg(std::string(50, '\xff') + std::string("\x00\x13", 2))));
  EXPECT_TRUE(Holds(Jpeg("\x12\x34" + Segment(0xc4, 40000).substr(0, 100))));  // a table between scans, cut
  // fill bytes and stray bytes before a marker are the decoder's to skip
  std::string padded = whole;
  padded.insert(2, "\xff\xff\xff");
  EXPECT_TRUE(Holds(padded));
  std::string stray = whole;
  stray.insert(2 + 18, "junk");
  EXPECT_TRUE(Holds(stray));

  // before the scan, a segment claiming more than the file holds, or cut
  std::string claiming = whole;
  claiming[2 + 18 + 2] = '\x7f';  // the quantisation table: 32 kB
  EXPECT_FALSE(Holds(claiming));
  for (std::size_t cut : {std::size_t{4}, std::size_t{10}, std::size_t{30}, scan - 5, scan + 3, scan + 13})
    EXPECT_FALSE(Holds(whole.substr(0, cut))) << "cut inside a segment at " << cut;
}

// --- Chunks: PNG, and MNG, ICO and ICNS holding PNGs -----------------------------------

std::string Chunk(const char* type, std::uint32_t claimed, std::size_t held) {
  return Built().BE32(claimed).Text(type).Zeros(held).Bytes();
}
std::string Chunk(const char* type, std::size_t length) {
  return Chunk(type, static_cast<std::uint32_t>(length), length + 4);
}

const std::string kPng = "\x89PNG\r\n\x1a\n";
const std::string kMng = "\x8aMNG\r\n\x1a\n";

std::string Ico(const std::string& image) {
  return Built().LE16(0).LE16(1).LE16(1).U8(16).U8(16).U8(0).U8(0).LE16(1).LE16(32).LE32(static_cast<std::uint32_t>(image.size()))
             .LE32(22).Text(image).Bytes();
}

std::string Icns(const std::string& element) {
  return Built().Text("icns").BE32(static_cast<std::uint32_t>(16 + element.size())).Text("ic07")
             .BE32(static_cast<std::uint32_t>(8 + element.size())).Text(element).Bytes();
}

TEST(Framing, ChunksAndTheFilesHoldingThemHoldOnlyWhatTheyClaim) {
  const std::string png = kPng + Chunk("IHDR", 13) + Chunk("IDAT", 100) + Chunk("IEND", 0);
  const std::string hugeText = kPng + Chunk("IHDR", 13) + Chunk("tEXt", 0x7fffffff, 3);
  const std::string dib = Built().LE32(40).Zeros(36 + 64).Bytes();
  ExpectFraming({
      {"png", png, true},
      {"png ending between chunks", png.substr(0, png.size() - 12), true},
      {"png, trailing bytes after its end", png + "trailing", true},
      {"png cut in a chunk", png.substr(0, png.size() - 20), false},
      {"png, text claiming 2 GB", hugeText, false},
      {"png, a length beyond 2^31", kPng + Chunk("IHDR", 13) + Chunk("tEXt", 0x80000003u, 3), false},
      {"mng", kMng + Chunk("MHDR", 28) + Chunk("IHDR", 13) + Chunk("IDAT", 10) + Chunk("IEND", 0) + Chunk("MEND", 0), true},
      {"mng, a chunk claiming 2 GB", kMng + Chunk("MHDR", 28) + Chunk("FRAM", 0x7fffffff, 8), false},
      {"ico of a png", Ico(png), true},
      {"ico of a bitmap", Ico(dib), true},
      {"ico, a bitmap header claiming more than its image", Ico(Built().LE32(400).Zeros(36).Bytes()), false},
      {"ico, the image beyond the file", Ico(png).substr(0, 40), false},
      {"ico of a png claiming 2 GB", Ico(hugeText), false},
      {"icns of a png", Icns(png), true},
      {"icns of a png claiming 2 GB", Icns(hugeText), false},
      {"icns, the file's length beyond it", Icns(png).substr(0, 30) , false},
  });
}

// --- GIF and BMP --------------------------------------------------------------------

TEST(Framing, GifBlocksAndBmpHeadersLieInsideTheFile) {
  const std::string screen = Built().Text("GIF89a").LE16(10).LE16(10).U8(0x80).U8(0).U8(0).Zeros(6).Bytes();  // two colours
  const std::string image = Built().U8(0x2c).LE16(0).LE16(0).LE16(10).LE16(10).U8(0).U8(2).U8(3).Zeros(3).U8(0).Bytes();
  const std::string gif = screen + Built().U8(0x21).U8(0xf9).U8(4).Zeros(4).U8(0).Bytes() + image + ";";
  const std::string bmp = Built().Text("BM").LE32(0).LE32(0).LE32(54).LE32(40).Zeros(36).Zeros(16).Bytes();
  ExpectFraming({
      {"gif", gif, true},
      {"gif, the colour table cut", screen.substr(0, 16), false},
      {"gif, a sub-block cut", gif.substr(0, screen.size() + 5), false},
      {"gif, later frames cut: not read", gif.substr(0, gif.size() - 1) + image.substr(0, 5), true},
      {"bmp", bmp, true},
      {"bmp, pixels placed beyond the file", Built().Text("BM").LE32(0).LE32(0).LE32(0x7fffffff).LE32(40).Zeros(36).Bytes(), false},
      {"bmp, a header longer than the file", Built().Text("BM").LE32(0).LE32(0).LE32(54).LE32(4000).Zeros(36).Bytes(), false},
  });
}

// --- TIFF -----------------------------------------------------------------------------

// A little-endian TIFF of one directory with one strip (offset, byte count)
// and its bits per sample out of line, then the offset of the next directory.
std::string Tiff(std::uint32_t stripOffset, std::uint32_t stripBytes, std::uint32_t next = 0) {
  Built b;
  b.Text(std::string("II*\0", 4)).LE32(8).LE16(3);
  b.LE16(258).LE16(3).LE32(3).LE32(8 + 2 + 3 * 12 + 4);  // bits per sample, out of line
  b.LE16(273).LE16(4).LE32(1).LE32(stripOffset);
  b.LE16(279).LE16(4).LE32(1).LE32(stripBytes);
  b.LE32(next).LE16(8).LE16(8).LE16(8);  // the bits per sample
  return b.Zeros(64).Bytes();            // the strip's data, from byte 56
}

std::string BigTiff(std::uint64_t stripOffset, std::uint64_t stripBytes) {
  Built b;
  b.Text(std::string("II+\0", 4)).LE16(8).LE16(0).LE64(16).LE64(2);
  b.LE16(273).LE16(16).LE64(1).LE64(stripOffset);
  b.LE16(279).LE16(16).LE64(1).LE64(stripBytes);
  return b.LE64(0).Zeros(64).Bytes();
}

TEST(Framing, TiffDirectoriesAndStripsLieInsideTheFile) {
  std::string secondDirectory = Tiff(56, 64, 120);
  // a second directory whose strip lies beyond the file: not read, so not judged
  secondDirectory += Built().LE16(2).LE16(273).LE16(4).LE32(1).LE32(0x7ffffff0).LE16(279).LE16(4).LE32(1).LE32(100).LE32(0).Bytes();
  std::string loop = Tiff(56, 64, 8);
  std::string bigEndian = Built().Text(std::string("MM\0*", 4)).BE32(8).BE16(2).BE16(273).BE16(4).BE32(1).BE32(38).BE16(279)
                              .BE16(4).BE32(1).BE32(16).BE32(0).Zeros(16).Bytes();
  ExpectFraming({
      {"tiff", Tiff(56, 64), true},
      {"big-endian tiff", bigEndian, true},
      {"bigtiff", BigTiff(72, 64), true},
      {"strip beyond the file", Tiff(56, 0x7fffffff), false},
      {"strip placed beyond the file", Tiff(0x7ffffff0, 10), false},
      {"bigtiff strip beyond the file", BigTiff(72, std::uint64_t{1} << 40), false},
      {"directory beyond the file", Built().Text(std::string("II*\0", 4)).LE32(0x7ffffff0).Bytes(), false},
      {"directory entries beyond the file", Built().Text(std::string("II*\0", 4)).LE32(8).LE16(5000).Zeros(24).Bytes(), false},
      {"values beyond the file", Built().Text(std::string("II*\0", 4)).LE32(8).LE16(1).LE16(270).LE16(2).LE32(1u << 30).LE32(8).LE32(0).Bytes(), false},
      {"second directory with a strip beyond the file", secondDirectory, true},
      {"next directory beyond the file", Tiff(56, 64, 0x7ffffff0), false},
      {"directories in a loop", loop, true},
  });
}

// --- WebP ------------------------------------------------------------------------------

std::string Riff(const std::string& chunks) {
  return Built().Text("RIFF").LE32(static_cast<std::uint32_t>(4 + chunks.size())).Text("WEBP").Text(chunks).Bytes();
}
std::string RiffChunk(const char* type, std::uint32_t claimed, std::size_t held) {
  return Built().Text(type).LE32(claimed).Zeros(held).Bytes();
}

TEST(Framing, WebpChunksAndFramesLieInsideTheFile) {
  const std::string frame = RiffChunk("VP8L", 10, 10);
  const std::string animation = RiffChunk("VP8X", 10, 10) + RiffChunk("ANIM", 6, 6) +
                                Built().Text("ANMF").LE32(static_cast<std::uint32_t>(16 + frame.size())).Zeros(16).Text(frame).Bytes();
  std::string riffClaiming = Riff(frame);
  riffClaiming[4] = '\xf0';
  riffClaiming[7] = '\x7f';
  ExpectFraming({
      {"still", Riff(frame), true},
      {"odd chunk, its padding the file's last byte missing", Riff(RiffChunk("VP8L", 9, 9)), true},
      {"animation", Riff(animation), true},
      {"chunk claiming more than the file", Riff(RiffChunk("VP8L", 0x7ffffff0, 10)), false},
      {"container claiming more than the file", riffClaiming, false},
      {"frame's chunk claiming more than its frame",
       Riff(Built().Text("ANMF").LE32(26).Zeros(16).Text(RiffChunk("VP8L", 200, 2)).Text(RiffChunk("EXIF", 100, 100)).Bytes()),
       false},
  });
}

// --- HEIF -------------------------------------------------------------------------------

HeifLayout Layout(const std::string& file) {
  return ReadHeifLayout(reinterpret_cast<const unsigned char*>(file.data()), file.size(), 6000);
}

// A grid of one tile with alpha, as libheif writes a picture whose sides the
// HEVC encoder pads: references from the grid to its tile and from the alpha.
std::string GridWithAlpha() { return HeifFile(MakePicture(64, 48, [](std::int64_t, std::int64_t) { return RGB(1, 2, 3); }), HeifKind{HeifKind::Codec::Hevc, 8, true}); }

TEST(Framing, HeifBoxesAndItemExtentsLieInsideTheFile) {
  const std::string heic = GridWithAlpha();
  const std::size_t mdat = BoxesOfType(heic, "mdat").at(0);
  std::string toTheEnd = heic, longer = heic;
  Write32(toTheEnd, mdat, 0);
  Write32(longer, mdat, Read32(heic, mdat) + 1);
  const auto largeBox = [](std::uint64_t size) {
    return Built().BE32(1).Text("free").BE32(static_cast<std::uint32_t>(size >> 32)).BE32(static_cast<std::uint32_t>(size)).Zeros(8).Bytes();
  };
  ExpectFraming({
      {"heic", heic, true},
      {"the last box reaching to the end of the file", toTheEnd, true},
      {"a box of 64-bit size", heic + largeBox(24), true},
      {"a box of 64-bit size claiming a terabyte", heic + largeBox(std::uint64_t{1} << 40), false},
      {"the coded data's box claiming a byte more", longer, false},
      {"the coded data cut away, the boxes before it whole", heic.substr(0, mdat), false},
  });
}

// The item's reference list from the grid: from-ID, count, to-IDs (16 bits each).
std::size_t FirstReference(const std::string& heic, const char* type) {
  const std::size_t iref = BoxesOfType(heic, "iref").at(0);
  for (std::size_t at = iref + 12; at < iref + Read32(heic, iref); at += Read32(heic, at))
    if (heic.compare(at + 4, 4, type) == 0) return at;
  return std::string::npos;
}

TEST(Framing, HeifLayoutAcceptsWhatLibheifWritesAndRefusesWhatWouldMisleadIt) {
  for (const HeifKind kind : {HeifKind{}, HeifKind{HeifKind::Codec::Hevc, 10, true}, HeifKind{HeifKind::Codec::Av1, 8, true},
                              HeifKind{HeifKind::Codec::Av1, 10, false}}) {
    for (int orientation : {1, 6}) {
      const HeifLayout layout = Layout(HeifFile(PhotoLikePicture(64, 48), kind, orientation));
      EXPECT_TRUE(layout.framingHolds && layout.decodable) << kind.Name() << ", orientation " << orientation;
    }
  }

  const std::string heic = GridWithAlpha();
  ASSERT_TRUE(Layout(heic).decodable);
  const std::size_t dimg = FirstReference(heic, "dimg");
  ASSERT_NE(dimg, std::string::npos);
  std::string selfDerived = heic, twoCells = heic, unknownTile = heic;
  selfDerived.replace(dimg + 12, 2, heic.substr(dimg + 8, 2));  // the grid's tile is the grid itself
  const std::size_t grid = BoxesOfType(heic, "idat").at(0) + 8;
  twoCells[grid + 3] = 1;  // two columns, one tile
  const std::size_t tileType = unknownTile.find("hvc1");
  unknownTile.replace(tileType, 4, "xxxx");
  EXPECT_FALSE(Layout(selfDerived).decodable) << "derived from itself";
  EXPECT_FALSE(Layout(twoCells).decodable) << "cells without tiles";
  EXPECT_FALSE(Layout(unknownTile).decodable) << "a tile of a kind libheif cannot decode";
  EXPECT_TRUE(Layout(selfDerived).framingHolds);
}

}  // namespace
