#pragma once
// Shares and prices as the tests write them: whole shares and prices in cents, as the records held them
// before they kept decimals, and the decimals when a test needs them.
#include <gtest/gtest.h>

#include <ostream>
#include <string_view>

#include "portfolio/records/exact_decimal.h"

inline Quantity Shares(int64_t whole) {
  return Quantity::FromWhole(whole);
}
inline UnitPrice Cents(int64_t cents) {
  return PriceOfCents(cents);
}
// "1.6531" shares, "84.2637" per share; a text that is no such number fails the test that uses it.
inline int64_t DecimalUnitsOf(std::string_view text, int places) {
  const DecimalTextRead read = ReadDecimalText(text, places);
  EXPECT_EQ(read.status, DecimalTextStatus::Ok) << text;
  return read.units;
}
inline Quantity SharesOf(std::string_view text) {
  return Quantity::FromUnits(DecimalUnitsOf(text, Quantity::kPlaces));
}
inline UnitPrice PriceOf(std::string_view text) {
  return UnitPrice::FromUnits(DecimalUnitsOf(text, UnitPrice::kPlaces));
}

template <int Places>
void PrintTo(const FixedDecimal<Places>& value, std::ostream* os) {
  *os << DecimalText(value);
}
