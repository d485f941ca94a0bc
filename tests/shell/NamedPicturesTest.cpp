// The sixteen named pictures with the artwork in place.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "framework/TestSeams.h"
#include "shell/NamedPictures.h"
#include "tests/shell/NamedPictureTable.h"

namespace {

// Pixels at least half covered, and the lowest transparency along the
// outermost ring of pixels (Color alpha 255 is fully transparent).
struct AlphaCensus {
  int drawn = 0;
  int borderTransparency = 255;
};

AlphaCensus CountAlpha(const Ref<Picture>& p) {
  AlphaCensus census;
  RGBSurface s = p->RGBSurface();
  for (std::int64_t y = 0; y < p->Height(); ++y)
    for (std::int64_t x = 0; x < p->Width(); ++x) {
      const int a = s.Pixel(x, y).alpha;
      census.drawn += a < 128;
      if (x == 0 || y == 0 || x == p->Width() - 1 || y == p->Height() - 1)
        census.borderTransparency = std::min(census.borderTransparency, a);
    }
  return census;
}

TEST(NamedPictures, EachOpensOnceAndIsSharedAfterwards) {
  for (const NamedPicture& row : kNamedPictures) {
    SCOPED_TRACE(row.name);
    const Ref<Picture> first = row.accessor();
    ASSERT_TRUE(first);
    EXPECT_EQ(row.accessor(), first);
    EXPECT_EQ(TestSeams::OpenFromAppCount(row.name), 1);
  }
}

// Opaque all over, so that no back colour shows through the picture.
TEST(NamedPictures, SplashFillsItsWindow) {
  const Ref<Picture> p = splash();
  ASSERT_TRUE(p);
  EXPECT_EQ(p->Width(), 600);
  EXPECT_EQ(p->Height(), 400);
  RGBSurface s = p->RGBSurface();
  int seeThrough = 0;
  for (std::int64_t y = 0; y < p->Height(); ++y)
    for (std::int64_t x = 0; x < p->Width(); ++x) seeThrough += s.Pixel(x, y).alpha != 0;
  EXPECT_EQ(seeThrough, 0);
}

// Button-sized, drawn on a transparent ground, twice as large for
// high-resolution screens.
TEST(NamedPictures, IconsFitTheButtonsOnATransparentGround) {
  for (const NamedPicture& row : kNamedPictures) {
    if (row.accessor == &splash) continue;
    SCOPED_TRACE(row.name);
    const Ref<Picture> p = row.accessor();
    ASSERT_TRUE(p);
    EXPECT_EQ(p->Width(), 30);
    EXPECT_EQ(p->Height(), 30);
    EXPECT_TRUE(p->HasAlphaChannel());
    const AlphaCensus census = CountAlpha(p);
    EXPECT_GT(census.drawn, 40) << "too little to see";
    EXPECT_GE(census.borderTransparency, 240) << "the drawing runs into the edge";
    ASSERT_TRUE(p->HighResolution());
    EXPECT_EQ(p->HighResolution()->Width(), 60);
    EXPECT_EQ(p->HighResolution()->Height(), 60);
  }
}

// No two tool buttons look alike: their icons differ in a good share of
// their pixels.
TEST(NamedPictures, NoTwoIconsAlike) {
  std::vector<const NamedPicture*> icons;
  for (const NamedPicture& row : kNamedPictures)
    if (row.accessor != &splash) icons.push_back(&row);
  for (std::size_t i = 0; i < icons.size(); ++i)
    for (std::size_t j = i + 1; j < icons.size(); ++j) {
      RGBSurface a = icons[i]->accessor()->RGBSurface(), b = icons[j]->accessor()->RGBSurface();
      int differing = 0;
      for (std::int64_t y = 0; y < 30; ++y)
        for (std::int64_t x = 0; x < 30; ++x) differing += a.Pixel(x, y) != b.Pixel(x, y);
      EXPECT_GT(differing, 90) << icons[i]->name << " and " << icons[j]->name;
    }
}

}  // namespace
