#include "portfolio/records/calendar_date.h"

#include <cstdio>

namespace {

constexpr int64_t kSecondsPerDay = 86400;
constexpr int64_t kNoon = kSecondsPerDay / 2;

int64_t FloorDiv(int64_t a, int64_t b) {
  const int64_t q = a / b;
  return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

}  // namespace

// The civil-date conversions count in 400-year eras of 146097 days, with years starting in March so that
// the leap day falls at the end of a year.
int64_t DayNumberOf(const CalendarDate& date) {
  const int64_t y = static_cast<int64_t>(date.year) - (date.month <= 2 ? 1 : 0);
  const int64_t era = FloorDiv(y, 400);
  const int64_t yearOfEra = y - era * 400;
  const int64_t monthFromMarch = date.month > 2 ? date.month - 3 : date.month + 9;
  const int64_t dayOfYear = (153 * monthFromMarch + 2) / 5 + date.day - 1;
  const int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146097 + dayOfEra - 719468;
}

CalendarDate DateOfDayNumber(int64_t dayNumber) {
  const int64_t z = dayNumber + 719468;
  const int64_t era = FloorDiv(z, 146097);
  const int64_t dayOfEra = z - era * 146097;
  const int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  const int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  const int64_t monthFromMarch = (5 * dayOfYear + 2) / 153;
  CalendarDate date;
  date.day = static_cast<int>(dayOfYear - (153 * monthFromMarch + 2) / 5 + 1);
  date.month = static_cast<int>(monthFromMarch < 10 ? monthFromMarch + 3 : monthFromMarch - 9);
  date.year = static_cast<int>(yearOfEra + era * 400 + (date.month <= 2 ? 1 : 0));
  return date;
}

int64_t StoredDateOfDay(int64_t dayNumber) {
  return dayNumber * kSecondsPerDay + kNoon;
}

int64_t DayNumberOfStoredDate(int64_t stored) {
  // A value from a damaged file may be anything: far beyond every real date it is held at about 300 million
  // years, where the arithmetic here and in DateOfDayNumber cannot overflow.
  constexpr int64_t kFarthest = int64_t{10000000000000000};
  stored = stored > kFarthest ? kFarthest : (stored < -kFarthest ? -kFarthest : stored);
  return FloorDiv(stored + kNoon - 1, kSecondsPerDay);
}

std::string IsoDateText(const CalendarDate& date) {
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d", date.year, date.month, date.day);
  return text;
}

bool ParseIsoDate(const std::string& text, CalendarDate* date) {
  if (text.size() != 10 || text[4] != '-' || text[7] != '-') return false;
  int parts[3] = {};
  const size_t starts[3] = {0, 5, 8};
  const size_t ends[3] = {4, 7, 10};
  for (int p = 0; p < 3; ++p) {
    for (size_t i = starts[p]; i < ends[p]; ++i) {
      if (text[i] < '0' || text[i] > '9') return false;
      parts[p] = parts[p] * 10 + (text[i] - '0');
    }
  }
  const CalendarDate parsed{parts[0], parts[1], parts[2]};
  if (parsed.year < 1 || parsed.month < 1 || parsed.month > 12 || parsed.day < 1) return false;
  // A day past the month's end would come back as a day of the next month.
  if (!(DateOfDayNumber(DayNumberOf(parsed)) == parsed)) return false;
  *date = parsed;
  return true;
}
