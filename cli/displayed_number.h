#pragma once
#include <string>
#include <string_view>

#include "portfolio/columns/number_format.h"

// Reads back a number the tool prints as text ("1,234.50", "-60", "+2.5%", "0.25") so that JSON can give it
// as a number beside its text. A text is a number when it is, as a whole: an optional "+" or "-", digits that
// may be grouped by the format's thousands separator (a separator only between digits), optionally the
// format's decimal point and more digits, optionally a final "%" (the number of percent: "12.5%" is 12.5).
// Anything else ("N/A", "", "05-Mar-2007", "+0.25 (1.2%)", "1.2B") is no number: false, `value` untouched.
[[nodiscard]] bool ReadDisplayedNumber(std::string_view text, const NumberFormat& format, double* value);

// A number as JSON writes it: the shortest text that reads back as the same double ("1234.5", "60", "-0.25").
std::string JsonNumberText(double value);
