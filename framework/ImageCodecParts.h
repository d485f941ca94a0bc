#pragma once
// The pieces behind Picture::Open and Picture::Save that need no toolkit:
// libjpeg-turbo decoding and encoding, libheif decoding, the walks of a
// file's framing that come before any reader, structure checks that catch the
// files the toolkit's readers would decode only in part, and recorded
// orientation.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>

#include "framework/Picture.h"

namespace image_codec {

// Room for a file's bytes, not filled; nil when the memory cannot be had.
std::unique_ptr<unsigned char[]> UnfilledBytes(std::size_t size);

// A buffer whose pixels are not filled: pages the decoder never reaches are
// never touched. Nil when the memory cannot be had.
std::shared_ptr<PixelBuffer> UnfilledBuffer(std::int64_t width, std::int64_t height);

struct JpegImage {
  enum class Status { Decoded, TooLarge, Failed };
  Status status = Status::Failed;
  std::int64_t width = 0;
  std::int64_t height = 0;
  std::shared_ptr<PixelBuffer> pixels;  // opaque pixels, when Decoded
  // Dots per inch recorded in the file; 0 when it records none.
  std::int64_t horizontalResolution = 0;
  std::int64_t verticalResolution = 0;
};
// Whatever libjpeg-turbo makes of the file is the picture: a file cut short
// or with damaged scan data decodes as far as the decoder gets, the rest as
// it fills it. Failed only when the decoder gets no frame header or no scan;
// every pixel of a decoded picture is written by the decoder.
JpegImage DecodeJpeg(const unsigned char* data, std::size_t size, std::int64_t maxSide);

// Receives the encoded file chunk by chunk; false stops the encoder.
using ByteSink = std::function<bool(const unsigned char* bytes, std::size_t size)>;
// Baseline, 4:4:4, standard Huffman tables; transparency flattened onto white.
bool EncodeJpeg(const PixelBuffer& pixels, int quality, std::int64_t horizontalResolution,
                std::int64_t verticalResolution, const ByteSink& sink);

// False when a file of the format ("png", "gif", "bmp", "xbm") ends before its
// image data does. Formats whose readers notice this themselves pass.
bool LooksComplete(std::string_view format, const unsigned char* data, std::size_t size);

// What a file's first bytes say it is. The formats without a signature of
// their own (TGA, WBMP, PBM/PGM/PPM, XBM, XPM) carry no lengths either.
enum class Container { Unsigned, Png, Mng, Jpeg, Gif, Bmp, Ico, Icns, Tiff, Webp, Heif };
Container ContainerOf(const unsigned char* data, std::size_t size);

// False when a part of the file (chunk, block, segment, directory or its
// entries' data, strip, tile, box, item extent) claims more bytes than the
// file has left, so that no reader ever allocates by it. A file that ends
// where a part ends passes: whether its image data is all there is
// LooksComplete's question. A JPEG is walked only up to its first scan.
bool FramingHolds(Container container, const unsigned char* data, std::size_t size);

// A recorded orientation, applied as image viewers do: mirror left-right,
// then flip top-bottom, then a quarter turn clockwise.
struct Orientation {
  bool mirror = false;
  bool flip = false;
  bool rotate90 = false;
};

// The oriented pixels (a new buffer after a quarter turn), or nil when the
// memory for the turn cannot be had.
std::shared_ptr<PixelBuffer> Orient(std::shared_ptr<PixelBuffer> pixels, Orientation o);

// What a HEIF file's boxes say, read without libheif.
struct HeifLayout {
  bool framingHolds = false;  // every box and item extent lies inside the file
  // Every picture the primary image is decoded from (itself, its tiles, its
  // alpha) declares a size and is coded no larger, libheif decodes its kind,
  // and together they are no more than four of the largest pictures.
  bool decodable = false;
  struct Transform {
    Orientation orientation;  // the rotation and mirror recorded for the primary image
    bool mirrored = false;    // a mirror among them
    bool cropped = false;     // a crop recorded too
  } transform;
};
HeifLayout ReadHeifLayout(const unsigned char* data, std::size_t size, std::int64_t maxSide);

struct HeifImage {
  enum class Status { Decoded, TooLarge, Failed };
  Status status = Status::Failed;
  std::int64_t width = 0;  // as shown, after the recorded transformations
  std::int64_t height = 0;
  std::shared_ptr<PixelBuffer> pixels;  // 8 bits a channel, when Decoded
  bool alpha = false;
};
// The primary image of a HEIC or AVIF file, rotated, mirrored and cropped as
// recorded. A side above maxSide is measured, not decoded; a damaged file fails.
HeifImage DecodeHeif(const unsigned char* data, std::size_t size, std::int64_t maxSide);

}  // namespace image_codec
