#include "service/history_page.h"

#include "service/decimal_text.h"
#include "service/fx_market.h"
#include "service/fx_pages.h"
#include "service/history_request.h"
#include "service/market.h"
#include "service/query_string.h"
#include "service/service_response.h"
#include "service/text_format.h"

#include <algorithm>

static std::string DividendsCsv(const std::vector<DividendPayment>& oldestFirst) {
  std::string out = "Date,Dividends\n";
  for (auto it = oldestFirst.rbegin(); it != oldestFirst.rend(); ++it)
    out += FormatIsoDay(it->exDay) + "," + FormatMicros(it->amountMicros) + "\n";
  return out;
}

ServiceResponse HistoryCsvPage(const Market& market, std::string_view rawQuery) {
  const QueryString query(rawQuery);
  const std::string interval = query.Text("g", "d");
  if (interval != "d" && interval != "v")
    return BadRequest("only daily rows (g=d) and dividends (g=v) are served");
  HistoryRequest request;
  ServiceResponse refusal;
  if (!ReadHistoryRequest(market, query, request, refusal)) return refusal;
  if (request.security == nullptr) {
    if (interval == "v") return {200, "text/csv", DividendsCsv({})};
    return RateHistoryCsv(market.Rates(), request.symbol, request.fromDay, request.toDay, market.Now());
  }
  if (interval == "v")
    return {200, "text/csv",
            DividendsCsv(market.Dividends(*request.security, request.fromDay, request.toDay))};
  SecuritySnapshot snap = market.TradedHistory(*request.security, request.fromDay, market.Now());
  while (!snap.bars.empty() && snap.bars.back().day > request.toDay) snap.bars.pop_back();
  return {200, "text/csv", FormatHistoryCsv(snap.bars)};
}
