#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "marketdata/fetch_failure.h"

class StockInfo;

// Where the database's quote refresh gets its figures. The web source asks the market-data services;
// tests put in their own.
class IVLQuoteSource {
 public:
  virtual ~IVLQuoteSource() = default;
  // Fills every record in one request (at most 200). False, with the provider's error text, on failure;
  // records read before the failure keep their new values.
  virtual bool FetchQuotes(const std::vector<StockInfo*>& quotes, std::string& error) = 0;
  // The trading state of one market: its time and state texts. False when it cannot be had.
  virtual bool FetchMarketTime(int32_t market, std::string& marketTime, std::string& marketStatus) = 0;
  // Whether `market` names a market the clock knows.
  virtual bool IsSupportedMarket(int32_t market) const = 0;
  // Why the last FetchQuotes that failed did so, beside its error text (none when it cannot tell).
  virtual FetchFailure GetLastFailure() const { return {}; }
};
