// Buffers for the decoders (a file's bytes, pixels), allocated without a
// fill, and recorded orientation.

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <new>

#include <sys/mman.h>

#include "framework/ImageCodecParts.h"
#include "framework/Runtime.h"

namespace image_codec {

namespace {
// A large file or picture is first touched by the reader or the decoder in
// order: in pages of 2 MiB rather than 4 KiB that takes a few hundred faults
// instead of tens of thousands. Only a hint; the content is the same.
void AskForHugePages(void* start, std::size_t bytes) {
  constexpr std::uintptr_t kHuge = std::uintptr_t{1} << 21;
  const auto from = (reinterpret_cast<std::uintptr_t>(start) + kHuge - 1) & ~(kHuge - 1);
  const auto to = (reinterpret_cast<std::uintptr_t>(start) + bytes) & ~(kHuge - 1);
  if (to > from) madvise(reinterpret_cast<void*>(from), to - from, MADV_HUGEPAGE);
}
}  // namespace

std::unique_ptr<unsigned char[]> UnfilledBytes(std::size_t size) {
  std::unique_ptr<unsigned char[]> bytes(new (std::nothrow) unsigned char[size]);
  if (bytes) AskForHugePages(bytes.get(), size);
  return bytes;
}

std::shared_ptr<PixelBuffer> UnfilledBuffer(std::int64_t width, std::int64_t height) {
  // Color has no initialisers, so new[] leaves the pages untouched.
  std::unique_ptr<Color[]> pixels(new (std::nothrow) Color[static_cast<std::size_t>(width * height)]);
  if (!pixels) return nullptr;
  const std::size_t bytes = static_cast<std::size_t>(width * height) * sizeof(Color);
  AskForHugePages(pixels.get(), bytes);
  if (const auto& fill = fw::Seams().decodePrefill) std::memset(static_cast<void*>(pixels.get()), *fill, bytes);
  return std::make_shared<PixelBuffer>(width, height, std::move(pixels));
}

namespace {
void Mirror(PixelBuffer& p) {
  for (std::int64_t y = 0; y < p.height; ++y) {
    Color* row = p.pixels.get() + y * p.width;
    std::reverse(row, row + p.width);
  }
}

void Flip(PixelBuffer& p) {
  for (std::int64_t top = 0, bottom = p.height - 1; top < bottom; ++top, --bottom) {
    std::swap_ranges(p.pixels.get() + top * p.width, p.pixels.get() + (top + 1) * p.width,
                     p.pixels.get() + bottom * p.width);
  }
}

// A quarter turn clockwise: source (x, y) lands on (H - 1 - y, x). Tiled, so
// that both buffers are walked in cache-sized pieces.
std::shared_ptr<PixelBuffer> Rotate90(const PixelBuffer& src) {
  const std::int64_t w = src.width, h = src.height;
  std::shared_ptr<PixelBuffer> dst = UnfilledBuffer(h, w);
  if (!dst) return nullptr;
  constexpr std::int64_t kTile = 64;
  const Color* s = src.pixels.get();
  Color* d = dst->pixels.get();
  for (std::int64_t y0 = 0; y0 < h; y0 += kTile) {
    const std::int64_t y1 = std::min(h, y0 + kTile);
    for (std::int64_t x0 = 0; x0 < w; x0 += kTile) {
      const std::int64_t x1 = std::min(w, x0 + kTile);
      for (std::int64_t y = y0; y < y1; ++y) {
        for (std::int64_t x = x0; x < x1; ++x) d[x * h + (h - 1 - y)] = s[y * w + x];
      }
    }
  }
  return dst;
}
}  // namespace

std::shared_ptr<PixelBuffer> Orient(std::shared_ptr<PixelBuffer> pixels, Orientation o) {
  if (o.mirror) Mirror(*pixels);
  if (o.flip) Flip(*pixels);
  if (o.rotate90) return Rotate90(*pixels);
  return pixels;
}

}  // namespace image_codec
