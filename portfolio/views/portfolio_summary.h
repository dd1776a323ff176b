#pragma once
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

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

  bool HasIncome() const { return !incomeAll.empty(); }
};

// "GBp and USD, not converted" when the totals mix currencies, naming them; empty when they do not.
std::string MixedCurrenciesText(const VLPortfolioSummary& summary);

// Totals of `positions` (one portfolio's, in database order, stock quotes already refreshed) for the held
// or sold view, restricted to `ids` when given. Amounts are put in the number format's grouping. With
// `income` holding records, the income texts are given too.
VLPortfolioSummary ComputePortfolioSummary(const std::vector<const VLHoldingItem*>& positions, bool held,
                                           const std::vector<uint32_t>* ids, const NumberFormat& format,
                                           const SummaryIncome* income = nullptr);
