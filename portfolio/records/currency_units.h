#pragma once
#include <string>
#include <string_view>

// The currencies prices are written in: ISO 4217 codes ("USD"), each its own major currency, and the minor
// units some markets quote in ("GBp": pence), each a fraction of a major currency.
struct CurrencyUnit {
  const char* code;
  const char* major;  // the currency it is a fraction of
  int divisor;        // how many of `code` make one `major`
};

// Whether `code` is empty or three ASCII letters of either case: the form a stored position keeps.
bool IsCurrencyCodeForm(std::string_view code);

// Whether `code` is a currency code this program takes for a position: three capital ASCII letters (an ISO
// code), or one of the minor units spelt as markets write them ("GBp"; "gbp" could be pounds or pence).
bool IsAcceptedCurrencyCode(std::string_view code);

// Whether `code` is three capital ASCII letters and no minor unit ("GBp", "ILA"): the form a portfolio's base
// currency keeps.
bool IsBaseCurrencyForm(std::string_view code);

// The major currency of an accepted code: "GBP" for "GBp", an ISO code itself; empty for any other text.
std::string MajorCurrency(std::string_view code);

// How many units of an accepted code make one of its major currency: 100 for "GBp", 1 for an ISO code; 0 for
// any other text.
int CurrencyDivisor(std::string_view code);

// The minor units as a message lists them: "GBp, ZAc or ILA".
std::string MinorCurrencyUnitsText();
