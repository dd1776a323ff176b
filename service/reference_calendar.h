#pragma once

// The working days of the euro's reference calendar, on which the daily reference exchange rates are
// fixed (at 14:15 Central European Time): Monday to Friday except New Year's Day, Good Friday, Easter
// Monday, 1 May, Christmas Day and 26 December. Days are counted from 1 January 1970.
class ReferenceCalendar {
 public:
  // The first day with reference rates: 4 January 1999, the euro's first working day.
  static int FirstDay();
  static bool IsWorkingDay(int day);
  static int PreviousWorkingDay(int day);  // strictly before
  static int NextWorkingDay(int day);      // strictly after
  // Easter Sunday of a Gregorian year (from 1583).
  static int EasterSunday(int year);
};
