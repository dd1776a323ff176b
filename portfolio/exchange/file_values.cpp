#include "portfolio/exchange/file_values.h"

#include "portfolio/checks/typed_number.h"
#include "portfolio/records/calendar_date.h"

namespace {

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// Drops decimals beyond the second when they are all zeros ("25.1000" -> "25.10"); for a whole number
// drops a fraction of zeros entirely ("100.00" -> "100"). `point` is the format's decimal point.
std::string TrimZeroDecimals(std::string_view text, const std::string& point, bool wholeNumber) {
  const size_t at = point.empty() ? std::string_view::npos : text.find(point);
  if (at == std::string_view::npos) return std::string(text);
  const size_t keep = wholeNumber ? 0 : 2;
  std::string_view fraction = text.substr(at + point.size());
  size_t end = fraction.size();
  while (end > keep && fraction[end - 1] == '0') --end;
  if (end > keep) return std::string(text);  // a digit that matters: left for the reader to judge
  std::string trimmed(text.substr(0, at));
  if (end > 0) trimmed.append(point).append(fraction.substr(0, end));
  return trimmed;
}

// Whether `fraction` (the digits after the decimal point) goes beyond cents with digits that are not zero.
bool HasSubCentDigits(std::string_view text, const std::string& point) {
  const size_t at = point.empty() ? std::string_view::npos : text.find(point);
  if (at == std::string_view::npos) return false;
  const std::string_view fraction = text.substr(at + point.size());
  if (fraction.size() <= 2) return false;
  for (char c : fraction) {
    if (!IsDigit(c)) return false;  // not a number at all: said as such
  }
  return true;
}

}  // namespace

NumberFormat FileNumberFormat(bool decimalComma) {
  NumberFormat format = NumberFormat::English();
  if (decimalComma) {
    format.decimalPoint = ",";
    format.thousandsSeparator = ".";
  }
  return format;
}

FileNumber ReadFileNumber(std::string_view text, const NumberFormat& format, bool wholeNumber) {
  const std::string trimmed = TrimZeroDecimals(TrimBlanks(text), format.decimalPoint, wholeNumber);
  const TypedNumber read =
      wholeNumber ? ReadTypedWholeNumber(trimmed, format) : ReadTypedAmount(trimmed, format);
  FileNumber number;
  if (read.IsEmpty()) return number;
  if (read.status == TypedNumberStatus::NotANumber) {
    number.status = !wholeNumber && HasSubCentDigits(trimmed, format.decimalPoint)
                        ? FileNumberStatus::SubCent
                        : FileNumberStatus::NotANumber;
    return number;
  }
  // The text is a well-formed number: rebuild it without group marks, in the user's format.
  std::string_view rest = trimmed;
  std::string entry;
  if (!rest.empty() && (rest.front() == '-' || rest.front() == '+')) {
    if (rest.front() == '-') entry.push_back('-');
    rest.remove_prefix(1);
  }
  const size_t point = format.decimalPoint.empty() ? std::string_view::npos : rest.find(format.decimalPoint);
  const std::string_view whole = rest.substr(0, point);
  std::string_view fraction =
      point == std::string_view::npos ? std::string_view() : rest.substr(point + format.decimalPoint.size());
  for (char c : whole) {
    if (IsDigit(c)) entry.push_back(c);
  }
  if (entry.empty() || entry == "-") entry.push_back('0');
  if (!wholeNumber) {
    entry.append(GetNumberFormat().decimalPoint);
    entry.append(fraction);
    entry.append(2 - fraction.size(), '0');
  }
  number.status = FileNumberStatus::Ok;
  number.entryText = std::move(entry);
  return number;
}

bool IsDatePattern(std::string_view pattern) {
  int years = 0, months = 0, days = 0;
  // A one-letter month or day takes one digit or two: right before another number, "2024111" could be
  // January 11th or November 1st, so such a form is no form at all.
  const auto ambiguousAfter = [&pattern](size_t next) {
    return next < pattern.size() && (pattern[next] == 'Y' || pattern[next] == 'M' || pattern[next] == 'D');
  };
  for (size_t i = 0; i < pattern.size();) {
    if (pattern.substr(i, 4) == "YYYY") {
      ++years, i += 4;
    } else if (pattern[i] == 'M' || pattern[i] == 'D') {
      const bool two = pattern.substr(i, 2) == (pattern[i] == 'M' ? "MM" : "DD");
      ++(pattern[i] == 'M' ? months : days);
      i += two ? 2 : 1;
      if (!two && ambiguousAfter(i)) return false;
    } else if (pattern[i] == 'Y') {
      return false;  // a year needs all four digits
    } else {
      ++i;
    }
  }
  return years == 1 && months == 1 && days == 1;
}

bool ReadPatternDate(std::string_view text, std::string_view pattern, CalendarDate& date) {
  if (!IsDatePattern(pattern)) return false;
  text = TrimBlanks(text);
  size_t t = 0;
  CalendarDate read;
  // Reads `minDigits` to `maxDigits` digits at t.
  auto number = [&](size_t minDigits, size_t maxDigits, int& value) {
    size_t n = 0;
    value = 0;
    while (n < maxDigits && t < text.size() && IsDigit(text[t])) value = value * 10 + (text[t++] - '0'), ++n;
    return n >= minDigits;
  };
  for (size_t p = 0; p < pattern.size();) {
    bool ok = true;
    if (pattern.substr(p, 4) == "YYYY") {
      ok = number(4, 4, read.year), p += 4;
    } else if (pattern[p] == 'M' || pattern[p] == 'D') {
      const bool two = pattern.substr(p, 2) == (pattern[p] == 'M' ? "MM" : "DD");
      ok = number(two ? 2 : 1, 2, pattern[p] == 'M' ? read.month : read.day);
      p += two ? 2 : 1;
    } else {
      ok = t < text.size() && text[t] == pattern[p];
      ++t, ++p;
    }
    if (!ok) return false;
  }
  if (t != text.size()) return false;
  if (read.year < 1 || read.month < 1 || read.month > 12 || read.day < 1) return false;
  if (!(DateOfDayNumber(DayNumberOf(read)) == read)) return false;  // the 31st of a short month and the like
  date = read;
  return true;
}

std::string CentsFileText(int64_t cents) {
  const bool negative = cents < 0;
  const uint64_t magnitude = negative ? 0 - static_cast<uint64_t>(cents) : static_cast<uint64_t>(cents);
  std::string fraction = std::to_string(magnitude % 100);
  if (fraction.size() < 2) fraction.insert(0, "0");
  return (negative ? "-" : "") + std::to_string(magnitude / 100) + "." + fraction;
}
