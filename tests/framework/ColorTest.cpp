// Hue, saturation, value and HSV: the hexcone model with bytes rounded to
// nearest, halves up.

#include <gtest/gtest.h>

#include <cmath>

#include "framework/Color.h"

namespace {

struct HsvCase {
  const char* name;
  Color color;
  double hue, saturation, value;
};

const HsvCase kHsvCases[] = {
    {"red", RGB(255, 0, 0), 0.0, 1.0, 1.0},
    {"green", RGB(0, 255, 0), 1.0 / 3.0, 1.0, 1.0},
    {"blue", RGB(0, 0, 255), 2.0 / 3.0, 1.0, 1.0},
    {"yellow", RGB(255, 255, 0), 1.0 / 6.0, 1.0, 1.0},
    {"cyan", RGB(0, 255, 255), 0.5, 1.0, 1.0},
    {"magenta", RGB(255, 0, 255), 5.0 / 6.0, 1.0, 1.0},
    {"black", RGB(0, 0, 0), 0.0, 0.0, 0.0},
    {"white", RGB(255, 255, 255), 0.0, 0.0, 1.0},
    {"grey", RGB(128, 128, 128), 0.0, 0.0, 128.0 / 255.0},
    {"dark grey", RGB(1, 1, 1), 0.0, 0.0, 1.0 / 255.0},
    // max r: (g - b) / d
    {"orange", RGB(200, 100, 50), (50.0 / 150.0) / 6.0, 150.0 / 200.0, 200.0 / 255.0},
    // max r with g < b: the hue wraps by + 6
    {"rose", RGB(255, 0, 128), (-128.0 / 255.0 + 6.0) / 6.0, 1.0, 1.0},
    // max g: (b - r) / d + 2
    {"leaf", RGB(30, 180, 90), (60.0 / 150.0 + 2.0) / 6.0, 150.0 / 180.0, 180.0 / 255.0},
    // max b: (r - g) / d + 4
    {"sky", RGB(50, 100, 200), (-50.0 / 150.0 + 4.0) / 6.0, 150.0 / 200.0, 200.0 / 255.0},
    // ties: r is tested before g, g before b
    {"r = g", RGB(200, 200, 100), (100.0 / 100.0) / 6.0, 100.0 / 200.0, 200.0 / 255.0},
    {"g = b", RGB(100, 200, 200), (100.0 / 100.0 + 2.0) / 6.0, 100.0 / 200.0, 200.0 / 255.0},
};

TEST(Color, HueSaturationValueOfATableOfColours) {
  for (const HsvCase& c : kHsvCases) {
    SCOPED_TRACE(c.name);
    EXPECT_DOUBLE_EQ(c.color.Hue(), c.hue);
    EXPECT_DOUBLE_EQ(c.color.Saturation(), c.saturation);
    EXPECT_DOUBLE_EQ(c.color.Value(), c.value);
  }
}

TEST(Color, HsvBuildsTheTableColours) {
  for (const HsvCase& c : kHsvCases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(HSV(c.hue, c.saturation, c.value), c.color);
  }
}

TEST(Color, HsvOfHueSaturationValueGivesEveryColourBack) {
  for (int r = 0; r < 256; r += 15)
    for (int g = 0; g < 256; g += 17)
      for (int b = 0; b < 256; b += 51) {
        const Color c = RGB(r, g, b);
        ASSERT_EQ(HSV(c.Hue(), c.Saturation(), c.Value()), c) << r << " " << g << " " << b;
      }
}

TEST(Color, HueIsAlwaysBelowOne) {
  for (int g = 0; g < 256; ++g) {
    const double h = RGB(255, 0, g).Hue();
    EXPECT_GE(h, 0.0);
    EXPECT_LT(h, 1.0);
  }
}

TEST(Color, HsvHueWrapsAroundTheCircle) {
  EXPECT_EQ(HSV(1.25, 1, 1), HSV(0.25, 1, 1));
  EXPECT_EQ(HSV(1.0, 1, 1), HSV(0.0, 1, 1));
  EXPECT_EQ(HSV(-0.25, 1, 1), HSV(0.75, 1, 1));
  EXPECT_EQ(HSV(7.5, 1, 1), HSV(0.5, 1, 1));
  // h - floor(h) rounds to exactly 1.0 here: that is hue 0, red.
  EXPECT_EQ(HSV(-1e-18, 1, 1), RGB(255, 0, 0));
  EXPECT_EQ(HSV(-1e-18, 1, 1), HSV(0.0, 1, 1));
}

TEST(Color, HsvClampsSaturationAndValue) {
  EXPECT_EQ(HSV(0.4, 1.5, 1), HSV(0.4, 1, 1));
  EXPECT_EQ(HSV(0.4, -0.5, 1), RGB(255, 255, 255));
  EXPECT_EQ(HSV(0.4, 1, 2.0), HSV(0.4, 1, 1));
  EXPECT_EQ(HSV(0.4, 1, -1.0), RGB(0, 0, 0));
}

TEST(Color, HsvRoundsHalvesUp) {
  // 0.5 * 255 = 127.5 exactly
  EXPECT_EQ(HSV(0, 0, 0.5), RGB(128, 128, 128));
  // p = v(1 - s) = 0.5 in the red sector
  EXPECT_EQ(HSV(0, 0.5, 1), RGB(255, 128, 128));
  // just below a half rounds down
  EXPECT_EQ(HSV(0, 0, std::nextafter(127.5 / 255.0, 0.0)).red, 127);
}

TEST(Color, HsvKeepsTheAlphaGiven) {
  EXPECT_EQ(HSV(0.3, 0.2, 0.9).alpha, 0);
  EXPECT_EQ(HSV(0.3, 0.2, 0.9, 77).alpha, 77);
}

}  // namespace
