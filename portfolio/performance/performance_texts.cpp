#include "portfolio/performance/performance_texts.h"

#include <cstdio>
#include <ctime>

#include "portfolio/columns/cell_format.h"
#include "portfolio/columns/clock.h"
#include "portfolio/records/calendar_date.h"

bool ParseIsoDay(const std::string& text, int64_t* day) {
  CalendarDate date;
  if (!ParseIsoDate(text, &date) || date.year < 1900) return false;
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
