#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct NumberFormat;
class VLHoldingItem;

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
};

// "GBp and USD, not converted" when the totals mix currencies, naming them; empty when they do not.
std::string MixedCurrenciesText(const VLPortfolioSummary& summary);

// Totals of `positions` (one portfolio's, in database order, stock quotes already refreshed) for the held
// or sold view, restricted to `ids` when given. Amounts are put in the number format's grouping.
VLPortfolioSummary ComputePortfolioSummary(const std::vector<const VLHoldingItem*>& positions, bool held,
                                           const std::vector<uint32_t>* ids, const NumberFormat& format);
