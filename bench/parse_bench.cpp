// Reading what the services send: a 200-symbol quote answer and a 50-result look-up page, as the
// providers parse them after the fetch.
#include <benchmark/benchmark.h>

#include "marketdata/stock_info.h"
#include "marketdata/stock_info_provider.h"
#include "marketdata/symbol_finder.h"
#include "service/market.h"
#include "service_market.h"
#include "tests/support/offline_provider.h"

namespace {

void BM_ParseQuotes200(benchmark::State& state) {
  const auto market = BenchMarket();
  const std::vector<std::string> symbols = BenchSymbols(*market, 200);
  std::string target = "/d/quotes.csv?s=";
  for (size_t i = 0; i < symbols.size(); ++i) target += (i ? "+" : "") + symbols[i];
  target += std::string("&f=") + StockInfoProvider::kFieldCodes;
  const std::string page = ServiceBody(*market, target);

  std::vector<StockInfo> infos(symbols.size());
  std::vector<StockInfo*> quotes;
  for (size_t i = 0; i < infos.size(); ++i) {
    infos[i].symbol = symbols[i];
    quotes.push_back(&infos[i]);
  }
  OfflineProvider<StockInfoProvider> provider;
  provider.Fetch(quotes);
  for (auto _ : state) {
    provider.ParsePage(page);
    if (provider.HasError()) state.SkipWithError("the page did not parse");
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * page.size()));
}
BENCHMARK(BM_ParseQuotes200)->Unit(benchmark::kMicrosecond);

void BM_ParseLookupPage50(benchmark::State& state) {
  const auto market = BenchMarket();
  const std::string page = ServiceBody(*market, "/lookup?m=ALL&t=S&s=a");
  for (auto _ : state) {
    SymbolFinder::Results results;
    OfflineProvider<SymbolFinder> finder;
    finder.Fetch("a", SymbolFinder::kStocks, true, &results, nullptr, 0);
    finder.ParsePage(page);
    if (finder.HasError() || results.size() != 50) state.SkipWithError("the page did not give 50 results");
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * page.size()));
}
BENCHMARK(BM_ParseLookupPage50)->Unit(benchmark::kMicrosecond);

}  // namespace
