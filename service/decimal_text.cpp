#include "service/decimal_text.h"

#include <cmath>

namespace {

using Wide = __int128;

constexpr int64_t kMicrosLimit = int64_t{1000000000} * 1000000;  // 10^9 units
constexpr int kMaxDigits = 15;

int DigitCount(Wide value) {
  int digits = 1;
  while (value >= 10) {
    value /= 10;
    ++digits;
  }
  return digits;
}

Wide Power10(int exponent) {
  Wide p = 1;
  for (int i = 0; i < exponent; ++i) p *= 10;
  return p;
}

// The digits of a plain decimal text, and how many of them follow the point; false for anything else.
bool SplitDigits(std::string_view text, Wide& digits, int& decimals, int& significant) {
  digits = 0;
  decimals = 0;
  significant = 0;
  bool point = false, any = false;
  for (char c : text) {
    if (c == '.') {
      if (point) return false;
      point = true;
      continue;
    }
    if (c < '0' || c > '9') return false;
    any = true;
    if (digits > 0 || c != '0') ++significant;
    if (significant > 18) return false;
    digits = digits * 10 + (c - '0');
    if (point && ++decimals > 18) return false;
  }
  return any && !(point && text.back() == '.') && text.front() != '.';
}

}  // namespace

bool ParseMicros(std::string_view text, int64_t& micros) {
  Wide digits = 0;
  int decimals = 0, significant = 0;
  if (!SplitDigits(text, digits, decimals, significant) || decimals > 6) return false;
  const Wide value = digits * Power10(6 - decimals);
  if (value <= 0 || value >= kMicrosLimit) return false;
  micros = static_cast<int64_t>(value);
  return true;
}

std::string FormatMicrosFixed(int64_t micros, int decimals) {
  const int64_t unit = static_cast<int64_t>(Power10(6 - decimals));
  const int64_t rounded = (micros + unit / 2) / unit;  // amounts are never negative
  std::string text = std::to_string(rounded / static_cast<int64_t>(Power10(decimals)));
  if (decimals == 0) return text;
  std::string fraction = std::to_string(rounded % static_cast<int64_t>(Power10(decimals)));
  return text + "." + std::string(static_cast<size_t>(decimals) - fraction.size(), '0') + fraction;
}

std::string FormatMicros(int64_t micros, int minDecimals) {
  int decimals = 6;
  while (decimals > minDecimals && micros % static_cast<int64_t>(Power10(7 - decimals)) == 0) --decimals;
  return FormatMicrosFixed(micros, decimals);
}

int64_t ScaleMicros(int64_t micros, int64_t numerator, int64_t denominator) {
  const Wide product = Wide{micros} * numerator;
  return static_cast<int64_t>((product * 2 + denominator) / (Wide{denominator} * 2));
}

bool ParseDecimal(std::string_view text, Decimal& value) {
  Wide digits = 0;
  int decimals = 0, significant = 0;
  if (!SplitDigits(text, digits, decimals, significant) || digits <= 0) return false;
  int exponent = -decimals;
  while (digits % 10 == 0 && exponent < 0) {
    digits /= 10;
    ++exponent;
  }
  if (DigitCount(digits) > kMaxDigits) return false;
  value = {static_cast<int64_t>(digits), exponent};
  return true;
}

// num / den * 10^exponent rounded to kRateDigits significant digits; both positive.
static Decimal RoundQuotient(Wide num, Wide den, int exponent) {
  const Wide low = Power10(kRateDigits - 1), high = Power10(kRateDigits);
  while (num < den * low) {
    num *= 10;
    --exponent;
  }
  while (num >= den * high) {
    den *= 10;
    ++exponent;
  }
  Wide q = (num * 2 + den) / (den * 2);
  if (q == high) {
    q = low;
    ++exponent;
  }
  return {static_cast<int64_t>(q), exponent};
}

Decimal RoundRate(const Decimal& value) {
  if (!value.Valid()) return {};
  return RoundQuotient(value.mantissa, 1, value.exponent);
}

Decimal DivideRates(const Decimal& numerator, const Decimal& denominator) {
  if (!numerator.Valid() || !denominator.Valid()) return {};
  return RoundQuotient(numerator.mantissa, denominator.mantissa, numerator.exponent - denominator.exponent);
}

Decimal RateFromDouble(double value) {
  if (!(value > 0) || !std::isfinite(value) || value > 1e15 || value < 1e-15) return {};
  int exponent = static_cast<int>(std::floor(std::log10(value))) - (kRateDigits - 1);
  double scaled = value / std::pow(10.0, exponent);
  // log10 may land one off near a power of ten; the mantissa is put back into its six digits.
  if (scaled >= 999999.5) {
    ++exponent;
    scaled /= 10.0;
  } else if (scaled < 99999.5) {
    --exponent;
    scaled *= 10.0;
  }
  return RoundQuotient(static_cast<Wide>(std::llround(scaled)), 1, exponent);
}

int DecimalPlaces(const Decimal& value) {
  return value.exponent < 0 ? -value.exponent : 0;
}

std::string FormatDecimal(const Decimal& value) {
  std::string digits = std::to_string(value.mantissa);
  if (value.exponent >= 0) return digits + std::string(static_cast<size_t>(value.exponent), '0');
  const size_t places = static_cast<size_t>(-value.exponent);
  if (digits.size() <= places) digits.insert(0, places - digits.size() + 1, '0');
  digits.insert(digits.size() - places, ".");
  return digits;
}

double ToDouble(const Decimal& value) {
  return static_cast<double>(value.mantissa) * std::pow(10.0, value.exponent);
}

int CompareDecimals(const Decimal& a, const Decimal& b) {
  // Magnitudes first, so that the exact comparison below never scales by more than a few powers of ten.
  const int magnitudeA = DigitCount(a.mantissa) + a.exponent,
            magnitudeB = DigitCount(b.mantissa) + b.exponent;
  if (magnitudeA != magnitudeB) return magnitudeA < magnitudeB ? -1 : 1;
  const int common = std::min(a.exponent, b.exponent);
  const Wide left = Wide{a.mantissa} * Power10(a.exponent - common);
  const Wide right = Wide{b.mantissa} * Power10(b.exponent - common);
  return left < right ? -1 : left > right ? 1 : 0;
}
