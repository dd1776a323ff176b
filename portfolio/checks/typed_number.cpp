#include "portfolio/checks/typed_number.h"

#include <climits>
#include <string>
#include <vector>

namespace {

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// Whether `groups` (the digit runs between separators, left to right) sit where `grouping` puts
// separators: every group but the leftmost has its exact size, the leftmost is 1 to its size long.
bool GroupsFitGrouping(const std::vector<std::string_view>& groups, const std::string& grouping) {
  if (groups.size() == 1) return !groups[0].empty();
  if (grouping.empty()) return false;
  size_t index = 0;
  int size = static_cast<unsigned char>(grouping[0]);
  for (size_t i = groups.size(); i-- > 0;) {
    if (size <= 0 || size == CHAR_MAX) return false;
    const size_t length = groups[i].size();
    if (i == 0) return length >= 1 && length <= static_cast<size_t>(size);
    if (length != static_cast<size_t>(size)) return false;
    if (index + 1 < grouping.size()) size = static_cast<unsigned char>(grouping[++index]);
  }
  return true;
}

// The thousands separator and grouping a typed number may use. A locale without grouping (C, C.UTF-8)
// whose decimal point is "." still takes "," between groups of three, as people type amounts anyway: a
// comma cannot mean anything else there.
void TypedGrouping(const NumberFormat& format, std::string& separator, std::string& grouping) {
  separator = format.thousandsSeparator;
  grouping = format.grouping;
  if (grouping.empty() && format.decimalPoint == ".") {
    separator = ",";
    grouping = "\3";
  }
}

// The integer digits of `text` with the separators checked and removed; false when they do not fit.
bool ReadIntegerDigits(std::string_view text, const NumberFormat& format, std::string& digits) {
  std::vector<std::string_view> groups;
  std::string separator;
  std::string grouping;
  TypedGrouping(format, separator, grouping);
  size_t start = 0;
  while (true) {
    const size_t at = separator.empty() ? std::string_view::npos : text.find(separator, start);
    groups.push_back(text.substr(start, at == std::string_view::npos ? std::string_view::npos : at - start));
    if (at == std::string_view::npos) break;
    start = at + separator.size();
  }
  for (std::string_view group : groups) {
    for (char c : group) {
      if (!IsDigit(c)) return false;
    }
  }
  if (groups.size() > 1 && !GroupsFitGrouping(groups, grouping)) return false;
  digits.clear();
  for (std::string_view group : groups) digits.append(group);
  return true;
}

// Splits off a leading sign; returns -1 or +1.
int TakeSign(std::string_view& text) {
  if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
    const int sign = text.front() == '-' ? -1 : 1;
    text.remove_prefix(1);
    return sign;
  }
  return 1;
}

// The value of a digit string, or -1 when it exceeds `largest`.
int64_t DigitsValue(const std::string& digits, int64_t largest) {
  int64_t value = 0;
  for (char c : digits) {
    if (value > (largest - (c - '0')) / 10) return -1;
    value = value * 10 + (c - '0');
  }
  return value;
}

TypedNumber NotANumber() {
  return TypedNumber{TypedNumberStatus::NotANumber, 0};
}

TypedNumber Signed(int sign, const std::string& digits, int64_t largest = kLargestStoredValue) {
  const int64_t value = DigitsValue(digits, largest);
  if (value < 0) return TypedNumber{TypedNumberStatus::TooLarge, sign};
  return TypedNumber{TypedNumberStatus::Ok, sign * value};
}

}  // namespace

TypedNumber ReadTypedDecimal(std::string_view text, int places, const NumberFormat& format) {
  text = TrimBlanks(text);
  if (text.empty()) return TypedNumber{};
  const int sign = TakeSign(text);
  std::string_view whole = text;
  std::string_view fraction;
  bool hasPoint = false;
  if (!format.decimalPoint.empty()) {
    const size_t point = text.find(format.decimalPoint);
    if (point != std::string_view::npos) {
      hasPoint = true;
      whole = text.substr(0, point);
      fraction = text.substr(point + format.decimalPoint.size());
    }
  }
  for (char c : fraction) {
    if (!IsDigit(c)) return NotANumber();
  }
  std::string digits;
  if (!whole.empty() && !ReadIntegerDigits(whole, format, digits)) return NotANumber();
  if (digits.empty() && fraction.empty()) return NotANumber();  // "-", "." and the like
  if (!hasPoint && digits.empty()) return NotANumber();
  while (!fraction.empty() && fraction.back() == '0') fraction.remove_suffix(1);
  if (fraction.size() > static_cast<size_t>(places))
    return TypedNumber{TypedNumberStatus::TooManyDecimals, 0};
  std::string units = digits;
  units.append(fraction);
  units.append(static_cast<size_t>(places) - fraction.size(), '0');
  return Signed(sign, units, INT64_MAX);
}

TypedNumber ReadTypedAmount(std::string_view text, const NumberFormat& format) {
  TypedNumber number = ReadTypedDecimal(text, 2, format);
  if (number.IsOk() && (number.value > kLargestStoredValue || number.value < -kLargestStoredValue))
    number = TypedNumber{TypedNumberStatus::TooLarge, number.value < 0 ? -1 : 1};
  return number;
}

TypedNumber ReadTypedWholeNumber(std::string_view text, const NumberFormat& format) {
  text = TrimBlanks(text);
  if (text.empty()) return TypedNumber{};
  const int sign = TakeSign(text);
  std::string digits;
  if (text.empty() || !ReadIntegerDigits(text, format, digits)) return NotANumber();
  return Signed(sign, digits);
}

TypedNumber InTypedRange(TypedNumber number, int64_t minimum, int64_t maximum) {
  if (number.status != TypedNumberStatus::Ok && number.status != TypedNumberStatus::TooLarge) return number;
  const bool negative = number.value < 0;
  if (negative && minimum >= 0) return TypedNumber{TypedNumberStatus::Negative, 0};
  if (number.status == TypedNumberStatus::TooLarge) return TypedNumber{TypedNumberStatus::TooLarge, 0};
  if (number.value < minimum) return TypedNumber{TypedNumberStatus::BelowMinimum, 0};
  if (number.value > maximum) return TypedNumber{TypedNumberStatus::TooLarge, 0};
  return number;
}
