#include "portfolio/records/vl_holding_item_comparer.h"

#include "portfolio/columns/holding_sort.h"

int32_t VLHoldingItemComparer::Compare(const Item* a, const Item* b) const {
  return CompareHoldingSortKeys(MakeHoldingSortKey(a, column), MakeHoldingSortKey(b, column), column,
                                ascending);
}
