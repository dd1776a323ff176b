#pragma once
#include <string>
#include <string_view>

struct VLPortfolioSummary;

// The colour names of the summary figures; each is "black" unless its rule says otherwise.
struct SummaryColors {
  std::string change = "black";
  std::string gain = "black";
  std::string marginOwed = "black";
  std::string marginAvailable = "black";
  std::string postSaleGain = "black";
};

// True for an amount that reads as zero in any grouping ("0.00", "0,00"): it has digits and all are 0.
bool IsZeroAmountText(std::string_view text);

SummaryColors ChooseSummaryColors(const VLPortfolioSummary& summary, bool held);

// The panel's markup: one table of three rows for the held view (`held`) or the sold view.
std::string BuildSummaryMarkup(const VLPortfolioSummary& summary, bool held);
