#include "portfolio/records/calendar_date.h"

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

int64_t StoredDateOfDay(int64_t dayNumber) { return dayNumber * kSecondsPerDay + kNoon; }

int64_t DayNumberOfStoredDate(int64_t stored) {
  // A value from a damaged file may be anything: far beyond every real date it is held at about 300 million
  // years, where the arithmetic here and in DateOfDayNumber cannot overflow.
  constexpr int64_t kFarthest = int64_t{10000000000000000};
  stored = stored > kFarthest ? kFarthest : (stored < -kFarthest ? -kFarthest : stored);
  return FloorDiv(stored + kNoon - 1, kSecondsPerDay);
}
