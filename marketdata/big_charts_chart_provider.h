#pragma once
#include <string>

#include "marketdata/chart_provider.h"

// Charts of the alternative chart service: several symbols, index overlays, moving averages.
class BigChartsChartProvider : public ChartProvider {
 public:
  // Always builds a URL.
  [[nodiscard]] bool GetChartUrl(const std::vector<StockInfo*>& quotes, const ChartProviderParams& params,
                                 std::string& url) override;

  // "BHP.AX" -> "AU%3ABHP": an exchange suffix becomes a country code in front.
  static std::string ConvertExchangeSuffix(const std::string& symbol);
};
