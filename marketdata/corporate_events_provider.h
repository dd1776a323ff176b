#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "marketdata/c_web_resource_provider.h"
#include "marketdata/exact_decimal.h"

// One line of the market-data service's events page.
struct CorporateEvent {
  enum class Kind { Dividend, Split, SymbolChange };
  Kind kind = Kind::Dividend;
  // The ex-date of a dividend or a split; for a symbol change the first day under the new symbol.
  MarketDay date;
  // A dividend: the amount per share as paid on its ex-date (in the shares of that day), its pay date when
  // the service knows it, and its currency as the service names it ("USD", "GBp" for pence).
  ExactDecimal amount;
  int64_t amountMicros = 0;
  bool hasPayDate = false;
  MarketDay payDate;
  std::string currency;
  // A split: newShares for oldShares (10:1 makes one share ten), in lowest terms.
  int64_t newShares = 0;
  int64_t oldShares = 0;
  // A symbol change.
  std::string oldSymbol;
  std::string newSymbol;
};

// The dividends, splits and symbol changes of one symbol between two days, from the service's events page
// (/vellumar/events.csv: "Date,Event,Value,Pay Date,Currency", newest first).
class CorporateEventsProvider : public CWebResourceProvider {
 public:
  // Replaces `results` by the page's events, newest first as the page lists them; a symbol without events
  // gives none and no error. Lines of an event kind this reader does not know are passed over (a later
  // service may list more kinds). An empty symbol or a span that ends before it starts fetches nothing; a
  // page without the header, a line that does not read or a page cut short sets "Error parsing content: " and
  // the reason and leaves `results` empty.
  void Fetch(const std::string& symbol, const MarketDay& from, const MarketDay& to,
             std::vector<CorporateEvent>* results);

 protected:
  void GetUrl(std::string& out) override;
  void ParseContent() override;

 private:
  std::string symbol;
  MarketDay from, to;
  std::vector<CorporateEvent>* results = nullptr;
};
