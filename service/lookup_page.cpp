#include "service/lookup_page.h"

#include "framework/text_util.h"
#include "service/exchange_info.h"
#include "service/fx_pages.h"
#include "service/market.h"
#include "service/query_string.h"
#include "service/service_response.h"
#include "service/text_format.h"

namespace {

const struct {
  const char* letter;
  SecurityType type;
  const char* label;
} kLookupTypes[] = {
    {"S", SecurityType::Stock, "Stocks"},     {"M", SecurityType::MutualFund, "Mutual Funds"},
    {"E", SecurityType::Etf, "ETFs"},         {"F", SecurityType::Future, "Futures"},
    {"C", SecurityType::Stock, "Currencies"},  // currency pairs are no securities of the list
};

const char* TypeName(SecurityType type) {
  switch (type) {
    case SecurityType::Stock:
      return "Stock";
    case SecurityType::MutualFund:
      return "Fund";
    case SecurityType::Etf:
      return "ETF";
    case SecurityType::Future:
      return "Future";
    case SecurityType::Index:
      return "Index";
  }
  return "";
}

// One row of the results table.
struct LookupRow {
  std::string symbol, name, exchange, type;
};

std::vector<LookupRow> Matches(const Market& market, const std::string& text, const char* letter,
                               SecurityType type, bool allMarkets) {
  std::vector<LookupRow> rows;
  if (std::string_view(letter) == "C") {
    for (const CurrencyPair& pair : FindPairs(text))
      rows.push_back({PairSymbol(pair), PairName(pair), kRateExchange, "Currency"});
    return rows;
  }
  for (const Security* s : market.Securities().Search(text, type, allMarkets))
    rows.push_back({s->symbol, s->name, s->exchange->name, TypeName(s->type)});
  return rows;
}

}  // namespace

ServiceResponse LookupPage(const Market& market, const PageRequest& request) {
  const QueryString query(request.rawQuery);
  const std::string text = query.Text("s");
  if (text.size() > 200) return BadRequest("search text too long");
  const std::string typeLetter = AsciiUpper(query.Text("t", "S"));
  const auto* type = &kLookupTypes[0];
  for (const auto& t : kLookupTypes) {
    if (typeLetter == t.letter) type = &t;
  }
  const bool allMarkets = AsciiUpper(query.Text("m", "US")) == "ALL";
  long offset = 0;
  std::string_view raw;
  if (query.Raw("b", raw) && !query.Int("b", 0, 1000000, offset)) return BadRequest("bad offset b=");

  const auto matches = Matches(market, text, type->letter, type->type, allMarkets);
  const std::string escaped = HtmlEscape(text);
  std::string body = "<html><head><title>Symbol Lookup: " + escaped +
                     "</title><meta charset=\"utf-8\"></head><body>\n<h1>Symbol Lookup</h1>\n"
                     "<form action=\"/lookup\"><input name=\"s\" value=\"" +
                     escaped + "\"><input type=\"hidden\" name=\"t\" value=\"" + type->letter +
                     "\"> <input type=\"submit\" value=\"Look Up\"></form>\n";
  body += std::string("<p>") + type->label + " in " + (allMarkets ? "all markets" : "U.S. markets") +
          " | <a href=\"/lookup?s=\">View supported exchanges</a></p>\n";
  if (matches.empty() || static_cast<size_t>(offset) >= matches.size()) {
    body += "<p>There are no results for <b>" + escaped +
            "</b>.  Please check the spelling or try a shorter name.</p>\n";
    body += "</body></html>\n";
    return {200, "text/html; charset=utf-8", std::move(body)};
  }
  const size_t first = static_cast<size_t>(offset);
  const size_t last = std::min(matches.size(), first + kLookupPageSize);
  body += "<table width=\"100%\"><tr><td align=\"left\">" + std::to_string(matches.size()) +
          " results for <b>" + escaped + "</b></td></tr></table>\n";
  body += "<p>Click the symbol for a detailed quote.</p>\n";
  body +=
      "<table border=\"0\" cellpadding=\"2\">\n<tr bgcolor=\"dcdcdc\"><th>Symbol</th><th>Name</th>"
      "<th>Exchange</th><th>Type</th><th><b>Add to My Portfolio</b></th></tr>\n";
  body += "<tr><td colspan=\"5\">Showing " + std::to_string(first + 1) + " - " + std::to_string(last) +
          " of " + std::to_string(matches.size()) + "</td></tr>\n";
  for (size_t i = first; i < last; ++i) {
    const LookupRow& row = matches[i];
    body += "<tr bgcolor=\"ffffff\"><td><a href=\"/q?s=" + row.symbol + "\">" + row.symbol + "</a></td><td>" +
            HtmlEscape(row.name) + "</td><td>" + HtmlEscape(row.exchange) + "</td><td>" + row.type +
            "</td><td><a href=\"/q?s=" + row.symbol + "&amp;a=add\">Add</a></td></tr>\n";
  }
  body += "</table>\n";
  if (last < matches.size()) {
    body += "<p><a href=\"/lookup?s=" + escaped + "&amp;t=" + type->letter +
            "&amp;m=" + (allMarkets ? "ALL" : "US") + "&amp;b=" + std::to_string(last) + "\">Next</a></p>\n";
  }
  body += "</body></html>\n";
  return {200, "text/html; charset=utf-8", std::move(body)};
}
