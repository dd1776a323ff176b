#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "portfolio/fx/fx_rate_book.h"
#include "portfolio/fx/fx_rate_request.h"
#include "portfolio/performance/daily_close_source.h"

// Where conversions take their exchange rates from: the market-data service's daily history of a pair
// (ServiceFxRateSource), a table in tests.
class IFxRateSource {
 public:
  virtual ~IFxRateSource() = default;
  // The pair's fixings ("EURGBP=X") of at least the days firstDay..lastDay the source has, in any order.
  virtual CloseRequestResult GetFixings(const std::string& pairSymbol, int64_t firstDay, int64_t lastDay,
                                        std::vector<FxFixing>& fixings) = 0;
};

// The service's historical download of the pair: its close is the day's fixing, read with every digit it
// has (rates are not cut to cents).
class ServiceFxRateSource : public IFxRateSource {
 public:
  CloseRequestResult GetFixings(const std::string& pairSymbol, int64_t firstDay, int64_t lastDay,
                                std::vector<FxFixing>& fixings) override;
};

// How many days before the first day asked a fetch starts, so that a day after a weekend or the Easter
// holidays still finds the fixing before it.
inline constexpr int64_t kRateLookBackDays = 10;

// A book with the fixings of every request that `source` answered; `errors` gets one line for each it did not
// ("EUR/GBP: the market-data service could not be reached"). A pair missing from the book refuses its
// conversions by name and day.
std::shared_ptr<FxRateBook> FetchRateBook(IFxRateSource& source, const std::vector<FxRateRequest>& needs,
                                          std::vector<std::string>& errors);
