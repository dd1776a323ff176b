#include "portfolio/records/vl_cash_holding_item.h"

const VLAmountHoldingItem::AmountShape& VLCashHoldingItem::GetShape() const {
  static const AmountShape shape{"[Cash]", "amount", false};
  return shape;
}

std::unique_ptr<Item> VLCashHoldingItem::Clone() const {
  auto copy = std::make_unique<VLCashHoldingItem>();
  (void)CopyTo(copy.get());  // cannot fail: the copy is a new object of this class
  return copy;
}
