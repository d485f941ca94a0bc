// Pictures, their pixel surfaces and Graphics.DrawPicture.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <functional>
#include <limits>

#include "framework/Exceptions.h"
#include "framework/Picture.h"
#include "tests/support/Pictures.h"

namespace {

constexpr std::int64_t kBig = std::numeric_limits<std::int64_t>::max();
constexpr std::int64_t kSmall = std::numeric_limits<std::int64_t>::min();

// Every pixel different, opaque.
Color Distinct(std::int64_t x, std::int64_t y) {
  return RGB(static_cast<int>(x % 256), static_cast<int>(y % 256), static_cast<int>((x / 256 + 7 * (y / 256)) % 256));
}

const Color kGrey = RGB(90, 90, 90);
const Color kRed = RGB(255, 0, 0);
const Color kBlue = RGB(0, 0, 255);

// --- Pictures and surfaces -----------------------------------------------------

TEST(Picture, AFreshPictureIsFullyTransparentWithAlpha) {
  auto p = MakeRef<Picture>(5, 3);
  EXPECT_EQ(p->Width(), 5);
  EXPECT_EQ(p->Height(), 3);
  EXPECT_TRUE(p->HasAlphaChannel());
  EXPECT_TRUE(p->IsDecoded());
  RGBSurface s = p->RGBSurface();
  for (std::int64_t y = 0; y < 3; ++y)
    for (std::int64_t x = 0; x < 5; ++x) EXPECT_EQ(s.Pixel(x, y), kTransparent);
}

TEST(Picture, TheConstructorRefusesSizesOutsideItsLimits) {
  const std::int64_t refused[][2] = {
      {0, 1}, {1, 0}, {-1, 5}, {5, -1}, {Picture::kMaxSide + 1, 1}, {1, Picture::kMaxSide + 1},
      {20000, 20000},  // beyond kMaxPixels
      {kBig, kBig},
  };
  for (const auto& s : refused) EXPECT_THROW(Picture(s[0], s[1]), OutOfBoundsException) << s[0] << " x " << s[1];
  EXPECT_NO_THROW(Picture(1, 1));
  EXPECT_NO_THROW(Picture(Picture::kMaxSide, 1));
}

TEST(Picture, AnUndecodedPictureHasASizeButNoPixels) {
  Ref<Picture> p = Picture::Undecoded(60000, 50000);
  EXPECT_EQ(p->Width(), 60000);
  EXPECT_EQ(p->Height(), 50000);
  EXPECT_FALSE(p->IsDecoded());
  EXPECT_THROW(p->RGBSurface(), UnsupportedOperationException);
  EXPECT_THROW(p->Graphics(), UnsupportedOperationException);
  EXPECT_THROW(Picture(std::shared_ptr<PixelBuffer>(), false), NilObjectException);
}

TEST(RGBSurface, ReadsOutsideGiveTheNearestPixel) {
  auto p = MakePicture(4, 3, Distinct);
  RGBSurface s = p->RGBSurface();
  const std::int64_t cases[][4] = {
      // x, y, nearest x, nearest y
      {-1, -1, 0, 0},       {4, 0, 3, 0},        {0, 3, 0, 2},         {4, 3, 3, 2},
      {-1, 1, 0, 1},        {2, -5, 2, 0},       {100, 100, 3, 2},     {kSmall, kBig, 0, 2},
      {kBig, kSmall, 3, 0}, {kBig, kBig, 3, 2},  {kSmall, kSmall, 0, 0}, {1, 1, 1, 1},
  };
  for (const auto& c : cases) EXPECT_EQ(s.Pixel(c[0], c[1]), Distinct(c[2], c[3])) << c[0] << ", " << c[1];
}

TEST(RGBSurface, WritesOutsideChangeNothing) {
  auto p = MakePicture(4, 3, Distinct);
  RGBSurface s = p->RGBSurface();
  const std::int64_t outside[][2] = {
      {-1, 0}, {4, 0}, {0, -1}, {0, 3}, {-1, -1}, {4, 3}, {kSmall, 0}, {0, kBig}, {kBig, kBig}, {kSmall, kSmall},
      {-4, 1},  // would land on the previous row if only the index were checked
      {5, 0},
  };
  for (const auto& o : outside) s.SetPixel(o[0], o[1], kRed);
  for (std::int64_t y = 0; y < 3; ++y)
    for (std::int64_t x = 0; x < 4; ++x) EXPECT_EQ(s.Pixel(x, y), Distinct(x, y)) << x << ", " << y;
  s.SetPixel(3, 2, kRed);
  EXPECT_EQ(s.Pixel(3, 2), kRed);
}

TEST(RGBSurface, AHeldSurfaceKeepsAddressingItsPicture) {
  RGBSurface held = [] {
    auto p = SolidPicture(3, 2, kGrey);
    return p->RGBSurface();
  }();  // the last Ref is gone
  held.SetPixel(2, 1, kRed);
  EXPECT_EQ(held.Pixel(2, 1), kRed);
  EXPECT_EQ(held.Pixel(0, 0), kGrey);

  auto p = SolidPicture(3, 2, kGrey);
  RGBSurface a = p->RGBSurface(), b = p->RGBSurface();
  EXPECT_TRUE(a.SharesPixelsWith(b));
  a.SetPixel(1, 1, kBlue);
  EXPECT_EQ(b.Pixel(1, 1), kBlue);
  EXPECT_FALSE(a.SharesPixelsWith(held));
}

// --- DrawPicture ----------------------------------------------------------------

TEST(DrawPicture, CopiesOneToOneAtAnIntegerOffset) {
  auto src = MakePicture(3, 2, Distinct);
  auto target = SolidPicture(6, 5, kGrey);
  target->Graphics().DrawPicture(src, 2, 1);
  EXPECT_TRUE(Shows(target, [](std::int64_t x, std::int64_t y) {
    return x >= 2 && x < 5 && y >= 1 && y < 3 ? Distinct(x - 2, y - 1) : kGrey;
  }));
}

TEST(DrawPicture, ClipsAtTheTargetsEdges) {
  auto src = MakePicture(3, 3, Distinct);
  const struct {
    double x, y;
  } offsets[] = {{-1, -1}, {2, 2}, {-2, 1}, {1, -2}, {-3, 0}, {3, 0}, {-1e9, 0}, {0, 1e9}};
  for (const auto& o : offsets) {
    auto target = SolidPicture(3, 3, kGrey);
    target->Graphics().DrawPicture(src, o.x, o.y);
    EXPECT_TRUE(Shows(target, [&](std::int64_t x, std::int64_t y) {
      const double sx = static_cast<double>(x) - o.x, sy = static_cast<double>(y) - o.y;
      return sx >= 0 && sx < 3 && sy >= 0 && sy < 3 ? Distinct(static_cast<std::int64_t>(sx), static_cast<std::int64_t>(sy)) : kGrey;
    })) << o.x << ", " << o.y;
  }
}

// Nearest neighbour: each target pixel takes the source pixel under its centre.
TEST(DrawPicture, ScalesDownByNearestNeighbour) {
  auto src = MakePicture(1000, 700, Distinct);
  auto target = MakeRef<Picture>(500, 350);
  target->Graphics().DrawPicture(src, 0, 0, 500, 350);
  EXPECT_TRUE(Shows(target, [](std::int64_t x, std::int64_t y) { return Distinct(2 * x + 1, 2 * y + 1); }));
}

TEST(DrawPicture, ScalesUpByNearestNeighbour) {
  auto src = MakePicture(2, 3, Distinct);
  auto target = MakeRef<Picture>(6, 9);
  target->Graphics().DrawPicture(src, 0, 0, 6, 9);
  EXPECT_TRUE(Shows(target, [](std::int64_t x, std::int64_t y) { return Distinct(x / 3, y / 3); }));
}

TEST(DrawPicture, DrawsASourceRectangle) {
  auto src = MakePicture(6, 5, Distinct);
  auto target = SolidPicture(4, 4, kGrey);
  // source (2, 1) to (4, 3), 2 x 2, drawn at (1, 1) at twice the size
  target->Graphics().DrawPicture(src, 1, 1, 4, 4, 2, 1, 2, 2);
  EXPECT_TRUE(Shows(target, [](std::int64_t x, std::int64_t y) {
    return x >= 1 && y >= 1 ? Distinct(2 + (x - 1) / 2, 1 + (y - 1) / 2) : kGrey;
  }));
}

TEST(DrawPicture, LeftOutSizesMeanTheWholePictureAtItsSize) {
  auto src = MakePicture(5, 4, Distinct);
  auto a = SolidPicture(8, 8, kGrey), b = SolidPicture(8, 8, kGrey);
  a->Graphics().DrawPicture(src, 2, 3);
  b->Graphics().DrawPicture(src, 2, 3, 5, 4, 0, 0, 5, 4);
  EXPECT_TRUE(SamePixels(a, b));
  // a left-out destination takes the source rectangle's size
  auto c = SolidPicture(8, 8, kGrey);
  c->Graphics().DrawPicture(src, 0, 0, Graphics::kLeftOut, Graphics::kLeftOut, 1, 1, 2, 2);
  EXPECT_TRUE(Shows(c, [](std::int64_t x, std::int64_t y) { return x < 2 && y < 2 ? Distinct(x + 1, y + 1) : kGrey; }));
}

TEST(DrawPicture, BlendsByAlpha) {
  const auto drawn = [](Color src, Color dst) {
    auto target = SolidPicture(1, 1, dst);
    target->Graphics().DrawPicture(SolidPicture(1, 1, src), 0, 0);
    return target->RGBSurface().Pixel(0, 0);
  };
  EXPECT_EQ(drawn(kBlue, kRed), kBlue);                     // opaque replaces
  EXPECT_EQ(drawn(RGB(0, 0, 255, 255), kRed), kRed);         // transparent leaves
  EXPECT_EQ(drawn(kTransparent, kTransparent), kTransparent);
  EXPECT_EQ(drawn(kBlue, kTransparent), kBlue);
  const Color half = drawn(RGB(0, 0, 255, 128), kRed);       // half blends
  EXPECT_NEAR(half.red, 127.5, 1.0);
  EXPECT_EQ(half.green, 0);
  EXPECT_NEAR(half.blue, 127.5, 1.0);
  EXPECT_EQ(half.alpha, 0);  // over an opaque pixel the result is opaque
}

// Drawing costs what the target has, whatever the zoom: these finish at once
// and touch only the target (the suite also runs under AddressSanitizer).
TEST(DrawPicture, CostIsBoundedByTheTarget) {
  auto huge = MakeRef<Picture>(6000, 6000);
  huge->RGBSurface().SetPixel(0, 0, kRed);
  huge->RGBSurface().SetPixel(5999, 5999, kBlue);

  auto target = SolidPicture(8, 8, kGrey);
  target->Graphics().DrawPicture(huge, 0, 0, 6000 * 1e40, 6000 * 1e40);
  EXPECT_TRUE(Shows(target, [](std::int64_t, std::int64_t) { return kRed; }));

  target = SolidPicture(8, 8, kGrey);
  target->Graphics().DrawPicture(huge, 4, 4, 6000 * 1e40, 6000 * 1e40);
  EXPECT_TRUE(Shows(target, [](std::int64_t x, std::int64_t y) { return x >= 4 && y >= 4 ? kRed : kGrey; }));

  target = SolidPicture(8, 8, kGrey);
  target->Graphics().DrawPicture(huge, -1e40, -1e40, 2e40, 2e40, 5999, 5999, 1, 1);
  EXPECT_TRUE(Shows(target, [](std::int64_t, std::int64_t) { return kBlue; }));

  target = SolidPicture(8, 8, kGrey);
  target->Graphics().DrawPicture(huge, 0, 0, 6000 * 1e-40, 6000 * 1e-40);
  target->Graphics().DrawPicture(huge, 1e300, -1e300, 6000, 6000);
  target->Graphics().DrawPicture(huge, std::nan(""), 0, 6000, 6000);
  EXPECT_TRUE(Shows(target, [](std::int64_t, std::int64_t) { return kGrey; }));
}

TEST(DrawPicture, ATranslatedGraphicsMovesTheOrigin) {
  auto src = MakePicture(2, 2, Distinct);
  auto a = SolidPicture(6, 6, kGrey), b = SolidPicture(6, 6, kGrey);
  a->Graphics().Translated(1, 2).Translated(1, 0).DrawPicture(src, 1, 1);
  b->Graphics().DrawPicture(src, 3, 3);
  EXPECT_TRUE(SamePixels(a, b));
  auto c = SolidPicture(6, 6, kGrey);
  c->Graphics().Translated(-1, -1).DrawPicture(src, 0, 0);
  EXPECT_TRUE(Shows(c, [](std::int64_t x, std::int64_t y) { return x == 0 && y == 0 ? Distinct(1, 1) : kGrey; }));
}

TEST(DrawPicture, RefusesNilAndUndecodedPictures) {
  auto target = SolidPicture(2, 2, kGrey);
  EXPECT_THROW(target->Graphics().DrawPicture(Ref<Picture>(), 0, 0), NilObjectException);
  EXPECT_THROW(target->Graphics().DrawPicture(Picture::Undecoded(9000, 9000), 0, 0), UnsupportedOperationException);
}

}  // namespace
