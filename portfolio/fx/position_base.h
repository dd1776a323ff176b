#pragma once
#include <cstdint>
#include <string>

#include "portfolio/fx/base_figures.h"
#include "portfolio/fx/fx_rate_book.h"

class VLStockHoldingItem;

// The position's BaseFigures in `base` (a major currency) at the rates of `book`; `today` is the day a held
// position is valued. Not known, without an error, for a position whose symbol has no quote; not known, with
// an error, when its currency is not known or a rate is missing.
BaseFigures ComputeBaseFigures(const VLStockHoldingItem& position, const std::string& base,
                               const FxRateBook& book, int64_t today);

// The pair a position's conversion into `base` looks up and the first day it needs (its purchase day, else
// `today`); false when the position needs none (its currency is the base or not known).
struct RateNeed {
  std::string quote;  // the position's major currency
  int64_t firstDay = 0;
};
[[nodiscard]] bool PositionRateNeed(const VLStockHoldingItem& position, const std::string& base,
                                    int64_t today, RateNeed& need);
