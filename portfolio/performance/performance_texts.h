#pragma once
#include <cstdint>
#include <optional>
#include <string>

#include "portfolio/columns/clock.h"
// TodayDayNumber(): today in the installed clock's local time zone.
#include "portfolio/records/calendar_date.h"

// The texts of the performance figures, the same in the command line's table and in the window.

// "2026-12-04" for a day number (days since 1970-01-01), and back; the reverse is false for anything that is
// not such a date of the years 1900 to 9999.
inline std::string IsoDayText(int64_t day) {
  return IsoDateText(DateOfDayNumber(day));
}
[[nodiscard]] bool ParseIsoDay(const std::string& text, int64_t* day);

// A rate as a percentage with two decimals ("12.34%", "-3.10%"); "n/a" when there is none.
std::string RateText(const std::optional<double>& fraction);
// An amount of cents in the installed number format ("1,234.50", "-0.05").
std::string MoneyText(int64_t cents);
