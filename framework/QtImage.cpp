#include "framework/QtImage.h"

#include <cstdint>
#include <new>

#include "framework/ImageCodecParts.h"

namespace fw {

namespace {
// A Color and a pixel of Format_RGBA8888 hold their bytes in the same order;
// only the alpha counts the other way. Serves both directions.
void CopyTurningAlpha(const std::uint8_t* src, std::uint8_t* dst, std::int64_t pixels) {
  for (std::int64_t i = 0; i < 4 * pixels; i += 4) {
    dst[i] = src[i];
    dst[i + 1] = src[i + 1];
    dst[i + 2] = src[i + 2];
    dst[i + 3] = static_cast<std::uint8_t>(255 - src[i + 3]);
  }
}
}  // namespace

QImage ToQImage(const Picture& picture) {
  const std::shared_ptr<PixelBuffer>& px = picture.Pixels();
  if (!px) return QImage();
  QImage image(static_cast<int>(px->width), static_cast<int>(px->height), QImage::Format_RGBA8888);
  if (image.isNull()) return image;
  const auto* src = reinterpret_cast<const std::uint8_t*>(px->pixels.get());
  for (int y = 0; y < image.height(); ++y) {
    CopyTurningAlpha(src + 4 * y * px->width, image.scanLine(y), px->width);
  }
  return image;
}

void CopyToScreenImage(const PixelBuffer& pixels, QImage& image) {
  const Color* src = pixels.pixels.get();
  for (int y = 0; y < image.height(); ++y) {
    auto* row = reinterpret_cast<quint32*>(image.scanLine(y));
    const Color* s = src + static_cast<std::int64_t>(y) * pixels.width;
    for (int x = 0; x < image.width(); ++x) {
      const unsigned a = 255u - s[x].alpha;
      const unsigned r = (s[x].red * a + 127u) / 255u;
      const unsigned g = (s[x].green * a + 127u) / 255u;
      const unsigned b = (s[x].blue * a + 127u) / 255u;
      row[x] = (a << 24) | (r << 16) | (g << 8) | b;
    }
  }
}

Ref<Picture> FromQImage(const QImage& image) {
  if (image.isNull()) return nullptr;
  const std::int64_t w = image.width(), h = image.height();
  if (w > Picture::kMaxSide || h > Picture::kMaxSide || w * h > Picture::kMaxPixels) {
    return Picture::Undecoded(w, h);
  }
  const bool alpha = image.hasAlphaChannel();
  const QImage rgba = image.convertToFormat(alpha ? QImage::Format_RGBA8888 : QImage::Format_RGBX8888);
  // Every pixel is written below: no fill, no watch of fresh pixels.
  std::shared_ptr<PixelBuffer> buffer = image_codec::UnfilledBuffer(w, h);
  if (!buffer) throw std::bad_alloc();
  auto* dst = reinterpret_cast<std::uint8_t*>(buffer->pixels.get());
  for (int y = 0; y < rgba.height(); ++y) CopyTurningAlpha(rgba.constScanLine(y), dst + 4 * y * w, w);
  return MakeRef<Picture>(std::move(buffer), alpha);
}

}  // namespace fw
