#pragma once
#include <cstdint>
#include <string_view>

#include "framework/text_util.h"
#include "portfolio/columns/number_format.h"

// Reading the numbers a user types into a dialog or a command. Surrounding blanks are ignored; an optional
// leading "+" or "-" is allowed; digits may be grouped with the format's thousands separator, but only at
// the places its grouping puts them ("1,234" yes, "12,34" no). Anything else is NotANumber, never
// truncated. Each refusal has its own reason, so the message can say which it is.
enum class TypedNumberStatus {
  Ok,
  Empty,            // nothing but blanks
  NotANumber,       // not a number of this kind ("12,34", "abc", "1.5" for a whole number)
  Negative,         // below 0 where the field starts at 0 or above
  TooLarge,         // above the field's maximum, or beyond what a record's 32-bit field can hold
  BelowMinimum,     // 0 or more, but below the field's minimum
  TooManyDecimals,  // more decimals than the field keeps, not all zeros ("12.345" for an amount)
};

// The largest value of a record's unsigned 32-bit field: 42,949,672.95 as cents, or a whole count.
inline constexpr int64_t kLargestStoredValue = 4294967295;

struct TypedNumber {
  TypedNumberStatus status = TypedNumberStatus::Empty;
  // Cents for an amount, units of its last place for a decimal, the number itself for a whole number; 0
  // unless Ok, except that a TooLarge read
  // keeps the sign of what was typed (-1 or 1), so that a huge negative number still counts as negative.
  int64_t value = 0;

  bool IsOk() const { return status == TypedNumberStatus::Ok; }
  bool IsEmpty() const { return status == TypedNumberStatus::Empty; }
};

// A decimal number with at most `places` decimals after the format's decimal point (trailing zeros do not
// count: "12.340" is 12.34), as a whole count of 10^-places. Values beyond 64 bits of that count are
// TooLarge; the field's own limit is InTypedRange's matter.
TypedNumber ReadTypedDecimal(std::string_view text, int places,
                             const NumberFormat& format = GetNumberFormat());
// A money amount with at most two decimals, as whole cents. Amounts beyond 42,949,672.95 (either sign) are
// TooLarge.
TypedNumber ReadTypedAmount(std::string_view text, const NumberFormat& format = GetNumberFormat());

// A whole number (no decimal point). Numbers beyond 4,294,967,295 (either sign) are TooLarge.
TypedNumber ReadTypedWholeNumber(std::string_view text, const NumberFormat& format = GetNumberFormat());

// `number` judged against the field's range [minimum, maximum]: a value (or a TooLarge read) below 0 is
// Negative when the range starts at 0 or above; another value below `minimum` is BelowMinimum; one above
// `maximum` is TooLarge. Empty and NotANumber pass through unchanged.
TypedNumber InTypedRange(TypedNumber number, int64_t minimum, int64_t maximum);
