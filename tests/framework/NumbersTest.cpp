// Round, truncation to integers, and the texts of numbers.

#include <gtest/gtest.h>

#include <stdlib.h>

#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <limits>
#include <string>

#include "framework/Numbers.h"
#include "framework/TestSeams.h"

namespace {

constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();

TEST(Numbers, RoundTakesHalvesAwayFromZero) {
  const struct {
    double x, rounded;
  } cases[] = {
      {0.5, 1},   {1.5, 2},   {2.5, 3},   {-0.5, -1}, {-2.5, -3}, {1.4, 1},
      {-1.4, -1}, {1.6, 2},   {0.0, 0},   {-7.0, -7},
      {0.49999999999999994, 0},  // x + 0.5 would round up to 1
  };
  for (const auto& c : cases) EXPECT_EQ(Round(c.x), c.rounded) << c.x;
}

TEST(Numbers, ToIntegerTruncatesTowardZeroAndSaturates) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  const struct {
    double x;
    std::int64_t integer;
  } cases[] = {
      {1.9, 1},
      {-1.9, -1},
      {0.999, 0},
      {-0.999, 0},
      {123456789.0, 123456789},
      {1e40, kMax},
      {-1e40, kMin},
      {inf, kMax},
      {-inf, kMin},
      {nan, 0},
      {9223372036854775808.0, kMax},   // 2^63
      {-9223372036854775808.0, kMin},  // -2^63 is in range
      {9223372036854774784.0, 9223372036854774784},  // the largest double below 2^63
  };
  for (const auto& c : cases) EXPECT_EQ(ToInteger(c.x), c.integer) << c.x;
}

TEST(Numbers, StrOfIntegers) {
  EXPECT_EQ(Str(std::int64_t{0}), "0");
  EXPECT_EQ(Str(std::int64_t{-42}), "-42");
  EXPECT_EQ(Str(kMin), "-9223372036854775808");
  EXPECT_EQ(Str(910), "910");
}

TEST(Numbers, StrOfDoubles) {
  const struct {
    double x;
    const char* text;
  } cases[] = {
      {100.0, "100"},
      {1.2, "1.2"},
      {-0.5, "-0.5"},
      {0.0, "0"},
      {-0.0, "0"},
      {5.0 / 6.0, "0.833333333333333"},
      {172.8, "172.8"},
      {1e15, "1000000000000000"},
      {1.5e-7, "1.5e-07"},
      // Products that miss a whole number or a short decimal by the last
      // bits print as that number: zoom captions and zoom factors.
      {100.0 * 0.56, "56"},
      {100.0 * 0.29, "29"},
      {1.2 * 1.2 * 1.2, "1.728"},
      {2.0736 * 100.0, "207.36"},
  };
  for (const auto& c : cases) EXPECT_EQ(Str(c.x), c.text) << c.text;
}

TEST(Numbers, FormatWithTwoDecimals) {
  const struct {
    double x;
    const char* text;
  } cases[] = {
      {172.8, "172.80"},
      {207.35999999999999, "207.36"},
      {100.0, "100.00"},
      {0.0, "0.00"},
      {12.3456, "12.35"},
      {-3.5, "-3.50"},
  };
  for (const auto& c : cases) EXPECT_EQ(Format(c.x, "0.00"), c.text) << c.text;
  EXPECT_EQ(Format(41.6, "0"), "42");
}

// The developer log reads the same on every machine; the zoom caption is
// written for the person in front of it.
TEST(Numbers, FormatWritesTheLocalesDecimalSeparatorAndStrAPoint) {
  TestSeams::SetLocale("de_DE");
  EXPECT_EQ(Format(83.333333333333, "0.00"), "83,33");
  EXPECT_EQ(Format(-3.5, "0.00"), "-3,50");
  EXPECT_EQ(Format(41.6, "0"), "42");
  EXPECT_EQ(Str(5.0 / 6.0), "0.833333333333333");
  EXPECT_EQ(Str(1.5e-7), "1.5e-07");
  EXPECT_EQ(Str(100.0), "100");
  TestSeams::SetLocale("C");
  EXPECT_EQ(Format(83.333333333333, "0.00"), "83.33");
}

// The C library's numbers in a German locale while the object lives: an
// installed one, or else one compiled into a temporary folder from the
// system's locale sources. Active() is false when neither can be had.
class GermanCNumbers {
 public:
  GermanCNumbers() {
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "de_DE", "fr_FR.UTF-8", "fr_FR.utf8"})
      if (std::setlocale(LC_NUMERIC, name)) return;
    char dir[] = "/tmp/pixelmoth-locale-XXXXXX";
    if (!mkdtemp(dir)) return;
    dir_ = dir;
    const std::string compile = "localedef -i de_DE -f UTF-8 " + dir_.string() + "/de_DE.UTF-8 >/dev/null 2>&1";
    if (std::system(compile.c_str()) != 0) return;
    setenv("LOCPATH", dir, 1);
    std::setlocale(LC_NUMERIC, "de_DE.UTF-8");
  }
  ~GermanCNumbers() {
    std::setlocale(LC_NUMERIC, "C");
    unsetenv("LOCPATH");
    std::error_code ignored;
    if (!dir_.empty()) std::filesystem::remove_all(dir_, ignored);
  }
  GermanCNumbers(const GermanCNumbers&) = delete;
  GermanCNumbers& operator=(const GermanCNumbers&) = delete;
  bool Active() const {
    char buf[8];
    std::snprintf(buf, sizeof buf, "%.1f", 0.5);
    return std::string(buf) == "0,5";
  }

 private:
  std::filesystem::path dir_;
};

TEST(Numbers, StrWritesAPointWhileTheCLibraryWritesAComma) {
  GermanCNumbers german;
  if (!german.Active()) GTEST_SKIP() << "no locale with a decimal comma here";
  EXPECT_EQ(Str(5.0 / 6.0), "0.833333333333333");
  EXPECT_EQ(Str(0.0694444444444444), "0.0694444444444444");
  EXPECT_EQ(Str(1.5e-7), "1.5e-07");
  EXPECT_EQ(Str(172.8), "172.8");
}

}  // namespace
