#include "marketdata/big_charts_chart_provider.h"

#include <array>

#include "marketdata/stock_info.h"
#include "marketdata/text_helpers.h"
#include "marketdata/url_encode.h"

struct SuffixRule {
  const char* suffix;
  const char* country;
};

// Tried in this order, each on the symbol as the rules before it left it.
static const std::array<SuffixRule, 25> kSuffixRules{{
    {".AX", "AU"}, {".TO", "CA"}, {".PA", "FR"}, {".BE", "DE"}, {".BM", "DE"}, {".DU", "DE"}, {".F", "DE"},
    {".HM", "DE"}, {".HA", "DE"}, {".MU", "DE"}, {".SG", "DE"}, {".DE", "DE"}, {".HK", "HK"}, {".AS", "NL"},
    {".NZ", "NZ"}, {".OL", "NO"}, {".MI", "IT"}, {".BC", "ES"}, {".BI", "ES"}, {".MF", "ES"}, {".MC", "ES"},
    {".MA", "ES"}, {".ST", "SE"}, {".SW", "CH"}, {".L", "UK"},
}};

// The "&time=..&freq=.." of each period, 0 to 8.
static const std::array<const char*, 9> kPeriodArgs{{
    "&time=1&freq=9",
    "&time=3&freq=8",
    "&time=4&freq=1",
    "&time=6&freq=1",
    "&time=7&freq=1",
    "&time=8&freq=1",
    "&time=10&freq=2",
    "&time=12&freq=2",
    "&time=13&freq=3",
}};

std::string BigChartsChartProvider::ConvertExchangeSuffix(const std::string& symbol) {
  std::string s = symbol;
  for (const SuffixRule& rule : kSuffixRules) {
    const std::string suffix = rule.suffix;
    size_t first = s.find(suffix);
    // The first occurrence must end the symbol; then every occurrence goes.
    if (first == std::string::npos || first + suffix.size() != s.size()) continue;
    s = std::string(rule.country) + "%3A" + ReplaceAll(s, suffix, "");
  }
  return s;
}

static std::string DropCaret(const std::string& symbol) {
  return !symbol.empty() && symbol[0] == '^' ? symbol.substr(1) : symbol;
}

bool BigChartsChartProvider::GetChartUrl(const std::vector<StockInfo*>& quotes,
                                         const ChartProviderParams& params, std::string& url) {
  std::string first = quotes.empty() || !quotes[0] ? std::string() : quotes[0]->symbol;
  first = ReplaceAll(DropCaret(first), ".OB", "");
  std::string path = "/charts/big.chart?symb=" + ConvertExchangeSuffix(EncodeUrlValue(first));

  std::string compared;
  for (size_t i = 1; i < quotes.size(); ++i) {
    if (!quotes[i]) continue;
    if (!compared.empty()) compared += '+';
    compared += ConvertExchangeSuffix(EncodeUrlValue(DropCaret(Trim(quotes[i]->symbol))));
  }
  if (quotes.size() > 1) path += "&comp=" + compared;

  std::string overlays;
  for (auto [on, word] : {std::pair{params.compareDJIA, "DJIA"}, std::pair{params.compareNASDAQ, "NASDAQ"},
                          std::pair{params.compareSP500, "SP500"}}) {
    if (!on) continue;
    if (!overlays.empty()) overlays += '+';
    overlays += word;
  }
  if (!overlays.empty()) path += (quotes.size() > 1 ? "+" : "&comp=") + overlays;

  path += params.sizeOne ? "&size=1" : "&size=2";
  if (params.period >= 0 && params.period < static_cast<int>(kPeriodArgs.size()))
    path += kPeriodArgs[params.period];
  if (params.movingAverage50 && params.movingAverage200) {
    path += "&ma=4&maval=50";
  } else if (params.movingAverage50) {
    path += "&ma=1&maval=50";
  } else if (params.movingAverage200) {
    path += "&ma=1&maval=200";
  }
  path += quotes.size() > 1 ? "&type=64&style=48" : "&type=64&style=320";
  url = "http://" + hosts.altChartHost + path;
  return true;
}
