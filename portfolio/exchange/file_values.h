#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "portfolio/columns/number_format.h"

struct CalendarDate;

// Reading the numbers and dates of an imported file. A file's numbers are exact decimals: they are read
// digit by digit (never through a floating-point number), with the same limits and reasons as a number
// typed into a dialog.

// A file's number format: "1234.56" (groups of three may be marked with ",") or, with a decimal comma,
// "1234,56" (groups marked with ".").
NumberFormat FileNumberFormat(bool decimalComma);

// What a file's number stands for, and so how many decimals a record keeps of it.
enum class FileNumberKind {
  WholeNumber,  // a count ("100", and "100.00" as well)
  Quantity,     // shares, to 8 decimals: more is refused, since the shares must match the broker's
  Price,        // a price per share, to 6 decimals: more are rounded
  Money,        // an amount of money, to the cent: more decimals are rounded
};

enum class FileNumberStatus {
  Empty,
  Ok,
  NotANumber,       // not a number of the kind at all
  TooManyDecimals,  // shares with more decimals than a record keeps ("1.123456789")
};

struct FileNumber {
  FileNumberStatus status = FileNumberStatus::Empty;
  // The same number as a dialog field would hold it in the user's number format (sign and plain digits,
  // the user's decimal point and the decimals it keeps): what the entry checks are given. It may still
  // be negative or too large; the checks say so.
  std::string entryText;
  // A price or amount with more decimals than a record keeps was rounded, half away from zero, to them.
  bool rounded = false;
};

// Reads a number of `kind` written in `format`. Trailing zeros of the decimals never count.
FileNumber ReadFileNumber(std::string_view text, const NumberFormat& format, FileNumberKind kind);
// The decimals a record keeps of a number of `kind`.
int FileNumberPlaces(FileNumberKind kind);

// Date patterns of the tokens YYYY (four digits), MM and DD (two digits), M and D (one or two digits);
// any other character stands for itself. "YYYY-MM-DD", "DD.MM.YYYY", "M/D/YYYY", "YYYYMMDD".
// False unless the pattern holds each of year, month and day exactly once.
[[nodiscard]] bool IsDatePattern(std::string_view pattern);
// A date written in `pattern` that names a real day of the years 1 to 9999 (blanks around it ignored).
[[nodiscard]] bool ReadPatternDate(std::string_view text, std::string_view pattern, CalendarDate& date);

// A date as files write it: in `pattern`, possibly followed by a time of day or other text after a blank
// ("2023-12-18 14:30:03.613", "11/20/2020 as of 11/19/2020") or after a "T" ("2023-12-18T14:30:03"): the
// date at its start.
[[nodiscard]] bool ReadFileDate(std::string_view text, std::string_view pattern, CalendarDate& date);

// Takes a leading '+' or '-' (and blanks around the number) off `text`; true when it was a '-'.
bool DropSign(std::string& text);
