#include "portfolio/records/exact_decimal.h"

#include <limits>

#include "portfolio/records/vl_currency.h"

namespace {

int64_t ClampedCents(Int128 cents) {
  if (cents > VLCurrency::kMaxCents) return VLCurrency::kMaxCents;
  if (cents < -VLCurrency::kMaxCents) return -VLCurrency::kMaxCents;
  return static_cast<int64_t>(cents);
}

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

}  // namespace

Int128 DivideRounded(Int128 a, Int128 b) {
  if (b < 0) a = -a, b = -b;
  const Int128 quotient = a / b;
  const Int128 rest = a % b;  // carries the sign of a
  const Int128 twice = (rest < 0 ? -rest : rest) * 2;
  if (twice < b) return quotient;
  return a < 0 ? quotient - 1 : quotient + 1;
}

int64_t CentsOfPrice(UnitPrice price) {
  // A save asks this of five prices of every position: in 64 bits it is a multiplication, where the division
  // of 128 bits is a call. Only a price near the ends of 64 bits takes the long way.
  constexpr int64_t kHalf = kPriceUnitsPerCent / 2;
  const int64_t units = price.Units();
  if (units >= 0 && units <= std::numeric_limits<int64_t>::max() - kHalf)
    return (units + kHalf) / kPriceUnitsPerCent;
  if (units < 0 && units >= -(std::numeric_limits<int64_t>::max() - kHalf))
    return -((-units + kHalf) / kPriceUnitsPerCent);
  return static_cast<int64_t>(DivideRounded(units, kPriceUnitsPerCent));
}

int64_t ProductCents(Quantity quantity, int64_t priceUnits, int places) {
  if (places < 0 || places > 12) return 0;
  // Quantity units times price units are 10^-(8 + places); a cent is 10^-2.
  const Int128 product = static_cast<Int128>(quantity.Units()) * priceUnits;
  return ClampedCents(DivideRounded(product, Pow10(Quantity::kPlaces + places - 2)));
}

int64_t ProductCents(Quantity quantity, UnitPrice price) {
  return ProductCents(quantity, price.Units(), UnitPrice::kPlaces);
}

int64_t ShareOfCents(int64_t cents, Quantity part, Quantity whole) {
  if (whole.IsZero()) return 0;
  return ClampedCents(DivideRounded(static_cast<Int128>(cents) * part.Units(), whole.Units()));
}

std::string DecimalUnitsText(int64_t units, int places, int minDecimals) {
  const bool negative = units < 0;
  uint64_t magnitude = negative ? 0 - static_cast<uint64_t>(units) : static_cast<uint64_t>(units);
  const auto scale = static_cast<uint64_t>(Pow10(places));
  std::string text = (negative ? "-" : "") + std::to_string(magnitude / scale);
  if (places <= 0) return text;
  std::string fraction = std::to_string(magnitude % scale);
  fraction.insert(0, static_cast<size_t>(places) - fraction.size(), '0');
  size_t keep = fraction.size();
  while (keep > static_cast<size_t>(minDecimals) && keep > 0 && fraction[keep - 1] == '0') --keep;
  if (keep > 0) text.append(".").append(fraction, 0, keep);
  return text;
}

DecimalTextRead ReadDecimalText(std::string_view text, int places, bool round) {
  DecimalTextRead read;
  if (text.empty()) return read;
  read.status = DecimalTextStatus::NotANumber;
  size_t at = 0;
  const bool negative = text[0] == '-';
  if (text[0] == '-' || text[0] == '+') ++at;
  std::string_view whole = text.substr(at);
  std::string_view fraction;
  if (const size_t point = whole.find('.'); point != std::string_view::npos) {
    fraction = whole.substr(point + 1);
    whole = whole.substr(0, point);
  }
  if (whole.empty() && fraction.empty()) return read;
  for (std::string_view part : {whole, fraction}) {
    for (char c : part) {
      if (!IsDigit(c)) return read;
    }
  }
  while (!fraction.empty() && fraction.back() == '0') fraction.remove_suffix(1);
  // Digits beyond the places kept decide the rounding, and only the first of them matters: half or more
  // rounds the magnitude up.
  bool roundUp = false;
  if (fraction.size() > static_cast<size_t>(places)) {
    if (!round) {
      read.status = DecimalTextStatus::TooManyDecimals;
      return read;
    }
    roundUp = fraction[static_cast<size_t>(places)] >= '5';
    fraction = fraction.substr(0, static_cast<size_t>(places));
    read.rounded = true;
  }
  Int128 units = 0;
  constexpr Int128 kLimit = static_cast<Int128>(INT64_MAX);
  for (char c : whole) {
    units = units * 10 + (c - '0');
    if (units > kLimit) {
      read.status = DecimalTextStatus::TooLarge;
      return read;
    }
  }
  for (int i = 0; i < places; ++i) {
    units =
        units * 10 + (static_cast<size_t>(i) < fraction.size() ? fraction[static_cast<size_t>(i)] - '0' : 0);
  }
  if (roundUp) ++units;
  if (units > kLimit) {
    read.status = DecimalTextStatus::TooLarge;
    return read;
  }
  read.status = DecimalTextStatus::Ok;
  read.units = static_cast<int64_t>(negative ? -units : units);
  return read;
}
