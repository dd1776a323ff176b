#include "portfolio/columns/cell_format.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "portfolio/columns/number_format.h"
#include "portfolio/records/calendar_date.h"
#include "portfolio/records/exact_decimal.h"

namespace {
bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// "%d.%02d" of a quotient and a remainder; the quotient may carry a minus sign.
std::string QuotientText(int64_t quotient, int64_t remainder) {
  char buf[48];
  std::snprintf(buf, sizeof buf, "%lld.%02lld", static_cast<long long>(quotient),
                static_cast<long long>(remainder));
  return buf;
}

const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                               "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

std::string CountText(int64_t n, const char* one, const char* many) {
  if (n == 1) return one;
  return std::to_string(n) + many;
}
}  // namespace

namespace {
template <typename Number>
Number ReadLeading(std::string_view text) {
  size_t pos = 0;
  while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t')) ++pos;
  bool negative = false;
  if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) negative = text[pos++] == '-';
  // Only a decimal number counts: no hexadecimal, no "inf" or "nan".
  if (pos >= text.size()) return 0;
  const bool pointFirst = text[pos] == '.' && pos + 1 < text.size() && IsDigit(text[pos + 1]);
  if (!IsDigit(text[pos]) && !pointFirst) return 0;
  Number value = 0;
  const auto [end, ec] = std::from_chars(text.data() + pos, text.data() + text.size(), value);
  if (ec != std::errc()) return 0;
  return negative ? -value : value;
}
}  // namespace

double ReadLeadingNumber(std::string_view text) {
  return ReadLeading<double>(text);
}

int64_t ReadLeadingDecimalUnits(std::string_view text, int places) {
  places = std::clamp(places, 0, 12);
  size_t pos = 0;
  while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t')) ++pos;
  const size_t numberStart = pos;
  bool negative = false;
  if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) negative = text[pos++] == '-';
  const size_t digitsStart = pos;
  while (pos < text.size() && IsDigit(text[pos])) ++pos;
  size_t end = pos;
  if (pos < text.size() && text[pos] == '.') {
    ++pos;
    while (pos < text.size() && IsDigit(text[pos])) ++pos;
    end = pos;
  }
  const std::string_view number = text.substr(digitsStart, end - digitsStart);
  if (number.empty() || number == ".") return 0;
  constexpr long double kLimit = static_cast<long double>(INT64_MAX);
  if (end < text.size() && (text[end] == 'e' || text[end] == 'E')) {
    const long double v = ReadLeading<long double>(text.substr(numberStart)) * Pow10(places);
    if (std::isnan(v)) return 0;
    if (v >= kLimit) return INT64_MAX;
    if (v <= -kLimit) return -INT64_MAX;
    return static_cast<int64_t>(std::round(v));
  }
  const DecimalTextRead read = ReadDecimalText(number, places, true);
  if (read.status == DecimalTextStatus::TooLarge) return negative ? -INT64_MAX : INT64_MAX;
  if (read.status != DecimalTextStatus::Ok) return 0;
  return negative ? -read.units : read.units;
}

bool IsNumericText(std::string_view text) {
  if (text.empty()) return false;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (IsDigit(c) || c == '.') continue;
    if (i == 0 && (c == '+' || c == '-')) continue;
    return false;
  }
  return true;
}

double ReadNumericText(std::string_view text) {
  return IsNumericText(text) ? ReadLeadingNumber(text) : 0.0;
}

std::string RemoveChars(std::string_view text, const char* chars) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    if (std::string_view(chars).find(c) == std::string_view::npos) out.push_back(c);
  }
  return out;
}

std::string ReplaceAll(std::string text, std::string_view from, std::string_view to) {
  if (from.empty()) return text;
  size_t pos = 0;
  while ((pos = text.find(from, pos)) != std::string::npos) {
    text.replace(pos, from.size(), to);
    pos += to.size();
  }
  return text;
}

std::string CentsText(uint64_t cents) {
  return QuotientText(static_cast<int64_t>(cents / 100), static_cast<int64_t>(cents % 100));
}

std::string CentsDifferenceText(int64_t cents) {
  // The magnitude in unsigned arithmetic, which holds that of the most negative amount too.
  const uint64_t magnitude = cents < 0 ? 0 - static_cast<uint64_t>(cents) : static_cast<uint64_t>(cents);
  return (cents < 0 ? "-" : "") + CentsText(magnitude);
}

std::string SignedCentsText(int64_t cents) {
  std::string text = CentsDifferenceText(cents);
  if (cents > 0) text.insert(text.begin(), '+');
  return text;
}

std::string FixedText(double value) {
  char buf[64];
  const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, 2);
  if (ec != std::errc()) return "0.00";
  return std::string(buf, end);
}

std::string LocaleNumber(std::string_view text) {
  return FormatLocaleNumber(text, GetNumberFormat());
}

std::string CutDecimals(std::string text) {
  if (text.size() > 3) text.resize(text.size() - 3);
  return text;
}

std::string LocaleWholeNumber(int64_t value) {
  return CutDecimals(LocaleNumber(std::to_string(value)));
}

std::string LocaleNumberWithDecimals(std::string_view text, int decimals) {
  NumberFormat format = GetNumberFormat();
  format.decimals = decimals;
  return FormatLocaleNumber(text, format);
}

std::string LocaleQuantity(Quantity quantity) {
  if (quantity.IsWhole()) return LocaleWholeNumber(quantity.WholePart());
  return LocaleNumberWithDecimals(DecimalText(quantity), quantity.Decimals());
}

std::string LocalePrice(UnitPrice price) {
  return LocaleNumberWithDecimals(PriceText(price), std::max(2, price.Decimals()));
}

std::string DateText(int64_t storedDate) {
  const CalendarDate date = DateOfStoredDate(storedDate);
  if (date.month < 1 || date.month > 12) return "";
  char buf[32];
  std::snprintf(buf, sizeof buf, "%02d-%s-%d", date.day, kMonths[date.month - 1], date.year);
  return buf;
}

double DateSortValue(int64_t storedDate) {
  const CalendarDate date = DateOfStoredDate(storedDate);
  return date.year * 1e10 + date.month * 1e8 + date.day * 1e6;
}

int64_t DaysBetweenInSeconds(int64_t fromStoredDate, int64_t toDayNumber) {
  const int64_t days = toDayNumber - DayNumberOfStoredDate(fromStoredDate);
  return days > 0 ? days * 86400 : 0;
}

std::string DurationText(int64_t seconds) {
  if (seconds <= 0) return "";
  const int64_t days = seconds / 86400;
  const int64_t years = days / 365;
  const int64_t rest = days - 365 * years;
  const int64_t months = rest / 31;
  const int64_t rest2 = rest - 31 * months;
  const int64_t weeks = rest2 / 7;
  const int64_t leftover = rest2 - 7 * weeks;

  std::string text;
  if (years >= 1) {
    text = CountText(years, "1 yr", " yrs");
    if (months >= 1) text += ", ";
  }
  if (months >= 1) text += CountText(months, "1 mon", " mos");
  if (years == 0 && months == 0) {
    if (weeks >= 1) return CountText(weeks, "1 wk", " wks");
    if (leftover >= 1) return CountText(leftover, "1 day", " days");
  }
  return text;
}
