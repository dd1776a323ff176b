#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Number, date and markup texts in the forms the service's pages and CSV files use.
// Days are counted from 1 January 1970 (the calendar date, not an instant).

std::string FormatFixed(double value, int decimals);
// "+0.32", "-0.32"; a value that rounds to zero is "0.00" without a sign.
std::string FormatSignedFixed(double value, int decimals);
// "+1.19%", "-0.20%", "0.00%".
std::string FormatSignedPercent(double percent);
// Thousands separated by commas: 8785123000 -> "8,785,123,000".
std::string FormatGrouped(int64_t value);
// 312500000000 -> "312.5B"; K, M and B only (a trillion stays in B).
std::string FormatMagnitude(double value);
std::string HtmlEscape(std::string_view text);

// date library format of a day, e.g. "%a, %b %d, %Y"; only date fields make sense.
std::string FormatDay(int day, const char* format);
std::string FormatMonthDay(int day);    // "Dec 4"
std::string FormatUsDate(int day);      // "12/4/2026"
std::string FormatHeadingDay(int day);  // "Fri, Dec 4, 2026"
std::string FormatIsoDay(int day);      // "2026-12-04"
// Minutes after midnight as "3:30pm".
std::string FormatClockTime(int minuteOfDay);
// Day number of a civil date; false when the date does not exist.
[[nodiscard]] bool MakeDay(int year, int month, int dayOfMonth, int& day);
void SplitDay(int day, int& year, int& month, int& dayOfMonth);
