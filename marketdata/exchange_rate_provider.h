#pragma once
#include <memory>
#include <string>
#include <vector>

#include "marketdata/c_web_resource_provider.h"
#include "marketdata/exact_decimal.h"
#include "marketdata/historical_price.h"
#include "marketdata/historical_price_provider.h"

// The market-data service quotes a currency pair like a security: "EURUSD=X" is what one euro costs in US
// dollars, a rate with six significant digits, fixed once a working day of the euro's reference calendar.
// Rates stay exact decimals from the page to the caller.

// "EURUSD=X" from "EUR" and "USD"; empty unless both are three capital letters and differ (a minor unit such
// as "GBp" has no pair: ask for its currency and divide).
std::string CurrencyPairSymbol(const std::string& base, const std::string& quote);

// The latest rate of one pair.
struct ExchangeRateQuote {
  std::string symbol;  // set by the caller: the pair to ask for
  bool known = false;  // false: the service has no such pair (the other fields are empty)
  ExactDecimal rate;   // one unit of the base currency in the quote currency
  MarketDay date;      // the day it was fixed
  std::string time;    // the time of day the service gives ("2:15pm")
};

// Fills the quotes of any number of pairs with one request to the quote CSV download (codes s, l1, d1, t1).
class ExchangeRateQuoteProvider : public CWebResourceProvider {
 public:
  // The records are not owned. Every line must echo its pair; a page that does not read (a missing or extra
  // line, a line of another symbol, a rate that is no plain decimal, a bad date) sets "Error parsing content:
  // " and the reason and leaves every record as it was.
  void Fetch(const std::vector<ExchangeRateQuote*>& quotes);

 protected:
  void GetUrl(std::string& out) override;
  void ParseContent() override;

 private:
  std::vector<ExchangeRateQuote*> quotes;
};

// One day's rate of a pair.
struct ExchangeRateDay {
  MarketDay date;
  ExactDecimal rate;
};

// The daily rates of a pair over whole months through the historical price download (the close of each row is
// the day's rate).
class ExchangeRateHistoryProvider : public HistoricalPriceProvider {
 public:
  // Replaces `days` by the rows, newest first as the page lists them. Stricter than a price history: a row
  // that does not read ends nothing quietly, it refuses the page ("Error parsing content: " and the reason,
  // `days` left empty), so that a missing stretch of days cannot pass for a complete one.
  void FetchRates(const std::string& pair, int startMonth, int startYear, int endMonth, int endYear,
                  std::vector<ExchangeRateDay>* days);

 protected:
  void ParseContent() override;

 private:
  Results rows;
  std::vector<ExchangeRateDay>* days = nullptr;
};
