#pragma once
#include <cstdint>
#include <string>

// Calendar helpers shared by the historical price and news parsers.

// 31/30/28/29 by month and leap year; 0 for a month outside 1..12.
int DaysInMonth(int month, int year);

// The span of a history request as the service reads it: "&a=M&b=D&c=Y&d=M&e=D&f=Y", months 0-based.
std::string SpanQuery(int fromYear, int fromMonth, int fromDay, int toYear, int toMonth, int toDay);

// "Jan".."Dec" -> 1..12; 0 for anything else (exact, case-sensitive match).
int MonthFromAbbreviation(const std::string& word);

// Local midnight at the start of year/month/day, daylight saving decided by the system.
// False when the date is out of range (year < 1900, month not 1..12, day not 1..31) or the
// system cannot represent it.
[[nodiscard]] bool LocalMidnight(int year, int month, int day, int64_t* out);

// The day of a local time as "6-Dec-2026": day without leading zero, English month abbreviation,
// four-digit year. Empty when the time cannot be converted.
std::string FormatDayText(int64_t seconds);
