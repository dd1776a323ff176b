#include "portfolio/columns/number_format.h"

#include <climits>
#include <stdexcept>

namespace {
NumberFormat& Current() {
  static NumberFormat format = NumberFormat::English();
  return format;
}

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// Adds one to a string of decimal digits; returns false when the carry runs out of the front.
bool IncrementDigits(std::string& digits) {
  for (size_t i = digits.size(); i-- > 0;) {
    if (digits[i] != '9') {
      ++digits[i];
      return true;
    }
    digits[i] = '0';
  }
  return false;
}

std::string GroupDigits(const std::string& digits, const NumberFormat& format) {
  std::string out;
  size_t groupIndex = 0;
  int groupSize = format.grouping.empty() ? 0 : static_cast<unsigned char>(format.grouping[0]);
  int inGroup = 0;
  // Walk from the right, inserting separators between groups.
  for (size_t i = digits.size(); i-- > 0;) {
    if (groupSize > 0 && groupSize != CHAR_MAX && inGroup == groupSize) {
      out.insert(0, format.thousandsSeparator);
      inGroup = 0;
      if (groupIndex + 1 < format.grouping.size()) {
        groupSize = static_cast<unsigned char>(format.grouping[++groupIndex]);
      }
    }
    out.insert(out.begin(), digits[i]);
    ++inGroup;
  }
  return out;
}
}  // namespace

NumberFormat NumberFormat::English() {
  return NumberFormat{};
}

NumberFormat NumberFormat::FromLocale(const std::locale& locale) {
  const auto& punct = std::use_facet<std::numpunct<char>>(locale);
  NumberFormat format;
  format.decimalPoint = std::string(1, punct.decimal_point());
  format.thousandsSeparator = std::string(1, punct.thousands_sep());
  format.grouping = punct.grouping();
  format.decimals = 2;
  return format;
}

NumberFormat NumberFormat::FromUserLocale() {
  try {
    return FromLocale(std::locale(""));
  } catch (const std::runtime_error&) {
    return English();  // an unknown LANG or LC_ALL must not stop the application
  }
}

const NumberFormat& GetNumberFormat() {
  return Current();
}

void SetNumberFormat(const NumberFormat& format) {
  Current() = format;
}

std::string FormatLocaleNumber(std::string_view text, const NumberFormat& format) {
  size_t pos = 0;
  const bool negative = !text.empty() && text[0] == '-';
  if (negative) pos = 1;
  std::string whole;
  std::string fraction;
  bool point = false;
  for (; pos < text.size(); ++pos) {
    const char c = text[pos];
    if (c == '.' && !point) {
      point = true;
    } else if (IsDigit(c)) {
      (point ? fraction : whole).push_back(c);
    } else {
      return "";
    }
  }
  if (whole.empty() && fraction.empty()) return "";

  const size_t decimals = format.decimals > 0 ? static_cast<size_t>(format.decimals) : 0;
  const bool roundUp = fraction.size() > decimals && fraction[decimals] >= '5';
  fraction.resize(decimals, '0');
  if (roundUp && !IncrementDigits(fraction)) {
    if (!IncrementDigits(whole)) whole.insert(whole.begin(), '1');
  }
  const size_t firstNonZero = whole.find_first_not_of('0');
  whole = firstNonZero == std::string::npos ? "0" : whole.substr(firstNonZero);

  const bool isZero = whole == "0" && fraction.find_first_not_of('0') == std::string::npos;
  std::string out = (negative && !isZero) ? "-" : "";
  out += GroupDigits(whole, format);
  if (decimals > 0) out += format.decimalPoint + fraction;
  return out;
}

ScopedNumberFormat::ScopedNumberFormat(const NumberFormat& format) : previous(GetNumberFormat()) {
  SetNumberFormat(format);
}

ScopedNumberFormat::~ScopedNumberFormat() {
  SetNumberFormat(previous);
}
