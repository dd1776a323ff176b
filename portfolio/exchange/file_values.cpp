#include "portfolio/exchange/file_values.h"

#include "portfolio/checks/typed_number.h"
#include "portfolio/records/calendar_date.h"
#include "portfolio/records/exact_decimal.h"

namespace {

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

FileNumber NotANumber() {
  FileNumber number;
  number.status = FileNumberStatus::NotANumber;
  return number;
}

bool IsCapital(char c) {
  return c >= 'A' && c <= 'Z';
}

bool IsLetter(char c) {
  return IsCapital(c) || (c >= 'a' && c <= 'z');
}

// Currency signs brokers write beside an amount (UTF-8).
constexpr std::string_view kCurrencySigns[] = {"$",      "\u20AC", "\u00A3", "\u00A5",
                                               "\u20A3", "\u20B9", "\u20A9"};

// The length of a currency sign or ISO code ("USD") at the front of `text`; 0 when there is none. A code
// must not run on into further letters.
size_t CurrencyMarkAtFront(std::string_view text) {
  for (std::string_view sign : kCurrencySigns) {
    if (text.substr(0, sign.size()) == sign) return sign.size();
  }
  if (text.size() >= 3 && IsCapital(text[0]) && IsCapital(text[1]) && IsCapital(text[2]) &&
      (text.size() == 3 || !IsLetter(text[3])))
    return 3;
  return 0;
}

size_t CurrencyMarkAtBack(std::string_view text) {
  for (std::string_view sign : kCurrencySigns) {
    if (text.size() >= sign.size() && text.substr(text.size() - sign.size()) == sign) return sign.size();
  }
  const size_t n = text.size();
  if (n >= 3 && IsCapital(text[n - 1]) && IsCapital(text[n - 2]) && IsCapital(text[n - 3]) &&
      (n == 3 || !IsLetter(text[n - 4])))
    return 3;
  return 0;
}

// Takes a sign and one currency mark off `text` ("-$694.48", "$-694.48", "12,50 €", "CHF 5.00");
// `negative` says whether the sign was a minus. False when the text has a mark at both ends.
bool TakeSignAndCurrency(std::string_view& text, bool& negative) {
  negative = false;
  bool signed_ = false;
  const auto takeSign = [&] {
    if (signed_ || text.empty() || (text.front() != '-' && text.front() != '+')) return;
    negative = text.front() == '-';
    signed_ = true;
    text = TrimBlanks(text.substr(1));
  };
  takeSign();
  const size_t front = CurrencyMarkAtFront(text);
  if (front > 0) {
    text = TrimBlanks(text.substr(front));
    takeSign();
  }
  const size_t back = CurrencyMarkAtBack(text);
  if (back > 0) {
    if (front > 0) return false;
    text = TrimBlanks(text.substr(0, text.size() - back));
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

int FileNumberPlaces(FileNumberKind kind) {
  switch (kind) {
    case FileNumberKind::WholeNumber:
      return 0;
    case FileNumberKind::Quantity:
      return Quantity::kPlaces;
    case FileNumberKind::Price:
      return UnitPrice::kPlaces;
    case FileNumberKind::Money:
      break;
  }
  return 2;
}

FileNumber ReadFileNumber(std::string_view text, const NumberFormat& format, FileNumberKind kind) {
  std::string_view rest = TrimBlanks(text);
  FileNumber number;
  if (rest.empty()) return number;
  bool negative = false;
  if (!TakeSignAndCurrency(rest, negative) || rest.empty()) return NotANumber();
  const std::string sign = negative ? "-" : "";
  const size_t point = format.decimalPoint.empty() ? std::string_view::npos : rest.find(format.decimalPoint);
  const std::string_view whole = rest.substr(0, point);
  std::string_view fraction =
      point == std::string_view::npos ? std::string_view() : rest.substr(point + format.decimalPoint.size());
  for (char c : fraction) {
    if (!IsDigit(c)) return NotANumber();
  }
  if (whole.empty() && fraction.empty()) return NotANumber();
  // The whole part with its group marks checked: a well-formed number may still be too large for its field,
  // which the checks say.
  std::string digits;
  if (!whole.empty()) {
    const TypedNumber read = ReadTypedWholeNumber(whole, format);
    if (read.status == TypedNumberStatus::NotANumber || whole.front() == '-' || whole.front() == '+')
      return NotANumber();
    for (char c : whole) {
      if (IsDigit(c)) digits.push_back(c);
    }
  }
  // Statements pad their numbers ("+0000000000100.00000"): leading zeros say nothing.
  const size_t nonZero = digits.find_first_not_of('0');
  digits = nonZero == std::string::npos ? "0" : digits.substr(nonZero);
  while (!fraction.empty() && fraction.back() == '0') fraction.remove_suffix(1);
  const int places = FileNumberPlaces(kind);
  std::string kept(fraction);
  if (kept.size() > static_cast<size_t>(places)) {
    if (kind == FileNumberKind::WholeNumber) return NotANumber();
    if (kind == FileNumberKind::Quantity) {
      number.status = FileNumberStatus::TooManyDecimals;
      return number;
    }
    const DecimalTextRead read = ReadDecimalText(digits + "." + std::string(fraction), places, true);
    if (read.status == DecimalTextStatus::Ok) {
      const std::string plain = DecimalUnitsText(read.units, places, places);
      const size_t dot = plain.find('.');
      digits = plain.substr(0, dot);
      kept = plain.substr(dot + 1);
    } else {
      kept.resize(static_cast<size_t>(places));  // beyond 64 bits: the checks call it too large
    }
    number.rounded = true;
  }
  std::string entry = sign + digits;
  // Money and prices show at least their cents, as a dialog field would.
  if ((kind == FileNumberKind::Money || kind == FileNumberKind::Price) && kept.size() < 2)
    kept.append(2 - kept.size(), '0');
  if (!kept.empty()) entry.append(GetNumberFormat().decimalPoint).append(kept);
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

bool ReadFileDate(std::string_view text, std::string_view pattern, CalendarDate& date) {
  text = TrimBlanks(text);
  if (ReadPatternDate(text, pattern, date)) return true;
  // The pattern's own blanks and T come before the cut: a date ends at the first one after them.
  size_t skip = 0;
  for (char c : pattern) skip += c == ' ' || c == '\t' || c == 'T';
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != ' ' && text[i] != '\t' && text[i] != 'T') continue;
    if (skip > 0) {
      --skip;
      continue;
    }
    return ReadPatternDate(text.substr(0, i), pattern, date);
  }
  return false;
}

bool DropSign(std::string& text) {
  const std::string_view trimmed = TrimBlanks(text);
  const bool sign = !trimmed.empty() && (trimmed.front() == '-' || trimmed.front() == '+');
  const bool minus = sign && trimmed.front() == '-';
  text = std::string(sign ? trimmed.substr(1) : trimmed);
  return minus;
}
