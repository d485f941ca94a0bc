// HEIC and AVIF through libheif: the primary image, measured from its
// container before any pixel is decoded, decoded only when its layout was
// found sound, to 8 bits a channel.

#include <libheif/heif.h>

#include <algorithm>
#include <limits>

#include "framework/ImageCodecParts.h"

namespace image_codec {
namespace {

struct ContextDeleter {
  void operator()(heif_context* c) const { heif_context_free(c); }
};
struct HandleDeleter {
  void operator()(heif_image_handle* h) const { heif_image_handle_release(h); }
};
struct ImageDeleter {
  void operator()(heif_image* i) const { heif_image_release(i); }
};
struct OptionsDeleter {
  void operator()(heif_decoding_options* o) const { heif_decoding_options_free(o); }
};

// Interleaved 8-bit rows into pixels, alpha turned to the framework's sense
// (0 opaque) and unpremultiplied where the file stores it premultiplied.
void CopyRows(const std::uint8_t* src, int stride, bool alpha, bool premultiplied, PixelBuffer& dst) {
  const int channels = alpha ? 4 : 3;
  for (std::int64_t y = 0; y < dst.height; ++y) {
    const std::uint8_t* s = src + y * stride;
    Color* d = dst.pixels.get() + y * dst.width;
    for (std::int64_t x = 0; x < dst.width; ++x, s += channels) {
      const unsigned a = alpha ? s[3] : 255u;
      Color c{s[0], s[1], s[2], static_cast<std::uint8_t>(255u - a)};
      if (premultiplied && a != 255u) {
        const auto un = [a](unsigned v) { return static_cast<std::uint8_t>(a == 0 ? 0 : std::min(255u, (v * 255u + a / 2) / a)); };
        c = Color{un(s[0]), un(s[1]), un(s[2]), c.alpha};
      }
      d[x] = c;
    }
  }
}

}  // namespace

HeifImage DecodeHeif(const unsigned char* data, std::size_t size, std::int64_t maxSide) {
  HeifImage result;
  const HeifLayout layout = ReadHeifLayout(data, size, maxSide);
  if (!layout.framingHolds) return result;

  const std::unique_ptr<heif_context, ContextDeleter> context(heif_context_alloc());
  if (!context) return result;
  // Every declared size is read, so that a large one is measured; only the
  // sizes allowed are ever decoded.
  heif_context_set_maximum_image_size_limit(context.get(), std::numeric_limits<int>::max());
  if (heif_context_read_from_memory_without_copy(context.get(), data, size, nullptr).code != heif_error_Ok) {
    return result;
  }
  heif_image_handle* raw = nullptr;
  if (heif_context_get_primary_image_handle(context.get(), &raw).code != heif_error_Ok) return result;
  const std::unique_ptr<heif_image_handle, HandleDeleter> handle(raw);
  result.width = heif_image_handle_get_width(handle.get());
  result.height = heif_image_handle_get_height(handle.get());
  if (result.width < 1 || result.height < 1) return result;
  if (result.width > maxSide || result.height > maxSide) {
    result.status = HeifImage::Status::TooLarge;
    return result;
  }
  if (!layout.decodable) return result;

  result.alpha = heif_image_handle_has_alpha_channel(handle.get()) != 0;
  const std::unique_ptr<heif_decoding_options, OptionsDeleter> options(heif_decoding_options_alloc());
  if (!options) return result;
  options->convert_hdr_to_8bit = 1;
  options->strict_decoding = 1;  // damaged data fails instead of showing as garbage
  // libheif mirrors only 8-bit pictures, before it reduces the bits: such a
  // picture is decoded as stored and turned here.
  const bool turnHere = heif_image_handle_get_luma_bits_per_pixel(handle.get()) > 8 && layout.transform.mirrored &&
                        !layout.transform.cropped;
  options->ignore_transformations = turnHere ? 1 : 0;
  heif_image* decoded = nullptr;
  if (heif_decode_image(handle.get(), &decoded, heif_colorspace_RGB,
                        result.alpha ? heif_chroma_interleaved_RGBA : heif_chroma_interleaved_RGB, options.get())
          .code != heif_error_Ok) {
    return result;
  }
  const std::unique_ptr<heif_image, ImageDeleter> image(decoded);
  const Orientation o = turnHere ? layout.transform.orientation : Orientation{};
  const std::int64_t w = heif_image_get_width(image.get(), heif_channel_interleaved);
  const std::int64_t h = heif_image_get_height(image.get(), heif_channel_interleaved);
  // What the decoder made must be what the container declared.
  if ((o.rotate90 ? h : w) != result.width || (o.rotate90 ? w : h) != result.height) return result;
  int stride = 0;
  const std::uint8_t* rows = heif_image_get_plane_readonly(image.get(), heif_channel_interleaved, &stride);
  if (!rows || heif_image_get_bits_per_pixel_range(image.get(), heif_channel_interleaved) != 8) return result;
  std::shared_ptr<PixelBuffer> pixels = UnfilledBuffer(w, h);
  if (!pixels) return result;
  CopyRows(rows, stride, result.alpha, heif_image_handle_is_premultiplied_alpha(handle.get()) != 0, *pixels);
  result.pixels = Orient(std::move(pixels), o);
  if (result.pixels) result.status = HeifImage::Status::Decoded;
  return result;
}

}  // namespace image_codec
