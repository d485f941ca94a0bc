#include "tests/support/HeifFiles.h"

#include <libheif/heif.h>

#include <memory>
#include <stdexcept>

#include "framework/ByteView.h"

namespace {

void Check(heif_error e) {
  if (e.code != heif_error_Ok) throw std::runtime_error(std::string("libheif: ") + e.message);
}

// A libheif object tied to the function that releases it, so that a failed
// check leaks nothing.
template <class T, class Release>
std::unique_ptr<T, Release> Owned(T* object, Release release) {
  return {object, release};
}

heif_error Append(heif_context*, const void* data, std::size_t size, void* file) {
  static_cast<std::string*>(file)->append(static_cast<const char*>(data), size);
  return heif_error{heif_error_Ok, heif_suberror_Unspecified, "ok"};
}

void PutSample(std::uint8_t* at, int bits, unsigned v8) {
  if (bits == 8) {
    *at = static_cast<std::uint8_t>(v8);
  } else {
    const unsigned v = (v8 * 1023 + 127) / 255;  // little-endian, 10 significant bits
    at[0] = static_cast<std::uint8_t>(v & 0xff);
    at[1] = static_cast<std::uint8_t>(v >> 8);
  }
}

// The boxes whose children are boxes, and the bytes before their first child.
std::size_t ChildrenAt(std::string_view type) {
  if (type == "meta" || type == "iref") return 4;
  if (type == "iinf") return 6;  // version 0: a 16-bit count
  if (type == "iprp" || type == "ipco") return 0;
  return std::string::npos;
}

void Walk(const std::string& file, std::size_t from, std::size_t to, std::string_view type,
          std::vector<std::size_t>& found) {
  for (std::size_t at = from; at + 8 <= to;) {
    const std::size_t size = Read32(file, at);
    if (size < 8 || size > to - at) return;
    const std::string_view t(file.data() + at + 4, 4);
    if (t == type) found.push_back(at);
    if (const std::size_t children = ChildrenAt(t); children != std::string::npos)
      Walk(file, at + 8 + children, at + size, type, found);
    at += size;
  }
}

}  // namespace

std::uint32_t Read32(const std::string& file, std::size_t at) {
  return image_codec::ByteView(reinterpret_cast<const unsigned char*>(file.data()), file.size()).BE32(at);
}

void Write32(std::string& file, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) file[at + i] = static_cast<char>((v >> (24 - 8 * i)) & 0xff);
}

const char* HeifKind::Name() const {
  static const char* const names[2][2][2] = {{{"heic 8-bit", "heic 8-bit alpha"}, {"heic 10-bit", "heic 10-bit alpha"}},
                                             {{"avif 8-bit", "avif 8-bit alpha"}, {"avif 10-bit", "avif 10-bit alpha"}}};
  return names[codec == Codec::Av1][bits > 8][alpha];
}

std::string HeifFile(const Ref<Picture>& picture, HeifKind kind, int orientation) {
  const int w = static_cast<int>(picture->Width()), h = static_cast<int>(picture->Height());
  const heif_chroma chroma = kind.bits > 8 ? (kind.alpha ? heif_chroma_interleaved_RRGGBBAA_LE : heif_chroma_interleaved_RRGGBB_LE)
                                           : (kind.alpha ? heif_chroma_interleaved_RGBA : heif_chroma_interleaved_RGB);
  heif_image* image = nullptr;
  Check(heif_image_create(w, h, heif_colorspace_RGB, chroma, &image));
  const auto imageOwner = Owned(image, heif_image_release);
  Check(heif_image_add_plane(image, heif_channel_interleaved, w, h, kind.bits));
  int stride = 0;
  std::uint8_t* rows = heif_image_get_plane(image, heif_channel_interleaved, &stride);
  const int channels = kind.alpha ? 4 : 3, sampleBytes = kind.bits > 8 ? 2 : 1;
  const RGBSurface s = picture->RGBSurface();
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const Color c = s.Pixel(x, y);
      const unsigned opacity = 255u - c.alpha;  // libheif's alpha counts opacity
      const auto stored = [&](unsigned v) { return kind.premultiplied ? (v * opacity + 127) / 255 : v; };
      const unsigned v[4] = {stored(c.red), stored(c.green), stored(c.blue), opacity};
      for (int k = 0; k < channels; ++k) PutSample(rows + y * stride + (x * channels + k) * sampleBytes, kind.bits, v[k]);
    }

  heif_image_set_premultiplied_alpha(image, kind.premultiplied);

  const auto context = Owned(heif_context_alloc(), heif_context_free);
  heif_encoder* encoder = nullptr;
  Check(heif_context_get_encoder_for_format(
      context.get(), kind.codec == HeifKind::Codec::Hevc ? heif_compression_HEVC : heif_compression_AV1, &encoder));
  const auto encoderOwner = Owned(encoder, heif_encoder_release);
  Check(heif_encoder_set_lossy_quality(encoder, 95));
  if (kind.codec == HeifKind::Codec::Av1) {
    // libaom writes 10 bits only in its professional profile, which wants 4:2:2.
    Check(heif_encoder_set_parameter(encoder, "chroma", kind.bits > 8 ? "422" : "420"));
    Check(heif_encoder_set_parameter(encoder, "speed", "8"));
  }
  const auto options = Owned(heif_encoding_options_alloc(), heif_encoding_options_free);
  options->image_orientation = static_cast<heif_orientation>(orientation);
  Check(heif_context_encode_image(context.get(), image, encoder, options.get(), nullptr));
  std::string file;
  heif_writer writer{1, Append};
  Check(heif_context_write(context.get(), &writer, &file));
  return file;
}

std::vector<std::size_t> BoxesOfType(const std::string& file, std::string_view type) {
  std::vector<std::size_t> found;
  Walk(file, 0, file.size(), type, found);
  return found;
}

std::string WithDeclaredSize(std::string file, std::uint32_t width, std::uint32_t height) {
  for (std::size_t at : BoxesOfType(file, "ispe")) {
    Write32(file, at + 12, width);
    Write32(file, at + 16, height);
  }
  return file;
}

std::string WithoutCodedData(std::string file) {
  for (std::size_t at : BoxesOfType(file, "mdat"))
    std::fill(file.begin() + static_cast<std::ptrdiff_t>(at + 8), file.begin() + static_cast<std::ptrdiff_t>(at + Read32(file, at)), '\0');
  return file;
}
