#pragma once
#include <cstdint>
#include <string>

#include "portfolio/fx/fx_rate_book.h"

enum class PerformanceStatus;

// The amounts of the performance figures converted into a portfolio's base currency, each at the rate of its
// own day (a purchase at the purchase day's, a value at the valuation day's), each converted once and
// rounded half away from zero to the cent. Inactive (amounts kept as they are) without a base currency.
class PerformanceConversion {
 public:
  PerformanceConversion() = default;
  PerformanceConversion(std::string base, const FxRateBook* book) : base(std::move(base)), book(book) {}

  bool Active() const { return !base.empty() && book != nullptr; }

  // `cents` of `currency` (as positions write it: "GBp" counts pence) on `day`, at `stored` instead when it
  // is a valid rate kept against the base (`storedCurrency`). Ok; NoRate with `error` naming the pair and the
  // day, or the lot whose currency is not known; TooLarge.
  PerformanceStatus Convert(int64_t cents, const std::string& currency, int64_t day, int64_t& out,
                            std::string& error, const FxRate& stored = {},
                            const std::string& storedCurrency = {}) const;

 private:
  std::string base;
  const FxRateBook* book = nullptr;
};
