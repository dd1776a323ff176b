#include "service/reference_calendar.h"

#include "service/text_format.h"

#include <date/date.h>

int ReferenceCalendar::FirstDay() {
  int day = 0;
  (void)MakeDay(1999, 1, 4, day);  // cannot fail: a valid constant date
  return day;
}

int ReferenceCalendar::EasterSunday(int year) {
  // The anonymous Gregorian computus.
  const int a = year % 19, b = year / 100, c = year % 100, d = b / 4, e = b % 4;
  const int f = (b + 8) / 25, g = (b - f + 1) / 3, h = (19 * a + b - d - g + 15) % 30;
  const int i = c / 4, k = c % 4, l = (32 + 2 * e + 2 * i - h - k) % 7;
  const int m = (a + 11 * h + 22 * l) / 451;
  const int month = (h + l - 7 * m + 114) / 31, dayOfMonth = (h + l - 7 * m + 114) % 31 + 1;
  int day = 0;
  (void)MakeDay(year, month, dayOfMonth, day);  // cannot fail: the computus gives a March or April date
  return day;
}

bool ReferenceCalendar::IsWorkingDay(int day) {
  const date::weekday weekday{date::sys_days{date::days{day}}};
  if (weekday == date::Saturday || weekday == date::Sunday) return false;
  int y, m, d;
  SplitDay(day, y, m, d);
  if ((m == 1 && d == 1) || (m == 5 && d == 1) || (m == 12 && (d == 25 || d == 26))) return false;
  const int easter = EasterSunday(y);
  return day != easter - 2 && day != easter + 1;
}

int ReferenceCalendar::PreviousWorkingDay(int day) {
  do {
    --day;
  } while (!IsWorkingDay(day));
  return day;
}

int ReferenceCalendar::NextWorkingDay(int day) {
  do {
    ++day;
  } while (!IsWorkingDay(day));
  return day;
}
