#include "framework/Picture.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "framework/Blend.h"
#include "framework/Exceptions.h"
#include "framework/Numbers.h"
#include "framework/PixelMemory.h"
#include "framework/ReducedCopies.h"
#include "framework/Reduction.h"
#include "framework/TestSeams.h"

void PixelRelease::operator()(Color* p) const noexcept {
  if (mappedCount > 0) {
    pixel_memory::Unmap(p, mappedCount);
  } else {
    delete[] p;
  }
}

PixelBuffer::PixelBuffer(std::int64_t w, std::int64_t h, Color fill) : width(w), height(h) {
  const auto count = static_cast<std::size_t>(w * h);
  if (fill == kTransparent && count * sizeof(Color) >= pixel_memory::kMappedMinimum) {
    if (Color* mapped = pixel_memory::MapTransparent(count)) {
      pixels = std::unique_ptr<Color[], PixelRelease>(mapped, PixelRelease(count));
      fw::ReducedCopies::MarkFreshTransparent(*this);
      return;
    }
  }
  pixels.reset(new Color[count]);
  std::fill_n(pixels.get(), count, fill);
}

PixelBuffer::PixelBuffer(std::int64_t w, std::int64_t h, std::unique_ptr<Color[]> p)
    : width(w), height(h), pixels(std::move(p)) {}

PixelBuffer::~PixelBuffer() = default;

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

// The target pixels [begin, end) whose centres fall inside [origin, origin + size),
// within [0, limit).
void CoveredSpan(double origin, double size, std::int64_t limit, std::int64_t& begin, std::int64_t& end) {
  fw::Covered(origin, size, begin, end);
  begin = std::clamp<std::int64_t>(begin, 0, limit);
  end = std::clamp<std::int64_t>(end, 0, limit);
}

// Enlarged or at the same size: each target pixel takes the source pixel
// under its centre. Rows of source pixels that lie side by side, as at the
// same size, are blended as they are; others are gathered first, once for
// all the target rows that show the same source row.
void DrawNearest(const PixelBuffer& src, const fw::AxisMap& mx, const fw::AxisMap& my, PixelBuffer& target) {
  const std::int64_t n = mx.t1 - mx.t0;
  std::vector<std::int64_t> columns(static_cast<std::size_t>(n));
  bool sideBySide = &src != &target;
  for (std::int64_t i = 0; i < n; ++i) {
    columns[static_cast<std::size_t>(i)] = mx.Nearest(mx.t0 + i);
    sideBySide = sideBySide && columns[static_cast<std::size_t>(i)] == columns[0] + i;
  }
  std::vector<Color> gathered(sideBySide ? 0 : static_cast<std::size_t>(n));
  std::int64_t gatheredRow = -1;
  for (std::int64_t ty = my.t0; ty < my.t1; ++ty) {
    const std::int64_t sy = my.Nearest(ty);
    const Color* srow = src.pixels.get() + sy * src.width;
    Color* drow = target.pixels.get() + ty * target.width + mx.t0;
    if (sideBySide) {
      fw::BlendRow(srow + columns[0], drow, n);
      continue;
    }
    if (sy != gatheredRow || &src == &target) {
      for (std::int64_t i = 0; i < n; ++i) gathered[static_cast<std::size_t>(i)] = srow[columns[static_cast<std::size_t>(i)]];
      gatheredRow = sy;
    }
    fw::BlendRow(gathered.data(), drow, n);
  }
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

  const fw::AxisMap mx{ox, dw, sourceX, sw, sx0, sx1, tx0, tx1};
  const fw::AxisMap my{oy, dh, sourceY, sh, sy0, sy1, ty0, ty1};
  fw::ReducedCopies& copies = fw::ReducedCopies::Of(*src);
  if (copies.AllTransparent()) return;  // nothing shows
  if (mx.Reduces() || my.Reduces()) {
    copies.DrawReduced(mx, my, target_->pixels.get(), target_->width, target_->height);
  } else {
    DrawNearest(*src, mx, my, *target_);
  }
}

void TestSeams::RecordDrawCalls(bool on) {
  recording = on;
  recorded.clear();
}
std::vector<TestSeams::DrawCall> TestSeams::DrawCalls() { return recorded; }
