// Pixel memory that costs nothing until written, and the watch that tells
// when pixels were written.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/Picture.h"
#include "framework/PixelMemory.h"
#include "tests/support/Pictures.h"

namespace {

using pixel_memory::WriteWatch;

const Color kRed = RGB(255, 0, 0);

// Pictures made fresh share one page of transparent pixels until written:
// a write lands in its own picture, at its own place, and nowhere else.
TEST(PixelMemory, FreshPicturesAreTransparentAndApart) {
  const auto a = MakeRef<Picture>(3000, 2000), b = MakeRef<Picture>(3000, 2000);
  RGBSurface sa = a->RGBSurface(), sb = b->RGBSurface();
  sa.SetPixel(0, 0, kRed);
  sa.SetPixel(1500, 1000, kRed);
  sa.SetPixel(2999, 1999, kRed);
  for (const auto& p : {std::pair{0, 0}, std::pair{1500, 1000}, std::pair{2999, 1999}}) {
    EXPECT_EQ(sa.Pixel(p.first, p.second), kRed);
    EXPECT_EQ(sb.Pixel(p.first, p.second), kTransparent);
  }
  EXPECT_EQ(sa.Pixel(1, 0), kTransparent);
  EXPECT_EQ(sa.Pixel(1499, 1000), kTransparent);
  EXPECT_EQ(MakeRef<Picture>(3000, 2000)->RGBSurface().Pixel(1500, 1000), kTransparent);
}

// Pixels in pages of their own, and pixels sharing their first and last
// pages with other data, as new[] gives them; small ones have no page of
// their own at all.
struct Block {
  const char* name;
  std::size_t count;
  bool mapped;
};
const Block kBlocks[] = {
    {"mapped", 1 << 20, true},
    {"allocated", 1 << 20, false},
    {"allocated, odd size", (1 << 20) + 13, false},
    {"small", 300, false},
};

class Pixels {
 public:
  explicit Pixels(const Block& b)
      : count_(b.count),
        data_(b.mapped ? pixel_memory::MapTransparent(count_) : new Color[count_], PixelRelease(b.mapped ? count_ : 0)) {
    if (!b.mapped) std::fill_n(data_.get(), count_, kTransparent);
  }
  Color* data() const { return data_.get(); }
  std::size_t count() const { return count_; }

 private:
  std::size_t count_;
  std::unique_ptr<Color[], PixelRelease> data_;
};

TEST(WriteWatch, NoticesEveryWriteWherever) {
  const struct {
    const char* name;
    std::function<void(Color*, std::size_t)> write;
  } writes[] = {
      {"first pixel", [](Color* p, std::size_t) { p[0] = kRed; }},
      {"last byte", [](Color* p, std::size_t n) { p[n - 1].alpha = 7; }},
      {"middle", [](Color* p, std::size_t n) { p[n / 2 + 3] = kRed; }},
      {"memcpy", [](Color* p, std::size_t n) { std::memcpy(p + n / 3, p, 64 * sizeof(Color)); p[n / 3].red = 1; }},
      {"fill", [](Color* p, std::size_t n) { std::fill_n(p + n / 4, n / 2, kRed); }},
  };
  for (const Block& b : kBlocks) {
    for (const auto& w : writes) {
      SCOPED_TRACE(std::string(b.name) + ", " + w.name);
      Pixels pixels(b);
      ASSERT_NE(pixels.data(), nullptr);
      WriteWatch watch;
      ASSERT_TRUE(watch.Start(pixels.data(), pixels.count()));
      EXPECT_FALSE(watch.Written());
      EXPECT_EQ(pixels.data()[pixels.count() / 2], kTransparent) << "reading is no write";
      EXPECT_FALSE(watch.Written());
      w.write(pixels.data(), pixels.count());
      EXPECT_TRUE(watch.Written());
      // Later writes go ahead as they would unwatched.
      pixels.data()[pixels.count() / 2 + 1] = kRed;
      EXPECT_EQ(pixels.data()[pixels.count() / 2 + 1], kRed);
      watch.Stop();
      EXPECT_TRUE(watch.Written()) << "stopped, it vouches for nothing";
    }
  }
}

// Watched again after a write, the memory is watched afresh; stopped, it
// takes writes without a fault.
TEST(WriteWatch, StartsAfreshAndStops) {
  for (const Block& b : kBlocks) {
    SCOPED_TRACE(b.name);
    Pixels pixels(b);
    WriteWatch watch;
    ASSERT_TRUE(watch.Start(pixels.data(), pixels.count()));
    pixels.data()[10] = kRed;
    ASSERT_TRUE(watch.Written());
    ASSERT_TRUE(watch.Start(pixels.data(), pixels.count()));
    EXPECT_FALSE(watch.Written());
    pixels.data()[pixels.count() - 10] = kRed;
    EXPECT_TRUE(watch.Written());
    watch.Stop();
    pixels.data()[pixels.count() / 2] = kRed;
    EXPECT_EQ(pixels.data()[pixels.count() / 2], kRed);
  }
}

// Grown from a part of the pixels to all of them, a watch notices a write
// anywhere: in the part first watched, at its ends (whose pages it shared
// with pixels not watched then), and in what was added; the protection of
// the whole is lifted at the first write, or when stopped.
TEST(WriteWatch, GrownNoticesEveryWrite) {
  for (const Block& b : kBlocks) {
    const std::size_t n = b.count, from = n / 3, to = 2 * n / 3;
    const std::size_t writes[] = {(from + to) / 2, from, to - 1, from / 2, (to + n) / 2, 0, n - 1};
    for (const std::size_t at : writes) {
      SCOPED_TRACE(std::string(b.name) + ", pixel " + std::to_string(at));
      Pixels pixels(b);
      WriteWatch watch;
      ASSERT_TRUE(watch.Start(pixels.data() + from, to - from));
      ASSERT_TRUE(watch.Grow(pixels.data(), n));
      EXPECT_FALSE(watch.Written());
      pixels.data()[at].alpha = 7;
      EXPECT_TRUE(watch.Written());
      for (const std::size_t other : writes) pixels.data()[other] = kRed;
      watch.Stop();
    }
    Pixels pixels(b);
    WriteWatch watch;
    ASSERT_TRUE(watch.Start(pixels.data() + from, to - from));
    ASSERT_TRUE(watch.Grow(pixels.data(), n));
    watch.Stop();
    for (const std::size_t at : writes) pixels.data()[at] = kRed;
    EXPECT_EQ(pixels.data()[from / 2], kRed);
  }
}

// Beyond the ranges the system can watch, a watch says so and counts every
// range as written, so nothing derived from it is trusted; the others go on.
TEST(WriteWatch, BeyondTheLimitEveryRangeCountsAsWritten) {
  std::vector<std::unique_ptr<Pixels>> blocks;
  std::vector<std::unique_ptr<WriteWatch>> watches;
  bool refused = false;
  const Block pages{"a few pages", 5000, false};
  for (int i = 0; i < 400 && !refused; ++i) {
    blocks.push_back(std::make_unique<Pixels>(pages));
    watches.push_back(std::make_unique<WriteWatch>());
    refused = !watches.back()->Start(blocks.back()->data(), blocks.back()->count());
  }
  ASSERT_TRUE(refused);
  EXPECT_TRUE(watches.back()->Written());
  EXPECT_FALSE(watches.front()->Written());
  blocks.front()->data()[5] = kRed;
  EXPECT_TRUE(watches.front()->Written());
  EXPECT_FALSE(watches[1]->Written());
}

// A fault that is no write into watched pixels still ends the process.
TEST(WriteWatchDeathTest, OtherFaultsStillEndTheProcess) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  Pixels pixels(kBlocks[0]);
  WriteWatch watch;
  ASSERT_TRUE(watch.Start(pixels.data(), pixels.count()));
  EXPECT_DEATH(
      {
        Color* volatile nowhere = nullptr;
        nowhere->red = 1;
      },
      "");
  pixels.data()[0] = kRed;
  EXPECT_TRUE(watch.Written());
}

}  // namespace
