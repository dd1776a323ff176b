#pragma once

#include "service/decimal_text.h"
#include "service/rate_table.h"
#include "service/trading_calendar.h"

#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

class PriceModel;
struct CurrencyInfo;

// A currency pair quoted like a security: "EURUSD=X" is what one euro costs in dollars.
struct CurrencyPair {
  const CurrencyInfo* base = nullptr;
  const CurrencyInfo* quote = nullptr;
};
// Six letters of two different currencies of their own and "=X", in any letter case; a minor unit spelled
// as one ("GBpUSD=X") has no pairs and is refused rather than read as its currency.
[[nodiscard]] bool ParsePairSymbol(std::string_view symbol, CurrencyPair& pair);
std::string PairSymbol(const CurrencyPair& pair);  // "EURUSD=X"
std::string PairName(const CurrencyPair& pair);    // "EUR/USD (Euro in US Dollar)"

struct RateFixing {
  int day = 0;
  Decimal rate;
};

// Exchange rates by day: the euro's reference rates of the working days of its calendar, fixed at 14:15 in
// Frankfurt, and every cross rate through the euro (EUR/USD and EUR/JPY give USD/JPY), each rounded to
// kRateDigits significant digits. A pair whose two currencies the real reference rates hold (see
// SetRealRates) takes them; any other pair stays wholly on the simulation, which fixes each currency per euro
// along a trend through its level of early 2026 with a mean-reverting random deviation (the same seed, the
// same rates). Safe to use from several request threads at once.
class FxMarket {
 public:
  explicit FxMarket(const PriceModel& model) : model(model) {}

  // Safe while requests are answered.
  void SetRealRates(std::shared_ptr<const RateTable> table);
  std::shared_ptr<const RateTable> RealRates() const;

  bool IsPair(std::string_view symbol) const;
  // The calendar date in Frankfurt at `now`, and the latest working day whose rates are fixed by then.
  int Today(SysSeconds now) const;
  int LatestFixingDay(SysSeconds now) const;
  // The pair's rates of the days in [fromDay, toDay], oldest first.
  std::vector<RateFixing> Fixings(const CurrencyPair& pair, int fromDay, int toDay) const;
  bool OnRealRates(const CurrencyPair& pair) const;

 private:
  // The simulation's deviations from trend, one row per currency of the table, over the working days.
  struct Deviations {
    std::vector<int> days;
    std::vector<std::vector<double>> byCurrency;
  };
  std::shared_ptr<const Deviations> Simulation(int lastDay) const;
  std::vector<RateFixing> SimulatedFixings(const CurrencyPair& pair, int fromDay, int toDay) const;

  const PriceModel& model;
  mutable std::mutex mutex;
  mutable std::shared_ptr<const Deviations> deviations;
  std::shared_ptr<const RateTable> realRates;
};
