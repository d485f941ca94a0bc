// Decoding and writing image files: the formats, recorded orientation, the
// size limits, damaged files and saving without harm to an existing file.
// Every file is made here, in a fresh folder: written by Picture::Save or
// built byte by byte.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

// jpeglib.h needs size_t and FILE declared first.
#include <cstdio>
#include <jpeglib.h>

#include "framework/Dialogs.h"
#include "framework/Picture.h"
#include "framework/TestSeams.h"
#include "tests/support/HeifFiles.h"
#include "tests/support/JpegMarkers.h"
#include "tests/support/Pictures.h"
#include "tests/support/Unprivileged.h"

namespace fs = std::filesystem;

namespace {

using Bytes = std::string;
using PixelFunction = std::function<Color(std::int64_t, std::int64_t)>;

// --- Bytes ------------------------------------------------------------------------

void LE16(Bytes& s, std::uint32_t v) {
  s.push_back(static_cast<char>(v & 0xff));
  s.push_back(static_cast<char>((v >> 8) & 0xff));
}
void LE32(Bytes& s, std::uint32_t v) {
  LE16(s, v & 0xffff);
  LE16(s, v >> 16);
}
void BE16(Bytes& s, std::uint32_t v) {
  s.push_back(static_cast<char>((v >> 8) & 0xff));
  s.push_back(static_cast<char>(v & 0xff));
}
void BE32(Bytes& s, std::uint32_t v) {
  BE16(s, v >> 16);
  BE16(s, v & 0xffff);
}
void SetBE16(Bytes& s, std::size_t at, std::uint32_t v) {
  s[at] = static_cast<char>((v >> 8) & 0xff);
  s[at + 1] = static_cast<char>(v & 0xff);
}
void SetBE32(Bytes& s, std::size_t at, std::uint32_t v) {
  SetBE16(s, at, v >> 16);
  SetBE16(s, at + 2, v & 0xffff);
}
void SetLE16(Bytes& s, std::size_t at, std::uint32_t v) {
  s[at] = static_cast<char>(v & 0xff);
  s[at + 1] = static_cast<char>((v >> 8) & 0xff);
}
void SetLE32(Bytes& s, std::size_t at, std::uint32_t v) {
  SetLE16(s, at, v & 0xffff);
  SetLE16(s, at + 2, v >> 16);
}
unsigned U8(const Bytes& s, std::size_t at) { return static_cast<unsigned char>(s[at]); }
unsigned GetBE16(const Bytes& s, std::size_t at) { return U8(s, at) << 8 | U8(s, at + 1); }

std::uint32_t Crc32(const Bytes& s, std::size_t from, std::size_t to) {
  std::uint32_t crc = 0xffffffffu;
  for (std::size_t i = from; i < to; ++i) {
    crc ^= U8(s, i);
    for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xedb88320u & (0u - (crc & 1u)));
  }
  return ~crc;
}

// Deterministic noise bytes.
Bytes Noise(std::size_t n, std::uint32_t seed) {
  Bytes s;
  for (std::size_t i = 0; i < n; ++i) {
    seed = seed * 1664525u + 1013904223u;
    s.push_back(static_cast<char>(seed >> 24));
  }
  return s;
}

// --- Pictures ---------------------------------------------------------------------

// The same pixels, without an alpha channel.
Ref<Picture> Opaque(const Ref<Picture>& p) { return MakeRef<Picture>(p->Pixels(), false); }

Color Pattern(std::int64_t x, std::int64_t y) {
  return RGB(static_cast<int>(x * 37 % 256), static_cast<int>(y * 53 % 256), static_cast<int>((x + y) * 11 % 256));
}

::testing::AssertionResult Near(Color got, Color want, int tolerance) {
  const int d = std::max({std::abs(got.red - want.red), std::abs(got.green - want.green), std::abs(got.blue - want.blue)});
  if (d <= tolerance && got.alpha == want.alpha) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << int(got.red) << "," << int(got.green) << "," << int(got.blue) << ","
                                       << int(got.alpha) << " is not near " << int(want.red) << "," << int(want.green)
                                       << "," << int(want.blue) << "," << int(want.alpha);
}

// --- Files built byte by byte -----------------------------------------------------

// 24-bit, bottom-up, rows padded to four bytes.
Bytes Bmp(std::int64_t w, std::int64_t h, const PixelFunction& f) {
  const std::uint32_t stride = static_cast<std::uint32_t>((w * 3 + 3) / 4 * 4);
  Bytes s = "BM";
  LE32(s, 54 + stride * static_cast<std::uint32_t>(h));
  LE32(s, 0);
  LE32(s, 54);
  for (std::uint32_t v : {40u, static_cast<std::uint32_t>(w), static_cast<std::uint32_t>(h)}) LE32(s, v);
  LE16(s, 1);
  LE16(s, 24);
  for (int i = 0; i < 6; ++i) LE32(s, 0);
  for (std::int64_t y = h - 1; y >= 0; --y) {
    for (std::int64_t x = 0; x < w; ++x) {
      const Color c = f(x, y);
      s += {static_cast<char>(c.blue), static_cast<char>(c.green), static_cast<char>(c.red)};
    }
    s.append(stride - static_cast<std::uint32_t>(w * 3), '\0');
  }
  return s;
}

// 8-bit run-length encoded: every row is runs of four, a line end after each.
Bytes BmpRle8(std::int64_t w, std::int64_t h) {
  Bytes px;
  for (std::int64_t y = 0; y < h; ++y) {
    for (std::int64_t x = 0; x < w; x += 4) px += {4, static_cast<char>((x + y) & 0xff)};
    px += {0, 0};
  }
  px += {0, 1};
  Bytes s = "BM";
  LE32(s, static_cast<std::uint32_t>(54 + 1024 + px.size()));
  LE32(s, 0);
  LE32(s, 54 + 1024);
  for (std::uint32_t v : {40u, static_cast<std::uint32_t>(w), static_cast<std::uint32_t>(h)}) LE32(s, v);
  LE16(s, 1);
  LE16(s, 8);
  LE32(s, 1);  // RLE8
  LE32(s, static_cast<std::uint32_t>(px.size()));
  for (std::uint32_t v : {2835u, 2835u, 256u, 0u}) LE32(s, v);
  for (int i = 0; i < 256; ++i) s += {static_cast<char>(i), static_cast<char>(255 - i), static_cast<char>(i), 0};
  return s + px;
}

// The palette entry i of the GIFs below.
Color GifColor(int i) { return RGB(i, 255 - i, i * 7 % 256); }

// A GIF whose LZW stream sends a clear code often enough that the codes stay
// nine bits wide. Only the first `coded` pixels are sent (all when -1).
Bytes Gif(std::int64_t w, std::int64_t h, const std::function<int(std::int64_t, std::int64_t)>& index, std::int64_t coded = -1) {
  Bytes s = "GIF89a";
  LE16(s, static_cast<std::uint32_t>(w));
  LE16(s, static_cast<std::uint32_t>(h));
  s += {static_cast<char>(0xf7), 0, 0};
  for (int i = 0; i < 256; ++i) {
    const Color c = GifColor(i);
    s += {static_cast<char>(c.red), static_cast<char>(c.green), static_cast<char>(c.blue)};
  }
  s += static_cast<char>(0x2c);
  for (std::uint32_t v : {0u, 0u, static_cast<std::uint32_t>(w), static_cast<std::uint32_t>(h)}) LE16(s, v);
  s += {0, 8};
  Bytes codes;
  std::uint32_t bits = 0;
  int count = 0;
  const auto put = [&](std::uint32_t code) {
    bits |= code << count;
    for (count += 9; count >= 8; count -= 8, bits >>= 8) codes += static_cast<char>(bits & 0xff);
  };
  put(256);
  const std::int64_t n = coded < 0 ? w * h : coded;
  for (std::int64_t i = 0, run = 0; i < n; ++i, ++run) {
    if (run == 250) {
      put(256);
      run = 0;
    }
    put(static_cast<std::uint32_t>(index(i % w, i / w)));
  }
  put(257);
  if (count > 0) codes += static_cast<char>(bits & 0xff);
  for (std::size_t at = 0; at < codes.size(); at += 255) {
    const std::size_t len = std::min<std::size_t>(255, codes.size() - at);
    s += static_cast<char>(len);
    s += codes.substr(at, len);
  }
  s += {0, 0x3b};
  return s;
}

// Uncompressed 8-bit RGB, the directory before the pixels.
Bytes Tiff(std::int64_t w, std::int64_t h, const PixelFunction& f, int orientation = 1) {
  const std::uint32_t kEntries = 10;
  const std::uint32_t bitsAt = 8 + 2 + kEntries * 12 + 4, dataAt = bitsAt + 6;
  const auto W = static_cast<std::uint32_t>(w), H = static_cast<std::uint32_t>(h);
  Bytes s = "II*";
  s += '\0';
  LE32(s, 8);
  LE16(s, kEntries);
  const auto entry = [&s](std::uint32_t tag, std::uint32_t type, std::uint32_t count, std::uint32_t value) {
    LE16(s, tag);
    LE16(s, type);
    LE32(s, count);
    if (type == 3 && count == 1) {
      LE16(s, value);
      LE16(s, 0);
    } else {
      LE32(s, value);
    }
  };
  entry(256, 4, 1, W);
  entry(257, 4, 1, H);
  entry(258, 3, 3, bitsAt);
  entry(259, 3, 1, 1);  // no compression
  entry(262, 3, 1, 2);  // RGB
  entry(273, 4, 1, dataAt);
  entry(274, 3, 1, static_cast<std::uint32_t>(orientation));
  entry(277, 3, 1, 3);
  entry(278, 4, 1, H);
  entry(279, 4, 1, W * H * 3);
  LE32(s, 0);
  for (int i = 0; i < 3; ++i) LE16(s, 8);
  for (std::int64_t y = 0; y < h; ++y)
    for (std::int64_t x = 0; x < w; ++x) {
      const Color c = f(x, y);
      s += {static_cast<char>(c.red), static_cast<char>(c.green), static_cast<char>(c.blue)};
    }
  return s;
}

// A lossless 16 x 12 WebP of WebpColor.
const unsigned char kWebp[] = {
    0x52, 0x49, 0x46, 0x46, 0x2a, 0x00, 0x00, 0x00, 0x57, 0x45, 0x42, 0x50, 0x56, 0x50, 0x38, 0x4c, 0x1e,
    0x00, 0x00, 0x00, 0x2f, 0x0f, 0xc0, 0x02, 0x00, 0x99, 0x8c, 0xe8, 0x7f, 0x6c, 0x22, 0xa2, 0xff, 0x01,
    0x21, 0x01, 0x61, 0x84, 0xff, 0x77, 0x35, 0x79, 0x20, 0x06, 0x30, 0x26, 0x00, 0xa9, 0xca, 0x2e,
};
Color WebpColor(std::int64_t x, std::int64_t y) { return RGB(static_cast<int>(x * 16), static_cast<int>(y * 20), 128); }
Bytes Webp() { return Bytes(reinterpret_cast<const char*>(kWebp), sizeof kWebp); }

const Bytes kPngSignature("\x89PNG\r\n\x1a\n", 8);

// A PNG-style chunk: length, type, data, CRC of type and data.
Bytes Chunk(const char* type, const Bytes& data) {
  Bytes s;
  BE32(s, static_cast<std::uint32_t>(data.size()));
  const Bytes body = type + data;
  s += body;
  BE32(s, Crc32(body, 0, body.size()));
  return s;
}

// A chunk header claiming `length` bytes, followed by only `data`.
Bytes ChunkClaiming(const char* type, std::uint32_t length, const Bytes& data) {
  Bytes s;
  BE32(s, length);
  return s + type + data;
}

Bytes Ihdr(std::uint32_t w, std::uint32_t h) {
  Bytes data;
  BE32(data, w);
  BE32(data, h);
  data += {8, 2, 0, 0, 0};  // 8-bit RGB
  return Chunk("IHDR", data);
}

// An icon directory of one image, stored as a PNG (as icons of 256 pixels are).
Bytes Ico(const Bytes& png, int w, int h) {
  Bytes s;
  for (std::uint32_t v : {0u, 1u, 1u}) LE16(s, v);
  s += {static_cast<char>(w & 0xff), static_cast<char>(h & 0xff), 0, 0};
  LE16(s, 1);
  LE16(s, 32);
  LE32(s, static_cast<std::uint32_t>(png.size()));
  LE32(s, 22);
  return s + png;
}

// An Apple icon file of one element of the type, holding a PNG.
Bytes Icns(const char* type, const Bytes& png) {
  Bytes s = "icns";
  BE32(s, static_cast<std::uint32_t>(16 + png.size()));
  s += type;
  BE32(s, static_cast<std::uint32_t>(8 + png.size()));
  return s + png;
}

// An MNG of one frame, the PNG's chunks between its header and its end.
Bytes Mng(const Bytes& png, std::uint32_t w, std::uint32_t h) {
  Bytes header;
  for (std::uint32_t v : {w, h, 1u, 1u, 1u, 1u, 0u}) BE32(header, v);  // ticks, layers, frames, time, simplicity
  Bytes s = Bytes("\x8aMNG\r\n\x1a\n", 8) + Chunk("MHDR", header);
  return s + png.substr(8) + Chunk("MEND", "");
}

// An APP1 segment recording an EXIF orientation, right after SOI.
Bytes WithOrientation(const Bytes& jpeg, int orientation) {
  Bytes tiff = "II*";
  tiff += '\0';
  LE32(tiff, 8);
  LE16(tiff, 1);
  LE16(tiff, 0x0112);
  LE16(tiff, 3);
  LE32(tiff, 1);
  LE16(tiff, static_cast<std::uint32_t>(orientation));
  LE16(tiff, 0);
  LE32(tiff, 0);
  Bytes app1 = "\xff\xe1";
  BE16(app1, static_cast<std::uint32_t>(2 + 6 + tiff.size()));
  app1 += Bytes("Exif\0\0", 6) + tiff;
  return jpeg.substr(0, 2) + app1 + jpeg.substr(2);
}

// A JPEG written by libjpeg, every component at full resolution: grey, RGB
// stored as YCbCr (progressive when asked), or CMYK stored inverted as Adobe
// writes it, with Adobe's marker.
Bytes JpegOfComponents(J_COLOR_SPACE space, std::int64_t w, std::int64_t h,
                       const std::function<std::vector<unsigned char>(std::int64_t, std::int64_t)>& pixel,
                       bool progressive = false) {
  jpeg_compress_struct cinfo;
  jpeg_error_mgr err;
  cinfo.err = jpeg_std_error(&err);
  jpeg_create_compress(&cinfo);
  unsigned char* out = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&cinfo, &out, &size);
  cinfo.image_width = static_cast<JDIMENSION>(w);
  cinfo.image_height = static_cast<JDIMENSION>(h);
  cinfo.input_components = space == JCS_GRAYSCALE ? 1 : (space == JCS_RGB ? 3 : 4);
  cinfo.in_color_space = space;
  jpeg_set_defaults(&cinfo);
  if (space != JCS_RGB) jpeg_set_colorspace(&cinfo, space);
  for (int c = 0; c < cinfo.num_components; ++c) cinfo.comp_info[c].h_samp_factor = cinfo.comp_info[c].v_samp_factor = 1;
  if (progressive) jpeg_simple_progression(&cinfo);
  jpeg_set_quality(&cinfo, 100, TRUE);
  jpeg_start_compress(&cinfo, TRUE);
  std::vector<unsigned char> row;
  for (std::int64_t y = 0; y < h; ++y) {
    row.clear();
    for (std::int64_t x = 0; x < w; ++x) {
      const std::vector<unsigned char> px = pixel(x, y);
      row.insert(row.end(), px.begin(), px.end());
    }
    JSAMPROW rows[1] = {row.data()};
    jpeg_write_scanlines(&cinfo, rows, 1);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  Bytes bytes(reinterpret_cast<const char*>(out), size);
  std::free(out);
  return bytes;
}

// A progressive JPEG of the picture: ten scans, each with its own tables.
Bytes ProgressiveJpeg(const Ref<Picture>& p) {
  const RGBSurface s = p->RGBSurface();
  return JpegOfComponents(JCS_RGB, p->Width(), p->Height(), [&](std::int64_t x, std::int64_t y) {
    const Color c = s.Pixel(x, y);
    return std::vector<unsigned char>{c.red, c.green, c.blue};
  }, true);
}

// Every marker of the file with its offset, up to the end marker: the scans'
// coded data (stuffed bytes, restart markers) skipped.
std::vector<std::pair<unsigned, std::size_t>> AllMarkers(const Bytes& jpeg) {
  std::vector<std::pair<unsigned, std::size_t>> found;
  std::size_t at = 2;
  while (at + 4 <= jpeg.size()) {
    const unsigned marker = U8(jpeg, at + 1);
    if (U8(jpeg, at) != 0xff || marker == 0x00 || marker == 0xff || (marker >= 0xd0 && marker <= 0xd7)) {
      ++at;
      continue;
    }
    if (marker == 0xd9) break;
    found.emplace_back(marker, at);
    at += 2 + GetBE16(jpeg, at + 2);
  }
  return found;
}

// Offsets of the file's scan headers, in order.
std::vector<std::size_t> Scans(const Bytes& jpeg) {
  std::vector<std::size_t> scans;
  for (const auto& [marker, at] : AllMarkers(jpeg))
    if (marker == 0xda) scans.push_back(at);
  return scans;
}

Bytes WithPngSize(Bytes png, std::uint32_t w, std::uint32_t h) {
  SetBE32(png, 16, w);
  SetBE32(png, 20, h);
  SetBE32(png, 29, Crc32(png, 12, 29));
  return png;
}

// --- The fixture: a fresh folder per test -------------------------------------

class Codec : public ::testing::Test {
 protected:
  void SetUp() override {
    char name[] = "/tmp/pixelmoth-codec-XXXXXX";
    ASSERT_NE(mkdtemp(name), nullptr);
    dir_ = name;
  }
  void TearDown() override {
    std::error_code ignored;
    for (const auto& e : fs::recursive_directory_iterator(dir_, ignored))
      fs::permissions(e.path(), fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::permissions(dir_, fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(dir_, ignored);
  }

  std::string Path(const std::string& name) const { return (dir_ / name).string(); }
  std::string Write(const std::string& name, const Bytes& bytes) const {
    std::ofstream(Path(name), std::ios::binary) << bytes;
    return Path(name);
  }
  static Bytes Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  static Ref<Picture> Open(const std::string& path) { return Picture::Open(FolderItem(path)); }
  Ref<Picture> OpenBytes(const std::string& name, const Bytes& bytes) const { return Open(Write(name, bytes)); }
  // The file Save writes.
  Bytes Saved(const Ref<Picture>& p, int format, const std::string& name = "saved") const {
    EXPECT_TRUE(p->Save(FolderItem(Path(name)), format, 100));
    return Read(Path(name));
  }
  Ref<Picture> RoundTrip(const Ref<Picture>& p, int format) const {
    return OpenBytes(format == Picture::SaveAsJPEG ? "trip.jpg" : "trip.png", Saved(p, format));
  }
  std::vector<std::string> Entries(const fs::path& folder) const {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(folder)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }

  fs::path dir_;
};

// --- Formats --------------------------------------------------------------------

TEST_F(Codec, EveryFormatDecodesToItsSizeAndPixels) {
  const auto gifIndex = [](std::int64_t x, std::int64_t y) { return static_cast<int>((x * 7 + y * 3) % 256); };
  const PixelFunction gifPixels = [&](std::int64_t x, std::int64_t y) { return GifColor(gifIndex(x, y)); };
  const struct {
    const char* name;
    Bytes bytes;
    std::int64_t w, h;
    PixelFunction pixels;
    bool alpha = false;
  } cases[] = {
      {"picture.bmp", Bmp(13, 7, Pattern), 13, 7, Pattern},
      {"picture.gif", Gif(21, 9, gifIndex), 21, 9, gifPixels},
      {"picture.tif", Tiff(9, 5, Pattern), 9, 5, Pattern},
      {"picture.webp", Webp(), 16, 12, WebpColor},
      {"picture.png", Saved(Opaque(MakePicture(11, 6, Pattern)), Picture::SaveAsPNG, "made.png"), 11, 6, Pattern},
      {"picture.ico", Ico(Saved(Opaque(MakePicture(24, 16, Pattern)), Picture::SaveAsPNG, "icon.png"), 24, 16), 24, 16,
       Pattern},
      {"picture.icns", Icns("ic07", Saved(Opaque(MakePicture(128, 128, Pattern)), Picture::SaveAsPNG, "icon.png")), 128,
       128, Pattern},
      {"picture.mng", Mng(Saved(Opaque(MakePicture(12, 10, Pattern)), Picture::SaveAsPNG, "frame.png"), 12, 10), 12, 10,
       Pattern, true},  // the reader gives every MNG an alpha channel
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Ref<Picture> p = OpenBytes(c.name, c.bytes);
    ASSERT_FALSE(p.IsNil());
    ASSERT_TRUE(p->IsDecoded());
    EXPECT_EQ(p->Width(), c.w);
    EXPECT_EQ(p->Height(), c.h);
    EXPECT_EQ(p->HasAlphaChannel(), c.alpha);
    EXPECT_TRUE(Shows(p, c.pixels));
  }
}

TEST_F(Codec, TheContentDecidesTheFormatNotTheName) {
  const Bytes bmp = Bmp(5, 4, Pattern);
  Ref<Picture> p = OpenBytes("misnamed.png", bmp);
  ASSERT_FALSE(p.IsNil());
  EXPECT_TRUE(Shows(p, Pattern));
  const Bytes jpeg = Saved(MakePicture(8, 8, Pattern), Picture::SaveAsJPEG);
  p = OpenBytes("misnamed.gif", jpeg);
  ASSERT_FALSE(p.IsNil());
  EXPECT_EQ(p->Width(), 8);
}

TEST_F(Codec, PngKeepsEveryPixelAndItsAlpha) {
  const PixelFunction f = [](std::int64_t x, std::int64_t y) {
    Color c = Pattern(x, y);
    c.alpha = static_cast<std::uint8_t>(x == 0 ? 255 : (x * 40 + y) % 255);  // 0 opaque ... 255 transparent
    return c;
  };
  Ref<Picture> p = RoundTrip(MakePicture(17, 9, f), Picture::SaveAsPNG);
  ASSERT_FALSE(p.IsNil());
  EXPECT_TRUE(p->HasAlphaChannel());
  // fully transparent pixels keep no colour in PNG; compare the rest
  EXPECT_TRUE(Shows(p, [&](std::int64_t x, std::int64_t y) {
    const Color c = f(x, y);
    return c.alpha == 255 ? p->RGBSurface().Pixel(x, y) : c;
  }));
}

// --- JPEG export --------------------------------------------------------------

TEST_F(Codec, JpegIsBaselineFourFourFourWithStandardTablesAtQualityHundred) {
  const Bytes jpeg = Saved(PhotoLikePicture(64, 48), Picture::SaveAsJPEG);
  ASSERT_NE(FindJpegMarker(jpeg, 0xc0), Bytes::npos) << "baseline frame";
  EXPECT_EQ(FindJpegMarker(jpeg, 0xc2), Bytes::npos) << "no progressive frame";
  const std::size_t sof = FindJpegMarker(jpeg, 0xc0);
  ASSERT_EQ(U8(jpeg, sof + 9), 3u);
  for (std::size_t c = 0; c < 3; ++c) EXPECT_EQ(U8(jpeg, sof + 11 + 3 * c), 0x11u) << "component " << c << " sampling";

  int quantTables = 0;
  const Bytes dcLuminance("\x00\x01\x05\x01\x01\x01\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00", 16);
  bool sawDcLuminance = false;
  for (const auto& [marker, at] : JpegMarkers(jpeg)) {
    const std::size_t end = at + 2 + GetBE16(jpeg, at + 2);
    if (marker == 0xdb) {  // quality 100: every quantiser is 1
      for (std::size_t t = at + 4; t < end; t += 65, ++quantTables)
        for (std::size_t i = 1; i <= 64; ++i) ASSERT_EQ(U8(jpeg, t + i), 1u);
    }
    if (marker == 0xc4 && U8(jpeg, at + 4) == 0x00) {  // the standard DC luminance code lengths
      EXPECT_EQ(jpeg.substr(at + 5, 16), dcLuminance);
      sawDcLuminance = true;
    }
  }
  EXPECT_EQ(quantTables, 2);
  EXPECT_TRUE(sawDcLuminance);
}

TEST_F(Codec, JpegRoundTripOfAPhotoIsNearlyLossless) {
  Ref<Picture> photo = PhotoLikePicture(640, 480);
  Ref<Picture> back = RoundTrip(photo, Picture::SaveAsJPEG);
  ASSERT_FALSE(back.IsNil());
  EXPECT_FALSE(back->HasAlphaChannel());
  ASSERT_EQ(back->Width(), 640);
  ASSERT_EQ(back->Height(), 480);
  EXPECT_GE(Psnr(photo, back), 45.0);
  EXPECT_EQ(back->RGBSurface().Pixel(100, 100).alpha, 0);
}

// Grey pictures and CMYK ones (inverted, as Adobe writes them) come out as
// the RGB a viewer shows, opaque and without an alpha channel.
TEST_F(Codec, GreyAndCmykJpegsDecodeToRgb) {
  const std::int64_t w = 32, h = 16;
  // Blocks of 8 x 8, so that each holds one flat value.
  const auto grey = [](std::int64_t x, std::int64_t y) { return static_cast<unsigned char>(x / 8 * 60 + y / 8 * 20); };
  const unsigned char cmyk[4][4] = {{255, 0, 255, 255}, {200, 100, 50, 128}, {0, 0, 0, 255}, {255, 255, 255, 60}};
  const Color cmykShown[4] = {RGB(255, 0, 255), RGB(100, 50, 25), RGB(0, 0, 0), RGB(60, 60, 60)};
  const struct {
    const char* name;
    Bytes bytes;
    PixelFunction shown;
  } cases[] = {
      {"grey.jpg",
       JpegOfComponents(JCS_GRAYSCALE, w, h, [&](std::int64_t x, std::int64_t y) { return std::vector<unsigned char>{grey(x, y)}; }),
       [&](std::int64_t x, std::int64_t y) { return RGB(grey(x, y), grey(x, y), grey(x, y)); }},
      {"cmyk.jpg",
       JpegOfComponents(JCS_CMYK, w, h,
                        [&](std::int64_t x, std::int64_t) {
                          const unsigned char* c = cmyk[x / 8];
                          return std::vector<unsigned char>{c[0], c[1], c[2], c[3]};
                        }),
       [&](std::int64_t x, std::int64_t) { return cmykShown[x / 8]; }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Ref<Picture> p = OpenBytes(c.name, c.bytes);
    ASSERT_FALSE(p.IsNil());
    ASSERT_EQ(p->Width(), w);
    ASSERT_EQ(p->Height(), h);
    EXPECT_FALSE(p->HasAlphaChannel());
    for (std::int64_t y = 4; y < h; y += 8)
      for (std::int64_t x = 4; x < w; x += 8) EXPECT_TRUE(Near(p->RGBSurface().Pixel(x, y), c.shown(x, y), 2)) << x << ", " << y;
  }
}

// Subsampled chroma would spread each coloured stripe over its black neighbour.
TEST_F(Codec, OnePixelStripesKeepTheirColours) {
  const Color colours[] = {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255), RGB(255, 0, 255)};
  const PixelFunction stripes = [&](std::int64_t x, std::int64_t) { return x % 2 ? RGB(0, 0, 0) : colours[x / 2 % 4]; };
  Ref<Picture> picture = MakePicture(64, 32, stripes);
  Ref<Picture> back = RoundTrip(picture, Picture::SaveAsJPEG);
  ASSERT_FALSE(back.IsNil());
  EXPECT_GE(Psnr(picture, back), 45.0);
  RGBSurface s = back->RGBSurface();
  for (std::int64_t x = 0; x < 64; ++x) EXPECT_TRUE(Near(s.Pixel(x, 16), stripes(x, 16), 24)) << "column " << x;
}

TEST_F(Codec, JpegFlattensTransparencyOntoWhite) {
  Ref<Picture> picture = MakePicture(32, 16, [](std::int64_t x, std::int64_t) {
    return x < 16 ? RGB(255, 0, 0, 255)   // fully transparent red: white
                  : RGB(0, 0, 0, 128);    // half transparent black: grey
  });
  Ref<Picture> back = RoundTrip(picture, Picture::SaveAsJPEG);
  ASSERT_FALSE(back.IsNil());
  EXPECT_TRUE(Near(back->RGBSurface().Pixel(4, 8), RGB(255, 255, 255), 2));
  EXPECT_TRUE(Near(back->RGBSurface().Pixel(28, 8), RGB(127, 127, 127), 3));
}

// Rows with and without transparency: the file is byte for byte the one
// written from the same picture flattened onto white beforehand, by the
// straightforward rounding of source-over.
TEST_F(Codec, JpegOfTransparentRowsIsTheJpegOfThemFlattened) {
  const std::int64_t w = 40, h = 24;
  const PixelFunction f = [](std::int64_t x, std::int64_t y) {
    Color c = Pattern(x, y);
    if (y % 3 == 1) c.alpha = static_cast<std::uint8_t>((x * 29 + y * 7) % 256);
    if (y % 3 == 2 && x == w - 1) c.alpha = 200;  // one pixel at the row's very end
    return c;
  };
  const PixelFunction flattened = [&](std::int64_t x, std::int64_t y) {
    const Color c = f(x, y);
    const auto onWhite = [&](int v) {
      return static_cast<int>(std::lround((v * (255.0 - c.alpha) + 255.0 * c.alpha) / 255.0));
    };
    return RGB(onWhite(c.red), onWhite(c.green), onWhite(c.blue));
  };
  EXPECT_EQ(Saved(MakePicture(w, h, f), Picture::SaveAsJPEG, "transparent.jpg"),
            Saved(MakePicture(w, h, flattened), Picture::SaveAsJPEG, "flattened.jpg"));
}

TEST_F(Codec, ANameEndingInPngStillGetsJpegData) {
  const Bytes written = Saved(MakePicture(8, 8, Pattern), Picture::SaveAsJPEG, "picture.png");
  EXPECT_EQ(written.substr(0, 3), "\xff\xd8\xff");
  EXPECT_EQ(written.substr(written.size() - 2), "\xff\xd9");
}

// --- Orientation -----------------------------------------------------------------

// Where the pixel stored at (x, y) of a w x h picture is shown, for each EXIF
// orientation, as the standard defines them.
std::pair<std::int64_t, std::int64_t> Shown(int orientation, std::int64_t x, std::int64_t y, std::int64_t w, std::int64_t h) {
  switch (orientation) {
    case 2: return {w - 1 - x, y};          // mirrored
    case 3: return {w - 1 - x, h - 1 - y};  // half turn
    case 4: return {x, h - 1 - y};          // flipped
    case 5: return {y, x};                  // transposed
    case 6: return {h - 1 - y, x};          // quarter turn clockwise
    case 7: return {h - 1 - y, w - 1 - x};  // transversed
    case 8: return {y, w - 1 - x};          // quarter turn anticlockwise
    default: return {x, y};
  }
}

TEST_F(Codec, JpegOrientationIsAppliedAsViewersShowIt) {
  // quadrants of one colour each, on whole 8 x 8 blocks
  const Color quadrant[2][2] = {{RGB(255, 0, 0), RGB(0, 255, 0)}, {RGB(0, 0, 255), RGB(255, 255, 0)}};
  const std::int64_t w = 32, h = 16;
  const Bytes plain = Saved(MakePicture(w, h, [&](std::int64_t x, std::int64_t y) { return quadrant[y / 8][x / 16]; }),
                            Picture::SaveAsJPEG);
  for (int orientation = 1; orientation <= 8; ++orientation) {
    SCOPED_TRACE(orientation);
    Ref<Picture> p = OpenBytes("oriented.jpg", WithOrientation(plain, orientation));
    ASSERT_FALSE(p.IsNil());
    const bool turned = orientation >= 5;
    EXPECT_EQ(p->Width(), turned ? h : w);
    EXPECT_EQ(p->Height(), turned ? w : h);
    for (std::int64_t qy = 0; qy < 2; ++qy)
      for (std::int64_t qx = 0; qx < 2; ++qx) {
        const auto [sx, sy] = Shown(orientation, qx * 16 + 8, qy * 8 + 4, w, h);
        EXPECT_TRUE(Near(p->RGBSurface().Pixel(sx, sy), quadrant[qy][qx], 8)) << "quadrant " << qx << ", " << qy;
      }
  }
}

TEST_F(Codec, OrientationOfOtherFormatsIsAppliedToo) {
  Ref<Picture> p = OpenBytes("turned.tif", Tiff(6, 4, Pattern, 6));
  ASSERT_FALSE(p.IsNil());
  ASSERT_EQ(p->Width(), 4);
  ASSERT_EQ(p->Height(), 6);
  for (std::int64_t y = 0; y < 4; ++y)
    for (std::int64_t x = 0; x < 6; ++x) {
      const auto [sx, sy] = Shown(6, x, y, 6, 4);
      EXPECT_EQ(p->RGBSurface().Pixel(sx, sy), Pattern(x, y));
    }
}

// --- Size limits ------------------------------------------------------------------

// Headers claiming 60000 x 60000 in files of a few hundred bytes: measured,
// never decoded.
TEST_F(Codec, AHugeDeclaredSizeGivesAnUndecodedPictureOfThatSize) {
  Bytes gif = Gif(4, 4, [](std::int64_t, std::int64_t) { return 1; });
  SetLE16(gif, 6, 60000);
  SetLE16(gif, 8, 60000);
  SetLE16(gif, 13 + 768 + 5, 60000);
  SetLE16(gif, 13 + 768 + 7, 60000);
  Bytes bmp = Bmp(4, 4, Pattern);
  // the toolkit's BMP reader refuses more than 16384 x 16384 pixels outright
  SetLE32(bmp, 18, 60000);
  SetLE32(bmp, 22, 100);
  Bytes tiff = Tiff(4, 4, Pattern);
  SetLE32(tiff, 8 + 2 + 8, 60000);
  SetLE32(tiff, 8 + 2 + 12 + 8, 60000);
  const Bytes jpeg = Saved(MakePicture(16, 16, Pattern), Picture::SaveAsJPEG, "small.jpg");
  const Bytes png = Saved(MakePicture(16, 16, Pattern), Picture::SaveAsPNG, "small.png");
  const auto solid = [](std::int64_t w, std::int64_t h) { return SolidPicture(w, h, RGB(90, 120, 150)); };
  const struct {
    const char* name;
    Bytes bytes;
    std::int64_t w, h;
  } cases[] = {
      {"huge.png", WithPngSize(png, 60000, 60000), 60000, 60000},
      {"wide.png", WithPngSize(png, 6001, 100), 6001, 100},
      {"huge.jpg", WithJpegSize(jpeg, 60000, 60000), 60000, 60000},
      {"tall.jpg", WithJpegSize(jpeg, 100, 6001), 100, 6001},
      {"turned.jpg", WithOrientation(WithJpegSize(jpeg, 60000, 100), 6), 100, 60000},  // as shown
      {"huge.gif", gif, 60000, 60000},
      {"wide.bmp", bmp, 60000, 100},
      {"huge.tif", tiff, 60000, 60000},
      // HEIC and AVIF as their container declares them, the coded data zeroed: a decode would fail
      {"wide.heic", WithoutCodedData(HeifFile(solid(6001, 100), HeifKind{})), 6001, 100},
      {"tall.avif", WithoutCodedData(HeifFile(solid(100, 6001), HeifKind{HeifKind::Codec::Av1})), 100, 6001},
      {"turned.heic", WithoutCodedData(HeifFile(solid(6001, 100), HeifKind{}, 6)), 100, 6001},
      {"huge.heic", WithDeclaredSize(HeifFile(solid(128, 128), HeifKind{}), 60000, 60000), 60000, 60000},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Ref<Picture> p = OpenBytes(c.name, c.bytes);
    ASSERT_FALSE(p.IsNil());
    EXPECT_FALSE(p->IsDecoded());
    EXPECT_EQ(p->Width(), c.w);
    EXPECT_EQ(p->Height(), c.h);
  }
}

// A picture that large really takes gigabytes: the file is refused for the
// size its header declares, not for its own length, and never read whole.
TEST_F(Codec, AHugeFileIsMeasuredBeforeItsLengthIsJudged) {
  const std::string path =
      Write("huge.png", WithPngSize(Saved(MakePicture(16, 16, Pattern), Picture::SaveAsPNG, "small.png"), 60000, 60000));
  fs::resize_file(path, std::uintmax_t{3} << 30);  // sparse: no disk taken
  Ref<Picture> p = Open(path);
  ASSERT_FALSE(p.IsNil());
  EXPECT_FALSE(p->IsDecoded());
  EXPECT_EQ(p->Width(), 60000);
  EXPECT_EQ(p->Height(), 60000);
}

TEST_F(Codec, TheLargestAllowedPictureDecodes) {
  Ref<Picture> big = MakePicture(6000, 6000, [](std::int64_t x, std::int64_t y) { return RGB(x < 3000 ? 200 : 20, y < 3000 ? 30 : 220, 90); });
  for (int format : {Picture::SaveAsJPEG, Picture::SaveAsPNG}) {
    SCOPED_TRACE(format);
    Ref<Picture> p = RoundTrip(big, format);
    ASSERT_FALSE(p.IsNil());
    ASSERT_TRUE(p->IsDecoded());
    EXPECT_EQ(p->Width(), 6000);
    EXPECT_EQ(p->Height(), 6000);
    EXPECT_TRUE(Near(p->RGBSurface().Pixel(5990, 10), RGB(20, 30, 90), 2));
    EXPECT_TRUE(Near(p->RGBSurface().Pixel(10, 5990), RGB(200, 220, 90), 2));
  }
}

// --- Files that are no pictures ---------------------------------------------------

// Each cut of a file at a point inside its picture data.
std::vector<std::size_t> Cuts(std::size_t size) {
  return {1, 8, size / 5, size / 2, size * 9 / 10, size - 2, size - 1};
}

TEST_F(Codec, TruncatedFilesGiveNil) {
  const Bytes png = Saved(PhotoLikePicture(64, 48), Picture::SaveAsPNG, "whole.png");
  const Bytes gif = Gif(40, 30, [](std::int64_t x, std::int64_t y) { return static_cast<int>((x * y) % 256); });
  const Bytes bmp = Bmp(20, 10, Pattern), rle = BmpRle8(16, 8), tiff = Tiff(20, 10, Pattern), webp = Webp();
  const struct {
    const char* name;
    Bytes bytes;
    std::vector<std::size_t> cuts;
  } cases[] = {
      {"cut.png", png, Cuts(png.size())},
      // a GIF's last two bytes are the end of its blocks and the trailer
      {"cut.gif", gif, {1, 8, 13 + 768 + 5, gif.size() / 5, gif.size() / 2, gif.size() * 9 / 10, gif.size() - 3}},
      {"cut.bmp", bmp, Cuts(bmp.size())},
      // complete once every row has ended, even without the end-of-bitmap code
      {"rle.bmp", rle, {1, 8, rle.size() / 2, rle.size() - 5}},
      {"cut.tif", tiff, Cuts(tiff.size())},
      {"cut.webp", webp, Cuts(webp.size())},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_FALSE(OpenBytes(c.name, c.bytes).IsNil()) << "the whole file opens";
    for (std::size_t cut : c.cuts) EXPECT_TRUE(OpenBytes(c.name, c.bytes.substr(0, cut)).IsNil()) << "cut at " << cut;
  }
}

TEST_F(Codec, CorruptFilesGiveNil) {
  Bytes png = Saved(PhotoLikePicture(64, 48), Picture::SaveAsPNG, "whole.png");
  Bytes badCrc = png;
  badCrc[png.size() / 2] = static_cast<char>(badCrc[png.size() / 2] ^ 0x5a);

  const auto index = [](std::int64_t x, std::int64_t y) { return static_cast<int>((x + y) % 256); };
  const struct {
    const char* name;
    Bytes bytes;
  } cases[] = {
      {"crc.png", badCrc},
      {"early.gif", Gif(40, 30, index, 600)},  // its LZW data ends after half the pixels
      {"empty.png", ""},
      {"empty.jpg", ""},
      {"noise.jpg", Noise(5000, 1)},
      {"noise", Noise(5000, 2)},
      {"text.png", "This is not a picture.\n"},
      {"png-signature.png", Bytes("\x89PNG\r\n\x1a\n", 8) + Noise(500, 4)},
      {"gif-signature.gif", "GIF89a" + Noise(500, 5)},
      {"bmp-signature.bmp", "BM" + Noise(500, 6)},
      {"tiff-signature.tif", Bytes("II*\0", 4) + Noise(500, 7)},
      {"webp-signature.webp", Bytes("RIFF\x20\x00\x00\x00WEBPVP8L", 16) + Noise(500, 8)},
  };
  for (const auto& c : cases) EXPECT_TRUE(OpenBytes(c.name, c.bytes).IsNil()) << c.name;
}

// Cameras pad between segments; the picture itself is whole.
TEST_F(Codec, PaddingBeforeAMarkerStillOpens) {
  const Bytes jpeg = Saved(PhotoLikePicture(64, 48), Picture::SaveAsJPEG, "whole.jpg");
  Bytes padded = jpeg;
  padded.insert(jpeg.size() - 2, Bytes(7, '\0'));
  const Ref<Picture> whole = OpenBytes("whole.jpg", jpeg);
  const Ref<Picture> opened = OpenBytes("padded.jpg", padded);
  ASSERT_FALSE(opened.IsNil());
  EXPECT_TRUE(SamePixels(whole, opened));
}

// --- Databent JPEGs: cut short or with damaged scan data -------------------------

// Opens the file twice, its pixel buffers filled first with 0x00 and then with
// 0xff: a pixel that the decoder never wrote differs between the two.
struct OpenedTwice {
  Ref<Picture> zeros, ones;
};

class DamagedJpeg : public Codec {
 protected:
  void TearDown() override {
    TestSeams::PrefillDecodeBuffers(std::nullopt);
    Codec::TearDown();
  }
  OpenedTwice OpenTwice(const std::string& name, const Bytes& bytes) const {
    const std::string path = Write(name, bytes);
    TestSeams::PrefillDecodeBuffers(0x00);
    OpenedTwice o{Open(path), nullptr};
    TestSeams::PrefillDecodeBuffers(0xff);
    o.ones = Open(path);
    TestSeams::PrefillDecodeBuffers(std::nullopt);
    return o;
  }
};

Bytes Inserted(Bytes b, std::size_t at, const Bytes& what) { return b.insert(at, what); }

Bytes Overwritten(Bytes b, std::size_t at, const Bytes& what) { return b.replace(at, what.size(), what); }

// The picture is whatever the decoder makes of the file; only a file from
// which it gets no frame header or no scan is no picture.
TEST_F(DamagedJpeg, OpensAsFarAsTheDecoderGetsWithEveryPixelWritten) {
  const Bytes base = Saved(PhotoLikePicture(64, 48), Picture::SaveAsJPEG, "whole.jpg");
  const std::size_t sof = FindJpegMarker(base, 0xc0), scan = FindJpegMarker(base, 0xda);
  ASSERT_NE(sof, Bytes::npos);
  ASSERT_NE(scan, Bytes::npos);
  const std::size_t data = JpegScanData(base, scan), mid = (data + base.size()) / 2;

  const Bytes prog = ProgressiveJpeg(PhotoLikePicture(64, 48));
  const std::vector<std::size_t> scans = Scans(prog);
  ASSERT_EQ(scans.size(), 10u);
  Bytes manyScans = prog.substr(0, prog.size() - 2);  // without its end marker
  const Bytes lastScanHeader = prog.substr(scans.back(), JpegScanData(prog, scans.back()) - scans.back());
  for (int i = 0; i < 600; ++i) manyScans += lastScanHeader;

  const struct {
    const char* name;
    Bytes bytes;
    bool opens;
  } cases[] = {
      {"start marker only", base.substr(0, 2), false},
      {"cut inside the frame header", base.substr(0, sof + 6), false},
      {"cut after the frame header, before the scan", base.substr(0, scan), false},
      {"cut inside the scan header", base.substr(0, scan + 6), false},
      {"cut right after the scan header", base.substr(0, data), true},
      {"cut a fifth into the scan", base.substr(0, data + (base.size() - data) / 5), true},
      {"cut mid-scan", base.substr(0, mid), true},
      {"one byte short of the end marker", base.substr(0, base.size() - 1), true},
      {"no end marker", base.substr(0, base.size() - 2), true},
      {"scan bytes overwritten", Overwritten(base, mid, Noise(40, 9)), true},
      {"scan data all noise", base.substr(0, data) + Noise(2000, 3), true},
      {"restart marker inside the scan", Inserted(base, mid, "\xff\xd0"), true},
      {"end marker inside the scan", Inserted(base, mid, "\xff\xd9"), true},
      {"start marker inside the scan", Inserted(base, mid, "\xff\xd8"), true},
      {"frame header marker inside the scan", Inserted(base, mid, "\xff\xc0"), true},
      {"table marker inside the scan", Inserted(base, mid, "\xff\xc4\x00\x05\x10\x01\x02"), true},
      {"scan marker inside the scan", Inserted(base, mid, "\xff\xda"), true},
      {"progressive, cut inside its first scan header", prog.substr(0, scans[0] + 6), false},
      {"progressive, cut after its first scan", prog.substr(0, scans[1]), true},
      {"progressive, cut mid-file", prog.substr(0, prog.size() / 2), true},
      {"progressive, cut inside the tables before a scan", prog.substr(0, scans[4] - 20), true},
      {"progressive, a scan header naming no component", Overwritten(prog, scans[5] + 5, "\x09"), true},
      {"progressive, more scans than any encoder writes", manyScans, true},
      {"turned a quarter and cut mid-scan", WithOrientation(base.substr(0, mid), 6), true},
      {"noise after the start marker", "\xff\xd8\xff" + Noise(3000, 11), false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const OpenedTwice o = OpenTwice("damaged.jpg", c.bytes);
    if (!c.opens) {
      EXPECT_TRUE(o.zeros.IsNil());
      EXPECT_TRUE(o.ones.IsNil());
      continue;
    }
    ASSERT_FALSE(o.zeros.IsNil());
    ASSERT_FALSE(o.ones.IsNil());
    ASSERT_TRUE(o.zeros->IsDecoded());
    const bool turned = c.bytes.find("Exif") != Bytes::npos;
    EXPECT_EQ(o.zeros->Width(), turned ? 48 : 64);
    EXPECT_EQ(o.zeros->Height(), turned ? 64 : 48);
    EXPECT_FALSE(o.zeros->HasAlphaChannel());
    EXPECT_TRUE(SamePixels(o.zeros, o.ones)) << "pixels the decoder never wrote";
  }
}

// Zero coefficients for what the file does not give: mid-grey where a
// sequential scan was cut, the picture's coarse version where a progressive
// file ends after its first scan.
TEST_F(DamagedJpeg, WhatTheFileDoesNotGiveIsFilledByTheDecoder) {
  const Ref<Picture> photo = PhotoLikePicture(64, 48);
  const Bytes base = Saved(photo, Picture::SaveAsJPEG, "whole.jpg");
  const std::size_t data = JpegScanData(base, FindJpegMarker(base, 0xda));
  const Ref<Picture> whole = OpenBytes("whole.jpg", base);
  const Ref<Picture> cut = OpenBytes("cut.jpg", base.substr(0, (data + base.size()) / 2));
  ASSERT_FALSE(whole.IsNil());
  ASSERT_FALSE(cut.IsNil());
  const RGBSurface w = whole->RGBSurface(), c = cut->RGBSurface();
  for (std::int64_t x = 0; x < 64; ++x) {
    for (std::int64_t y = 0; y < 8; ++y) ASSERT_EQ(c.Pixel(x, y), w.Pixel(x, y)) << x << "," << y << ": before the cut";
    for (std::int64_t y = 40; y < 48; ++y) ASSERT_EQ(c.Pixel(x, y), RGB(128, 128, 128)) << x << "," << y << ": after it";
  }

  // A smooth picture, whose coarse version is close to it.
  const Ref<Picture> smooth = MakePicture(64, 48, [](std::int64_t x, std::int64_t y) {
    return RGB(static_cast<int>(x * 4), static_cast<int>(y * 5), static_cast<int>(255 - x * 2 - y));
  });
  const Bytes prog = ProgressiveJpeg(smooth);
  const Ref<Picture> coarse = OpenBytes("coarse.jpg", prog.substr(0, Scans(prog)[1]));
  ASSERT_FALSE(coarse.IsNil());
  EXPECT_GT(Psnr(smooth, coarse), 30.0) << "the picture, coarse (mid-grey would be 12 dB)";
  EXPECT_LT(Psnr(smooth, coarse), Psnr(smooth, OpenBytes("all.jpg", prog)) - 6) << "from the first scan only";
}

// A damaged segment between two scans stops the decoder with an error: the
// picture is then what the scans before it give, as if the file ended there.
TEST_F(DamagedJpeg, ADamagedSegmentBetweenScansEndsThePictureThere) {
  const Bytes prog = ProgressiveJpeg(PhotoLikePicture(64, 48));
  const std::vector<std::pair<unsigned, std::size_t>> markers = AllMarkers(prog);
  const std::vector<std::size_t> scans = Scans(prog);
  ASSERT_GE(scans.size(), 6u);
  // The segments between the end of scan 4's data and scan 5's header.
  std::size_t firstAfter = scans[4];
  for (const auto& [marker, at] : markers)
    if (at > scans[3] && at < firstAfter) firstAfter = at;
  const Ref<Picture> endsBefore = OpenBytes("ends.jpg", prog.substr(0, firstAfter));
  ASSERT_FALSE(endsBefore.IsNil());
  const Bytes tables = "\xff\xc4\x00\x13\x10" + Bytes(16, '\x7f');  // counts of more than 256 codes
  const struct {
    const char* name;
    Bytes bytes;
  } cases[] = {
      {"cut inside the tables", prog.substr(0, (firstAfter + scans[4]) / 2)},
      {"a table that cannot be", Inserted(prog, firstAfter, tables)},
      {"a scan header naming no component", Overwritten(prog, scans[4] + 5, "\x09")},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const Ref<Picture> p = OpenBytes("damaged.jpg", c.bytes);
    ASSERT_FALSE(p.IsNil());
    EXPECT_TRUE(SamePixels(p, endsBefore));
  }
}

TEST_F(Codec, FoldersMissingAndUnreadableFilesGiveNil) {
  fs::create_directory(Path("folder.jpg"));
  EXPECT_TRUE(Open(Path("folder.jpg")).IsNil());
  EXPECT_TRUE(Open(Path("missing.jpg")).IsNil());
  EXPECT_TRUE(Open("").IsNil());
  const std::string locked = Write("locked.jpg", Saved(MakePicture(8, 8, Pattern), Picture::SaveAsJPEG));
  chmod(locked.c_str(), 0);
  chmod(dir_.c_str(), 0755);  // only the file's own permissions keep it from being read
  Unprivileged user;
  if (!user.Effective()) GTEST_SKIP() << "runs as root and cannot give up its rights here";
  EXPECT_TRUE(Open(locked).IsNil());
}

// --- Lengths the file cannot back ---------------------------------------------------

// The process's resident memory and its peak since the last reset, in kB.
long StatusKb(const char* field) {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);)
    if (line.rfind(field, 0) == 0) return std::atol(line.c_str() + std::string(field).size());
  return -1;
}

// How far the peak resident memory rose above what was resident before
// `step` ran, in kB.
long PeakRiseKb(const std::function<void()>& step) {
  std::ofstream("/proc/self/clear_refs") << "5";  // the peak starts again from what is resident
  const long before = StatusKb("VmRSS:");
  EXPECT_LE(StatusKb("VmHWM:") - before, 1024) << "the peak could not be reset";
  step();
  return StatusKb("VmHWM:") - before;
}

constexpr long kFewMegabytesKb = 4 * 1024;

// A part of each file claims far more bytes than the file has: refused
// before any reader allocates by it. The PNG is the 44-byte file whose text
// chunk made the toolkit's reader take 2 GB.
TEST_F(Codec, APartClaimingMoreThanTheFileHoldsIsRefusedAtNoCost) {
  constexpr std::uint32_t kHuge = 0x7ffffff0;
  const Bytes png = Saved(Opaque(MakePicture(16, 16, Pattern)), Picture::SaveAsPNG, "small.png");
  const Bytes textPng = kPngSignature + Ihdr(100, 100) + ChunkClaiming("tEXt", 0x7fffffff, "Pix");
  ASSERT_EQ(textPng.size(), 44u);
  const Bytes heic = HeifFile(MakePicture(64, 64, Pattern), HeifKind{});
  Bytes webpChunk = Webp(), webpRiff = Webp(), tiffStrip = Tiff(20, 10, Pattern), tiffIfd = Tiff(20, 10, Pattern),
        bmp = Bmp(13, 7, Pattern), icoEntry = Ico(png, 16, 16), icnsElement = Icns("ic07", png),
        icnsLength = Icns("ic07", png), heicBox = heic;
  SetLE32(webpChunk, 16, kHuge);              // the VP8L chunk
  SetLE32(webpRiff, 4, kHuge);                // the RIFF container
  SetLE32(tiffStrip, 8 + 2 + 9 * 12 + 8, kHuge);  // the strip's byte count
  SetLE32(tiffIfd, 4, kHuge);                 // where the directory is
  SetLE32(bmp, 10, kHuge);                    // where the pixels are
  SetLE32(icoEntry, 6 + 8, kHuge);            // the image's size in the directory
  SetBE32(icnsElement, 12, kHuge);            // the element's length
  SetBE32(icnsLength, 4, kHuge);              // the file's length
  const std::size_t mdat = BoxesOfType(heic, "mdat").at(0);
  SetBE32(heicBox, mdat, static_cast<std::uint32_t>(heic.size() - mdat + 1));
  Bytes jpeg = Saved(MakePicture(16, 16, Pattern), Picture::SaveAsJPEG, "small.jpg");
  jpeg.insert(2, "\xff\xe1\xff\xf0" + Bytes(10, 'x'));  // an APP1 segment of 65520 bytes before the scan
  const struct {
    const char* name;
    Bytes bytes;
  } cases[] = {
      {"text.png", textPng},
      {"iccp.png", kPngSignature + Ihdr(100, 100) + ChunkClaiming("iCCP", 0x7fffffff, "Pix")},
      {"ztxt.png", kPngSignature + Ihdr(100, 100) + ChunkClaiming("zTXt", 0x7fffffff, "Pix")},
      {"idat.png", kPngSignature + Ihdr(100, 100) + ChunkClaiming("IDAT", 0x7fffffff, "Pix")},
      {"chunk.mng", Mng(png, 16, 16).substr(0, 8) + ChunkClaiming("MHDR", 0x7fffffff, "Pix")},
      {"chunk.webp", webpChunk},
      {"riff.webp", webpRiff},
      {"strip.tif", tiffStrip},
      {"directory.tif", tiffIfd},
      {"pixels.bmp", bmp},
      {"entry.ico", icoEntry},
      {"text-inside.ico", Ico(textPng, 100, 100)},
      {"element.icns", icnsElement},
      {"length.icns", icnsLength},
      {"text-inside.icns", Icns("ic07", textPng)},
      {"segment.jpg", jpeg},
      {"box.heic", heicBox},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = Write(c.name, c.bytes);
    bool refused = false;
    EXPECT_LT(PeakRiseKb([&] { refused = Open(path).IsNil(); }), kFewMegabytesKb);
    EXPECT_TRUE(refused);
  }
}

// --- HEIC and AVIF ----------------------------------------------------------------

// Every kind libheif's encoders write (libaom writes no 10-bit alpha).
const HeifKind kHeifKinds[] = {
    {HeifKind::Codec::Hevc, 8, false}, {HeifKind::Codec::Hevc, 8, true}, {HeifKind::Codec::Hevc, 10, false},
    {HeifKind::Codec::Hevc, 10, true}, {HeifKind::Codec::Av1, 8, false},  {HeifKind::Codec::Av1, 8, true},
    {HeifKind::Codec::Av1, 10, false},
};

std::string HeifName(HeifKind kind) { return kind.codec == HeifKind::Codec::Hevc ? "picture.heic" : "picture.avif"; }

::testing::AssertionResult NearWithAlpha(Color got, Color want, int tolerance) {
  const int d = std::max({std::abs(got.red - want.red), std::abs(got.green - want.green),
                          std::abs(got.blue - want.blue), std::abs(got.alpha - want.alpha)});
  if (d <= tolerance) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << int(got.red) << "," << int(got.green) << "," << int(got.blue) << ","
                                       << int(got.alpha) << " is not near " << int(want.red) << "," << int(want.green)
                                       << "," << int(want.blue) << "," << int(want.alpha);
}

// A mirror recorded on a picture of more than 8 bits: libheif mirrors only
// 8-bit pictures, and turns their alpha even when told not to.
bool LibheifCannotMirror(HeifKind kind, int orientation) {
  return kind.bits > 8 && kind.alpha && (orientation == 2 || orientation == 4 || orientation == 5 || orientation == 7);
}

// Quadrants of one colour and one transparency each, at all eight recorded
// orientations: shown as viewers show them, alpha kept where the file has it,
// ten bits reduced to eight. libheif turns 8-bit pictures itself; 10-bit ones
// with a mirror are turned after their decoding.
TEST_F(Codec, HeifIsShownAsRecordedWithItsAlpha) {
  const std::int64_t w = 96, h = 48;  // HEVC pads 48: libheif stores the picture as a one-tile grid
  const Color quadrant[2][2] = {{RGB(230, 30, 30, 0), RGB(30, 230, 30, 128)},
                                {RGB(30, 30, 230, 255), RGB(230, 230, 30, 60)}};
  const Ref<Picture> source = MakePicture(w, h, [&](std::int64_t x, std::int64_t y) { return quadrant[y * 2 / h][x * 2 / w]; });
  for (const HeifKind& kind : kHeifKinds) {
    for (int orientation = 1; orientation <= 8; ++orientation) {
      if (LibheifCannotMirror(kind, orientation)) continue;
      SCOPED_TRACE(std::string(kind.Name()) + ", orientation " + std::to_string(orientation));
      Ref<Picture> p = OpenBytes(HeifName(kind), HeifFile(source, kind, orientation));
      ASSERT_FALSE(p.IsNil());
      ASSERT_TRUE(p->IsDecoded());
      const bool turned = orientation >= 5;
      ASSERT_EQ(p->Width(), turned ? h : w);
      ASSERT_EQ(p->Height(), turned ? w : h);
      EXPECT_EQ(p->HasAlphaChannel(), kind.alpha);
      for (std::int64_t qy = 0; qy < 2; ++qy)
        for (std::int64_t qx = 0; qx < 2; ++qx) {
          Color want = quadrant[qy][qx];
          if (!kind.alpha) want.alpha = 0;
          const auto [sx, sy] = Shown(orientation, qx * w / 2 + w / 4, qy * h / 2 + h / 4, w, h);
          EXPECT_TRUE(NearWithAlpha(p->RGBSurface().Pixel(sx, sy), want, 12)) << "quadrant " << qx << ", " << qy;
        }
    }
  }
}

// Colours stored multiplied by their alpha come back as they were.
TEST_F(Codec, PremultipliedHeifIsShownWithItsOwnColours) {
  const Color half = RGB(200, 100, 50, 128);
  for (const HeifKind kind : {HeifKind{HeifKind::Codec::Hevc, 8, true, true}, HeifKind{HeifKind::Codec::Av1, 8, true, true}}) {
    SCOPED_TRACE(kind.Name());
    Ref<Picture> p = OpenBytes(HeifName(kind), HeifFile(SolidPicture(64, 64, half), kind));
    ASSERT_FALSE(p.IsNil());
    EXPECT_TRUE(NearWithAlpha(p->RGBSurface().Pixel(32, 32), half, 12));
  }
}

TEST_F(Codec, HeifPixelsAreCloseToTheSource) {
  const Ref<Picture> photo = Opaque(PhotoLikePicture(128, 64));  // whole blocks: no grid
  for (const HeifKind& kind : kHeifKinds) {
    SCOPED_TRACE(kind.Name());
    Ref<Picture> p = OpenBytes(HeifName(kind), HeifFile(photo, kind));
    ASSERT_FALSE(p.IsNil());
    ASSERT_EQ(p->Width(), 128);
    ASSERT_EQ(p->Height(), 64);
    EXPECT_GE(Psnr(photo, p), 30.0);
  }
}

TEST_F(Codec, HeifAtTheSizeLimitDecodes) {
  Ref<Picture> p = OpenBytes("limit.heic", HeifFile(SolidPicture(6000, 100, RGB(90, 120, 150)), HeifKind{}, 8));
  ASSERT_FALSE(p.IsNil());
  EXPECT_TRUE(p->IsDecoded());
  EXPECT_EQ(p->Width(), 100);
  EXPECT_EQ(p->Height(), 6000);
  EXPECT_TRUE(Near(p->RGBSurface().Pixel(50, 3000), RGB(90, 120, 150), 4));
}

// A coded picture larger than its container declares would have the decoder
// allocate by the larger size: refused before decoding.
TEST_F(Codec, HeifCodedLargerThanDeclaredIsRefusedBeforeDecoding) {
  for (const HeifKind kind : {HeifKind{}, HeifKind{HeifKind::Codec::Av1}}) {
    SCOPED_TRACE(kind.Name());
    const std::string path =
        Write(HeifName(kind), WithDeclaredSize(HeifFile(SolidPicture(2048, 2048, RGB(90, 90, 90)), kind), 128, 128));
    bool refused = false;
    EXPECT_LT(PeakRiseKb([&] { refused = Open(path).IsNil(); }), kFewMegabytesKb);
    EXPECT_TRUE(refused);
  }
}

// Renames a box, so that the readers no longer find it.
Bytes WithBoxRenamed(Bytes file, const char* type) {
  const std::vector<std::size_t> at = BoxesOfType(file, type);
  if (!at.empty()) file.replace(at[0] + 4, 4, "free");
  return file;
}

TEST_F(Codec, CutOrDamagedHeifGivesNil) {
  for (const HeifKind kind : {HeifKind{}, HeifKind{HeifKind::Codec::Hevc, 10, true}, HeifKind{HeifKind::Codec::Av1}}) {
    SCOPED_TRACE(kind.Name());
    const Bytes whole = HeifFile(PhotoLikePicture(96, 48), kind);
    ASSERT_FALSE(OpenBytes(HeifName(kind), whole).IsNil());
    for (std::size_t cut : Cuts(whole.size())) EXPECT_TRUE(OpenBytes(HeifName(kind), whole.substr(0, cut)).IsNil()) << "cut at " << cut;

    const std::size_t mdat = BoxesOfType(whole, "mdat").at(0);
    Bytes longer = whole;
    SetBE32(longer, mdat, static_cast<std::uint32_t>(whole.size() - mdat + 1));
    Bytes noPrimary = whole;
    noPrimary[BoxesOfType(whole, "pitm").at(0) + 13] ^= 0x40;  // names an item that is not there
    const Bytes damaged[] = {
        longer,
        noPrimary,
        WithBoxRenamed(whole, kind.codec == HeifKind::Codec::Hevc ? "hvcC" : "av1C"),
        WithBoxRenamed(whole, "iloc"),
        WithoutCodedData(whole),
    };
    for (std::size_t i = 0; i < std::size(damaged); ++i) EXPECT_TRUE(OpenBytes(HeifName(kind), damaged[i]).IsNil()) << "damage " << i;
  }
}

// Any one byte of the boxes changed (a grid with its alpha, turned: the most
// structure libheif's writer makes): never a crash, which the sanitizer build
// checks, and what opens has the size the file declares.
TEST_F(Codec, EveryByteOfAHeifsBoxesChangedOpensSafely) {
  const Bytes whole = HeifFile(MakePicture(64, 48, Pattern), HeifKind{HeifKind::Codec::Hevc, 8, true}, 6);
  const std::size_t codedData = BoxesOfType(whole, "mdat").at(0) + 8;
  const std::string path = Path("picture.heic");
  for (std::size_t i = 0; i < codedData; ++i) {
    Bytes changed = whole;
    changed[i] ^= 0x10;
    std::ofstream(path, std::ios::binary | std::ios::trunc) << changed;
    const Ref<Picture> p = Open(path);
    if (p.IsNil() || !p->IsDecoded()) continue;
    EXPECT_EQ(p->Width(), 48) << "byte " << i;
    EXPECT_EQ(p->Height(), 64) << "byte " << i;
  }
}

// --- Saving that fails ------------------------------------------------------------

TEST_F(Codec, AFailedSaveLeavesTheExistingFileUnchanged) {
  const std::string keep = Write("keep.jpg", Saved(MakePicture(8, 8, Pattern), Picture::SaveAsJPEG, "first.jpg"));
  fs::remove(Path("first.jpg"));
  const Bytes before = Read(keep);
  Ref<Picture> picture = MakePicture(16, 16, Pattern);
  fs::create_directory(Path("folder.jpg"));

  EXPECT_FALSE(picture->Save(FolderItem(Path("missing/x.jpg")), Picture::SaveAsJPEG, 100));
  EXPECT_FALSE(picture->Save(FolderItem(keep + "/x.jpg"), Picture::SaveAsJPEG, 100));  // the folder is a file
  EXPECT_FALSE(picture->Save(FolderItem(Path("folder.jpg")), Picture::SaveAsJPEG, 100));
  EXPECT_FALSE(picture->Save(FolderItem(keep), 152, 100));  // no such format
  EXPECT_FALSE(Picture::Undecoded(16, 16)->Save(FolderItem(keep), Picture::SaveAsJPEG, 100));
  EXPECT_FALSE(Picture::Undecoded(16, 16)->Save(FolderItem(keep), Picture::SaveAsPNG, 100));

  EXPECT_EQ(Read(keep), before);
  EXPECT_TRUE(fs::is_directory(Path("folder.jpg")));
  EXPECT_EQ(Entries(dir_), (std::vector<std::string>{"folder.jpg", "keep.jpg"})) << "no temporary file left";
}

TEST_F(Codec, ASaveIntoAReadOnlyFolderFailsAndChangesNothing) {
  fs::create_directory(Path("locked"));
  const std::string keep = Write("locked/keep.jpg", "old bytes");
  chmod(dir_.c_str(), 0755);
  chmod(Path("locked").c_str(), 0555);
  {
    Unprivileged user;
    if (!user.Effective()) GTEST_SKIP() << "runs as root and cannot give up its rights here";
    EXPECT_FALSE(MakePicture(16, 16, Pattern)->Save(FolderItem(keep), Picture::SaveAsJPEG, 100));
    EXPECT_FALSE(MakePicture(16, 16, Pattern)->Save(FolderItem(Path("locked/new.jpg")), Picture::SaveAsJPEG, 100));
  }
  EXPECT_EQ(Read(keep), "old bytes");
  EXPECT_EQ(Entries(Path("locked")), std::vector<std::string>{"keep.jpg"});
}

TEST_F(Codec, ASaveReplacesAnExistingFileWholeAndKeepsItsPermissions) {
  const std::string target = Write("picture.jpg", "old bytes");
  chmod(target.c_str(), 0640);
  ASSERT_TRUE(PhotoLikePicture(64, 48)->Save(FolderItem(target), Picture::SaveAsJPEG, 100));
  Ref<Picture> p = Open(target);
  ASSERT_FALSE(p.IsNil());
  EXPECT_EQ(p->Width(), 64);
  struct stat st {};
  ASSERT_EQ(stat(target.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
  EXPECT_EQ(Entries(dir_), std::vector<std::string>{"picture.jpg"});
}

// --- Named pictures ----------------------------------------------------------------

class NamedPictures : public Codec {
 protected:
  void SetUp() override {
    Codec::SetUp();
    Saved(MakePicture(30, 30, Pattern), Picture::SaveAsPNG, "iconopen.png");
    Saved(MakePicture(60, 60, Pattern), Picture::SaveAsPNG, "iconopen@2x.png");
    Saved(Opaque(MakePicture(600, 400, Pattern)), Picture::SaveAsPNG, "splash.png");
  }
  void TearDown() override {
    TestSeams::SetResourceFolder("");
    Codec::TearDown();
  }
};

TEST_F(NamedPictures, OpenFromTheResourceFolderWithTheirHighResolutionVariant) {
  TestSeams::SetResourceFolder(dir_.string());
  Ref<Picture> icon = Picture::OpenFromApp("iconopen");
  ASSERT_FALSE(icon.IsNil());
  EXPECT_EQ(icon->Width(), 30);
  ASSERT_FALSE(icon->HighResolution().IsNil());
  EXPECT_EQ(icon->HighResolution()->Width(), 60);

  Ref<Picture> splash = Picture::OpenFromApp("splash");
  ASSERT_FALSE(splash.IsNil());
  EXPECT_EQ(splash->Width(), 600);
  EXPECT_TRUE(splash->HighResolution().IsNil());
}

TEST_F(NamedPictures, AMissingNameGivesNilAndEveryCallIsCounted) {
  TestSeams::SetResourceFolder(dir_.string());
  const int before = TestSeams::OpenFromAppCount("iconghost");
  EXPECT_TRUE(Picture::OpenFromApp("iconghost").IsNil());
  EXPECT_TRUE(Picture::OpenFromApp("iconghost").IsNil());
  EXPECT_EQ(TestSeams::OpenFromAppCount("iconghost"), before + 2);
  EXPECT_EQ(TestSeams::OpenFromAppCount("never asked for"), 0);
}

}  // namespace
