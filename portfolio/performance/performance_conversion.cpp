#include "portfolio/performance/performance_conversion.h"

#include "portfolio/performance/performance_calculator.h"
#include "portfolio/records/currency_units.h"

PerformanceStatus PerformanceConversion::Convert(int64_t cents, const std::string& currency, int64_t day,
                                                 int64_t& out, std::string& error, const FxRate& stored,
                                                 const std::string& storedCurrency) const {
  if (!Active()) {
    out = cents;
    return PerformanceStatus::Ok;
  }
  const std::string quote = MajorCurrency(currency);
  const int divisor = CurrencyDivisor(currency);
  if (quote.empty() || divisor <= 0) {
    error = "an amount in an unknown currency cannot be converted into " + base;
    return PerformanceStatus::NoRate;
  }
  FxRateUsed used;
  if (quote != base && stored.IsValid() && storedCurrency == base) {
    used.rate = stored;
  } else if (!book->RateOn(base, quote, day, used, error)) {
    return PerformanceStatus::NoRate;
  }
  return ConvertCents(cents, divisor, used.rate, out) ? PerformanceStatus::Ok : PerformanceStatus::TooLarge;
}
