#include "portfolio/performance/performance_texts.h"

#include <cstdio>
#include <ctime>

#include "portfolio/columns/cell_format.h"
#include "portfolio/columns/clock.h"
#include "portfolio/records/calendar_date.h"

std::string IsoDayText(int64_t day) {
  const CalendarDate date = DateOfDayNumber(day);
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d", date.year, date.month, date.day);
  return text;
}

bool ParseIsoDay(const std::string& text, int64_t* day) {
  if (text.size() != 10 || text[4] != '-' || text[7] != '-') return false;
  int parts[3] = {};
  const size_t starts[3] = {0, 5, 8};
  const size_t lengths[3] = {4, 2, 2};
  for (int p = 0; p < 3; ++p) {
    for (size_t i = starts[p]; i < starts[p] + lengths[p]; ++i) {
      if (text[i] < '0' || text[i] > '9') return false;
      parts[p] = parts[p] * 10 + (text[i] - '0');
    }
  }
  const CalendarDate date{parts[0], parts[1], parts[2]};
  if (date.year < 1900 || date.month < 1 || date.month > 12 || date.day < 1) return false;
  // A day past the month's end comes back as another date.
  if (!(DateOfDayNumber(DayNumberOf(date)) == date)) return false;
  *day = DayNumberOf(date);
  return true;
}

std::string RateText(const std::optional<double>& fraction) {
  if (!fraction) return "n/a";
  char text[64];
  std::snprintf(text, sizeof text, "%.2f%%", *fraction * 100.0);
  // A rate that rounds to zero carries no minus sign.
  if (std::string(text) == "-0.00%") return "0.00%";
  return text;
}

std::string MoneyText(int64_t cents) {
  return LocaleNumber(CentsDifferenceText(cents));
}
