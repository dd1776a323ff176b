#pragma once

#include <string_view>

// The currencies the service knows: every currency of its exchanges, the majors, and the other currencies
// of the euro's reference rates; and the minor units some markets quote in.
struct CurrencyInfo {
  const char* code;  // ISO 4217, or a minor unit as markets write it ("GBp")
  const char* name;
  // A minor unit is a hundredth of this currency ("GBp" of "GBP"); null for a currency of its own.
  const char* majorCode;
  // The simulated market: the currency's level in units per one `anchor` ("USD" or "EUR") on 2 January
  // 2026, the yearly drift of that level (positive: the currency weakens) and the yearly volatility.
  const char* anchor;
  double level;
  double drift;
  double volatility;
  bool IsMinorUnit() const { return majorCode != nullptr; }
};

// Exact spelling, so "GBp" (pence) and "GBP" (pounds) stay apart; null when unknown.
const CurrencyInfo* FindCurrency(std::string_view code);
// Every entry in table order; `count` receives the number.
const CurrencyInfo* AllCurrencies(int& count);
// A currency of its own (not a minor unit), by its code; null otherwise.
const CurrencyInfo* FindMajorCurrency(std::string_view code);
