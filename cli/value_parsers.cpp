#include "cli/value_parsers.h"

#include <cctype>
#include <charconv>
#include <cstdio>
#include <ctime>
#include <sstream>

#include "portfolio/checks/symbol_date_checks.h"
#include "portfolio/records/calendar_date.h"

bool ParseIntArg(const std::string& text, int minValue, int maxValue, int* out) {
  const char* begin = text.data();
  const char* end = begin + text.size();
  if (begin != end && *begin == '+') ++begin;
  int value = 0;
  auto r = std::from_chars(begin, end, value);
  if (r.ec != std::errc() || r.ptr != end || value < minValue || value > maxValue) return false;
  *out = value;
  return true;
}

bool ParseId(const std::string& text, uint32_t* id) {
  int value = 0;
  if (!ParseIntArg(text, 1, 0x7FFFFFFF, &value)) return false;
  *id = static_cast<uint32_t>(value);
  return true;
}

bool ParseIdList(const std::string& text, std::vector<uint32_t>* ids) {
  std::stringstream in(text);
  std::string piece;
  while (std::getline(in, piece, ',')) {
    int id = 0;
    if (!ParseIntArg(piece, 1, 0x7FFFFFFF, &id)) return false;
    ids->push_back(static_cast<uint32_t>(id));
  }
  return true;
}

bool ParseCents(const std::string& text, uint32_t* cents) {
  uint64_t whole = 0;
  size_t i = 0;
  bool digits = false;
  for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
    whole = whole * 10 + static_cast<uint64_t>(text[i] - '0');
    digits = true;
    if (whole > 42949672) return false;  // the cents must fit in 32 bits
  }
  uint64_t fraction = 0;
  int decimals = 0;
  if (i < text.size() && text[i] == '.') {
    for (++i; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
      if (++decimals > 2) return false;
      fraction = fraction * 10 + static_cast<uint64_t>(text[i] - '0');
      digits = true;
    }
  }
  if (!digits || i != text.size()) return false;
  if (decimals == 1) fraction *= 10;
  const uint64_t total = whole * 100 + fraction;
  if (total > 0xFFFFFFFFull) return false;
  *cents = static_cast<uint32_t>(total);
  return true;
}

bool ParseDate(const std::string& text, int64_t* storedDate) {
  CalendarDate date;
  if (!ParseIsoDate(text, &date)) return false;
  *storedDate = StoredDateOf(date);
  return true;
}

bool ParseYearMonth(const std::string& text, int* year, int* month) {
  size_t dash = text.find('-');
  return dash != std::string::npos && ParseIntArg(text.substr(0, dash), 1900, 9999, year) &&
         ParseIntArg(text.substr(dash + 1), 1, 12, month);
}

std::string FormatDay(int64_t storedDate) {
  return IsoDateText(DateOfStoredDate(storedDate));
}

std::string FormatDate(int64_t seconds) {
  const std::time_t time = static_cast<std::time_t>(seconds);
  std::tm local{};
  localtime_r(&time, &local);
  char text[16];
  std::strftime(text, sizeof(text), "%Y-%m-%d", &local);
  return text;
}
