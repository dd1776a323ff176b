#include "service/decimal_text.h"
#include "service/history_page.h"
#include "service/history_request.h"
#include "service/market.h"
#include "service/query_string.h"
#include "service/service_response.h"
#include "service/text_format.h"

#include <algorithm>

namespace {

struct EventLine {
  int day = 0;
  int order = 0;  // on one day: the symbol change, then the split, then dividends
  std::string text;
};

void AddSymbolChanges(const Market& market, const HistoryRequest& request, std::vector<EventLine>& lines) {
  // The changes that led to the security's symbol, and the one that retired the symbol asked for.
  std::vector<SymbolChange> changes = market.Actions().ChangesTo(request.security->symbol);
  if (const SymbolChange* retired = market.Actions().ChangeFrom(request.symbol)) changes.push_back(*retired);
  for (const SymbolChange& c : changes) {
    const bool retiring = c.day == request.retiredOn && c.oldSymbol == request.symbol;
    if (c.day < request.fromDay || (c.day > request.toDay && !retiring)) continue;
    if (std::any_of(lines.begin(), lines.end(),
                    [&c](const EventLine& l) { return l.order == 0 && l.day == c.day; }))
      continue;
    lines.push_back(
        {c.day, 0, FormatIsoDay(c.day) + ",symbol-change," + c.oldSymbol + "->" + c.newSymbol + ",,"});
  }
}

}  // namespace

ServiceResponse EventsCsvPage(const Market& market, std::string_view rawQuery) {
  const QueryString query(rawQuery);
  HistoryRequest request;
  ServiceResponse refusal;
  if (!ReadHistoryRequest(market, query, request, refusal)) return refusal;
  std::string body = "Date,Event,Value,Pay Date,Currency\n";
  if (request.security == nullptr) return {200, "text/csv", std::move(body)};  // a currency pair has none

  std::vector<EventLine> lines;
  AddSymbolChanges(market, request, lines);
  for (const StockSplit& s : market.Actions().Splits(request.security->symbol)) {
    if (s.day < request.fromDay || s.day > request.toDay) continue;
    lines.push_back({s.day, 1,
                     FormatIsoDay(s.day) + ",split," + std::to_string(s.newShares) + ":" +
                         std::to_string(s.oldShares) + ",,"});
  }
  for (const DividendPayment& p : market.Dividends(*request.security, request.fromDay, request.toDay)) {
    lines.push_back({p.exDay, 2,
                     FormatIsoDay(p.exDay) + ",dividend," + FormatMicros(p.amountMicros) + "," +
                         (p.payDay != 0 ? FormatIsoDay(p.payDay) : std::string()) + "," + p.currency});
  }
  std::stable_sort(lines.begin(), lines.end(), [](const EventLine& a, const EventLine& b) {
    return a.day != b.day ? a.day > b.day : a.order < b.order;
  });
  for (const EventLine& line : lines) body += line.text + "\n";
  return {200, "text/csv", std::move(body)};
}
