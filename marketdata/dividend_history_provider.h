#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "marketdata/c_web_resource_provider.h"
#include "marketdata/exact_decimal.h"

// One dividend of the classic download: its ex-date and the amount per share as paid on that day (in the
// shares of that day, before any later split).
struct DividendRow {
  MarketDay exDate;
  ExactDecimal amount;
  int64_t amountMicros = 0;  // the amount in millionths
};

// The dividends of one symbol over whole months, from the historical price service's classic download
// (table.csv with g=v: "Date,Dividends", newest first).
class DividendHistoryProvider : public CWebResourceProvider {
 public:
  // Replaces `results` by the page's rows, newest first as the page lists them. A symbol that paid nothing
  // in the span gives no rows and no error. An empty symbol or a backward span fetches nothing; a page
  // without the header, a row that does not read (a bad date, an amount that is not a plain decimal of at
  // most six decimals) or a page cut short sets "Error parsing content: " and the reason, and leaves
  // `results` empty: a dividend list is never taken in part.
  void Fetch(const std::string& symbol, int startMonth, int startYear, int endMonth, int endYear,
             std::vector<DividendRow>* results);

 protected:
  void GetUrl(std::string& out) override;
  void ParseContent() override;

 private:
  std::string symbol;
  int startMonth = 1, startYear = 0, endMonth = 1, endYear = 0;
  std::vector<DividendRow>* results = nullptr;
};
