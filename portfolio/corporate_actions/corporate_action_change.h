#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "portfolio/corporate_actions/split_plan.h"
#include "portfolio/records/exact_decimal.h"

// A split as the user asks for it: `ratio` of `symbol` (any letter case) from the stored day `exDate`, with
// the price per new share paid for fractions (0: none).
struct SplitRequest {
  std::string symbol;
  SplitRatio ratio;
  int64_t exDate = 0;
  UnitPrice cashInLieu;
  std::string comment;
};

// One position a split changes, before and after.
struct SplitPreviewRow {
  uint32_t positionId = 0;
  uint32_t portfolioId = 0;
  std::string portfolio;
  int64_t purchaseDate = 0;
  bool sold = false;
  Quantity qtyBefore;
  Quantity qtyAfter;  // the whole shares kept when a fraction is paid in cash
  UnitPrice priceBefore;
  UnitPrice priceAfter;
  Quantity fractionPaid;       // the fraction of a new share paid in cash (0: none)
  int64_t totalPaidCents = 0;  // what was paid for the shares, the same before and after
};

// What a split would do: every position it changes, or why one of them cannot take it.
struct SplitPreview {
  std::vector<SplitPreviewRow> rows;
  SplitFault fault = SplitFault::None;
  uint32_t faultPositionId = 0;
};

// The refusal's words: "position 12 in Retirement would hold 33.33333333 shares; ...".
std::string SplitFaultText(const SplitPreview& preview);
