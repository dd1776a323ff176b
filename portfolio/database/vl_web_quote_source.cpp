#include "portfolio/database/vl_web_quote_source.h"

#include "marketdata/market_time_provider.h"
#include "marketdata/stock_info_provider.h"

bool VLWebQuoteSource::FetchQuotes(const std::vector<StockInfo*>& quotes, std::string& error) {
  StockInfoProvider provider;
  provider.Fetch(quotes);
  if (!provider.HasError()) return true;
  error = provider.GetErrorText();
  lastFailure = provider.GetFailure();
  return false;
}

bool VLWebQuoteSource::FetchMarketTime(int32_t market, std::string& marketTime, std::string& marketStatus) {
  MarketTimeProvider provider;
  provider.region = market;
  provider.Fetch();
  if (provider.HasError()) return false;
  marketTime = provider.marketTime;
  marketStatus = provider.marketState;
  return true;
}

bool VLWebQuoteSource::IsSupportedMarket(int32_t market) const {
  return IsSupportedRegion(market);
}
