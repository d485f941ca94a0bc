// Pictures, their pixel surfaces and Graphics.DrawPicture.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstdint>
#include <functional>
#include <limits>
#include <string>

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

// --- Reduced, as image viewers show a picture -----------------------------------

// The largest difference of any byte of a from b's, the alpha's too.
int ByteDifference(Color a, Color b) {
  return std::max({std::abs(a.red - b.red), std::abs(a.green - b.green), std::abs(a.blue - b.blue),
                   std::abs(a.alpha - b.alpha)});
}

// The largest difference of any byte of a drawn pixel from c's.
int LargestDifference(const Ref<Picture>& p, Color c) {
  RGBSurface s = p->RGBSurface();
  int largest = 0;
  for (std::int64_t y = 0; y < p->Height(); ++y) {
    for (std::int64_t x = 0; x < p->Width(); ++x) largest = std::max(largest, ByteDifference(s.Pixel(x, y), c));
  }
  return largest;
}

// One-pixel black and white lines, the finest detail a photograph has: a
// reduced view shows their mean, grey, wherever the lines fall, never a
// sample of black or white lines.
TEST(DrawPicture, ReducedFineDetailShowsItsMean) {
  const Color black = RGB(0, 0, 0), white = RGB(255, 255, 255), grey = RGB(128, 128, 128);
  const struct {
    const char* name;
    std::function<Color(std::int64_t, std::int64_t)> f;
  } patterns[] = {
      {"columns", [&](std::int64_t x, std::int64_t) { return x % 2 ? white : black; }},
      {"rows", [&](std::int64_t, std::int64_t y) { return y % 2 ? white : black; }},
      {"checks", [&](std::int64_t x, std::int64_t y) { return (x + y) % 2 ? white : black; }},
  };
  const double factors[] = {0.5, 0.25, 0.1, 1.0 / 3, 0.37, 0.03};
  for (const auto& pattern : patterns) {
    const auto src = MakePicture(1200, 900, pattern.f);
    for (const double f : factors) {
      const auto target = MakeRef<Picture>(static_cast<std::int64_t>(1200 * f), static_cast<std::int64_t>(900 * f));
      target->Graphics().DrawPicture(src, 0, 0, 1200 * f, 900 * f);
      EXPECT_LE(LargestDifference(target, grey), 3) << pattern.name << " at " << f;
    }
  }
}

// A region of one colour stays that colour exactly, at any factor and at
// any place: the weights of what a pixel covers always add up to one.
TEST(DrawPicture, ReducedEvenColourStaysExact) {
  const Color c = RGB(201, 37, 99);
  const auto src = SolidPicture(1000, 700, c);
  const struct {
    double x, y, w, h;
  } places[] = {{0, 0, 500, 350}, {0.5, 0.25, 333, 233}, {-40, 7, 171, 97}, {3, 3, 1, 1}, {10, 10, 61, 2}};
  for (const auto& p : places) {
    const auto target = MakeRef<Picture>(600, 400);
    target->Graphics().DrawPicture(src, p.x, p.y, p.w, p.h);
    RGBSurface s = target->RGBSurface();
    for (std::int64_t y = 0; y < 400; ++y)
      for (std::int64_t x = 0; x < 600; ++x)
        if (s.Pixel(x, y) != kTransparent) {
          ASSERT_EQ(s.Pixel(x, y), c) << x << ", " << y;
        }
    EXPECT_NE(s.Pixel(static_cast<std::int64_t>(std::max(p.x, 0.0) + 0.5), static_cast<std::int64_t>(p.y + 0.5)),
              kTransparent);
  }
}

// Halved exactly, a block of four pixels becomes their average.
TEST(DrawPicture, HalvedEachPixelIsTheAverageOfTheFourItCovers) {
  const auto src = MakePicture(6, 4, [](std::int64_t x, std::int64_t y) {
    return RGB(static_cast<int>(10 * x + 40 * y), static_cast<int>(200 - 30 * x), static_cast<int>(7 * x * y));
  });
  const auto target = MakeRef<Picture>(3, 2);
  target->Graphics().DrawPicture(src, 0, 0, 3, 2);
  EXPECT_TRUE(Shows(target, [&](std::int64_t x, std::int64_t y) {
    RGBSurface s = src->RGBSurface();
    int sums[3] = {0, 0, 0};
    for (std::int64_t j = 2 * y; j < 2 * y + 2; ++j) {
      for (std::int64_t i = 2 * x; i < 2 * x + 2; ++i) {
        sums[0] += s.Pixel(i, j).red;
        sums[1] += s.Pixel(i, j).green;
        sums[2] += s.Pixel(i, j).blue;
      }
    }
    return RGB((sums[0] + 2) / 4, (sums[1] + 2) / 4, (sums[2] + 2) / 4);
  }));
}

// The average weighs each pixel by its opacity: a see-through pixel lends
// its share of opacity, never its colour, and a transparent one nothing.
TEST(DrawPicture, ReducedAverageIsWeightedByOpacity) {
  const struct {
    const char* name;
    Color a, b;     // side by side, drawn into one pixel
    Color expected;
  } cases[] = {
      {"opaque over transparent", RGB(0, 0, 255), RGB(255, 0, 0, 255), RGB(0, 0, 255, 127)},
      {"both transparent", RGB(255, 0, 0, 255), RGB(0, 255, 0, 255), kTransparent},
      {"both opaque", RGB(0, 0, 255), RGB(255, 0, 0), RGB(128, 0, 128)},
      {"three quarters and one quarter", RGB(200, 0, 0, 64), RGB(0, 0, 200, 192), RGB(150, 0, 50, 128)},
  };
  for (const auto& c : cases) {
    // Large enough that the picture keeps reduced copies of itself.
    const auto src = MakePicture(800, 600, [&](std::int64_t x, std::int64_t) { return x % 2 ? c.b : c.a; });
    for (const double f : {0.5, 0.125}) {
      const auto target = MakeRef<Picture>(static_cast<std::int64_t>(800 * f), static_cast<std::int64_t>(600 * f));
      target->Graphics().DrawPicture(src, 0, 0, 800 * f, 600 * f);
      EXPECT_LE(LargestDifference(target, c.expected), 1) << c.name << " at " << f;
    }
  }
}

// Only the source rectangle is averaged: nothing beside it bleeds in.
TEST(DrawPicture, ReducedSourceRectangleTakesNothingFromOutsideIt) {
  const auto src = MakePicture(800, 800, [](std::int64_t x, std::int64_t y) {
    return x < 400 && y < 400 ? kRed : kBlue;
  });
  const auto target = MakeRef<Picture>(50, 50);
  target->Graphics().DrawPicture(src, 0, 0, 50, 50, 0, 0, 400, 400);
  EXPECT_EQ(LargestDifference(target, kRed), 0);
}

// Drawn into one target with the others' pixels around it, the reduced
// view of a part of the target blends over what is there.
TEST(DrawPicture, ReducedDrawingBlendsOverTheTarget) {
  const auto src = SolidPicture(400, 400, RGB(0, 0, 255, 128));
  const auto target = SolidPicture(100, 100, kRed);
  target->Graphics().DrawPicture(src, 10, 10, 40, 40);
  RGBSurface s = target->RGBSurface();
  EXPECT_EQ(s.Pixel(9, 9), kRed);
  EXPECT_EQ(s.Pixel(50, 50), kRed);
  const Color mixed = s.Pixel(30, 30);
  EXPECT_NEAR(mixed.red, 127, 1);
  EXPECT_NEAR(mixed.blue, 127, 1);
  EXPECT_EQ(mixed.alpha, 0);
}

// Pictures over the two kinds of pixel memory: a fresh picture's, in pages
// of its own, and a decoder's, which shares its first and last pages with
// other data.
struct Memory {
  const char* name;
  Ref<Picture> (*make)(std::int64_t w, std::int64_t h, Color c);
};
const Memory kMemories[] = {
    {"fresh picture", [](std::int64_t w, std::int64_t h, Color c) { return SolidPicture(w, h, c); }},
    {"decoded pixels",
     [](std::int64_t w, std::int64_t h, Color c) { return MakeRef<Picture>(std::make_shared<PixelBuffer>(w, h, c), false); }},
};

// A picture keeps reduced copies of itself; whatever writes its pixels, and
// wherever, the next reduced drawing shows the change at every reduction.
TEST(DrawPicture, ReducedDrawingFollowsEveryWrite) {
  enum class By { HeldSurface, Graphics };
  const struct {
    const char* name;
    By by;
    std::int64_t x, y;  // the middle of the square written, in a 1000 x 800 picture
  } writes[] = {
      {"held surface, first pixel", By::HeldSurface, 0, 0},
      {"held surface, middle", By::HeldSurface, 517, 403},
      {"held surface, last pixel", By::HeldSurface, 999, 799},
      {"the picture's Graphics", By::Graphics, 500, 380},
  };
  const double factors[] = {0.5, 0.25, 0.125, 0.02, 0.007};
  for (const Memory& memory : kMemories) {
    for (const auto& w : writes) {
      for (const double f : factors) {
        SCOPED_TRACE(std::string(memory.name) + ", " + w.name + " at " + std::to_string(f));
        const Ref<Picture> pic = memory.make(1000, 800, kGrey);
        const RGBSurface held = pic->RGBSurface();
        auto shown = [&] {
          const auto target = MakeRef<Picture>(static_cast<std::int64_t>(std::ceil(1000 * f)),
                                               static_cast<std::int64_t>(std::ceil(800 * f)));
          target->Graphics().DrawPicture(pic, 0, 0, 1000 * f, 800 * f);
          return target->RGBSurface().Pixel(static_cast<std::int64_t>(static_cast<double>(w.x) * f),
                                            static_cast<std::int64_t>(static_cast<double>(w.y) * f));
        };
        ASSERT_EQ(shown(), kGrey);
        // Large enough to cover the shown pixel's footprint and the pixels
        // of the reduced copy that it reads.
        const auto side = static_cast<std::int64_t>(2 * std::ceil(2 / f) + 40);
        if (w.by == By::Graphics) {
          pic->Graphics().DrawPicture(SolidPicture(side, side, kRed), static_cast<double>(w.x - side / 2),
                                      static_cast<double>(w.y - side / 2));
        } else {
          for (std::int64_t y = w.y - side / 2; y < w.y + side / 2; ++y)
            for (std::int64_t x = w.x - side / 2; x < w.x + side / 2; ++x) held.SetPixel(x, y, kRed);
        }
        EXPECT_EQ(shown(), kRed);
      }
    }
  }
}

// A single pixel written into a picture already drawn reduced shows in the
// next drawing as its share of the average, wherever it lies.
TEST(DrawPicture, ReducedDrawingFollowsASinglePixel) {
  const std::int64_t sizes[][2] = {{640, 480}, {30, 10}};
  for (const Memory& memory : kMemories) {
    for (const auto& size : sizes) {
      const std::int64_t w = size[0], h = size[1];
      SCOPED_TRACE(std::string(memory.name) + ", " + std::to_string(w) + " x " + std::to_string(h));
      const Ref<Picture> pic = memory.make(w, h, RGB(0, 0, 0));
      const RGBSurface held = pic->RGBSurface();
      const auto target = MakeRef<Picture>(w / 2, h / 2);
      target->Graphics().DrawPicture(pic, 0, 0, static_cast<double>(w / 2), static_cast<double>(h / 2));
      const std::int64_t places[][2] = {{0, 0}, {1, 0}, {w - 1, h - 1}, {w - 2, h - 1}, {w / 2, h / 3}};
      for (const auto& p : places) {
        held.SetPixel(p[0], p[1], RGB(255, 255, 255));
        target->Graphics().DrawPicture(pic, 0, 0, static_cast<double>(w / 2), static_cast<double>(h / 2));
        EXPECT_EQ(target->RGBSurface().Pixel(p[0] / 2, p[1] / 2), RGB(64, 64, 64)) << p[0] << ", " << p[1];
        held.SetPixel(p[0], p[1], RGB(0, 0, 0));
      }
    }
  }
}

// The alpha-weighted average of the source pixels [x0, x1) x [y0, y1),
// rounded to nearest: what a reduced view shows of them.
Color AlphaWeightedAverage(const RGBSurface& s, std::int64_t x0, std::int64_t y0, std::int64_t x1, std::int64_t y1) {
  std::int64_t opacity = 0, red = 0, green = 0, blue = 0;
  for (std::int64_t y = y0; y < y1; ++y) {
    for (std::int64_t x = x0; x < x1; ++x) {
      const Color c = s.Pixel(x, y);
      const std::int64_t o = 255 - c.alpha;
      opacity += o;
      red += o * c.red;
      green += o * c.green;
      blue += o * c.blue;
    }
  }
  const std::int64_t n = (x1 - x0) * (y1 - y0);
  const std::int64_t shown = (opacity + n / 2) / n;
  if (shown == 0) return kTransparent;
  auto byte = [opacity](std::int64_t sum) { return static_cast<int>((sum + opacity / 2) / opacity); };
  return RGB(byte(red), byte(green), byte(blue), static_cast<int>(255 - shown));
}

// Draws the source rectangle (x, y, w, h) of pic reduced 2^shrink times
// into a target of its own and compares every pixel with the average of the
// block it covers, cut at the picture's edges.
::testing::AssertionResult ShowsBlockAverages(const Ref<Picture>& pic, std::int64_t x, std::int64_t y, std::int64_t w,
                                              std::int64_t h, int shrink, int tolerance) {
  const std::int64_t n = std::int64_t{1} << shrink;
  const std::int64_t tw = (w + n - 1) / n, th = (h + n - 1) / n;
  const auto target = MakeRef<Picture>(tw, th);
  target->Graphics().DrawPicture(pic, 0, 0, static_cast<double>(tw), static_cast<double>(th), static_cast<double>(x),
                                 static_cast<double>(y), static_cast<double>(tw * n), static_cast<double>(th * n));
  const RGBSurface source = pic->RGBSurface(), shown = target->RGBSurface();
  for (std::int64_t ty = 0; ty < th; ++ty) {
    for (std::int64_t tx = 0; tx < tw; ++tx) {
      const std::int64_t x0 = x + tx * n, y0 = y + ty * n;
      const Color want = AlphaWeightedAverage(source, x0, y0, std::min(x0 + n, std::min(x + w, pic->Width())),
                                              std::min(y0 + n, std::min(y + h, pic->Height())));
      const Color got = shown.Pixel(tx, ty);
      if (ByteDifference(got, want) > tolerance) {
        return ::testing::AssertionFailure()
               << "target pixel " << tx << ", " << ty << " shows " << int(got.red) << " " << int(got.green) << " "
               << int(got.blue) << " alpha " << int(got.alpha) << ", the block " << int(want.red) << " "
               << int(want.green) << " " << int(want.blue) << " alpha " << int(want.alpha);
      }
    }
  }
  return ::testing::AssertionSuccess();
}

// Noise of every kind of pixel a preview layer holds, in bands: see-through
// ones keep colours of their own, as an effect's pass leaves them.
Color LayerPixel(std::int64_t x, std::int64_t y) {
  std::uint32_t h = static_cast<std::uint32_t>(x) * 0x9E3779B1u ^ static_cast<std::uint32_t>(y) * 0x85EBCA77u;
  h ^= h >> 15;
  h *= 0x2C1B3C6Du;
  h ^= h >> 12;
  const int r = static_cast<int>(h & 0xff), g = static_cast<int>((h >> 8) & 0xff);
  const int b = static_cast<int>((h >> 16) & 0xff);
  if (y < 40) return RGB(r, g, b, 255);  // all transparent
  if (y < 90) return RGB(r, g, b);       // all opaque
  if (x < 500) return RGB(r, g, b, (h >> 24) % 3 ? 0 : 255);  // opaque and transparent mixed
  if (x < 800) return RGB(r, g, b);
  return RGB(r, g, b, static_cast<int>(h >> 24));  // any alpha
}

// Halved, quartered and so on down to 1 / 32, each shown pixel is the
// alpha-weighted average of the block it covers, blocks at the edges cut
// short, whatever mix of opaque, transparent and see-through pixels the
// block holds. Reductions beyond 1 / 16 come from smaller ones, so are off
// by a rounding.
TEST(DrawPicture, ReducedByPowersOfTwoShowsEachBlocksAverage) {
  const auto pic = MakePicture(1250, 700, LayerPixel);
  for (int shrink = 1; shrink <= 5; ++shrink)
    EXPECT_TRUE(ShowsBlockAverages(pic, 0, 0, 1250, 700, shrink, shrink <= 4 ? 1 : 2)) << "reduced 2^" << shrink;
}

// A view of a part makes only that part of a reduction; panning across the
// picture, and writing pixels seen before and pixels not seen yet, every
// view shows the pixels as they are.
TEST(DrawPicture, ReducedPartsFollowPansAndWrites) {
  for (const int shrink : {2, 6}) {
    SCOPED_TRACE("reduced 2^" + std::to_string(shrink));
    const auto pic = MakePicture(2048, 1600, LayerPixel);
    const RGBSurface held = pic->RGBSurface();
    auto paint = [&](std::int64_t x0, std::int64_t y0, std::int64_t side, Color c) {
      for (std::int64_t y = y0; y < y0 + side; ++y)
        for (std::int64_t x = x0; x < x0 + side; ++x) held.SetPixel(x, y, c);
    };
    const int tolerance = shrink <= 4 ? 1 : 2;
    EXPECT_TRUE(ShowsBlockAverages(pic, 0, 0, 512, 512, shrink, tolerance));
    paint(1500, 1200, 300, RGB(250, 10, 10));  // far from what was shown
    EXPECT_TRUE(ShowsBlockAverages(pic, 1280, 1024, 768, 576, shrink, tolerance));
    paint(64, 64, 256, RGB(10, 250, 10, 100));  // inside what was shown first
    EXPECT_TRUE(ShowsBlockAverages(pic, 0, 0, 512, 512, shrink, tolerance));
    EXPECT_TRUE(ShowsBlockAverages(pic, 0, 0, 2048, 1600, shrink, tolerance));
    paint(1000, 1500, 100, RGB(10, 10, 250));
    EXPECT_TRUE(ShowsBlockAverages(pic, 0, 0, 2048, 1600, shrink, tolerance));
  }
}

// Over an opaque pixel, a source pixel of alpha a mixes (255 - a) / 255 of
// its colour with a / 255 of what is there, rounded to nearest, at every
// alpha.
TEST(DrawPicture, OverAnOpaquePixelEveryAlphaMixesToTheNearestLevel) {
  const auto src = MakePicture(256, 3, [](std::int64_t x, std::int64_t y) {
    return RGB(static_cast<int>(255 - x), static_cast<int>((x * 7 + y * 50) % 256), static_cast<int>(y * 120),
               static_cast<int>(x));
  });
  const auto dst = [](std::int64_t x, std::int64_t y) {
    return RGB(static_cast<int>((x * 3) % 256), static_cast<int>(200 - y * 90), static_cast<int>(x));
  };
  const auto target = MakePicture(256, 3, dst);
  target->Graphics().DrawPicture(src, 0, 0);
  const RGBSurface s = src->RGBSurface();
  EXPECT_TRUE(Shows(target, [&](std::int64_t x, std::int64_t y) {
    const Color a = s.Pixel(x, y), b = dst(x, y);
    auto mix = [&](int sc, int dc) {
      return static_cast<int>(std::lround((sc * (255.0 - a.alpha) + dc * static_cast<double>(a.alpha)) / 255));
    };
    return RGB(mix(a.red, b.red), mix(a.green, b.green), mix(a.blue, b.blue));
  }));
}

// A fresh picture is transparent however it is drawn; once written, what
// was written shows.
TEST(DrawPicture, AFreshPictureDrawsNothingUntilWritten) {
  const auto layer = MakeRef<Picture>(2000, 1500);
  for (const double f : {1.0, 0.5, 0.1, 3.0}) {
    const auto target = SolidPicture(300, 300, kGrey);
    target->Graphics().DrawPicture(layer, 0, 0, 2000 * f, 1500 * f);
    EXPECT_EQ(LargestDifference(target, kGrey), 0) << f;
  }
  layer->RGBSurface().SetPixel(0, 0, kRed);
  const auto target = SolidPicture(300, 300, kGrey);
  target->Graphics().DrawPicture(layer, 0, 0);
  EXPECT_EQ(target->RGBSurface().Pixel(0, 0), kRed);
  EXPECT_EQ(target->RGBSurface().Pixel(1, 0), kGrey);
}

// Enlarged, each target pixel takes the source pixel under its centre.
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
