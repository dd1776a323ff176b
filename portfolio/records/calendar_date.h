#pragma once
#include <cstdint>
#include <string>

// A purchase or sale date is a calendar day, not a moment: it must read as the same day in every time
// zone. A day is stored as noon UTC of that day (so a program that reads it as a local time still sees
// that day anywhere between UTC-11 and UTC+11). Files written before kept local midnight of the writer's
// zone; such a value is read as the day of the nearest UTC midnight, ties going to the earlier day, which
// gives the day that was typed for every writer between UTC-12 and UTC+11 (later zones read a day early).
struct CalendarDate {
  int year = 0;
  int month = 0;  // 1..12
  int day = 0;    // 1..31
  friend bool operator==(const CalendarDate&, const CalendarDate&) = default;
};

// The dates a position may carry: from the first day of 1900 (the date pickers go no earlier) to the last of
// 9999; a purchase or sale date also may not lie after today (checks/symbol_date_checks.h).
inline constexpr CalendarDate kEarliestDate{1900, 1, 1};
inline constexpr CalendarDate kLatestDate{9999, 12, 31};

// Days since 1970-01-01 of a proleptic Gregorian date (negative before 1970).
int64_t DayNumberOf(const CalendarDate& date);
CalendarDate DateOfDayNumber(int64_t dayNumber);

// "2024-03-15" for a date, and back: the reverse takes exactly YYYY-MM-DD naming a real day of the years 1
// to 9999, and is false for anything else.
std::string IsoDateText(const CalendarDate& date);
[[nodiscard]] bool ParseIsoDate(const std::string& text, CalendarDate* date);

// The stored form of a day (never 0, the "no date" value).
int64_t StoredDateOfDay(int64_t dayNumber);
inline int64_t StoredDateOf(const CalendarDate& date) {
  return StoredDateOfDay(DayNumberOf(date));
}
// The day a stored date stands for; a stored value of 0 means no date and has no day.
int64_t DayNumberOfStoredDate(int64_t stored);
// The same, with 0 (never a real date's day number in the files' range) for no date.
inline int64_t DayNumberOrZero(int64_t stored) {
  return stored == 0 ? 0 : DayNumberOfStoredDate(stored);
}
inline CalendarDate DateOfStoredDate(int64_t stored) {
  return DateOfDayNumber(DayNumberOfStoredDate(stored));
}
// "2024-03-15" for the day of a stored date; empty for 0, no date.
inline std::string StoredDayText(int64_t stored) {
  return stored == 0 ? std::string() : IsoDateText(DateOfStoredDate(stored));
}
