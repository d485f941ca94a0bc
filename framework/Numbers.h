#pragma once
// The framework's number functions. A double assigned to an integer is
// truncated toward zero (ToInteger); Round names rounding explicitly.

#include <cstdint>
#include <string>

// Nearest whole number, halves away from zero.
double Round(double x) noexcept;

// Truncation toward zero into a 64-bit integer. Values beyond the range
// saturate and NaN gives 0, so a runaway zoom never makes the conversion
// undefined.
std::int64_t ToInteger(double x) noexcept;

inline double Min(double a, double b) noexcept { return b < a ? b : a; }
inline double Max(double a, double b) noexcept { return a < b ? b : a; }
double Sin(double x) noexcept;

// Default text of a number, the same in every locale: integers in decimal;
// doubles with a point and up to 15 significant digits, whole values without
// decimals ("100", "1.2", "0.833333333333333", and "56" for 100 x 0.56, which
// lies a bit above 56).
std::string Str(std::int64_t x);
std::string Str(int x);
std::string Str(double x);

// Number formatting with a pattern of zeros and an optional fraction, with
// the decimal separator of the user's locale: Format(172.8, "0.00") is
// "172.80", or "172,80" in a German one.
std::string Format(double x, const std::string& pattern);
