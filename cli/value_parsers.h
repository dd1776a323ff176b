#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Every value the command line reads from its words: numbers, ids, amounts, dates and months. Each returns
// false, with `out` untouched or partly filled, for text that is not exactly such a value.

// A whole decimal number (optional sign) in [minValue, maxValue]; false otherwise.
[[nodiscard]] bool ParseIntArg(const std::string& text, int minValue, int maxValue, int* out);
// A record id: a whole number from 1 up.
[[nodiscard]] bool ParseId(const std::string& text, uint32_t* id);
// "3,5,8" as ids, appended to `ids`.
[[nodiscard]] bool ParseIdList(const std::string& text, std::vector<uint32_t>* ids);
// "12.34", "12.3", "12" or ".5" as whole cents; false for anything else or more than two decimals.
[[nodiscard]] bool ParseCents(const std::string& text, uint32_t* cents);
// "YYYY-MM-DD" (years 0001 to 9999) as the stored form of that day (portfolio/records/calendar_date.h), which
// reads as the same day in every time zone. Whether a position may carry the day is the checks' matter.
[[nodiscard]] bool ParseDate(const std::string& text, int64_t* storedDate);
// "2007-03" as year (1900 to 9999) and month.
[[nodiscard]] bool ParseYearMonth(const std::string& text, int* year, int* month);
// The day of a stored purchase or sale date as "YYYY-MM-DD"; the reverse of ParseDate.
std::string FormatDay(int64_t storedDate);
// A moment (seconds since 1970, such as a portfolio's creation time) as the local date "YYYY-MM-DD".
std::string FormatDate(int64_t seconds);
