#include "framework/Numbers.h"

#include <QLocale>

#include <charconv>
#include <cmath>
#include <limits>

double Round(double x) noexcept { return std::round(x); }

std::int64_t ToInteger(double x) noexcept {
  if (std::isnan(x)) return 0;
  // 2^63 is exactly representable; everything at or beyond it saturates.
  constexpr double kLimit = 9223372036854775808.0;
  if (x >= kLimit) return std::numeric_limits<std::int64_t>::max();
  if (x < -kLimit) return std::numeric_limits<std::int64_t>::min();
  return static_cast<std::int64_t>(x);  // truncates toward zero
}

double Sin(double x) noexcept { return std::sin(x); }

std::string Str(std::int64_t x) { return std::to_string(x); }
std::string Str(int x) { return std::to_string(x); }

std::string Str(double x) {
  if (std::isnan(x)) return "NaN";
  if (std::isinf(x)) return x > 0 ? "INF" : "-INF";
  if (x == 0) return "0";  // -0 as well
  // to_chars ignores the locale: the developer log reads the same on every
  // machine. Whole values below 2^53 print as plain digits; the rest with 15
  // significant digits, which drops the noise of the last bits: 100 x 0.56 is
  // 56.00000000000001 in doubles and prints as 56.
  char buf[64];
  const bool whole = x == std::trunc(x) && std::fabs(x) < 9007199254740992.0;
  const std::to_chars_result r = whole ? std::to_chars(buf, buf + sizeof buf, x, std::chars_format::fixed, 0)
                                       : std::to_chars(buf, buf + sizeof buf, x, std::chars_format::general, 15);
  return std::string(buf, r.ptr);
}

std::string Format(double x, const std::string& pattern) {
  if (std::isnan(x)) return "NaN";
  if (std::isinf(x)) return x > 0 ? "INF" : "-INF";
  const auto dot = pattern.find('.');
  const int decimals = dot == std::string::npos ? 0 : static_cast<int>(pattern.size() - dot - 1);
  std::string text(std::size_t{320} + static_cast<std::size_t>(decimals), '\0');  // room for any double
  text.resize(static_cast<std::size_t>(
      std::to_chars(text.data(), text.data() + text.size(), x, std::chars_format::fixed, decimals).ptr - text.data()));
  // The text people read: with the decimal separator of their locale.
  if (const auto point = text.find('.'); point != std::string::npos) {
    text.replace(point, 1, QLocale().decimalPoint().toStdString());
  }
  return text;
}
