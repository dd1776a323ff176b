#pragma once
#include <cstdint>
#include <string>
#include <string_view>

// An exchange rate as a source gives it: how many units of one currency one unit of another buys, kept as the
// exact decimal it was written as (`units` / 10^decimals). Rates carry their significant digits, not a fixed
// number of places: 160.123 yen per euro and 0.00624521 euro per yen alike.
struct FxRate {
  static constexpr int kMaxDecimals = 12;
  static constexpr int64_t kMaxUnits = 1'000'000'000'000'000;  // 10^15

  int64_t units = 0;
  int decimals = 0;

  bool IsValid() const { return units > 0; }
  friend bool operator==(const FxRate& a, const FxRate& b);
};

// A rate a text ParseFxRate takes could give: positive, within kMaxUnits and kMaxDecimals.
bool IsStorableRate(const FxRate& rate);

// A positive decimal number ("0.8650", "160.12", "1") of at most kMaxDecimals places and kMaxUnits units:
// false for anything else (a sign, an exponent, a zero rate, a second point, text around it).
[[nodiscard]] bool ParseFxRate(std::string_view text, FxRate& rate);
// The rate as written, without trailing zeros after the point ("0.865", "160.12", "1").
std::string FxRateText(const FxRate& rate);

// 1 / rate, to ten significant digits (rounded half away from zero) as far as kMaxDecimals allows: the rate
// of the other direction. False when the result is not a rate a record keeps.
[[nodiscard]] bool InverseRate(const FxRate& rate, FxRate& inverse);

// An amount in whole cents of a currency written in `divisor`ths of its major currency (100 for pence, 1 for
// a currency of its own), converted into the currency one unit of which buys `perBase` of that major
// currency: cents / (divisor x perBase), computed exactly and rounded once to the cent, half away from zero.
// False when the rate is not valid, the divisor not positive or the result beyond 64 bits.
[[nodiscard]] bool ConvertCents(int64_t cents, int divisor, const FxRate& perBase, int64_t& converted);
