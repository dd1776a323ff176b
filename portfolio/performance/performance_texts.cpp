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
  const double percent = *fraction * 100.0;
  // Sized for the number, however long: a figure is never cut short.
  const int length = std::snprintf(nullptr, 0, "%.2f%%", percent);
  if (length <= 0) return "n/a";
  std::string text(static_cast<size_t>(length) + 1, '\0');
  std::snprintf(text.data(), text.size(), "%.2f%%", percent);
  text.resize(static_cast<size_t>(length));
  // A rate that rounds to zero carries no minus sign.
  if (text == "-0.00%") return "0.00%";
  return text;
}

std::string MoneyText(int64_t cents) {
  return LocaleNumber(CentsDifferenceText(cents));
}
