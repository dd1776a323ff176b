#include "marketdata/corporate_events_provider.h"

#include <algorithm>
#include <charconv>
#include <numeric>

#include "marketdata/csv_page.h"
#include "marketdata/market_date.h"
#include "marketdata/text_helpers.h"
#include "marketdata/url_encode.h"

namespace {

constexpr int64_t kMaxShares = 1000000;

bool PlainSymbol(const std::string& symbol) {
  if (symbol.empty() || symbol.size() > 32) return false;
  return std::all_of(symbol.begin(), symbol.end(), [](char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '.' ||
           c == '^' || c == '-' || c == '=' || c == '_';
  });
}

bool ReadShares(const std::string& text, int64_t* shares) {
  const char* end = text.data() + text.size();
  auto [ptr, ec] = std::from_chars(text.data(), end, *shares);
  return !text.empty() && text[0] != '+' && text[0] != '-' && ec == std::errc() && ptr == end &&
         *shares >= 1 && *shares <= kMaxShares;
}

bool ReadDividend(const std::vector<std::string>& f, CorporateEvent* e, std::string* why) {
  if (!ParseExactDecimal(f[2], &e->amount) || !e->amount.ToUnits(6, &e->amountMicros)) {
    *why = "bad dividend amount";
    return false;
  }
  e->hasPayDate = !f[3].empty();
  if (e->hasPayDate && (!ParseMarketDay(f[3], &e->payDate) || e->payDate < e->date)) {
    *why = "bad pay date";
    return false;
  }
  const bool letters = f[4].size() == 3 && std::all_of(f[4].begin(), f[4].end(), [](char c) {
                         return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
                       });
  if (!letters) {
    *why = "bad currency";
    return false;
  }
  e->currency = f[4];
  return true;
}

bool ReadSplit(const std::vector<std::string>& f, CorporateEvent* e, std::string* why) {
  const size_t colon = f[2].find(':');
  if (colon == std::string::npos || !ReadShares(f[2].substr(0, colon), &e->newShares) ||
      !ReadShares(f[2].substr(colon + 1), &e->oldShares) || e->newShares == e->oldShares) {
    *why = "bad split ratio";
    return false;
  }
  const int64_t g = std::gcd(e->newShares, e->oldShares);
  e->newShares /= g;
  e->oldShares /= g;
  return true;
}

bool ReadSymbolChange(const std::vector<std::string>& f, CorporateEvent* e, std::string* why) {
  const size_t arrow = f[2].find("->");
  e->oldSymbol = arrow == std::string::npos ? std::string() : f[2].substr(0, arrow);
  e->newSymbol = arrow == std::string::npos ? std::string() : f[2].substr(arrow + 2);
  if (!PlainSymbol(e->oldSymbol) || !PlainSymbol(e->newSymbol) || e->oldSymbol == e->newSymbol) {
    *why = "bad symbol change";
    return false;
  }
  return true;
}

// One line's fields read into an event; false with the reason. `known` is false for a kind of event this
// reader does not know.
bool ReadEvent(const std::vector<std::string>& f, CorporateEvent* e, bool* known, std::string* why) {
  *known = true;
  if (f.size() != 5 || !ParseMarketDay(f[0], &e->date)) {
    *why = "bad date";
    return false;
  }
  if (f[1] == "dividend") {
    e->kind = CorporateEvent::Kind::Dividend;
    return ReadDividend(f, e, why);
  }
  if (f[1] != "split" && f[1] != "symbol-change") {
    *known = false;
    return true;
  }
  if (!f[3].empty() || !f[4].empty()) {
    *why = "a pay date or a currency on a " + f[1];
    return false;
  }
  e->kind = f[1] == "split" ? CorporateEvent::Kind::Split : CorporateEvent::Kind::SymbolChange;
  return f[1] == "split" ? ReadSplit(f, e, why) : ReadSymbolChange(f, e, why);
}

}  // namespace

void CorporateEventsProvider::Fetch(const std::string& requestSymbol, const MarketDay& fromDay,
                                    const MarketDay& toDay, std::vector<CorporateEvent>* resultList) {
  SetError(kErrorParse);
  if (resultList) resultList->clear();
  symbol = Trim(requestSymbol);
  MarketDay check;
  if (symbol.empty() || !ParseMarketDay(fromDay.IsoText(), &check) ||
      !ParseMarketDay(toDay.IsoText(), &check) || toDay < fromDay)
    return;
  from = fromDay;
  to = toDay;
  results = resultList;
  Run();
}

void CorporateEventsProvider::GetUrl(std::string& out) {
  // Months go out 0-based, as in the historical download.
  out = MakeUrl(hosts.historicalHost,
                "/vellumar/events.csv?s=" + EncodeUrlValue(symbol) +
                    SpanQuery(from.year, from.month, from.day, to.year, to.month, to.day));
}

void CorporateEventsProvider::ParseContent() {
  if (HasError()) return;  // the fetch failed; its error stands
  std::vector<std::vector<std::string>> rows;
  std::string why;
  std::vector<CorporateEvent> read;
  if (GetLinesDropped() > 0) {
    why = "lines too long to read";
  } else if (ReadCsvPage(GetContent(), "Date,Event,Value,Pay Date,Currency", &rows, &why)) {
    for (size_t i = 0; i < rows.size() && why.empty(); ++i) {
      CorporateEvent event;
      bool known = false;
      if (!ReadEvent(rows[i], &event, &known, &why)) {
        why = "line " + std::to_string(i + 2) + ": " + why;
      } else if (known) {
        read.push_back(std::move(event));
      }
    }
  }
  if (!why.empty()) {
    SetError(std::string(kErrorParse) + ": " + why);
    return;
  }
  if (results) *results = std::move(read);
}
