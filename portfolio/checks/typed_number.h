#pragma once
#include <cstdint>
#include <string_view>

#include "portfolio/columns/number_format.h"

// Reading the numbers a user types into a dialog. Surrounding blanks are ignored; an optional leading
// "+" or "-" is allowed; digits may be grouped with the format's thousands separator, but only at the
// places its grouping puts them ("1,234" yes, "12,34" no). Anything else is Invalid, never truncated.
// TooLarge: well formed, but beyond what a record can hold.
enum class TypedNumberStatus { Ok, Empty, Invalid, TooLarge };

struct TypedNumber {
  TypedNumberStatus status = TypedNumberStatus::Empty;
  int64_t value = 0;  // cents for an amount, the number itself for a whole number; 0 unless Ok

  bool IsOk() const { return status == TypedNumberStatus::Ok; }
  bool IsEmpty() const { return status == TypedNumberStatus::Empty; }
};

// A money amount with at most two decimals after the format's decimal point, as whole cents.
// Amounts beyond 42,949,672.95 (either sign) are TooLarge.
TypedNumber ReadTypedAmount(std::string_view text, const NumberFormat& format = GetNumberFormat());

// A whole number (no decimal point). Numbers beyond 4,294,967,295 (either sign) are TooLarge.
TypedNumber ReadTypedWholeNumber(std::string_view text, const NumberFormat& format = GetNumberFormat());

// `text` without leading and trailing blanks (spaces, tabs, line breaks).
std::string_view TrimBlanks(std::string_view text);
