#pragma once
#include "marketdata/chart_provider.h"

// Charts of the quote service's own chart servers: one symbol, the span only.
class YahooChartProvider : public ChartProvider {
 public:
  // Uses the first symbol, lower-cased; six months (period 4) has no chart here.
  [[nodiscard]] bool GetChartUrl(const std::vector<StockInfo*>& quotes, const ChartProviderParams& params,
                                 std::string& url) override;
};
