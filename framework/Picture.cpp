#include "framework/Picture.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "framework/Exceptions.h"
#include "framework/Numbers.h"
#include "framework/TestSeams.h"

PixelBuffer::PixelBuffer(std::int64_t w, std::int64_t h, Color fill)
    : width(w), height(h), pixels(new Color[static_cast<std::size_t>(w * h)]) {
  std::fill_n(pixels.get(), static_cast<std::size_t>(w * h), fill);
}

PixelBuffer::PixelBuffer(std::int64_t w, std::int64_t h, std::unique_ptr<Color[]> p)
    : width(w), height(h), pixels(std::move(p)) {}

namespace {
void CheckSize(std::int64_t w, std::int64_t h) {
  if (w < 1 || h < 1 || w > Picture::kMaxSide || h > Picture::kMaxSide || w * h > Picture::kMaxPixels) {
    throw OutOfBoundsException("picture size " + std::to_string(w) + " x " + std::to_string(h));
  }
}

const std::shared_ptr<PixelBuffer>& Decoded(const std::shared_ptr<PixelBuffer>& pixels) {
  if (!pixels) throw UnsupportedOperationException("the picture was never decoded");
  return pixels;
}
}  // namespace

Picture::Picture(std::int64_t width, std::int64_t height)
    : width_(width), height_(height), hasAlpha_(true) {
  CheckSize(width, height);
  pixels_ = std::make_shared<PixelBuffer>(width, height, kTransparent);
}

Picture::Picture(std::shared_ptr<PixelBuffer> pixels, bool hasAlphaChannel)
    : width_(pixels ? pixels->width : 0),
      height_(pixels ? pixels->height : 0),
      hasAlpha_(hasAlphaChannel),
      pixels_(std::move(pixels)) {
  if (!pixels_) throw NilObjectException("picture without pixels");
}

Picture::Picture(UndecodedTag, std::int64_t width, std::int64_t height)
    : width_(width), height_(height), hasAlpha_(true) {}

Ref<Picture> Picture::Undecoded(std::int64_t width, std::int64_t height) {
  return Ref<Picture>(std::shared_ptr<Picture>(new Picture(UndecodedTag{}, width, height)));
}

::Graphics Picture::Graphics() { return ::Graphics(Decoded(pixels_)); }
::RGBSurface Picture::RGBSurface() { return ::RGBSurface(Decoded(pixels_)); }

// --- Drawing ----------------------------------------------------------------

namespace {
bool recording = false;
std::vector<TestSeams::DrawCall> recorded;

// Source-over, in bytes; alpha 0 is opaque.
inline Color Blend(Color src, Color dst) noexcept {
  const int as = 255 - src.alpha;
  if (as == 255) return src;
  if (as == 0) return dst;
  const int ad = 255 - dst.alpha;
  const int keep = ad * (255 - as);            // dst weight, scaled by 255
  const int outA255 = as * 255 + keep;         // out opacity, scaled by 255
  if (outA255 == 0) return kTransparent;
  auto mix = [&](int s, int d) {
    return static_cast<std::uint8_t>((s * as * 255 + d * keep + outA255 / 2) / outA255);
  };
  const int outA = (outA255 + 127) / 255;
  return Color{mix(src.red, dst.red), mix(src.green, dst.green), mix(src.blue, dst.blue),
               static_cast<std::uint8_t>(255 - outA)};
}

// The target pixels [begin, end) whose centres fall inside [origin, origin + size).
void CoveredSpan(double origin, double size, std::int64_t limit, std::int64_t& begin, std::int64_t& end) {
  const double b = std::ceil(origin - 0.5);
  const double e = std::ceil(origin + size - 0.5);
  begin = std::clamp<std::int64_t>(ToInteger(std::max(b, -1.0)), 0, limit);
  end = std::clamp<std::int64_t>(ToInteger(std::min(e, static_cast<double>(limit))), 0, limit);
}

// Source index of a target pixel, clamped to the source rectangle.
inline std::int64_t SourceIndex(std::int64_t t, double origin, double destSize, double srcStart,
                                double srcSize, std::int64_t lo, std::int64_t hi) {
  const double s = std::floor(srcStart + (static_cast<double>(t) + 0.5 - origin) * srcSize / destSize);
  return std::clamp<std::int64_t>(ToInteger(s), lo, hi);
}
}  // namespace

Graphics::Graphics(std::shared_ptr<PixelBuffer> target, std::int64_t originX, std::int64_t originY)
    : target_(std::move(target)), originX_(originX), originY_(originY) {
  if (!target_) throw NilObjectException("graphics without a target");
}

std::int64_t Graphics::Width() const noexcept { return target_->width; }
std::int64_t Graphics::Height() const noexcept { return target_->height; }

Graphics Graphics::Translated(std::int64_t x, std::int64_t y) const {
  return Graphics(target_, originX_ + x, originY_ + y);
}

void Graphics::DrawPicture(const Ref<Picture>& picture, double x, double y, double destWidth,
                           double destHeight, double sourceX, double sourceY, double sourceWidth,
                           double sourceHeight) {
  const Picture& p = *picture;  // nil throws
  if (recording) {
    recorded.push_back({&p, x, y, destWidth, destHeight, sourceX, sourceY, sourceWidth, sourceHeight});
  }
  const std::shared_ptr<PixelBuffer>& src = Decoded(p.Pixels());

  const double sw = sourceWidth == kLeftOut ? static_cast<double>(src->width) : sourceWidth;
  const double sh = sourceHeight == kLeftOut ? static_cast<double>(src->height) : sourceHeight;
  const double dw = destWidth == kLeftOut ? sw : destWidth;
  const double dh = destHeight == kLeftOut ? sh : destHeight;
  if (!(dw > 0 && dh > 0 && sw > 0 && sh > 0)) return;

  const double ox = static_cast<double>(originX_) + x;
  const double oy = static_cast<double>(originY_) + y;
  std::int64_t tx0, tx1, ty0, ty1;
  CoveredSpan(ox, dw, target_->width, tx0, tx1);
  CoveredSpan(oy, dh, target_->height, ty0, ty1);
  if (tx0 >= tx1 || ty0 >= ty1) return;

  // Clamp to the source rectangle and to the picture.
  const std::int64_t sx0 = std::clamp<std::int64_t>(ToInteger(std::floor(sourceX)), 0, src->width - 1);
  const std::int64_t sy0 = std::clamp<std::int64_t>(ToInteger(std::floor(sourceY)), 0, src->height - 1);
  const std::int64_t sx1 =
      std::clamp<std::int64_t>(ToInteger(std::ceil(sourceX + sw)) - 1, sx0, src->width - 1);
  const std::int64_t sy1 =
      std::clamp<std::int64_t>(ToInteger(std::ceil(sourceY + sh)) - 1, sy0, src->height - 1);

  // One source column per covered target column: bounded by the target.
  std::vector<std::int64_t> columns(static_cast<std::size_t>(tx1 - tx0));
  for (std::int64_t tx = tx0; tx < tx1; ++tx) {
    columns[static_cast<std::size_t>(tx - tx0)] = SourceIndex(tx, ox, dw, sourceX, sw, sx0, sx1);
  }
  const Color* s = src->pixels.get();
  Color* d = target_->pixels.get();
  const std::int64_t tw = target_->width;
  for (std::int64_t ty = ty0; ty < ty1; ++ty) {
    const std::int64_t sy = SourceIndex(ty, oy, dh, sourceY, sh, sy0, sy1);
    const Color* srow = s + sy * src->width;
    Color* drow = d + ty * tw;
    for (std::int64_t tx = tx0; tx < tx1; ++tx) {
      drow[tx] = Blend(srow[columns[static_cast<std::size_t>(tx - tx0)]], drow[tx]);
    }
  }
}

void TestSeams::RecordDrawCalls(bool on) {
  recording = on;
  recorded.clear();
}
std::vector<TestSeams::DrawCall> TestSeams::DrawCalls() { return recorded; }
