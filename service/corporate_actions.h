#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

// A split: from its ex-date on, every old share is newShares / oldShares shares (10:1 turns 1 share into
// 10), and prices are quoted in the new shares.
struct StockSplit {
  int day = 0;  // the ex-date, the first day traded in new shares (days since 1970-01-01)
  int newShares = 1;
  int oldShares = 1;
};

// A security that went on trading under a new symbol from `day` on.
struct SymbolChange {
  int day = 0;
  std::string oldSymbol;
  std::string newSymbol;
};

// One dividend, per share as traded on its ex-date (in the shares of that day, before any later split).
struct DividendPayment {
  int exDay = 0;
  int payDay = 0;  // 0 when not known
  int64_t amountMicros = 0;
  std::string currency;
};

// Splits and symbol changes of the securities, from the bundled events.csv and the user's own one over it.
// Header "symbol,date,event,value"; the event is "split" with the value "N:D" (N new shares for D old ones,
// kept in lowest terms) or "symbol-change" with the former symbol as the value (the row's symbol is the new
// one). A row of a later file replaces one of an earlier file with the same symbol, date and event.
class CorporateActions {
 public:
  // On a malformed row nothing of the text is taken and `error` names the source and line.
  [[nodiscard]] bool ParseCsv(std::string_view text, const std::string& sourceName, std::string& error);
  [[nodiscard]] bool LoadFile(const std::string& path, std::string& error);

  // The splits of a symbol, oldest first; empty for none.
  const std::vector<StockSplit>& Splits(std::string_view symbol) const;
  // The change that retired `oldSymbol` (null when it was never changed).
  const SymbolChange* ChangeFrom(std::string_view oldSymbol) const;
  // The changes that led to `symbol`, oldest first.
  std::vector<SymbolChange> ChangesTo(std::string_view symbol) const;

 private:
  struct Row {
    bool split = false;
    StockSplit splitRow;
    SymbolChange change;
  };
  void Rebuild();

  // By symbol, date and event; the indexes below are made from it.
  std::map<std::string, Row> rows;
  std::map<std::string, std::vector<StockSplit>, std::less<>> splits;
  std::map<std::string, SymbolChange, std::less<>> changesFrom;
};

// The product of newShares / oldShares over the splits whose ex-date lies in (after, upTo], as a fraction.
void SplitFactor(const std::vector<StockSplit>& splits, int after, int upTo, int64_t& numerator,
                 int64_t& denominator);
