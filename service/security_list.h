#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

struct ExchangeInfo;

// The four kinds a look-up searches, plus market indexes.
enum class SecurityType { Stock, MutualFund, Etf, Future, Index };

// One security of the simulated market and the figures its price model starts from.
struct Security {
  std::string symbol;  // upper case, as quoted
  std::string name;
  const ExchangeInfo* exchange = nullptr;
  SecurityType type = SecurityType::Stock;
  double price = 0;       // trend price on the model's anchor day
  double shares = 0;      // shares outstanding; typical daily volume for indexes and futures
  double eps = 0;         // trailing twelve-month earnings per share
  double dividend = 0;    // annual dividend per share
  double volatility = 0;  // annualised, e.g. 0.25
  uint64_t key = 0;       // hash of the symbol, the model's per-security seed
};

// Securities by symbol. Loading a file adds its rows and replaces rows of the same symbol,
// so a user's file in the data folder can correct or extend the bundled list.
class SecurityList {
 public:
  // Header "symbol,name,exchange,type,price,shares,eps,dividend,volatility"; type is S, M, E, F or I.
  // On a malformed row nothing of the text is taken and `error` names the source and line.
  [[nodiscard]] bool ParseCsv(std::string_view text, const std::string& sourceName, std::string& error);
  [[nodiscard]] bool LoadFile(const std::string& path, std::string& error);

  // Case-insensitive; null for an unknown symbol.
  const Security* Find(std::string_view symbol) const;
  // Securities of one type whose symbol or name contains `text` (case-insensitive), ordered with
  // exact symbol matches first, then by symbol. Indexes are listed with stocks.
  std::vector<const Security*> Search(std::string_view text, SecurityType type, bool allMarkets) const;
  // In the order of the files (the bundled list puts the U.S. first).
  std::vector<const Security*> OfType(SecurityType type) const;
  size_t Size() const { return securities.size(); }

 private:
  std::vector<Security> securities;
  std::unordered_map<std::string, size_t> bySymbol;
};

// The next line of `text` from `start` (which moves past it), without its line end; false at the end.
[[nodiscard]] bool NextTextLine(std::string_view text, size_t& start, std::string_view& line);

// Splits one CSV record; fields may be double-quoted with "" for a quote. False on a broken quote.
[[nodiscard]] bool SplitCsvLine(std::string_view line, std::vector<std::string>& fields);

// The CSV loop of the service's data files: skips blank lines (and, when `skipComments`, lines that begin
// with '#'), requires `header` as the first other line, splits every later line and hands its fields to
// `row`, which returns false with the reason to stop. On failure `problemLine` is the 1-based line (0 when
// the text has no header line) and `why` says what is wrong.
[[nodiscard]] bool ReadCsvRows(
    std::string_view text, std::string_view header, bool skipComments,
    const std::function<bool(const std::vector<std::string>& fields, std::string& why)>& row,
    int& problemLine, std::string& why);
