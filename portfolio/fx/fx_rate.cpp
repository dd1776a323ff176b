#include "portfolio/fx/fx_rate.h"

#include <limits>

#include "portfolio/records/exact_decimal.h"

bool operator==(const FxRate& a, const FxRate& b) {
  // The same number however it was written: 0.8650 is 0.865.
  const int places = a.decimals > b.decimals ? a.decimals : b.decimals;
  return static_cast<Int128>(a.units) * Pow10(places - a.decimals) ==
         static_cast<Int128>(b.units) * Pow10(places - b.decimals);
}

bool IsStorableRate(const FxRate& rate) {
  return rate.units > 0 && rate.units < FxRate::kMaxUnits && rate.decimals >= 0 &&
         rate.decimals <= FxRate::kMaxDecimals;
}

bool ParseFxRate(std::string_view text, FxRate& rate) {
  FxRate read;
  bool point = false;
  bool digits = false;
  for (char c : text) {
    if (c == '.' && !point) {
      point = true;
      continue;
    }
    if (c < '0' || c > '9') return false;
    digits = true;
    if (point && ++read.decimals > FxRate::kMaxDecimals) return false;
    read.units = read.units * 10 + (c - '0');
    if (read.units >= FxRate::kMaxUnits) return false;
  }
  if (!digits || read.units == 0) return false;
  rate = read;
  return true;
}

std::string FxRateText(const FxRate& rate) {
  int64_t units = rate.units;
  int decimals = rate.decimals;
  while (decimals > 0 && units % 10 == 0) units /= 10, --decimals;
  std::string digits = std::to_string(units);
  if (decimals == 0) return digits;
  if (static_cast<int>(digits.size()) <= decimals)
    digits.insert(0, static_cast<size_t>(decimals) - digits.size() + 1, '0');
  digits.insert(digits.size() - static_cast<size_t>(decimals), 1, '.');
  return digits;
}

bool InverseRate(const FxRate& rate, FxRate& inverse) {
  if (!IsStorableRate(rate)) return false;
  constexpr Int128 kSignificant = 1'000'000'000;  // ten digits
  // 1 / (units / 10^d) = 10^d / units; each further decimal k multiplies by 10.
  for (int k = 0; k <= FxRate::kMaxDecimals; ++k) {
    const Int128 value = DivideRounded(static_cast<Int128>(Pow10(rate.decimals)) * Pow10(k), rate.units);
    if (value >= kSignificant || k == FxRate::kMaxDecimals) {
      const FxRate result{static_cast<int64_t>(value), k};
      if (value <= 0 || value >= FxRate::kMaxUnits || !IsStorableRate(result)) return false;
      inverse = result;
      return true;
    }
  }
  return false;
}

bool ConvertCents(int64_t cents, int divisor, const FxRate& perBase, int64_t& converted) {
  if (!IsStorableRate(perBase) || divisor <= 0) return false;
  // cents / (divisor x units / 10^decimals) = cents x 10^decimals / (divisor x units); |cents| < 2^63 and
  // 10^decimals <= 10^12 keep the product below 2^103.
  const Int128 result = DivideRounded(static_cast<Int128>(cents) * Pow10(perBase.decimals),
                                      static_cast<Int128>(divisor) * perBase.units);
  if (result > std::numeric_limits<int64_t>::max() || result < std::numeric_limits<int64_t>::min())
    return false;
  converted = static_cast<int64_t>(result);
  return true;
}
