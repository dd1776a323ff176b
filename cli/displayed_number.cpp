#include "cli/displayed_number.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <vector>

namespace {

bool IsDigit(char c) {
  return std::isdigit(static_cast<unsigned char>(c)) != 0;
}

bool StartsWith(std::string_view text, size_t at, const std::string& piece) {
  return !piece.empty() && text.substr(at, piece.size()) == piece;
}

// Whether digit groups (left to right) sit where the format's grouping puts separators: from the right,
// the sizes of `grouping`, its last size repeating; the leftmost group may be shorter. "1,2" is no number.
bool GroupsFit(const std::vector<size_t>& groups, const std::string& grouping) {
  if (groups.size() == 1) return groups[0] > 0;
  if (grouping.empty() || grouping[0] <= 0) return false;
  size_t index = 0;
  for (size_t g = groups.size() - 1; g > 0; --g) {
    const size_t size = static_cast<size_t>(grouping[std::min(index, grouping.size() - 1)]);
    if (groups[g] != size) return false;
    ++index;
  }
  const size_t size = static_cast<size_t>(grouping[std::min(index, grouping.size() - 1)]);
  return groups[0] >= 1 && groups[0] <= size;
}

}  // namespace

bool ReadDisplayedNumber(std::string_view text, const NumberFormat& format, double* value) {
  if (!text.empty() && text.back() == '%') text.remove_suffix(1);
  std::string plain;  // the number as from_chars reads it: "-1234.50"
  size_t i = 0;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    if (text[i] == '-') plain += '-';
    ++i;
  }
  std::vector<size_t> groups = {0};
  for (; i < text.size(); ++i) {
    if (IsDigit(text[i])) {
      plain += text[i];
      ++groups.back();
      continue;
    }
    // A separator counts only between two digits.
    const std::string& separator = format.thousandsSeparator;
    if (groups.back() > 0 && StartsWith(text, i, separator) && i + separator.size() < text.size() &&
        IsDigit(text[i + separator.size()])) {
      i += separator.size() - 1;
      groups.push_back(0);
      continue;
    }
    break;
  }
  if (!GroupsFit(groups, format.grouping)) return false;
  if (StartsWith(text, i, format.decimalPoint)) {
    i += format.decimalPoint.size();
    plain += '.';
    const size_t first = i;
    for (; i < text.size() && IsDigit(text[i]); ++i) plain += text[i];
    if (i == first) return false;
  }
  if (i != text.size()) return false;
  double number = 0;
  const auto result = std::from_chars(plain.data(), plain.data() + plain.size(), number);
  if (result.ec != std::errc() || result.ptr != plain.data() + plain.size() || !std::isfinite(number)) {
    return false;
  }
  *value = number == 0 ? 0.0 : number;  // "-0.00" is 0
  return true;
}

std::string JsonNumberText(double value) {
  char buffer[32];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}
