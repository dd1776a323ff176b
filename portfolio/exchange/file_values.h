#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "portfolio/columns/number_format.h"

struct CalendarDate;

// Reading the numbers and dates of an imported file. A file's numbers are exact decimals: they are read
// digit by digit into whole cents (never through a floating-point number), with the same limits and
// reasons as a number typed into a dialog.

// A file's number format: "1234.56" (groups of three may be marked with ",") or, with a decimal comma,
// "1234,56" (groups marked with ".").
NumberFormat FileNumberFormat(bool decimalComma);

enum class FileNumberStatus {
  Empty,
  Ok,
  NotANumber,  // not an amount (or not a whole number) at all
  SubCent,     // an amount with fractions of a cent, which no record keeps ("10.5432")
};

struct FileNumber {
  FileNumberStatus status = FileNumberStatus::Empty;
  // The same number as a dialog field would hold it in the user's number format (sign and plain digits,
  // the user's decimal point and two decimals for an amount): what the entry checks are given. It may still
  // be negative or too large; the checks say so.
  std::string entryText;
};

// Reads an amount (at most two decimals after `format`'s decimal point; more decimals are accepted when
// they are zeros, "25.1000"), or with `wholeNumber` a count ("100", and "100.00" as well).
FileNumber ReadFileNumber(std::string_view text, const NumberFormat& format, bool wholeNumber);

// Date patterns of the tokens YYYY (four digits), MM and DD (two digits), M and D (one or two digits);
// any other character stands for itself. "YYYY-MM-DD", "DD.MM.YYYY", "M/D/YYYY", "YYYYMMDD".
// False unless the pattern holds each of year, month and day exactly once.
[[nodiscard]] bool IsDatePattern(std::string_view pattern);
// A date written in `pattern` that names a real day of the years 1 to 9999 (blanks around it ignored).
[[nodiscard]] bool ReadPatternDate(std::string_view text, std::string_view pattern, CalendarDate& date);

// Cents as a file writes them: "-1234.56", no groups.
std::string CentsFileText(int64_t cents);
