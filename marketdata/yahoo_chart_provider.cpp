#include "marketdata/yahoo_chart_provider.h"

#include "framework/text_util.h"
#include "marketdata/stock_info.h"
#include "marketdata/text_helpers.h"
#include "marketdata/url_encode.h"

bool YahooChartProvider::GetChartUrl(const std::vector<StockInfo*>& quotes, const ChartProviderParams& params,
                                     std::string& url) {
  if (quotes.empty() || !quotes[0] || quotes[0]->symbol.empty()) return false;
  const std::string symbol = AsciiLower(quotes[0]->symbol);
  const std::string encoded = EncodeUrlValue(symbol);
  // The image host draws the short spans; the chart host keeps one image per span.
  const char* span = nullptr;
  switch (params.period) {
    case 0:
      url = "http://" + hosts.chartImageHost + "/b?s=" + encoded;
      return true;
    case 1:
      url = "http://" + hosts.chartImageHost + "/w?s=" + encoded;
      return true;
    case 2:
    case 3:
    case 5:
      span = "1y";
      break;
    case 6:
    case 7:
      span = "5y";
      break;
    case 8:
      span = "my";
      break;
    default:
      return false;
  }
  url = "http://" + hosts.chartHost + "/c/" + span + "/" + EncodeUrlValue(symbol.substr(0, 1)) + "/" +
        encoded + ".gif";
  return true;
}
