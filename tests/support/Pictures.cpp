#include "tests/support/Pictures.h"

#include <array>
#include <cmath>
#include <limits>

Ref<Picture> MakePicture(std::int64_t w, std::int64_t h,
                         const std::function<Color(std::int64_t, std::int64_t)>& f) {
  auto p = MakeRef<Picture>(w, h);
  RGBSurface s = p->RGBSurface();
  for (std::int64_t y = 0; y < h; ++y)
    for (std::int64_t x = 0; x < w; ++x) s.SetPixel(x, y, f(x, y));
  return p;
}

Ref<Picture> SolidPicture(std::int64_t w, std::int64_t h, Color c) {
  return MakePicture(w, h, [c](std::int64_t, std::int64_t) { return c; });
}

Ref<Picture> PhotoLikePicture(std::int64_t w, std::int64_t h, std::uint32_t seed) {
  std::uint32_t state = seed * 2654435761u + 1;
  auto noise = [&state]() {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return static_cast<int>(state % 17) - 8;
  };
  auto clampByte = [](double v) { return static_cast<int>(v < 0 ? 0 : (v > 255 ? 255 : v)); };
  return MakePicture(w, h, [&](std::int64_t x, std::int64_t y) {
    const double u = static_cast<double>(x) / static_cast<double>(w);
    const double v = static_cast<double>(y) / static_cast<double>(h);
    double r = 255 * u, g = 255 * (0.5 + 0.5 * std::sin(6.0 * v + 3.0 * u)), b = 255 * (1 - v);
    if ((x / 37 + y / 53) % 5 == 0) r = g = b = 128 + 100 * std::sin(0.05 * static_cast<double>(x));  // grey patches
    if (std::hypot(u - 0.6, v - 0.4) < 0.15) { r = 230; g = 40; b = 30; }  // a saturated disc with an edge
    return RGB(clampByte(r + noise()), clampByte(g + noise()), clampByte(b + noise()));
  });
}

::testing::AssertionResult SamePixels(const Ref<Picture>& a, const Ref<Picture>& b) {
  if (a->Width() != b->Width() || a->Height() != b->Height())
    return ::testing::AssertionFailure() << "sizes differ";
  RGBSurface sa = a->RGBSurface(), sb = b->RGBSurface();
  for (std::int64_t y = 0; y < a->Height(); ++y)
    for (std::int64_t x = 0; x < a->Width(); ++x)
      if (sa.Pixel(x, y) != sb.Pixel(x, y))
        return ::testing::AssertionFailure() << "first difference at (" << x << ", " << y << ")";
  return ::testing::AssertionSuccess();
}

::testing::AssertionResult IsFreshLayer(const Ref<Picture>& p, std::int64_t w, std::int64_t h) {
  if (!p) return ::testing::AssertionFailure() << "nil";
  if (!p->HasAlphaChannel()) return ::testing::AssertionFailure() << "no alpha channel";
  return SamePixels(p, MakeRef<Picture>(w, h));
}

::testing::AssertionResult Shows(const Ref<Picture>& picture,
                                 const std::function<Color(std::int64_t, std::int64_t)>& expected) {
  return SamePixels(picture, MakePicture(picture->Width(), picture->Height(), expected));
}

double Psnr(const Ref<Picture>& a, const Ref<Picture>& b) {
  RGBSurface sa = a->RGBSurface(), sb = b->RGBSurface();
  double squared = 0;
  for (std::int64_t y = 0; y < a->Height(); ++y) {
    for (std::int64_t x = 0; x < a->Width(); ++x) {
      const Color ca = sa.Pixel(x, y), cb = sb.Pixel(x, y);
      const std::array<int, 3> d = {ca.red - cb.red, ca.green - cb.green, ca.blue - cb.blue};
      for (int c : d) squared += static_cast<double>(c * c);
    }
  }
  const double mse = squared / (3.0 * static_cast<double>(a->Width() * a->Height()));
  if (mse == 0) return std::numeric_limits<double>::infinity();
  return 10.0 * std::log10(255.0 * 255.0 / mse);
}
