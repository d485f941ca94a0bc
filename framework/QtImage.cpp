#include "framework/QtImage.h"

#include <cstring>

namespace fw {

QImage ToQImage(const Picture& picture) {
  const std::shared_ptr<PixelBuffer>& px = picture.Pixels();
  if (!px) return QImage();
  QImage image(static_cast<int>(px->width), static_cast<int>(px->height), QImage::Format_RGBA8888);
  if (image.isNull()) return image;
  const Color* src = px->pixels.get();
  for (int y = 0; y < image.height(); ++y) {
    uchar* row = image.scanLine(y);
    const Color* s = src + static_cast<std::int64_t>(y) * px->width;
    for (int x = 0; x < image.width(); ++x) {
      row[4 * x + 0] = s[x].red;
      row[4 * x + 1] = s[x].green;
      row[4 * x + 2] = s[x].blue;
      row[4 * x + 3] = static_cast<uchar>(255 - s[x].alpha);
    }
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
  auto buffer = std::make_shared<PixelBuffer>(w, h, kTransparent);
  Color* dst = buffer->pixels.get();
  for (int y = 0; y < rgba.height(); ++y) {
    const uchar* row = rgba.constScanLine(y);
    Color* d = dst + y * w;
    std::memcpy(d, row, static_cast<std::size_t>(w) * 4);
    for (std::int64_t x = 0; x < w; ++x) d[x].alpha = static_cast<std::uint8_t>(255 - d[x].alpha);
  }
  return MakeRef<Picture>(std::move(buffer), alpha);
}

}  // namespace fw
