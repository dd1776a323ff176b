#pragma once
#include <cstdint>

#include "framework/item.h"

// Orders positions for a list sort: cash first, then margin debts, then stock positions with market
// indexes first; within a group by the column's text or sort value in the chosen direction.
// Each comparison computes both holdings' cells; to sort a whole list use SortHoldings (holding_sort.h),
// which gives the same order with one key per holding.
class VLHoldingItemComparer : public IItemComparer {
 public:
  int32_t column = 0;
  bool ascending = true;

  VLHoldingItemComparer() = default;
  VLHoldingItemComparer(int32_t column, bool ascending) : column(column), ascending(ascending) {}

  int32_t Compare(const Item* a, const Item* b) const override;
};
