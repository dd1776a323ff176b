#include "service/fetch_page.h"

#include "service/history_fetcher.h"
#include "service/market.h"
#include "service/query_string.h"
#include "service/service_response.h"

ServiceResponse FetchPage(const Market& market, HistoryFetcher* fetcher, std::string_view rawQuery) {
  const std::string symbol = QueryString(rawQuery).Text("s");
  if (symbol.empty() || symbol.size() > 32) return BadRequest("fetch needs s=SYMBOL");
  const bool pair = market.Rates().IsPair(symbol);
  if (fetcher == nullptr || fetcher->SourceCountFor(symbol) == 0) {
    return {503, "text/plain",
            pair ? "real exchange rates are off: sources.ini names no rates source\n"
                 : "real prices are off: the service has no usable sources.ini\n"};
  }
  if (!pair && market.Securities().Find(symbol) == nullptr)
    return {404, "text/plain", symbol + ": unknown symbol\n"};
  const FetchReport report = fetcher->Fetch(symbol, kFetchPageBudget);
  return {report.ok ? 200 : 502, "text/plain", report.message + "\n"};
}
