#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "framework/text_util.h"
#include "portfolio/records/exact_decimal.h"

// The text rules the list cells share. Quote figures arrive as texts; these read and print them the same
// way everywhere. Nothing here depends on the C locale: grouping comes from the installed NumberFormat;
// purchase and sale dates are calendar days, read alike in every time zone.

// The number a text begins with (blanks, a sign, digits, a point, an exponent); 0 when it begins with
// anything else.
double ReadLeadingNumber(std::string_view text);
// The same number, exactly, as a count of 10^-places (0 <= places <= 12), for money: digits beyond `places`
// are rounded half away from zero, and a number beyond 64 bits of units is clamped. A number written with an
// exponent ("1.5e3", which no service sends for a price) is read through a long double.
int64_t ReadLeadingDecimalUnits(std::string_view text, int places);
// Not empty; only digits and "."; "+" or "-" allowed as the first character only.
bool IsNumericText(std::string_view text);
// ReadLeadingNumber when IsNumericText, else 0.
double ReadNumericText(std::string_view text);

std::string RemoveChars(std::string_view text, const char* chars);
std::string ReplaceAll(std::string text, std::string_view from, std::string_view to);

// "12.34" for 1234 cents.
std::string CentsText(uint64_t cents);
// "-0.05" for -5, "+2.50" for 250, "0.00" for 0.
std::string SignedCentsText(int64_t cents);
// As SignedCentsText without the "+" for a gain.
std::string CentsDifferenceText(int64_t cents);
// "%04.2f" of `value`, always with "." and two decimals.
std::string FixedText(double value);

// The installed NumberFormat applied to a decimal text; "" for a text that is not one.
std::string LocaleNumber(std::string_view text);
// The locale number of a whole count without its decimals ("1,234" for 1234).
std::string LocaleWholeNumber(int64_t value);
// The locale number of a decimal text with exactly `decimals` decimals.
std::string LocaleNumberWithDecimals(std::string_view text, int decimals);
// Shares with as many decimals as they have: "1,234" for whole shares, as a count always showed, and
// "1,234.5678" for a fraction.
std::string LocaleQuantity(Quantity quantity);
// A price per share with at least 2 and at most 6 decimals: "1,234.50", "84.2637".
std::string LocalePrice(UnitPrice price);
// Cuts the last three characters (a decimal point and two decimals) of a longer text.
std::string CutDecimals(std::string text);

// "05-Mar-2007": the calendar day a purchase or sale date stands for (calendar_date.h), the same in every
// time zone.
std::string DateText(int64_t storedDate);
// That day as the number YYYYMMDD000000, for sorting by date.
double DateSortValue(int64_t storedDate);
// Whole days from the day of one stored date to the day of another (0 when `to` is not later), as seconds,
// for the duration texts.
int64_t DaysBetweenInSeconds(int64_t fromStoredDate, int64_t toDayNumber);
// "1 yr, 1 mon", "11 mos", "2 wks", "3 days", ... for a span of seconds; "" for 0 or less.
std::string DurationText(int64_t seconds);
