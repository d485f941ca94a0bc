#pragma once
// Pictures: 32-bit pixels (Color, not premultiplied), an optional alpha
// channel, a Graphics drawing surface and an RGBSurface pixel accessor.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "framework/Color.h"
#include "framework/Ref.h"

class FolderItem;
class Picture;

namespace fw {
class ReducedCopies;
}

// Frees pixels the way they were had: by new[], or in pages of their own.
struct PixelRelease {
  PixelRelease() = default;
  PixelRelease(std::default_delete<Color[]>) noexcept {}
  explicit PixelRelease(std::size_t mapped) noexcept : mappedCount(mapped) {}
  void operator()(Color* pixels) const noexcept;
  std::size_t mappedCount = 0;  // pixels in pages of their own; 0: new[]
};

// The pixels of a picture, row by row. Shared by the picture and by every
// surface fetched from it, so a held surface keeps its pixels alive.
struct PixelBuffer {
  // A large transparent buffer takes memory only where it is written.
  PixelBuffer(std::int64_t width, std::int64_t height, Color fill);
  // Takes over width x height pixels as they are (a decoder fills them).
  PixelBuffer(std::int64_t width, std::int64_t height, std::unique_ptr<Color[]> pixels);
  ~PixelBuffer();
  PixelBuffer(const PixelBuffer&) = delete;
  PixelBuffer& operator=(const PixelBuffer&) = delete;

  std::int64_t width;
  std::int64_t height;
  std::unique_ptr<Color[], PixelRelease> pixels;
  // What drawing keeps beside the pixels (see Graphics.DrawPicture); goes
  // before them.
  std::unique_ptr<fw::ReducedCopies> copies;
};

// Reads and writes single pixels. A read outside the picture gives the nearest
// pixel inside it; a write outside changes nothing.
class RGBSurface {
 public:
  explicit RGBSurface(std::shared_ptr<PixelBuffer> buffer)
      : buffer_(std::move(buffer)),
        data_(buffer_->pixels.get()),
        width_(buffer_->width),
        height_(buffer_->height) {}

  Color Pixel(std::int64_t x, std::int64_t y) const noexcept {
    x = x < 0 ? 0 : (x >= width_ ? width_ - 1 : x);
    y = y < 0 ? 0 : (y >= height_ ? height_ - 1 : y);
    return data_[y * width_ + x];
  }
  void SetPixel(std::int64_t x, std::int64_t y, Color c) const noexcept {
    if (static_cast<std::uint64_t>(x) < static_cast<std::uint64_t>(width_) &&
        static_cast<std::uint64_t>(y) < static_cast<std::uint64_t>(height_)) {
      data_[y * width_ + x] = c;
    }
  }

  std::int64_t Width() const noexcept { return width_; }
  std::int64_t Height() const noexcept { return height_; }
  // True when both surfaces address the same pixels.
  bool SharesPixelsWith(const RGBSurface& other) const noexcept { return data_ == other.data_; }

 private:
  std::shared_ptr<PixelBuffer> buffer_;
  Color* data_;
  std::int64_t width_;
  std::int64_t height_;
};

// Draws into a pixel buffer: a picture's own, a canvas's backing store, or
// another Graphics translated by DrawInto.
class Graphics {
 public:
  // The framework's value for an argument left out.
  static constexpr double kLeftOut = -10000;

  Graphics(std::shared_ptr<PixelBuffer> target, std::int64_t originX = 0, std::int64_t originY = 0);

  std::int64_t Width() const noexcept;
  std::int64_t Height() const noexcept;

  // Scales the source rectangle (whole picture when its size is left out)
  // into the destination rectangle (the source size when left out), blending
  // by alpha, as image viewers show a picture: reduced, each destination
  // pixel is the alpha-weighted average of the source pixels it covers; at
  // the same size, the source pixels; enlarged, the source pixel under its
  // centre. Only destination pixels inside the target are touched. The cost
  // is bounded by the target at any scale: a reduction reads a reduced copy
  // that the picture keeps until its pixels are next written.
  void DrawPicture(const Ref<Picture>& picture, double x, double y,
                   double destWidth = kLeftOut, double destHeight = kLeftOut,
                   double sourceX = 0, double sourceY = 0,
                   double sourceWidth = kLeftOut, double sourceHeight = kLeftOut);

  // A Graphics drawing into the same target with the origin moved by (x, y).
  Graphics Translated(std::int64_t x, std::int64_t y) const;

  const std::shared_ptr<PixelBuffer>& Target() const noexcept { return target_; }

 private:
  std::shared_ptr<PixelBuffer> target_;
  std::int64_t originX_;
  std::int64_t originY_;
};

class Picture {
 public:
  // Sides above this are never decoded from a file (see Open).
  static constexpr std::int64_t kMaxDecodedSide = 6000;
  // The constructor's limits.
  static constexpr std::int64_t kMaxSide = 32000;
  static constexpr std::int64_t kMaxPixels = std::int64_t{1} << 28;

  // Picture.Save format codes.
  static constexpr int SaveAsJPEG = 151;
  static constexpr int SaveAsPNG = 150;

  // A fully transparent picture with an alpha channel. Throws
  // OutOfBoundsException outside 1..kMaxSide or beyond kMaxPixels.
  Picture(std::int64_t width, std::int64_t height);
  // A picture over existing pixels; without an alpha channel every pixel is
  // opaque (alpha 0).
  Picture(std::shared_ptr<PixelBuffer> pixels, bool hasAlphaChannel);

  std::int64_t Width() const noexcept { return width_; }
  std::int64_t Height() const noexcept { return height_; }
  bool HasAlphaChannel() const noexcept { return hasAlpha_; }
  std::int64_t HorizontalResolution() const noexcept { return horizontalResolution_; }
  std::int64_t VerticalResolution() const noexcept { return verticalResolution_; }
  void SetHorizontalResolution(std::int64_t r) noexcept { horizontalResolution_ = r; }
  void SetVerticalResolution(std::int64_t r) noexcept { verticalResolution_ = r; }

  // Throw UnsupportedOperationException on a picture whose pixels were never
  // decoded (IsDecoded false).
  ::Graphics Graphics();
  ::RGBSurface RGBSurface();
  bool IsDecoded() const noexcept { return static_cast<bool>(pixels_); }

  // Decodes an image file (every format the toolkit's readers know, camera
  // orientation applied). Nil when the file is not an image, or is truncated
  // or corrupt. A file whose header declares a side above kMaxDecodedSide is
  // not decoded: the result then has the declared size and IsDecoded false,
  // enough for a caller to measure and refuse it.
  static Ref<Picture> Open(const FolderItem& file);
  // A named picture of the application's resources, or nil.
  static Ref<Picture> OpenFromApp(const std::string& name);

  // Writes the picture; JPEG at the given quality (no chroma subsampling,
  // transparent pixels flattened onto white) or PNG with its alpha. The file
  // is written beside the target and renamed over it only when complete.
  // False when it could not be written; an existing file is then unchanged.
  bool Save(const FolderItem& file, int format, int quality = 100) const;

  // Hi-resolution representation for icons (twice the size), or nil.
  const Ref<Picture>& HighResolution() const noexcept { return highResolution_; }
  void SetHighResolution(Ref<Picture> p) { highResolution_ = std::move(p); }

  // A picture of the given size that has no pixels (see Open).
  static Ref<Picture> Undecoded(std::int64_t width, std::int64_t height);

  const std::shared_ptr<PixelBuffer>& Pixels() const noexcept { return pixels_; }

 private:
  struct UndecodedTag {};
  Picture(UndecodedTag, std::int64_t width, std::int64_t height);

  std::int64_t width_;
  std::int64_t height_;
  bool hasAlpha_;
  std::int64_t horizontalResolution_ = 72;
  std::int64_t verticalResolution_ = 72;
  std::shared_ptr<PixelBuffer> pixels_;
  Ref<Picture> highResolution_;
};

// A fully transparent pixel.
inline constexpr Color kTransparent{0, 0, 0, 255};
