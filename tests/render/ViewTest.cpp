// The view's arithmetic and the zoom caption, as image intake, the paint and
// the benchmark share them.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

#include "render/View.h"

namespace {
constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();

TEST(ViewArithmetic, ZoomedSizeRoundsAndSaturates) {
  struct Case {
    std::int64_t side;
    double zoom;
    std::int64_t expected;
  } cases[] = {
      {1001, 1.0, 1001},    {1000, 0.5, 500},    {700, 0.5, 350},
      {1000, 1 / 1.2, 833}, {700, 1 / 1.2, 583}, {100, 1 / 1.2, 83},
      {6000, 1e40, kMax},   {6000, 1e-40, 0},    {6000, std::numeric_limits<double>::infinity(), kMax},
  };
  for (const Case& c : cases) EXPECT_EQ(ZoomedSize(c.side, c.zoom), c.expected) << c.side << " x " << c.zoom;
}

TEST(ViewArithmetic, CentringTruncatesHalvesTowardZero) {
  struct Case {
    std::int64_t canvas, zoomed, expected;
  } cases[] = {
      {910, 1001, -45},  // -45.5
      {647, 700, -26},   // -26.5
      {910, 500, 205},
      {647, 350, 148},
      {910, 800, 55},
      {647, 600, 23},
      {910, 0, 455},
      // Saturated zoomed sizes: the difference saturates before it is halved.
      {910, kMax, static_cast<std::int64_t>(static_cast<double>(910 - kMax) / 2.0)},
      {0, kMin, std::int64_t{1} << 62},
  };
  for (const Case& c : cases)
    EXPECT_EQ(CentredOffset(c.canvas, c.zoomed), c.expected) << c.canvas << " - " << c.zoomed;
}

TEST(ViewArithmetic, FittedCentringIsComputedInDoubles) {
  struct Case {
    std::int64_t canvas, side;
    double zoom;
    std::int64_t expected;
  } cases[] = {
      {910, 1820, 0.5, 0},           {647, 647, 0.5, 161},         {910, 100, 647 / 6000.0, 449},
      {647, 6000, 647 / 6000.0, 0},  {910, 1106, 910 / 1106.0, 0},  // a hair below zero truncates to 0, not
                                                                    // -1
      {647, 100, 910 / 1106.0, 282}, {910, 6000, 1e40, kMin},
  };
  for (const Case& c : cases)
    EXPECT_EQ(FittedCentredOffset(c.canvas, c.side, c.zoom), c.expected) << c.canvas << ", " << c.side;
}

TEST(ViewArithmetic, DrawingPositionAddsTheCorrectionOnlyAwayFromExactlyOne) {
  struct Case {
    std::int64_t centred, pictureOffset, drag, pan, correction;
    double zoom;
    std::int64_t expected;
  } cases[] = {
      {-45, 0, 0, 0, 0, 1.0, -45},
      {-45, 0, -10, 30, 0, 1.0, -25},  // 20 right of the centred place
      {205, 0, -10, 30, 0, 0.5, 225},
      {205, 0, 0, 0, 7, 1.0, 205},
      {205, 0, 0, 0, 7, 0.5, 212},
      {205, 0, 0, 0, 7, 1.0 + 1e-15, 212},
      {10, 3, 0, 0, 0, 1.0, 13},
      // Sums near the limits hold there.
      {kMin / 2 - 5, 0, 0, kMin, 0, 1.0, kMin},
      {kMax / 2, 0, kMax, kMax, kMax, 8.0, kMax},
      {kMax, kMin, 0, 0, 0, 1.0, -1},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(DrawingPosition(c.centred, c.pictureOffset, c.drag, c.pan, c.correction, c.zoom), c.expected)
        << c.centred << " + " << c.pictureOffset << " + " << c.drag << " + " << c.pan << " (+ "
        << c.correction << ") at " << c.zoom;
  }
}

TEST(ViewArithmetic, SaturatingAdd) {
  EXPECT_EQ(SaturatingAdd(2, 3), 5);
  EXPECT_EQ(SaturatingAdd(kMax, 1), kMax);
  EXPECT_EQ(SaturatingAdd(kMin, -1), kMin);
  EXPECT_EQ(SaturatingAdd(kMax, kMin), -1);
}

TEST(ZoomCaption, WholePercentagesWithoutDecimalsOthersWithTwo) {
  // The factors as the zoom steps make them: repeated products of 1.2.
  const double in1 = 1.0 * 1.2, in2 = in1 * 1.2, in3 = in2 * 1.2, in4 = in3 * 1.2;
  struct Case {
    double zoom;
    const char* expected;
  } cases[] = {
      {1.0, "100%"},       {in1, "120%"},    {in2, "144%"}, {1.44, "144%"},
      {in3, "172.80%"},    {in4, "207.36%"},  // 100 x 2.0736 lies just below 207.36
      {1 / 1.2, "83.33%"}, {0.5, "50%"},     {2.0, "200%"}, {0.25, "25%"},
      // Fits of 1625, 3250 and 3000 pixel wide pictures: 100 x factor misses
      // the whole percentage by a hair (56.00000000000001), and the caption
      // still shows it whole.
      {910 / 1625.0, "56%"}, {910 / 3250.0, "28%"}, {870.0 / 3000.0, "29%"},
  };
  for (const Case& c : cases) EXPECT_EQ(ZoomCaption(c.zoom), c.expected) << c.zoom;
}
}  // namespace
