#pragma once
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "portfolio/fx/fx_rate_book.h"
#include "portfolio/records/vl_income_item.h"
#include "portfolio/records/vl_stock_holding_item.h"

struct NumberFormat;
class VLHoldingItem;

// A portfolio's income as its totals count it.
struct SummaryIncome {
  std::vector<VLIncomeItem> records;                                        // the portfolio's
  std::unordered_map<uint32_t, VLStockHoldingItem::Income> positionShares;  // each position's part, by id
  int year = 0;                                                             // this year
};

// The base currency the totals are converted into, and the rates to do it with.
struct SummaryBase {
  std::string currency;
  const FxRateBook* book = nullptr;
  int64_t today = 0;  // the day a held position is valued
};

// The totals of the positions counted, converted into a base currency (BaseFigures, summed; cash counts as
// an amount of the base currency), with the rates they were converted at, or why they could not be.
struct SummaryBaseTotals {
  std::string currency;  // empty: the totals are not converted
  std::string value;
  std::string totalPaid;
  std::string gain;
  std::string priceGain;
  std::string fxGain;
  // "at reference rates of 2026-12-08" (the newest fixing a value was converted at), "... and the positions'
  // own rates" when a rate a position stores was used; empty when nothing needed converting.
  std::string rates;
  std::string error;  // set instead of the amounts: "no EUR/GBP rate on or before 2024-03-15"
};

// The nine texts of a portfolio's totals. The held view shows the first seven, the sold view gain, net
// proceeds and post-sale gain.
struct VLPortfolioSummary {
  std::string currentValue;
  std::string change;
  std::string gain;
  std::string equity;
  std::string marginableEquity;
  std::string marginOwed;
  std::string marginAvailable;
  std::string netProceeds;
  std::string postSaleGain;
  // The currencies of the stock positions counted (PositionCurrency), sorted. With more than one the totals
  // add up amounts in different currencies: there is no conversion yet.
  std::vector<std::string> currencies;
  // For a portfolio with income records, else all empty: the net income paid this year and in all, the
  // withholding of this year, and the total return (the gain plus the net income of the positions counted).
  std::string incomeThisYear;
  std::string incomeAll;
  std::string withholdingThisYear;
  std::string totalReturn;

  // With a SummaryBase.
  SummaryBaseTotals base;

  bool HasIncome() const { return !incomeAll.empty(); }
  bool HasBase() const { return !base.currency.empty(); }
};

// "GBp and USD, not converted" when the totals mix currencies, naming them; empty when they do not.
std::string MixedCurrenciesText(const VLPortfolioSummary& summary);

// Totals of `positions` (one portfolio's, in database order, stock quotes already refreshed) for the held
// or sold view, restricted to `ids` when given. Amounts are put in the number format's grouping. With
// `income` holding records, the income texts are given too; with `base` naming a currency, the base totals.
VLPortfolioSummary ComputePortfolioSummary(const std::vector<const VLHoldingItem*>& positions, bool held,
                                           const std::vector<uint32_t>* ids, const NumberFormat& format,
                                           const SummaryIncome* income = nullptr,
                                           const SummaryBase* base = nullptr);
