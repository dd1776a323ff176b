#include "marketdata/exact_decimal.h"

#include <cstdio>
#include <limits>

#include "marketdata/market_date.h"

static constexpr int kMaxDigits = 18;

std::string ExactDecimal::Text() const {
  std::string text = std::to_string(digits);
  if (decimals <= 0) return text;
  const size_t places = static_cast<size_t>(decimals);
  if (text.size() <= places) text.insert(0, places - text.size() + 1, '0');
  text.insert(text.size() - places, ".");
  return text;
}

bool ExactDecimal::ToUnits(int scale, int64_t* units) const {
  int64_t value = digits;
  for (int d = decimals; d > scale; --d) {
    if (value % 10 != 0) return false;
    value /= 10;
  }
  for (int d = decimals; d < scale; ++d) {
    if (value > std::numeric_limits<int64_t>::max() / 10) return false;
    value *= 10;
  }
  *units = value;
  return true;
}

bool ParseExactDecimal(const std::string& text, ExactDecimal* out) {
  ExactDecimal value;
  bool point = false;
  int count = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '.') {
      if (point || i == 0 || i + 1 == text.size()) return false;
      point = true;
      continue;
    }
    if (c < '0' || c > '9') return false;
    if (value.digits == 0 && c == '0' && !point) continue;  // leading zeros carry nothing
    if (++count > kMaxDigits) return false;
    value.digits = value.digits * 10 + (c - '0');
    if (point) ++value.decimals;
  }
  if (text.empty() || value.digits == 0) return false;
  *out = value;
  return true;
}

int64_t MarketDay::Number() const {
  // Days from civil (proleptic Gregorian), counted from 1970-01-01.
  const int64_t y = year - (month <= 2 ? 1 : 0);
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const int64_t yearOfEra = y - era * 400;
  const int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146097 + dayOfEra - 719468;
}

std::string MarketDay::IsoText() const {
  char text[16];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d", year, month, day);
  return text;
}

bool ParseMarketDay(const std::string& text, MarketDay* out) {
  if (text.size() != 10 || text[4] != '-' || text[7] != '-') return false;
  int parts[3] = {0, 0, 0};
  const size_t starts[3] = {0, 5, 8}, lengths[3] = {4, 2, 2};
  for (int p = 0; p < 3; ++p) {
    for (size_t i = starts[p]; i < starts[p] + lengths[p]; ++i) {
      if (text[i] < '0' || text[i] > '9') return false;
      parts[p] = parts[p] * 10 + (text[i] - '0');
    }
  }
  if (parts[0] < 1900 || parts[1] < 1 || parts[1] > 12 || parts[2] < 1 ||
      parts[2] > DaysInMonth(parts[1], parts[0]))
    return false;
  *out = {parts[0], parts[1], parts[2]};
  return true;
}
