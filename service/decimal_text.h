#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Exact decimal numbers for the figures that must not pass through binary fractions: dividend amounts
// and exchange rates. Texts are plain decimals ("0.2725", "151.234"): digits with at most one point, no
// sign, no exponent.

// Amounts in millionths (dividends per share): "0.2725" is 272500. False for anything else than a positive
// plain decimal with at most 6 decimals and a value below 10^9.
[[nodiscard]] bool ParseMicros(std::string_view text, int64_t& micros);
// At least `minDecimals` decimals and as many more as the amount needs: 272500 -> "0.2725", 850000 -> "0.85".
std::string FormatMicros(int64_t micros, int minDecimals = 2);
// The amount rounded half away from zero to `decimals` (0 to 6) places: (1090000, 2) -> "1.09".
std::string FormatMicrosFixed(int64_t micros, int decimals);
// micros * numerator / denominator, rounded half away from zero (both factors positive).
int64_t ScaleMicros(int64_t micros, int64_t numerator, int64_t denominator);

// A positive decimal number: mantissa * 10^exponent.
struct Decimal {
  int64_t mantissa = 0;
  int exponent = 0;
  bool Valid() const { return mantissa > 0; }
};

// Rates carry this many significant digits.
inline constexpr int kRateDigits = 6;

// A positive plain decimal of at most 15 significant digits; false for anything else.
[[nodiscard]] bool ParseDecimal(std::string_view text, Decimal& value);
// `value` rounded half away from zero to kRateDigits significant digits; the value must be positive and
// finite, else the result is invalid. Only for figures the simulation makes up.
Decimal RateFromDouble(double value);
// numerator / denominator rounded half away from zero to kRateDigits significant digits.
Decimal DivideRates(const Decimal& numerator, const Decimal& denominator);
// The same number rounded to kRateDigits significant digits.
Decimal RoundRate(const Decimal& value);
// The plain text of the digits as they are: (108453, -5) -> "1.08453", (661234, -8) -> "0.00661234",
// (123456, 1) -> "1234560".
std::string FormatDecimal(const Decimal& value);
// Decimals after the point in FormatDecimal's text.
int DecimalPlaces(const Decimal& value);
// Only for computing percentages and averages on a page, never for a figure that is stored.
double ToDouble(const Decimal& value);
// -1, 0 or 1.
int CompareDecimals(const Decimal& a, const Decimal& b);
