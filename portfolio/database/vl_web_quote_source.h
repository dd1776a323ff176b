#pragma once
#include "portfolio/database/vl_quote_source.h"

// The quote refresh's source on the market-data services: one quote request per batch and the market
// clock page of the chosen region, each with the service settings in force when it is made.
class VLWebQuoteSource : public IVLQuoteSource {
 public:
  bool FetchQuotes(const std::vector<StockInfo*>& quotes, std::string& error) override;
  bool FetchMarketTime(int32_t market, std::string& marketTime, std::string& marketStatus) override;
  bool IsSupportedMarket(int32_t market) const override;
  FetchFailure GetLastFailure() const override { return lastFailure; }

 private:
  FetchFailure lastFailure;
};
